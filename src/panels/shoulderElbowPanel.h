#pragma once

#include "UI/textBox.h"
#include "raylib.h"

// Shoulder and elbow angles: two three-digit boxes, the elbow box above the
// shoulder box, and the arm drawn from the side left of the panel column.
class ShoulderElbowPanel {
  public:
    ShoulderElbowPanel();

    // Feeds this frame's typed character and Backspace to both boxes.
    void process(char a);
    void draw() const;
    int getElbow() const;
    int getShoulder() const;

  private:
    Rectangle border;
    float borderWidth;
    Color borderColor;

    Vector2 elbowInputPos;
    Vector2 elbowInputSize;
    Vector2 shoulderInputPos;
    Vector2 shoulderInputSize;
    Vector2 elbowTextPos;
    float elbowTextSize;
    Color elbowTextColor;
    Vector2 shoulderTextPos;
    float shoulderTextSize;
    Color shoulderTextColor;

    TextBox elbowInput;
    TextBox shoulderInput;
    int currentElbow;
    int currentShoulder;
};
