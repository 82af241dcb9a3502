#include "app.h"
#include "fakeRaylib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> shellCalls = {
    "InitWindow",   "IsWindowReady",   "SetTargetFPS", "ToggleFullscreen", "WindowShouldClose",
    "BeginDrawing", "ClearBackground", "EndDrawing",   "CloseWindow"};

std::vector<std::string> namesAmong(const std::vector<std::string>& wanted) {
    std::vector<std::string> names;
    for (const fake::Call& c : fake::calls()) {
        for (const std::string& w : wanted) {
            if (c.name == w) {
                names.push_back(c.name);
            }
        }
    }
    return names;
}

// Runs the real program for the scripted frames, with the serial port's
// complaints kept off the test's console.
int runFrames(const std::vector<fake::Frame>& frames) {
    fake::reset();
    fake::scriptFrames(frames);
    std::ostringstream err;
    std::streambuf* old = std::cerr.rdbuf(err.rdbuf());
    int status = runTallomir("");
    std::cerr.rdbuf(old);
    return status;
}

size_t indexOf(const std::string& name, size_t from = 0) {
    const std::vector<fake::Call>& calls = fake::calls();
    for (size_t i = from; i < calls.size(); ++i) {
        if (calls[i].name == name) {
            return i;
        }
    }
    return calls.size();
}

} // namespace

TEST(FrameLoop, WindowNotReadyReportsAndCreatesNothing) {
    fake::reset();
    fake::failWindow();
    testing::internal::CaptureStdout();
    int status = runTallomir("");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Window failed to initialize.\n");
    EXPECT_EQ(status, -1);
    std::vector<std::string> names;
    for (const fake::Call& c : fake::calls()) {
        names.push_back(c.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"InitWindow", "IsWindowReady"}));
}

TEST(FrameLoop, StartsRunsAFrameAndShutsDownInOrder) {
    EXPECT_EQ(runFrames({fake::Frame{}}), 0);
    EXPECT_EQ(
        namesAmong(shellCalls),
        (std::vector<std::string>{"InitWindow", "IsWindowReady", "SetTargetFPS", "ToggleFullscreen",
                                  "WindowShouldClose", "BeginDrawing", "ClearBackground",
                                  "EndDrawing", "WindowShouldClose", "CloseWindow"}));
    const std::vector<fake::Call>& calls = fake::calls();
    const fake::Call& init = calls[indexOf("InitWindow")];
    EXPECT_EQ(init.numbers, (std::vector<double>{1280, 720}));
    EXPECT_EQ(init.text, "Tallomir");
    EXPECT_EQ(calls[indexOf("SetTargetFPS")].numbers, (std::vector<double>{60}));
    const fake::Call& clear = calls[indexOf("ClearBackground")];
    EXPECT_EQ((std::vector<int>{clear.color.r, clear.color.g, clear.color.b, clear.color.a}),
              (std::vector<int>{80, 80, 80, 255}));
    // The panels measure their labels only once the window has its font.
    EXPECT_GT(indexOf("MeasureText"), indexOf("ToggleFullscreen"));
}

TEST(FrameLoop, FeedsThePanelsInOrderAndDrawsThemInOrder) {
    runFrames({fake::Frame{}});
    // Each panel's boxes and buttons test the pointer in the order the loop
    // feeds them: shoulder and elbow, base, gripper, action bar, programs.
    std::vector<std::pair<double, double>> tested;
    for (const fake::Call& c : fake::calls()) {
        if (c.name == "CheckCollisionPointRec") {
            tested.emplace_back(c.numbers[2], c.numbers[3]);
        }
    }
    const std::vector<std::pair<double, double>> expected = {
        {950.0475f, 330.0165f}, {950.0475f, 390.0195f}, {923.3795f, 473.357f},
        {950.0475f, 256.6795f}, {133.34f, 30.33485f},   {410.0205f, 30.33485f},
        {700.035f, 30.33485f},  {1060.053f, 30.33485f}, {1180.059f, 96.0048f},
        {1073.387f, 96.0048f},  {1195.3931f, 140.007f}, {1073.387f, 140.007f},
        {960.048f, 30.33485f}};
    EXPECT_EQ(tested, expected);

    // The first thing each panel draws, in drawing order: base outline,
    // shoulder and elbow outline, gripper box, Pole button, programs frame.
    std::vector<std::pair<double, double>> firsts;
    size_t begin = indexOf("ClearBackground");
    for (size_t i = begin + 1; i < fake::calls().size(); ++i) {
        firsts.emplace_back(fake::calls()[i].numbers.empty() ? 0 : fake::calls()[i].numbers[0],
                            fake::calls()[i].numbers.size() < 2 ? 0 : fake::calls()[i].numbers[1]);
    }
    auto position = [&](std::pair<double, double> p) {
        return std::find(firsts.begin(), firsts.end(), p) - firsts.begin();
    };
    EXPECT_LT(position({906.712f, 430.0215f}), position({906.712f, 296.6815f}));
    EXPECT_LT(position({906.712f, 296.6815f}), position({950.0475f, 256.6795f}));
    EXPECT_LT(position({950.0475f, 256.6795f}), position({133, 30}));
    EXPECT_LT(position({133, 30}), position({906, 0}));
    EXPECT_LT(position({906, 0}), static_cast<long>(firsts.size()));
}

TEST(FrameLoop, TakesOneCharacterPerFrameAndDropsCodePointsAbove255) {
    const Vector2 elbowBox{970, 340};
    fake::Frame wide;
    wide.mouse = elbowBox;
    wide.character = 0x431;
    fake::Frame two;
    two.mouse = elbowBox;
    two.character = '2';
    runFrames({wide, two, fake::Frame{}});
    int taken = 0;
    std::string lastElbowText = "?";
    for (const fake::Call& c : fake::calls()) {
        taken += c.name == "GetCharPressed";
        // The elbow box's text is drawn 5 pixels below the box's top.
        if (c.name == "DrawText" && c.numbers[1] == 335) {
            lastElbowText = c.text;
        }
    }
    EXPECT_EQ(taken, 3);
    EXPECT_EQ(lastElbowText, "2");
}

TEST(TypedCharacter, NarrowsToOneSignedByte) {
    struct Case {
        int codePoint;
        int expected;
    } cases[] = {{0, 0},      {'5', '5'}, {'a', 'a'}, {127, 127}, {0xE9, -23},
                 {128, -128}, {255, -1},  {256, 0},   {0x431, 0}, {0x1F600, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(narrowTypedCharacter(c.codePoint), static_cast<char>(c.expected))
            << "code point " << c.codePoint;
    }
}
