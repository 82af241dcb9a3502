#pragma once

#include "raylib.h"

#include <string>

// The end of a line from start, length pixels long, at a line angle in
// degrees: 0 points down the screen, positive angles turn clockwise.
Vector2 lineEnd(Vector2 start, float length, float angle);

// Draws a thick line from start to lineEnd(start, length, angle).
void drawLineSLAW(Vector2 start, float length, float angle, float width, Color color);

// Program files: one waypoint per line. Every call opens, reads or rewrites,
// and closes the file; nothing is kept between calls.

// The line lineFromEnd places before the end (0 = the last line), or "".
std::string readLine(const std::string& filename, int lineFromEnd);

// Appends line and a line break.
void appendLine(const std::string& filename, const std::string& line);

// Removes the last line.
void removeLastLine(const std::string& filename);

// The number of lines, or -1 when the file cannot be opened.
int countLinesInFile(const std::string& filename);
