#include "app.h"
#include "captured.h"
#include "fakeRaylib.h"
#include "fileText.h"
#include "programFolders.h"
#include "scriptedController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Runs the real program for the scripted frames, its serial port on the
// scripted controller's line, and keeps what it printed.
struct Outcome {
    int status = 0;
    std::string out;
    std::string err;
};

Outcome runFrames(const std::vector<fake::Frame>& frames, const std::string& port) {
    fake::reset();
    fake::scriptFrames(frames);
    Captured out(std::cout);
    Captured err(std::cerr);
    Outcome run;
    run.status = runTallomir(port);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<fake::Call> callsNamed(const std::string& name) {
    std::vector<fake::Call> found;
    for (const fake::Call& c : fake::calls()) {
        if (c.name == name) {
            found.push_back(c);
        }
    }
    return found;
}

double distance(double x0, double y0, double x1, double y1) {
    return std::hypot(x1 - x0, y1 - y0);
}

bool contains(const Rectangle& r, Vector2 p) {
    return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

// Where the panels put their widgets, found from what one drawn frame shows:
// a button by the label drawn on it, a box by the label drawn next to it. A
// layout value moved in the product needs no edit here.
class Layout {
  public:
    Layout() {
        ScriptedController controller;
        runFrames({fake::Frame{}}, controller.device());
        for (const fake::Call& c : callsNamed("DrawText")) {
            if (!c.text.empty()) {
                labels.push_back(c);
            }
        }
        for (const fake::Call& c : callsNamed("DrawRectangleRec")) {
            boxes.push_back({float(c.numbers[0]), float(c.numbers[1]), float(c.numbers[2]),
                             float(c.numbers[3])});
        }
    }

    // A point on the label's text, inside the button that draws it.
    Vector2 on(const std::string& text) const {
        const fake::Call& label = find(text);
        return {float(label.numbers[0]) + 2, float(label.numbers[1]) + 2};
    }

    // The box nearest to the label, below it when below is true, else level
    // with it or above it: the joint panels label their boxes from above, the
    // name box sits beside Play.
    Rectangle boxBy(const std::string& text, bool below = true) const {
        const fake::Call& label = find(text);
        const double x = label.numbers[0];
        const double y = label.numbers[1];
        Rectangle best{};
        double bestDistance = 1e9;
        for (const Rectangle& box : boxes) {
            if ((box.y > y) == below && distance(x, y, box.x, box.y) < bestDistance) {
                best = box;
                bestDistance = distance(x, y, box.x, box.y);
            }
        }
        EXPECT_LT(bestDistance, 1e9) << "no box by " << text;
        return best;
    }

    Vector2 centre(const Rectangle& box) const {
        return {box.x + box.width / 2, box.y + box.height / 2};
    }

    // A frame that clicks the button labelled text.
    fake::Frame click(const std::string& text) const {
        fake::Frame frame;
        frame.mouse = on(text);
        frame.leftClick = true;
        return frame;
    }

    // Frames that type text, one character a frame, into a box.
    std::vector<fake::Frame> type(const Rectangle& box, const std::string& text) const {
        std::vector<fake::Frame> frames;
        for (char c : text) {
            fake::Frame frame;
            frame.mouse = centre(box);
            frame.character = static_cast<unsigned char>(c);
            frames.push_back(frame);
        }
        return frames;
    }

    // The last text drawn inside the box.
    static std::string shownIn(const Rectangle& box) {
        std::string shown;
        for (const fake::Call& c : callsNamed("DrawText")) {
            if (contains(box, {float(c.numbers[0]), float(c.numbers[1])})) {
                shown = c.text;
            }
        }
        return shown;
    }

  private:
    const fake::Call& find(const std::string& text) const {
        const auto found = std::find_if(labels.begin(), labels.end(),
                                        [&](const fake::Call& c) { return c.text == text; });
        if (found == labels.end()) {
            ADD_FAILURE() << "nothing draws \"" << text << "\"";
            static const fake::Call nowhere{"DrawText", {-1000, -1000, 0}, "", {0, 0, 0, 0}, false};
            return nowhere;
        }
        return *found;
    }

    std::vector<fake::Call> labels;
    std::vector<Rectangle> boxes;
};

std::vector<fake::Frame> joined(std::vector<std::vector<fake::Frame>> parts) {
    std::vector<fake::Frame> frames;
    for (const auto& part : parts) {
        frames.insert(frames.end(), part.begin(), part.end());
    }
    return frames;
}

} // namespace

TEST(FrameLoop, WindowNotReadyReportsAndCreatesNothing) {
    fake::reset();
    fake::failWindow();
    ScriptedController controller;
    // printf writes to C's stdout, which Captured, a C++ stream buffer,
    // cannot see.
    testing::internal::CaptureStdout();
    const int status = runTallomir(controller.device());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Window failed to initialize.\n");
    EXPECT_EQ(status, -1);
    std::vector<std::string> names;
    for (const fake::Call& c : fake::calls()) {
        names.push_back(c.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"InitWindow", "IsWindowReady"}));
    EXPECT_EQ(controller.written(), "");
}

TEST(FrameLoop, ShellCallsFollowTheOrderOfStartUpFrameAndShutdown) {
    ScriptedController controller;
    const Outcome run = runFrames({fake::Frame{}}, controller.device());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out + run.err, "") << "the port opened, and nothing was sent";
    const std::vector<std::string> shellCalls = {
        "InitWindow",   "IsWindowReady",   "SetTargetFPS", "ToggleFullscreen", "WindowShouldClose",
        "BeginDrawing", "ClearBackground", "EndDrawing",   "CloseWindow"};
    std::vector<std::string> names;
    for (const fake::Call& c : fake::calls()) {
        if (std::find(shellCalls.begin(), shellCalls.end(), c.name) != shellCalls.end()) {
            names.push_back(c.name);
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"InitWindow", "IsWindowReady", "SetTargetFPS",
                                               "ToggleFullscreen", "WindowShouldClose",
                                               "BeginDrawing", "ClearBackground", "EndDrawing",
                                               "WindowShouldClose", "CloseWindow"}));
    const fake::Call init = callsNamed("InitWindow").at(0);
    EXPECT_EQ(init.numbers, (std::vector<double>{1280, 720}));
    EXPECT_EQ(init.text, "Tallomir");
    EXPECT_EQ(callsNamed("SetTargetFPS").at(0).numbers, (std::vector<double>{60}));
    const Color clear = callsNamed("ClearBackground").at(0).color;
    EXPECT_EQ((std::vector<int>{clear.r, clear.g, clear.b, clear.a}),
              (std::vector<int>{80, 80, 80, 255}));
    // The panels measure their labels only once the window has its font.
    const auto at = [](const std::string& name) {
        const auto& calls = fake::calls();
        return std::find_if(calls.begin(), calls.end(),
                            [&](const fake::Call& c) { return c.name == name; }) -
               calls.begin();
    };
    EXPECT_GT(at("MeasureText"), at("ToggleFullscreen"));
}

TEST(FrameLoop, WidgetsTestThePointerInTheOrderTheLoopFeedsThePanels) {
    const Layout layout;
    ScriptedController controller;
    runFrames({fake::Frame{}}, controller.device());
    std::vector<Rectangle> tested;
    for (const fake::Call& c : callsNamed("CheckCollisionPointRec")) {
        tested.push_back(
            {float(c.numbers[2]), float(c.numbers[3]), float(c.numbers[4]), float(c.numbers[5])});
    }
    // Shoulder and elbow first, then base, gripper, the action bar and the
    // program panel, whose name box comes before its buttons.
    const std::vector<std::string> widgets = {"box under Elbow",
                                              "box under Shoulder",
                                              "box under Base",
                                              "box under Gripper",
                                              "Pole",
                                              "Zero",
                                              "Send",
                                              "name box beside Play",
                                              "Save",
                                              "Load",
                                              "Add",
                                              "Remove",
                                              "Play"};
    ASSERT_EQ(tested.size(), widgets.size());
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const std::string& widget = widgets[i];
        const std::string under = "box under ";
        if (widget.rfind(under, 0) == 0) {
            const Rectangle box = layout.boxBy(widget.substr(under.size()));
            EXPECT_TRUE(box.x == tested[i].x && box.y == tested[i].y) << i << ": " << widget;
        } else if (widget == "name box beside Play") {
            const Rectangle box = layout.boxBy("Play", false);
            EXPECT_TRUE(box.x == tested[i].x && box.y == tested[i].y) << i << ": " << widget;
        } else {
            EXPECT_TRUE(contains(tested[i], layout.on(widget))) << i << ": " << widget;
        }
    }
}

TEST(FrameLoop, PanelsAreDrawnInTheOrderThatLetsLaterOnesCoverEarlierOnes) {
    ScriptedController controller;
    runFrames({fake::Frame{}}, controller.device());
    const std::vector<fake::Call> drawn = fake::drawCalls();
    const auto firstDrawing = [&](const std::string& text) {
        return std::find_if(drawn.begin(), drawn.end(),
                            [&](const fake::Call& c) { return c.text == text; }) -
               drawn.begin();
    };
    EXPECT_EQ(drawn.front().name, "ClearBackground");
    // One label of each panel, in the order the panels are drawn.
    const std::vector<std::string> labels = {"Base", "Elbow", "Gripper", "Pole", "Play"};
    for (std::size_t i = 1; i < labels.size(); ++i) {
        EXPECT_LT(firstDrawing(labels[i - 1]), firstDrawing(labels[i]))
            << labels[i - 1] << " before " << labels[i];
    }
    EXPECT_LT(firstDrawing(labels.back()), static_cast<long>(drawn.size()));
}

TEST(FrameLoop, TakesOneCharacterPerFrameAndDropsCodePointsAbove255) {
    const Layout layout;
    const Rectangle elbowBox = layout.boxBy("Elbow");
    fake::Frame wide;
    wide.mouse = layout.centre(elbowBox);
    wide.character = 0x431;
    std::vector<fake::Frame> frames = {wide};
    for (const fake::Frame& digit : layout.type(elbowBox, "2")) {
        frames.push_back(digit);
    }
    frames.push_back(fake::Frame{});
    ScriptedController controller;
    runFrames(frames, controller.device());
    EXPECT_EQ(callsNamed("GetCharPressed").size(), frames.size());
    EXPECT_EQ(Layout::shownIn(elbowBox), "2");
}

TEST(FrameLoopOnTheWire, PoleAndZeroSendTheirPosturesAndPrintTheReply) {
    const Layout layout;
    struct Case {
        const char* button;
        std::string frame;
    } cases[] = {{"Pole", "360097090160"}, {"Zero", "360000000160"}};
    for (const Case& c : cases) {
        ScriptedController controller(ControllerScript().receive(c.frame).send(c.frame));
        const Outcome run = runFrames({layout.click(c.button)}, controller.device());
        EXPECT_EQ(controller.finish(), "") << c.button;
        EXPECT_EQ(controller.written(), c.frame) << c.button;
        EXPECT_EQ(run.out, "Received data: " + c.frame + "\n") << c.button;
        EXPECT_EQ(run.err, "") << c.button;
    }
}

TEST(FrameLoopOnTheWire, SendWritesTheTypedPositionAndPrintsNothing) {
    const Layout layout;
    ScriptedController controller;
    const Outcome run = runFrames(joined({layout.type(layout.boxBy("Base"), "45"),
                                          layout.type(layout.boxBy("Shoulder"), "90"),
                                          layout.type(layout.boxBy("Elbow"), "5"),
                                          {layout.click("Send")}}),
                                  controller.device());
    EXPECT_EQ(controller.written(12), "405090005160");
    EXPECT_EQ(run.out + run.err, "");
}

TEST(FrameLoopOnTheWire, PlaySendsTheLoadedProgramLineByLine) {
    const Layout layout;
    const ProgramFolders folders;
    writeFile(folders.program("arm"), "360 097 090 160\n405 090 005 160\n");
    ScriptedController controller(ControllerScript().moves("360097090160").moves("405090005160"));
    const Outcome run =
        runFrames(joined({layout.type(layout.boxBy("Play", false), "arm"),
                          {layout.click("Load"), layout.click("Play"), fake::Frame{}}}),
                  controller.device());
    EXPECT_EQ(controller.finish(), "");
    EXPECT_EQ(controller.written(), "360097090160405090005160");
    EXPECT_EQ(run.out, "lineRead = 360097090160\n\n360097090160\n"
                       "'done' received from serial device!\n"
                       "lineRead = 405090005160\n\n405090005160\n"
                       "'done' received from serial device!\n");
    EXPECT_EQ(run.err, "");
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
