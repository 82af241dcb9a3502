#include "panels/gripperPanel.h"

#include "utils.h"

namespace {

// The box fits three digits of the label font plus a margin.
constexpr const char* widestValue = "888";
constexpr int labelFontSize = 26;
constexpr double inputMargin = 13.334;
constexpr float inputHeight = 33.335f;
constexpr int valueLength = 3;
constexpr const char* presetValue = "160";

// Below this the preview would cross the jaws under the pivot; it shows
// them level instead.
constexpr int smallestPreview = 90;
constexpr float jawThickness = 3.3335f;
constexpr Color jawColor = WHITE;
constexpr float pivotRadius = 10.0005f;
constexpr Color pivotColor = GRAY;

} // namespace

GripperPanel::GripperPanel()
    : border{906.712f, 96.6715f, 146.674f, 204.0102f}, borderWidth(4.0002f),
      borderColor(BLACK), gripperInputPos{950.0475f, 256.6795f},
      gripperInputSize{static_cast<float>(MeasureText(widestValue, labelFontSize) + inputMargin),
                       inputHeight},
      gripperTextPos{926.713f, 223.3445f}, previewPos{976.7155f, 203.3435f},
      previewLength(100.005f),
      gripperInput(gripperInputPos.x, gripperInputPos.y, gripperInputSize.x, gripperInputSize.y,
                   valueLength, true),
      currentGripper(0) {
    gripperInput.setText(presetValue);
}

void GripperPanel::process(char a) {
    gripperInput.addChar(a);
    if (IsKeyPressed(KEY_BACKSPACE)) {
        gripperInput.deleteChar();
    }
    currentGripper = gripperInput.getInt();
    if (currentGripper < smallestPreview) {
        currentGripper = smallestPreview;
    }
}

void GripperPanel::draw() const {
    gripperInput.draw();
    DrawText("Gripper", static_cast<int>(gripperTextPos.x), static_cast<int>(gripperTextPos.y),
             labelFontSize, BLACK);
    drawLineSLAW(previewPos, previewLength, static_cast<float>(currentGripper), jawThickness,
                 jawColor);
    drawLineSLAW(previewPos, previewLength, static_cast<float>(-currentGripper), jawThickness,
                 jawColor);
    DrawCircleV(previewPos, pivotRadius, pivotColor);
    // Last, so the outline covers the jaws where wide openings cross it.
    DrawRectangleLinesEx(border, borderWidth, borderColor);
}

int GripperPanel::getGripper() const {
    return gripperInput.getInt();
}
