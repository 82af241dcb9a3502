#include "utils.h"

// raymath initialises its C structs with { 0 }, which C++ warns about.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include "raymath.h"
#pragma GCC diagnostic pop

namespace {

// pi / 180 rounded to single precision.
constexpr float degreesToRadians = 0.017453292f;

} // namespace

void drawLineSLAW(Vector2 start, float length, float angle, float width, Color color) {
    Vector2 direction{0, 1};
    direction = Vector2Rotate(direction, degreesToRadians * angle);
    direction = Vector2Scale(direction, length);
    const Vector2 end = Vector2Add(start, direction);
    DrawLineEx(start, end, width, color);
}
