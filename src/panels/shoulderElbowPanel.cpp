#include "panels/shoulderElbowPanel.h"

#include "utils.h"

#include "raymath.h"

namespace {

// A box fits three digits of the label font plus a margin.
constexpr const char* widestValue = "888";
constexpr int valueFontSize = 26;
constexpr double inputMargin = 13.334;
constexpr float inputHeight = 33.335f;
constexpr int valueLength = 3;

// The arm picture, left of the panel column with the shoulder near the
// bottom of the window.
constexpr Vector2 shoulderPivot{453.356f, 703.3685f};
constexpr float segmentLength = 223.3445f;
constexpr float segmentThickness = 3.3335f;
constexpr Color segmentColor = RAYWHITE;
constexpr float jointRadius = 10.0005f;
constexpr Color jointColor = GRAY;

// Shoulder 0 points the upper arm left, which is line angle 90; the forearm
// angle is taken from straight up.
constexpr int upperArmTurn = 90;
constexpr int forearmTurn = 180;

Vector2 measuredInputSize() {
    return {static_cast<float>(MeasureText(widestValue, valueFontSize) + inputMargin), inputHeight};
}

} // namespace

ShoulderElbowPanel::ShoulderElbowPanel()
    : border{906.712f, 296.6815f, 146.674f, 137.3402f}, borderWidth(4.0002f),
      borderColor(BLACK), elbowInputPos{950.0475f, 330.0165f},
      elbowInputSize(measuredInputSize()), shoulderInputPos{950.0475f, 390.0195f},
      shoulderInputSize(measuredInputSize()), elbowTextPos{943.3805f, 303.3485f},
      elbowTextSize(26.668f), elbowTextColor(BLACK), shoulderTextPos{920.046f, 363.3515f},
      shoulderTextSize(26.668f), shoulderTextColor(BLACK),
      elbowInput(elbowInputPos.x, elbowInputPos.y, elbowInputSize.x, elbowInputSize.y, valueLength,
                 true),
      shoulderInput(shoulderInputPos.x, shoulderInputPos.y, shoulderInputSize.x,
                    shoulderInputSize.y, valueLength, true),
      currentElbow(0), currentShoulder(0) {}

void ShoulderElbowPanel::process(char a) {
    elbowInput.addChar(a);
    shoulderInput.addChar(a);
    if (IsKeyPressed(KEY_BACKSPACE)) {
        elbowInput.deleteChar();
        shoulderInput.deleteChar();
    }
    currentElbow = elbowInput.getInt();
    currentShoulder = shoulderInput.getInt();
}

void ShoulderElbowPanel::draw() const {
    DrawRectangleLinesEx(border, borderWidth, borderColor);
    elbowInput.draw();
    shoulderInput.draw();
    DrawText("Elbow", static_cast<int>(elbowTextPos.x), static_cast<int>(elbowTextPos.y),
             static_cast<int>(elbowTextSize), elbowTextColor);
    DrawText("Shoulder", static_cast<int>(shoulderTextPos.x), static_cast<int>(shoulderTextPos.y),
             static_cast<int>(shoulderTextSize), shoulderTextColor);

    const int upperArmAngle = currentShoulder + upperArmTurn;
    drawLineSLAW(shoulderPivot, segmentLength, static_cast<float>(upperArmAngle), segmentThickness,
                 segmentColor);
    DrawCircle(static_cast<int>(shoulderPivot.x), static_cast<int>(shoulderPivot.y), jointRadius,
               jointColor);

    // The elbow: the end of the upper arm, by the line helper's own steps so
    // that the forearm starts exactly where the upper arm line ends.
    Vector2 direction{0, 1};
    direction = Vector2Rotate(direction, degreesToRadians * static_cast<float>(upperArmAngle));
    direction = Vector2Scale(direction, segmentLength);
    const Vector2 end = Vector2Add(shoulderPivot, direction);

    drawLineSLAW(end, segmentLength,
                 static_cast<float>(currentShoulder - currentElbow - forearmTurn), segmentThickness,
                 segmentColor);
    DrawCircle(static_cast<int>(end.x), static_cast<int>(end.y), jointRadius, jointColor);
}

int ShoulderElbowPanel::getElbow() const {
    return elbowInput.getInt();
}

int ShoulderElbowPanel::getShoulder() const {
    return shoulderInput.getInt();
}
