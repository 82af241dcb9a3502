#pragma once

#include "UI/button.h"
#include "UI/textBox.h"
#include "raylib.h"

#include <sstream>
#include <string>

// Opens a program file by name, appends the current position to it, removes
// its last waypoint, lists the last nine and raises the play request. Holds
// no file open: every action and every drawn row goes to the file anew.
class ProgramPanel {
  public:
    ProgramPanel();

    // a: this frame's typed character; then the four joint values.
    void process(char a, int currentBaseInput, int currentShoulderInput, int currentElbowInput,
                 int currentGripperInput);
    void draw() const;

    // Set by Play; the playback clears it.
    bool isPlayPressed;
    // The open program file; "" when no program is open.
    std::string currentFilePath;

  private:
    void drawWaypoints() const;

    Rectangle nameInputRec;
    Vector2 saveButtonPos;
    Vector2 loadButtonPos;
    Vector2 addButtonPos;
    Vector2 removeButtonPos;
    Vector2 playButtonPos;
    TextBox nameInput;
    Button saveButton;
    Button loadButton;
    Button addButton;
    Button removeButton;
    Button playButton;
    std::ostringstream oss;
    // Lines before the end of the file at which the list starts.
    int offset;
};
