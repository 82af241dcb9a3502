#pragma once

#include "raylib.h"

#include <string>

// A labelled push button sized from its label. It reports a left click in
// the frame of the press, with the pointer on the button.
class Button {
  public:
    Button(Vector2 pos, std::string text, Color color);

    // Samples the mouse once a frame.
    void process();
    // What the last process() saw.
    bool isPressed() const;

    void draw() const;

  private:
    Vector2 pos;
    Vector2 size;
    std::string text;
    Color color;
    bool state;
};
