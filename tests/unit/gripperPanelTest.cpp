#include "panels/gripperPanel.h"
#include "drawnCalls.h"
#include "fakeRaylib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr Vector2 onBox{976.2145f, 273.347f}; // the middle of the gripper box
constexpr Vector2 elsewhere{600, 600};

struct Step {
    Vector2 mouse;
    char typed;
    bool backspace;
};

class GripperPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        InitWindow(1280, 720, "test"); // the box width needs the font
    }

    static void run(GripperPanel& panel, const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            drawn::setFrame(s.mouse, s.backspace);
            panel.process(s.typed);
        }
    }

    // Empties the preset box over it, then types text.
    static void retype(GripperPanel& panel, const std::string& text) {
        run(panel, {{onBox, 0, true}, {onBox, 0, true}, {onBox, 0, true}});
        for (char d : text) {
            run(panel, {{onBox, d, false}});
        }
    }
};

TEST_F(GripperPanelTest, DrawsBoxLabelJawsPivotThenOutlineAtStart) {
    using drawn::black;
    GripperPanel panel;
    EXPECT_EQ(panel.getGripper(), 160) << "preset before any process";
    run(panel, {{elsewhere, 0, false}});
    fake::clearCalls();
    panel.draw();
    drawn::expectCalls(
        fake::drawCalls(),
        {
            {"DrawRectangleRec", {950.0475f, 256.6795f, 52.334f, 33.335f}, black},
            {"DrawRectangle", {953, 260, 45, 26}, drawn::lightGray},
            {"DrawText", {957, 261, 26}, black, "160"},
            {"DrawText", {926, 223, 26}, black, "Gripper"},
            {"DrawLineEx",
             {976.7155, 203.3435, 942.5118, 109.3695, 3.3335},
             drawn::white,
             "",
             drawn::rounded},
            {"DrawLineEx",
             {976.7155, 203.3435, 1010.9193, 109.3695, 3.3335},
             drawn::white,
             "",
             drawn::rounded},
            {"DrawCircleV", {976.7155f, 203.3435f, 10.0005f}, drawn::gray},
            {"DrawRectangleLinesEx", {906.712f, 96.6715f, 146.674f, 204.0102f, 4.0002f}, black},
        },
        "start");
}

TEST_F(GripperPanelTest, PreviewRaisesSmallValuesButGetterDoesNot) {
    struct Case {
        const char* text; // nullptr: the preset, untouched
        int gripper;
        Vector2 firstJaw, secondJaw;
    } cases[] = {
        {nullptr, 160, {942.5118f, 109.3695f}, {1010.9193f, 109.3695f}},
        {"180", 180, {976.7155f, 103.3385f}, {976.7155f, 103.3385f}},
        {"90", 90, {876.7105f, 203.3435f}, {1076.7205f, 203.3435f}},
        {"89", 89, {876.7105f, 203.3435f}, {1076.7205f, 203.3435f}},
        {"45", 45, {876.7105f, 203.3435f}, {1076.7205f, 203.3435f}},
        {"", 0, {876.7105f, 203.3435f}, {1076.7205f, 203.3435f}},
        {"200", 200, {1010.9193f, 109.3695f}, {942.5118f, 109.3695f}},
    };
    for (const Case& c : cases) {
        const std::string name = c.text == nullptr ? "preset" : '"' + std::string(c.text) + '"';
        GripperPanel panel;
        if (c.text == nullptr) {
            run(panel, {{elsewhere, 0, false}});
        } else {
            retype(panel, c.text);
        }
        EXPECT_EQ(panel.getGripper(), c.gripper) << name;
        fake::clearCalls();
        panel.draw();
        drawn::expectCalls(drawn::callsNamed("DrawLineEx"),
                           {{"DrawLineEx",
                             {976.7155f, 203.3435f, c.firstJaw.x, c.firstJaw.y, 3.3335f},
                             drawn::white,
                             "",
                             drawn::rounded},
                            {"DrawLineEx",
                             {976.7155f, 203.3435f, c.secondJaw.x, c.secondJaw.y, 3.3335f},
                             drawn::white,
                             "",
                             drawn::rounded}},
                           name);
    }
}

TEST_F(GripperPanelTest, PresetIsFullUntilBackspaceMakesRoom) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int gripper;
    } cases[] = {
        {"a fourth digit refused", {{onBox, '5', false}}, 160},
        {"digit and Backspace in one frame", {{onBox, '5', true}}, 16},
        {"Backspace, then a digit", {{onBox, 0, true}, {onBox, '5', false}}, 165},
        {"Backspace elsewhere", {{elsewhere, 0, true}}, 160},
        {"all three digits deleted", {{onBox, 0, true}, {onBox, 0, true}, {onBox, 0, true}}, 0},
    };
    for (const Case& c : cases) {
        GripperPanel panel;
        run(panel, c.steps);
        EXPECT_EQ(panel.getGripper(), c.gripper) << c.name;
    }
}

} // namespace
