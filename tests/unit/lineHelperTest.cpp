#include "drawnCalls.h"
#include "fakeRaylib.h"
#include "utils.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Line angles: 0 points down the screen, positive turns clockwise. The ends
// are compared up to float rounding of sin and cos near the axes.
TEST(LineHelper, EndFollowsLengthAndLineAngle) {
    constexpr double floatRounding = 2e-5;
    constexpr Color color{1, 2, 3, 4};
    struct Case {
        float length;
        float angle;
        Vector2 end;
    } cases[] = {
        {10, 0, {100, 110}},
        {10, 90, {90, 100}},
        {10, 180, {100, 90}},
        {10, -90, {110, 100}},
        {10, 270, {110, 100}},
        {0, 37, {100, 100}},
        {-10, 0, {100, 90}},
        {10, 45, {92.928932f, 107.071068f}},
        {10, 405, {92.928932f, 107.071068f}},
    };
    for (const Case& c : cases) {
        fake::reset();
        drawLineSLAW({100, 100}, c.length, c.angle, 4.0002f, color);
        drawn::expectCalls(
            fake::drawCalls(),
            {{"DrawLineEx", {100, 100, c.end.x, c.end.y, 4.0002f}, color, "", floatRounding}},
            "length " + std::to_string(c.length) + " angle " + std::to_string(c.angle));
    }
}

// Where sin and cos are exact the end is too: the start and width arrive
// unrounded and a zero length gives the start itself.
TEST(LineHelper, ExactWhereTheTurnIsExact) {
    const Vector2 start{453.356f, 703.3685f};
    struct Case {
        float length;
        Vector2 end;
    } cases[] = {{223.3445f, {453.356f, 703.3685f + 223.3445f}}, {0, start}};
    for (const Case& c : cases) {
        fake::reset();
        drawLineSLAW(start, c.length, 0, 3.3335f, drawn::offWhite);
        drawn::expectCalls(
            fake::drawCalls(),
            {{"DrawLineEx", {start.x, start.y, c.end.x, c.end.y, 3.3335f}, drawn::offWhite}},
            "length " + std::to_string(c.length));
    }
}

} // namespace
