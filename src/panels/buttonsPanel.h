#pragma once

#include "UI/button.h"
#include "raylib.h"

// What getButton reports: the button clicked this frame.
inline constexpr int noButton = 0;
inline constexpr int poleButton = 1;
inline constexpr int zeroButton = 2;
inline constexpr int sendButton = 3;

// The action bar: "Pole", "Zero" and "Send" in a frame across the top left.
class ButtonsPanel {
  public:
    ButtonsPanel();

    // Lets the three buttons sample the mouse, once a frame.
    void process();
    // The button clicked this frame, one of the codes above; the first in
    // the order Pole, Zero, Send wins.
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
