#include "panels/basePanel.h"
#include "drawnCalls.h"
#include "fakeRaylib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr Vector2 onBox{949.5f, 490}; // the middle of the base box
constexpr Vector2 elsewhere{600, 600};
// The needle ends are known to three decimals (1040.08 to two).
constexpr double needleRounding = 1e-3;

struct Step {
    Vector2 mouse;
    char typed;
    bool backspace;
};

class BasePanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        InitWindow(1280, 720, "test"); // the box width needs the font
    }

    static void type(BasePanel& panel, const std::string& digits) {
        for (char d : digits) {
            drawn::setFrame(onBox);
            panel.process(d);
        }
    }

    static void drawOnly(const BasePanel& panel) {
        fake::clearCalls();
        panel.draw();
    }
};

TEST_F(BasePanelTest, DrawsOutlineDiscNeedleLabelAndBoxAtStart) {
    using drawn::black;
    BasePanel panel;
    EXPECT_EQ(panel.getBase(), 0);
    drawn::setFrame(elsewhere);
    panel.process(0);
    drawOnly(panel);
    drawn::expectCalls(
        fake::drawCalls(),
        {
            {"DrawRectangleLinesEx", {906.712f, 430.0215f, 533.36f, 333.35f, 4.0002f}, black},
            {"DrawCircle", {1136, 576, 136.6735f}, drawn::lightGray},
            {"DrawCircleLines", {1136, 576, 136.6735f}, black},
            {"DrawCircleLines", {1136, 576, 137.6735f}, black},
            {"DrawCircleLines", {1136, 576, 138.6735f}, black},
            {"DrawCircleLines", {1136, 576, 139.6735f}, black},
            {"DrawLineEx",
             {1136.7235, 576.6955, 1136.7235, 713.369, 4.0002},
             black,
             "",
             needleRounding},
            {"DrawLineEx",
             {1136.7235, 576.6955, 1136.7235, 440.022, 4.0002},
             black,
             "",
             needleRounding},
            {"DrawText", {920, 446, 26}, black, "Base"},
            {"DrawRectangleRec", {923.3795f, 473.357f, 52.334f, 33.335f}, black},
            {"DrawRectangle", {926, 476, 45, 26}, drawn::lightGray},
            {"DrawText", {949, 478, 26}, black, ""},
        },
        "start");
}

TEST_F(BasePanelTest, NeedleFollowsTheTypedAngle) {
    struct Case {
        const char* typed;
        int base;
        Vector2 firstEnd;  // at the base angle
        Vector2 secondEnd; // half a turn on
        int textX;
    } cases[] = {
        {"", 0, {1136.7235f, 713.369f}, {1136.7235f, 440.022f}, 949},
        {"90", 90, {1000.05f, 576.6955f}, {1273.397f, 576.6955f}, 936},
        {"45", 45, {1040.08f, 673.338f}, {1233.366f, 480.053f}, 936},
        {"405", 405, {1040.08f, 673.338f}, {1233.366f, 480.053f}, 930},
    };
    for (const Case& c : cases) {
        fake::reset();
        InitWindow(1280, 720, "test");
        BasePanel panel;
        type(panel, c.typed);
        EXPECT_EQ(panel.getBase(), c.base) << c.typed;
        drawOnly(panel);
        const std::vector<fake::Call> needle = drawn::callsNamed("DrawLineEx");
        drawn::expectCalls(needle,
                           {{"DrawLineEx",
                             {1136.7235f, 576.6955f, c.firstEnd.x, c.firstEnd.y, 4.0002f},
                             drawn::black,
                             "",
                             needleRounding},
                            {"DrawLineEx",
                             {1136.7235f, 576.6955f, c.secondEnd.x, c.secondEnd.y, 4.0002f},
                             drawn::black,
                             "",
                             needleRounding}},
                           std::string("typed \"") + c.typed + '"');
        const std::vector<fake::Call> texts = drawn::callsNamed("DrawText");
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[1].text, c.typed);
        EXPECT_EQ(texts[1].numbers, (std::vector<double>{double(c.textX), 478, 26})) << c.typed;
    }
}

TEST_F(BasePanelTest, ProcessTypesThenDeletesWhileHovered) {
    struct Case {
        const char* name;
        const char* start; // typed first over the box
        std::vector<Step> steps;
        int base;
    } cases[] = {
        {"digit and Backspace in one frame cancel", "4", {{onBox, '5', true}}, 4},
        {"full box: digit refused, Backspace removes the last", "123", {{onBox, '4', true}}, 12},
        {"a fourth digit refused", "123", {{onBox, '4', false}}, 123},
        {"a non-digit refused", "1", {{onBox, 'x', false}}, 1},
        {"pointer elsewhere", "12", {{elsewhere, '3', false}, {elsewhere, 0, true}}, 12},
        {"one digit per Backspace press", "123", {{onBox, 0, true}, {onBox, 0, true}}, 1},
    };
    for (const Case& c : cases) {
        BasePanel panel;
        type(panel, c.start);
        for (const Step& s : c.steps) {
            drawn::setFrame(s.mouse, s.backspace);
            panel.process(s.typed);
        }
        EXPECT_EQ(panel.getBase(), c.base) << c.name;
        // The box shows what it kept.
        drawOnly(panel);
        const std::vector<fake::Call> texts = drawn::callsNamed("DrawText");
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[1].text, c.base == 0 ? "" : std::to_string(c.base)) << c.name;
    }
}

} // namespace
