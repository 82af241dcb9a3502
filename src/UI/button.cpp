#include "UI/button.h"

#include "layoutScale.h"

#include <utility>

namespace {

constexpr int fontSize = static_cast<int>(scaled(20));
// The label margins, 5 design units on each side, summed in float.
constexpr float labelMargins = scaled(2 * 5);
constexpr float height = scaled(30);
// The face inset on each side and the label inset; double sums.
constexpr double faceInset = scaledDouble(2.5);
constexpr double faceInsets = scaledDouble(2 * 2.5);
constexpr double labelInset = scaledDouble(5);

} // namespace

Button::Button(Vector2 pos, std::string text, Color color)
    : pos(pos), size{static_cast<float>(MeasureText(text.c_str(), fontSize)) + labelMargins,
                     height},
      text(std::move(text)), color(color), state(false) {}

void Button::process() {
    const Rectangle rectangle{pos.x, pos.y, size.x, size.y};
    state = CheckCollisionPointRec(GetMousePosition(), rectangle) &&
            IsMouseButtonPressed(MOUSE_BUTTON_LEFT);
}

bool Button::isPressed() const {
    return state;
}

void Button::draw() const {
    DrawRectangle(static_cast<int>(pos.x), static_cast<int>(pos.y), static_cast<int>(size.x),
                  static_cast<int>(size.y), BLACK);
    DrawRectangle(static_cast<int>(pos.x + faceInset), static_cast<int>(pos.y + faceInset),
                  static_cast<int>(size.x - faceInsets), static_cast<int>(size.y - faceInsets),
                  color);
    DrawText(text.c_str(), static_cast<int>(pos.x + labelInset),
             static_cast<int>(pos.y + labelInset), fontSize, BLACK);
}
