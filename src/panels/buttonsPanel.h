#pragma once

#include "UI/button.h"
#include "raylib.h"

// The action bar: "Pole", "Zero" and "Send" in a frame across the top left.
class ButtonsPanel {
  public:
    ButtonsPanel();

    // Lets the three buttons sample the mouse, once a frame.
    void process();
    // The button clicked this frame: 0 none, 1 Pole, 2 Zero, 3 Send; the
    // first in that order wins.
    int getButton() const;
    void draw() const;

  private:
    Vector2 polePos;
    Vector2 zeroPos;
    Vector2 sendPos;
    Rectangle border;
    Button pole;
    Button zero;
    Button send;
};
