#include "panels/basePanel.h"

#include "utils.h"

namespace {

// The box fits three digits of the label font plus a margin; its height is
// the font size plus the rim.
constexpr const char* widestValue = "888";
constexpr double inputMargin = 13.334;
constexpr double inputRim = 6.667;
constexpr int valueLength = 3;

// The disc's rim: one-pixel rings, each a pixel further out.
constexpr int rimRings = 4;
constexpr int halfTurn = 180;

} // namespace

BasePanel::BasePanel()
    : border{906.712f, 430.0215f, 533.36f, 333.35f}, borderWidth(4.0002f),
      borderColor(BLACK), circlePos{1136.7235f, 576.6955f}, circleSize(136.6735f),
      circleColor(LIGHTGRAY), lineWidth(4.0002f), lineColor(BLACK), textPos{920.046f, 446.689f},
      fontSize(26.668f), fontColor(BLACK), inputPos{923.3795f, 473.357f},
      inputSize{
          static_cast<float>(MeasureText(widestValue, static_cast<int>(fontSize)) + inputMargin),
          static_cast<float>(fontSize + inputRim)},
      currentAngle(0),
      baseInput(inputPos.x, inputPos.y, inputSize.x, inputSize.y, valueLength, true) {}

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
