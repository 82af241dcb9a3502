#include "panels/shoulderElbowPanel.h"

#include "layoutScale.h"
#include "panels/valueBox.h"
#include "utils.h"

namespace {

// The arm picture, left of the panel column with the shoulder near the
// bottom of the window.
constexpr Vector2 shoulderPivot{scaled(340), scaled(527.5)};
constexpr float segmentLength = scaled(167.5);
constexpr float segmentThickness = scaled(2.5);
constexpr Color segmentColor = RAYWHITE;
constexpr float jointRadius = scaled(7.5);
constexpr Color jointColor = GRAY;

// Shoulder 0 points the upper arm left, which is line angle 90; the forearm
// angle is taken from straight up.
constexpr int upperArmTurn = 90;
constexpr int forearmTurn = 180;

} // namespace

ShoulderElbowPanel::ShoulderElbowPanel()
    : border{scaled(680), scaled(222.5), scaled(110), scaled(103)}, borderWidth(scaled(3)),
      borderColor(BLACK), elbowInputPos{scaled(712.5), scaled(247.5)},
      elbowInputSize(valueBoxSize()), shoulderInputPos{scaled(712.5), scaled(292.5)},
      shoulderInputSize(valueBoxSize()), elbowTextPos{scaled(707.5), scaled(227.5)},
      elbowTextSize(labelFontSize),
      elbowTextColor(BLACK), shoulderTextPos{scaled(690), scaled(272.5)},
      shoulderTextSize(labelFontSize), shoulderTextColor(BLACK),
      elbowInput(elbowInputPos.x, elbowInputPos.y, elbowInputSize.x, elbowInputSize.y, valueDigits,
                 true),
      shoulderInput(shoulderInputPos.x, shoulderInputPos.y, shoulderInputSize.x,
                    shoulderInputSize.y, valueDigits, true),
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

    // The elbow: the end of the upper arm as the line helper computes it, so
    // that the forearm starts exactly where the upper arm line ends.
    const Vector2 end = lineEnd(shoulderPivot, segmentLength, static_cast<float>(upperArmAngle));

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
