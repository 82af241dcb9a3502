#pragma once

#include "UI/textBox.h"
#include "raylib.h"

// The gripper value: one three-digit box, preset to "160", and a preview of
// the jaws opening upward from a pivot.
class GripperPanel {
  public:
    GripperPanel();

    // Feeds this frame's typed character and Backspace to the box.
    void process(char a);
    void draw() const;
    // The value as typed, not raised for the preview.
    int getGripper() const;

  private:
    Rectangle border;
    float borderWidth;
    Color borderColor;

    Vector2 gripperInputPos;
    Vector2 gripperInputSize;
    Vector2 gripperTextPos;
    Vector2 previewPos;
    float previewLength;

    TextBox gripperInput;
    int currentGripper;
};
