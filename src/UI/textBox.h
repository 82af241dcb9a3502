#pragma once

#include "raylib.h"

#include <string>

// A short editable text. There is no keyboard focus: the box takes a typed
// character or a Backspace only while the mouse pointer is inside it.
class TextBox {
  public:
    TextBox(float startX, float startY, float width, float height, int length, bool numberOnly);

    // Appends newChar when hovered, below length and accepted by the filter.
    void addChar(char newChar);
    // Removes the last character when hovered.
    void deleteChar();
    // Replaces the text without the hover, length or filter checks.
    void setText(std::string newText);

    std::string getString() const;
    // The text as a decimal number; 0 when empty.
    int getInt() const;

    void draw() const;

  private:
    bool isHovered() const;
    bool accepts(char newChar) const;

    Rectangle box;
    std::string text;
    int length;
    bool numberOnly;
};
