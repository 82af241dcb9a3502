#include "panels/buttonsPanel.h"
#include "drawnCalls.h"
#include "fakeRaylib.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Middles of the three buttons, each 65.334 by 40.002 ("Pole", "Zero" and
// "Send" measure 52 at font 26).
constexpr Vector2 onPole{166, 50};
constexpr Vector2 onZero{442.7f, 50};
constexpr Vector2 onSend{732.7f, 50};
constexpr Vector2 inBarOnNoButton{50, 50};
constexpr Vector2 belowBar{300, 400};

fake::Frame click(Vector2 mouse, bool leftClick = true) {
    fake::Frame f;
    f.mouse = mouse;
    f.leftClick = leftClick;
    return f;
}

class ButtonsPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        InitWindow(1280, 720, "test"); // button widths need the font
    }
};

TEST_F(ButtonsPanelTest, DrawsButtonsThenFrame) {
    using drawn::black;
    using drawn::gray;
    ButtonsPanel panel;
    fake::clearCalls();
    panel.process();
    // The hit rectangles show the sizes the labels give.
    const std::vector<fake::Call> hits = drawn::callsNamed("CheckCollisionPointRec");
    ASSERT_EQ(hits.size(), 3u);
    const std::vector<double> rectangles[] = {
        {-1000, -1000, 133.34f, 30.33485f, 65.334f, 40.002f},
        {-1000, -1000, 410.0205f, 30.33485f, 65.334f, 40.002f},
        {-1000, -1000, 700.035f, 30.33485f, 65.334f, 40.002f}};
    for (size_t i = 0; i < hits.size(); ++i) {
        EXPECT_EQ(hits[i].numbers, rectangles[i]) << "button " << i;
    }
    fake::clearCalls();
    panel.draw();
    drawn::expectCalls(fake::drawCalls(),
                       {
                           {"DrawRectangle", {133, 30, 65, 40}, black},
                           {"DrawRectangle", {136, 33, 58, 33}, gray},
                           {"DrawText", {140, 37, 26}, black, "Pole"},
                           {"DrawRectangle", {410, 30, 65, 40}, black},
                           {"DrawRectangle", {413, 33, 58, 33}, gray},
                           {"DrawText", {416, 37, 26}, black, "Zero"},
                           {"DrawRectangle", {700, 30, 65, 40}, black},
                           {"DrawRectangle", {703, 33, 58, 33}, drawn::green},
                           {"DrawText", {706, 37, 26}, black, "Send"},
                           {"DrawRectangleLinesEx", {0, 0, 910.7122f, 100.6717f, 4.0002f}, black},
                       },
                       "bar");
}

TEST_F(ButtonsPanelTest, CodeOnlyInTheFrameOfTheClick) {
    struct Step {
        const char* what;
        fake::Frame frame;
        int code;
    } steps[] = {
        {"click on Send", click(onSend), 3},
        {"Send held down", click(onSend, false), 0},
        {"click on Pole", click(onPole), 1},
        {"click on Zero", click(onZero), 2},
        {"pointer on Zero, no click", click(onZero, false), 0},
        {"click in the bar, on no button", click(inBarOnNoButton), 0},
        {"click below the bar", click(belowBar), 0},
    };
    ButtonsPanel panel;
    EXPECT_EQ(panel.getButton(), 0) << "before the first process";
    for (const Step& s : steps) {
        fake::setFrame(s.frame);
        panel.process();
        EXPECT_EQ(panel.getButton(), s.code) << s.what;
        EXPECT_EQ(panel.getButton(), s.code) << s.what << ", asked again";
    }
}

// No real pointer is on two buttons at once; the fake hands each button's
// mouse read its own point (Pole reads first, then Zero, then Send).
TEST_F(ButtonsPanelTest, FirstOfPoleZeroSendWins) {
    struct Case {
        std::vector<Vector2> pointPerButton;
        int code;
    } cases[] = {
        {{onPole, onZero, onSend}, 1},     {{onPole, belowBar, onSend}, 1},
        {{belowBar, onZero, onSend}, 2},   {{belowBar, belowBar, onSend}, 3},
        {{belowBar, onZero, belowBar}, 2},
    };
    for (const Case& c : cases) {
        ButtonsPanel panel;
        fake::Frame f = click(belowBar);
        f.mousePath = c.pointPerButton;
        fake::setFrame(f);
        panel.process();
        EXPECT_EQ(panel.getButton(), c.code);
    }
}

} // namespace
