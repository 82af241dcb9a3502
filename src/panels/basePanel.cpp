#include "panels/basePanel.h"

#include "layoutScale.h"
#include "panels/valueBox.h"
#include "utils.h"

namespace {

// The disc's rim: one-pixel rings, each a pixel further out.
constexpr int rimRings = 4;
constexpr int halfTurn = 180;

} // namespace

BasePanel::BasePanel()
    : border{scaled(680), scaled(322.5), scaled(400), scaled(250)}, borderWidth(scaled(3)),
      borderColor(BLACK), circlePos{scaled(852.5), scaled(432.5)}, circleSize(scaled(102.5)),
      circleColor(LIGHTGRAY), lineWidth(scaled(3)),
      lineColor(BLACK), textPos{scaled(690), scaled(335)}, fontSize(labelFontSize),
      fontColor(BLACK), inputPos{scaled(692.5), scaled(355)}, inputSize(valueBoxSize()),
      currentAngle(0),
      baseInput(inputPos.x, inputPos.y, inputSize.x, inputSize.y, valueDigits, true) {}

void BasePanel::process(char a) {
    baseInput.addChar(a);
    if (IsKeyPressed(KEY_BACKSPACE)) {
        baseInput.deleteChar();
    }
    currentAngle = baseInput.getInt();
}

void BasePanel::draw() const {
    DrawRectangleLinesEx(border, borderWidth, borderColor);
    const int cx = static_cast<int>(circlePos.x);
    const int cy = static_cast<int>(circlePos.y);
    DrawCircle(cx, cy, circleSize, circleColor);
    for (int ring = 0; ring < rimRings; ++ring) {
        DrawCircleLines(cx, cy, circleSize + ring, BLACK);
    }
    drawLineSLAW(circlePos, circleSize, static_cast<float>(currentAngle), lineWidth, lineColor);
    drawLineSLAW(circlePos, circleSize, static_cast<float>(currentAngle + halfTurn), lineWidth,
                 lineColor);
    DrawText("Base", static_cast<int>(textPos.x), static_cast<int>(textPos.y),
             static_cast<int>(fontSize), fontColor);
    baseInput.draw();
}

int BasePanel::getBase() const {
    return baseInput.getInt();
}
