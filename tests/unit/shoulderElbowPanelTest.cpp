#include "panels/shoulderElbowPanel.h"
#include "drawnCalls.h"
#include "fakeRaylib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr Vector2 onElbow{976.2145f, 346.684f}; // middles of the two boxes
constexpr Vector2 onShoulder{976.2145f, 406.687f};
constexpr Vector2 elsewhere{600, 600};

struct Step {
    Vector2 mouse;
    char typed;
    bool backspace;
};

class ShoulderElbowPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        InitWindow(1280, 720, "test"); // the box widths need the font
    }

    static void run(ShoulderElbowPanel& panel, const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            drawn::setFrame(s.mouse, s.backspace);
            panel.process(s.typed);
        }
    }

    static void type(ShoulderElbowPanel& panel, Vector2 box, const std::string& digits) {
        for (char d : digits) {
            run(panel, {{box, d, false}});
        }
    }
};

TEST_F(ShoulderElbowPanelTest, DrawsOutlineBoxesLabelsAndArmAtStart) {
    using drawn::black;
    using drawn::gray;
    using drawn::lightGray;
    using drawn::offWhite;
    ShoulderElbowPanel panel;
    EXPECT_EQ(panel.getElbow(), 0);
    EXPECT_EQ(panel.getShoulder(), 0);
    run(panel, {{elsewhere, 0, false}});
    fake::clearCalls();
    panel.draw();
    drawn::expectCalls(
        fake::drawCalls(),
        {
            {"DrawRectangleLinesEx", {906.712f, 296.6815f, 146.674f, 137.3402f, 4.0002f}, black},
            {"DrawRectangleRec", {950.0475f, 330.0165f, 52.334f, 33.335f}, black},
            {"DrawRectangle", {953, 333, 45, 26}, lightGray},
            {"DrawText", {976, 335, 26}, black, ""},
            {"DrawRectangleRec", {950.0475f, 390.0195f, 52.334f, 33.335f}, black},
            {"DrawRectangle", {953, 393, 45, 26}, lightGray},
            {"DrawText", {976, 395, 26}, black, ""},
            {"DrawText", {943, 303, 26}, black, "Elbow"},
            {"DrawText", {920, 363, 26}, black, "Shoulder"},
            {"DrawLineEx",
             {453.356, 703.3685, 230.0115, 703.3685, 3.3335},
             offWhite,
             "",
             drawn::rounded},
            {"DrawCircle", {453, 703, 10.0005f}, gray},
            {"DrawLineEx",
             {230.0115, 703.3685, 230.0115, 480.024, 3.3335},
             offWhite,
             "",
             drawn::rounded},
            {"DrawCircle", {230, 703, 10.0005f}, gray},
        },
        "start");
}

TEST_F(ShoulderElbowPanelTest, ArmFollowsThePosture) {
    struct Case {
        const char* shoulder;
        const char* elbow;
        Vector2 elbowPoint;
        int circleX, circleY;
        Vector2 forearmEnd;
    } cases[] = {
        {"", "", {230.0115f, 703.3685f}, 230, 703, {230.0115f, 480.024f}},
        {"97", "90", {480.5748f, 481.6888f}, 480, 481, {507.7936f, 260.0091f}},
        {"90", "90", {453.356f, 480.024f}, 453, 480, {453.356f, 256.6796f}},
        {"90", "0", {453.356f, 480.024f}, 453, 480, {676.7005f, 480.024f}},
        {"180", "90", {676.7005f, 703.3685f}, 676, 703, {900.045f, 703.3685f}},
        {"0", "180", {230.0115f, 703.3685f}, 230, 703, {230.0115f, 926.713f}},
    };
    for (const Case& c : cases) {
        const std::string posture = std::string(c.shoulder) + "," + c.elbow;
        fake::reset();
        InitWindow(1280, 720, "test");
        ShoulderElbowPanel panel;
        type(panel, onShoulder, c.shoulder);
        type(panel, onElbow, c.elbow);
        EXPECT_EQ(panel.getShoulder(), std::atoi(c.shoulder)) << posture;
        EXPECT_EQ(panel.getElbow(), std::atoi(c.elbow)) << posture;
        fake::clearCalls();
        panel.draw();
        const std::vector<fake::Call> segments = drawn::callsNamed("DrawLineEx");
        drawn::expectCalls(
            segments,
            {{"DrawLineEx",
              {453.356f, 703.3685f, c.elbowPoint.x, c.elbowPoint.y, 3.3335f},
              drawn::offWhite,
              "",
              drawn::rounded},
             {"DrawLineEx",
              {c.elbowPoint.x, c.elbowPoint.y, c.forearmEnd.x, c.forearmEnd.y, 3.3335f},
              drawn::offWhite,
              "",
              drawn::rounded}},
            posture);
        ASSERT_EQ(segments.size(), 2u);
        // The forearm starts exactly where the upper arm ends.
        EXPECT_EQ(segments[1].numbers[0], segments[0].numbers[2]) << posture;
        EXPECT_EQ(segments[1].numbers[1], segments[0].numbers[3]) << posture;
        const std::vector<fake::Call> joints = drawn::callsNamed("DrawCircle");
        drawn::expectCalls(
            joints,
            {{"DrawCircle", {453, 703, 10.0005f}, drawn::gray},
             {"DrawCircle", {double(c.circleX), double(c.circleY), 10.0005f}, drawn::gray}},
            posture);
    }
}

TEST_F(ShoulderElbowPanelTest, EachBoxTakesOnlyWhileHovered) {
    struct Case {
        const char* name;
        std::vector<Step> steps; // after "12" in the elbow box, "34" in the shoulder box
        int elbow, shoulder;
    } cases[] = {
        {"digit over the elbow box", {{onElbow, '5', false}}, 125, 34},
        {"digit over the shoulder box", {{onShoulder, '5', false}}, 12, 345},
        {"digit over neither", {{elsewhere, '5', false}}, 12, 34},
        {"Backspace over the shoulder box", {{onShoulder, 0, true}}, 12, 3},
        {"Backspace over the elbow box", {{onElbow, 0, true}}, 1, 34},
        {"Backspace over neither", {{elsewhere, 0, true}}, 12, 34},
        {"digit and Backspace in one frame cancel", {{onShoulder, '5', true}}, 12, 34},
        {"full box: digit refused, Backspace removes the last",
         {{onElbow, '5', false}, {onElbow, '6', true}},
         12,
         34},
    };
    for (const Case& c : cases) {
        ShoulderElbowPanel panel;
        type(panel, onElbow, "12");
        type(panel, onShoulder, "34");
        run(panel, c.steps);
        EXPECT_EQ(panel.getElbow(), c.elbow) << c.name;
        EXPECT_EQ(panel.getShoulder(), c.shoulder) << c.name;
    }
}

} // namespace
