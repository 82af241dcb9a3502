// A recording stand-in for the raylib functions the panel calls. Unit tests
// link the core against it instead of raylib: each test scripts the input of
// a frame and reads back every call with its exact arguments.
#pragma once

#include "raylib.h"

#include <string>
#include <vector>

namespace fake {

// One call as the product made it. Numbers are every numeric argument in
// order (a Vector2 gives x, y; a Rectangle x, y, width, height), ints and
// floats alike, unrounded: a float converts to double exactly.
struct Call {
    std::string name;
    std::vector<double> numbers;
    std::string text;
    Color color{0, 0, 0, 0};
    bool hasColor = false;
};

// What the user does in one frame.
struct Frame {
    Vector2 mouse{-1000, -1000};
    int character = 0;           // code point returned once by GetCharPressed
    std::vector<int> keys;       // keys pressed this frame
    bool leftClick = false;      // left mouse button went down this frame
    bool closeRequested = false; // close button or Escape
    // When set, successive GetMousePosition calls of the frame return these
    // points in turn, staying on the last: for cases no single pointer makes.
    std::vector<Vector2> mousePath;
};

// Forgets every call and input; the window is closed and would open.
void reset();

// The input that the current frame reports.
void setFrame(const Frame& frame);

// Frames that WindowShouldClose hands out one by one, for running the frame
// loop; once they are used up WindowShouldClose returns true.
void scriptFrames(const std::vector<Frame>& frames);

// Makes the next InitWindow leave the window not ready.
void failWindow();

// Every call recorded since reset, in order.
const std::vector<Call>& calls();

// The recorded calls whose name starts with "Draw" or which clear the screen.
std::vector<Call> drawCalls();

// Forgets the recorded calls, keeping the input and the window state.
void clearCalls();

// Number of frames WindowShouldClose has started.
int framesStarted();

// The model of MeasureText: 0 before InitWindow (no font loaded yet), then
// fontSize / 2 per byte, rounded down once over the whole text.
int modelTextWidth(const std::string& text, int fontSize);

} // namespace fake
