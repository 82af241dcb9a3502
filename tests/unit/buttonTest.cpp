#include "UI/button.h"
#include "drawnCalls.h"
#include "fakeRaylib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        InitWindow(1280, 720, "test");
    }
};

fake::Frame pointer(Vector2 mouse, bool leftClick) {
    fake::Frame f;
    f.mouse = mouse;
    f.leftClick = leftClick;
    return f;
}

// The hit rectangle that process() tests shows the size: label width at
// font 26 plus 13.334, summed in float, by 40.002.
TEST_F(ButtonTest, SizeFollowsTheLabel) {
    const std::string nineteen(19, 'x'); // 247 wide: here the float sum is one ulp below 260.334
    struct Case {
        std::string label;
        float width;
    } cases[] = {
        {"Pole", 65.334f}, {"Remove", 91.334f}, {"", 13.334f}, {nineteen, 247.0f + 13.334f}};
    ASSERT_NE(247.0f + 13.334f, 260.334f);
    for (const Case& c : cases) {
        Button button({100, 200}, c.label, drawn::gray);
        fake::clearCalls();
        button.process();
        const std::vector<fake::Call> hit = drawn::callsNamed("CheckCollisionPointRec");
        ASSERT_EQ(hit.size(), 1u) << c.label;
        EXPECT_EQ(hit[0].numbers, (std::vector<double>{-1000, -1000, 100, 200, c.width, 40.002f}))
            << c.label;
    }
}

TEST_F(ButtonTest, ClickCountsInTheFrameOfThePressInsideAndTheMouseButtonIsAskedOnlyThere) {
    const Vector2 on{130, 220};
    struct Step {
        const char* what;
        fake::Frame frame;
        bool pressed;
        bool buttonAsked; // the mouse button is only asked about inside
    } steps[] = {
        {"pointer inside, left button goes down", pointer(on, true), true, true},
        {"button held", pointer(on, false), false, true},
        {"pointer on the button, no click", pointer(on, false), false, true},
        {"press outside", pointer({90, 220}, true), false, false},
        {"moved inside, button held", pointer(on, false), false, true},
        {"press on the top left corner", pointer({100, 200}, true), true, true},
        {"press on the right edge", pointer({165.334f, 220}, true), false, false},
        {"press on the bottom edge", pointer({130, 240.002f}, true), false, false},
    };
    Button button({100, 200}, "Pole", drawn::gray);
    EXPECT_FALSE(button.isPressed()) << "before the first process";
    for (const Step& s : steps) {
        fake::setFrame(s.frame);
        fake::clearCalls();
        button.process();
        EXPECT_EQ(button.isPressed(), s.pressed) << s.what;
        EXPECT_EQ(button.isPressed(), s.pressed) << s.what << ", asked again";
        EXPECT_EQ(drawn::callsNamed("IsMouseButtonPressed").size(), s.buttonAsked ? 1u : 0u)
            << s.what;
    }
}

// Face and label offsets are summed in double precision: at the odd
// position below a float sum would put the face at x 100 and the label at y 10.
TEST_F(ButtonTest, DrawsOutlineFaceAndLabel) {
    using drawn::black;
    struct Case {
        Vector2 pos;
        std::string label;
        Color color;
        std::vector<drawn::Call> expected;
    } cases[] = {
        {{133.34f, 30.33485f},
         "Pole",
         drawn::gray,
         {{"DrawRectangle", {133, 30, 65, 40}, black},
          {"DrawRectangle", {136, 33, 58, 33}, drawn::gray},
          {"DrawText", {140, 37, 26}, black, "Pole"}}},
        {{96.6664963f, 3.33299971f},
         "Send",
         drawn::green,
         {{"DrawRectangle", {96, 3, 65, 40}, black},
          {"DrawRectangle", {99, 6, 58, 33}, drawn::green},
          {"DrawText", {103, 9, 26}, black, "Send"}}},
        {{0, 0},
         std::string(19, 'x'),
         drawn::gray,
         {{"DrawRectangle", {0, 0, 260, 40}, black},
          {"DrawRectangle", {3, 3, 253, 33}, drawn::gray},
          {"DrawText", {6, 6, 26}, black, std::string(19, 'x')}}},
    };
    for (const Case& c : cases) {
        Button button(c.pos, c.label, c.color);
        fake::setFrame(pointer({c.pos.x + 10, c.pos.y + 10}, false));
        button.process();
        fake::clearCalls();
        button.draw();
        drawn::expectCalls(fake::drawCalls(), c.expected, c.label);
    }
}

} // namespace
