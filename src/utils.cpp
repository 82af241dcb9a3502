#include "utils.h"

#include "raymath.h"

void drawLineSLAW(Vector2 start, float length, float angle, float width, Color color) {
    Vector2 direction{0, 1};
    direction = Vector2Rotate(direction, degreesToRadians * angle);
    direction = Vector2Scale(direction, length);
    const Vector2 end = Vector2Add(start, direction);
    DrawLineEx(start, end, width, color);
}
