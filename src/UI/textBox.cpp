#include "UI/textBox.h"

#include "layoutScale.h"

#include <utility>

namespace {

// The black rim on each side and the text's offset from the top; the sums
// with these are made in double precision.
constexpr double rimWidth = scaledDouble(2.5);
constexpr double rimWidths = scaledDouble(2 * 2.5);
constexpr double textTop = scaledDouble(3.75);

} // namespace

TextBox::TextBox(float startX, float startY, float width, float height, int length, bool numberOnly)
    : box{startX, startY, width, height}, length(length), numberOnly(numberOnly) {}

bool TextBox::isHovered() const {
    return CheckCollisionPointRec(GetMousePosition(), box);
}

bool TextBox::accepts(char newChar) const {
    if (numberOnly) {
        return newChar >= '0' && newChar <= '9';
    }
    // Read as a signed byte: 0 is "nothing typed", negatives are beyond ASCII.
    return static_cast<signed char>(newChar) > 0;
}

void TextBox::addChar(char newChar) {
    if (!isHovered()) {
        return;
    }
    if (static_cast<int>(text.size()) >= length) {
        return;
    }
    if (accepts(newChar)) {
        text.push_back(newChar);
    }
}

void TextBox::deleteChar() {
    if (!isHovered()) {
        return;
    }
    if (!text.empty()) {
        text.pop_back();
    }
}

void TextBox::setText(std::string newText) {
    text = std::move(newText);
}

std::string TextBox::getString() const {
    return text;
}

int TextBox::getInt() const {
    if (text.empty()) {
        return 0;
    }
    return std::stoi(text, nullptr, 10);
}

void TextBox::draw() const {
    DrawRectangleRec(box, BLACK);
    DrawRectangle(static_cast<int>(box.x + rimWidth), static_cast<int>(box.y + rimWidth),
                  static_cast<int>(box.width - rimWidths), static_cast<int>(box.height - rimWidths),
                  LIGHTGRAY);
    const int fontSize = static_cast<int>(box.height - rimWidths);
    const int textWidth = MeasureText(text.c_str(), fontSize);
    // Centred in single precision, with the text width halved as an int.
    const float centredX = box.x + box.width / 2 - static_cast<float>(textWidth / 2);
    DrawText(text.c_str(), static_cast<int>(centredX), static_cast<int>(box.y + textTop), fontSize,
             BLACK);
}
