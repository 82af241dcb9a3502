#include "panels/gripperPanel.h"

#include "layoutScale.h"
#include "panels/valueBox.h"
#include "utils.h"

namespace {

constexpr const char* presetValue = "160";

// Below this the preview would cross the jaws under the pivot; it shows
// them level instead.
constexpr int smallestPreview = 90;
constexpr float jawThickness = scaled(2.5);
constexpr Color jawColor = WHITE;
constexpr float pivotRadius = scaled(7.5);
constexpr Color pivotColor = GRAY;

} // namespace

GripperPanel::GripperPanel()
    : border{scaled(680), scaled(72.5), scaled(110), scaled(153)}, borderWidth(scaled(3)),
      borderColor(BLACK), gripperInputPos{scaled(712.5), scaled(192.5)},
      gripperInputSize(valueBoxSize()), gripperTextPos{scaled(695), scaled(167.5)},
      previewPos{scaled(732.5), scaled(152.5)}, previewLength(scaled(75)),
      gripperInput(gripperInputPos.x, gripperInputPos.y, gripperInputSize.x, gripperInputSize.y,
                   valueDigits, true),
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
             static_cast<int>(labelFontSize), BLACK);
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
