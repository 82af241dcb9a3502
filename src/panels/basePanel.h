#pragma once

#include "UI/textBox.h"
#include "raylib.h"

// The base rotation: one three-digit box and a needle across a disc, the
// base seen from above.
class BasePanel {
  public:
    BasePanel();

    // Feeds this frame's typed character and Backspace to the box.
    void process(char a);
    void draw() const;
    int getBase() const;

  private:
    Rectangle border;
    float borderWidth;
    Color borderColor;

    Vector2 circlePos;
    float circleSize;
    Color circleColor;
    float lineWidth;
    Color lineColor;

    Vector2 textPos;
    float fontSize;
    Color fontColor;
    Vector2 inputPos;
    Vector2 inputSize;

    int currentAngle;
    TextBox baseInput;
};
