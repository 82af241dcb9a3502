#include "utils.h"

#include "raymath.h"

namespace {

// pi / 180 rounded to single precision: the turn of a line angle of one degree.
constexpr float degreesToRadians = 0.017453292f;

} // namespace

Vector2 lineEnd(Vector2 start, float length, float angle) {
    Vector2 direction{0, 1};
    direction = Vector2Rotate(direction, degreesToRadians * angle);
    direction = Vector2Scale(direction, length);
    return Vector2Add(start, direction);
}

void drawLineSLAW(Vector2 start, float length, float angle, float width, Color color) {
    DrawLineEx(start, lineEnd(start, length, angle), width, color);
}
