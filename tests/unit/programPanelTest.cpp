#include "panels/programPanel.h"
#include "captured.h"
#include "drawnCalls.h"
#include "fakeRaylib.h"
#include "fileText.h"
#include "programFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Points inside the widgets (the fake measures 13 pixels per label byte).
constexpr Vector2 nameBox{1150, 50};
constexpr Vector2 load{1100, 110};
constexpr Vector2 save{1200, 110};
constexpr Vector2 add{1210, 155};
constexpr Vector2 removeButton{1100, 155};
constexpr Vector2 play{990, 45};
constexpr Vector2 away{100, 600};

constexpr double rowX = 1063;
const std::vector<double> rowYs{402, 378, 354, 330, 306, 282, 258, 234, 210};

struct Joints {
    int base = 0;
    int shoulder = 0;
    int elbow = 0;
    int gripper = 160;
};

struct Row {
    std::string text;
    double y;
    bool operator==(const Row& other) const { return text == other.text && y == other.y; }
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{\"" << row.text << "\", " << row.y << "}";
}

// The panel runs in <tmp>/bin, so that its programs land in <tmp>/Programs.
class ProgramPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folders.emplace();
        fake::reset();
        InitWindow(1280, 720, "test"); // the button sizes need the font
        panel.emplace();
    }
    void TearDown() override { folders.reset(); }

    std::string program(const std::string& name) const { return folders->program(name); }

    void frame(Vector2 mouse, bool click, char typed = 0, std::vector<int> keys = {},
               Joints joints = {}) {
        fake::Frame f;
        f.mouse = mouse;
        f.leftClick = click;
        f.keys = std::move(keys);
        fake::setFrame(f);
        panel->process(typed, joints.base, joints.shoulder, joints.elbow, joints.gripper);
    }
    void click(Vector2 where, Joints joints = {}) { frame(where, true, 0, {}, joints); }
    void type(const std::string& text) {
        for (char c : text) {
            frame(nameBox, false, c);
        }
    }
    void key(int pressed) { frame(away, false, 0, {pressed}); }
    void open(const std::string& name) {
        type(name);
        click(load);
    }

    // The waypoint rows of one draw: DrawText calls at the list's x.
    std::vector<Row> rows() {
        fake::clearCalls();
        panel->draw();
        std::vector<Row> out;
        for (const fake::Call& c : drawn::callsNamed("DrawText")) {
            if (c.numbers[0] == rowX) {
                EXPECT_EQ(c.numbers[2], 24);
                EXPECT_TRUE(drawn::sameColor(c.color, drawn::black));
                out.push_back({c.text, c.numbers[1]});
            }
        }
        return out;
    }
    // The expected rows, bottom first.
    static std::vector<Row> rowsOf(const std::vector<std::string>& texts) {
        std::vector<Row> out;
        for (size_t i = 0; i < texts.size(); ++i) {
            out.push_back({texts[i], rowYs[i]});
        }
        return out;
    }

    std::optional<ProgramFolders> folders;
    std::optional<ProgramPanel> panel;
};

TEST_F(ProgramPanelTest, DrawsFrameNameBoxAndButtonsInOrder) {
    fake::clearCalls();
    panel->draw();
    const std::vector<fake::Call> calls = fake::drawCalls();
    ASSERT_FALSE(calls.empty());
    drawn::expectCall(calls[0], {"DrawRectangleLinesEx", {906, 0, 433, 436, 4.0002f}, drawn::black},
                      "frame");
    const std::vector<fake::Call> box = drawn::callsNamed("DrawRectangleRec");
    ASSERT_EQ(box.size(), 1u);
    EXPECT_EQ(box[0].numbers, (std::vector<double>{1060.053f, 30.33485f, 213.344f, 40.002f}));
    // Each label sits 6.667 inside its button's corner.
    std::vector<drawn::Call> labels{
        {"DrawText", {1186, 102, 26}, drawn::black, "Save"},
        {"DrawText", {1080, 102, 26}, drawn::black, "Load"},
        {"DrawText", {1202, 146, 26}, drawn::black, "Add"},
        {"DrawText", {1080, 146, 26}, drawn::black, "Remove"},
        {"DrawText", {966, 37, 26}, drawn::black, "Play"},
    };
    std::vector<fake::Call> texts = drawn::callsNamed("DrawText");
    texts.erase(texts.begin()); // the name box's empty text
    drawn::expectCalls(texts, labels, "labels; no list while no program is open");
}

// What process() asks raylib: the name box's rectangle (for the typed
// character and for Backspace), the three keys, and the five buttons'
// rectangles (label width at size 26 plus 13.334, in float). The order of
// these questions has no effect, so it is not compared.
TEST_F(ProgramPanelTest, ProcessAsksAboutTheNameBoxTheKeysAndEachButtonsRectangle) {
    fake::clearCalls();
    frame(away, false, 'x', {KEY_BACKSPACE, KEY_UP, KEY_DOWN});
    std::vector<std::vector<double>> asked;
    for (const fake::Call& c : fake::calls()) {
        if (c.name == "CheckCollisionPointRec") {
            asked.emplace_back(c.numbers.begin() + 2, c.numbers.end());
        } else if (c.name == "IsKeyPressed") {
            asked.push_back(c.numbers);
        }
    }
    const double height = 40.002f;
    std::vector<std::vector<double>> expected{
        {1060.053f, 30.33485f, 213.344f, 40.002f},
        {KEY_BACKSPACE},
        {1060.053f, 30.33485f, 213.344f, 40.002f},
        {KEY_UP},
        {KEY_DOWN},
        {1180.059f, 96.0048f, 52.0f + 13.334f, height},  // Save
        {1073.387f, 96.0048f, 52.0f + 13.334f, height},  // Load
        {1195.3931f, 140.007f, 39.0f + 13.334f, height}, // Add
        {1073.387f, 140.007f, 78.0f + 13.334f, height},  // Remove
        {960.048f, 30.33485f, 52.0f + 13.334f, height},  // Play
    };
    std::sort(asked.begin(), asked.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(asked, expected);
}

TEST_F(ProgramPanelTest, LoadFormsThePathFromTheName) {
    struct Case {
        std::string typed;
        std::string path;
    } cases[] = {
        {"", "../Programs/.txt"},
        {"demo", "../Programs/demo.txt"},
        {"a b.c\\/", "../Programs/a b.c\\/.txt"},
        {"abcdefghijkl", "../Programs/abcdefghi.txt"}, // the box takes nine
    };
    for (const Case& c : cases) {
        click(save);
        open(c.typed);
        EXPECT_EQ(panel->currentFilePath, c.path) << c.typed;
    }
    EXPECT_TRUE(fs::is_empty(folders->root() + "/Programs")) << "Load creates nothing";
}

TEST_F(ProgramPanelTest, BackspaceEditsTheNameUnderThePointer) {
    type("abc");
    frame(nameBox, false, 0, {KEY_BACKSPACE});
    frame(away, false, 0, {KEY_BACKSPACE});
    click(load);
    EXPECT_EQ(panel->currentFilePath, "../Programs/ab.txt");
}

TEST_F(ProgramPanelTest, AddAppendsTheWaypointLine) {
    struct Case {
        Joints joints;
        const char* line;
    } cases[] = {
        {{10, 90, 45, 160}, "370 090 045 160"},   {{700, 90, 45, 160}, "1060 090 045 160"},
        {{0, 0, 0, 0}, "360 000 000 000"},        {{639, 999, 5, 7}, "999 999 005 007"},
        {{640, 97, 90, 160}, "1000 097 090 160"},
    };
    open("demo");
    std::string expected;
    for (const Case& c : cases) {
        click(add, c.joints);
        expected += std::string(c.line) + "\n";
    }
    EXPECT_EQ(readFile(program("demo")), expected);
}

TEST_F(ProgramPanelTest, AddCreatesTheFileAndTheListShowsIt) {
    open("new");
    {
        Captured err(std::cerr);
        EXPECT_EQ(rows(), rowsOf(std::vector<std::string>(9, "")));
        std::string nine;
        for (int i = 0; i < 9; ++i) {
            nine += "Error opening file for reading.\n";
        }
        EXPECT_EQ(err.str(), nine) << "one message per row while the file is missing";
    }
    click(add, {10, 90, 45, 160});
    Captured err(std::cerr);
    std::vector<std::string> expected(9, "");
    expected[0] = "370 090 045 160";
    EXPECT_EQ(rows(), rowsOf(expected));
    EXPECT_EQ(err.str(), "");
}

TEST_F(ProgramPanelTest, RemoveDropsTheLastWaypoint) {
    writeFile(program("demo"), "370 090 045 160\n371 090 045 160\n");
    open("demo");
    click(removeButton);
    EXPECT_EQ(readFile(program("demo")), "370 090 045 160\n");
    click(removeButton);
    EXPECT_EQ(readFile(program("demo")), "");
    EXPECT_EQ(rows(), rowsOf(std::vector<std::string>(9, "")));
}

TEST_F(ProgramPanelTest, WithoutAProgramAddAndRemoveReportAndWriteNothing) {
    Captured err(std::cerr);
    click(add, {10, 90, 45, 160});
    click(removeButton);
    EXPECT_EQ(err.str(), "Error opening file for appending.\nError opening file for reading.\n");
    EXPECT_TRUE(fs::is_empty(folders->root() + "/Programs"));
}

TEST_F(ProgramPanelTest, SaveClosesTheProgramAndLoadReopensIt) {
    writeFile(program("demo"), "370 090 045 160\n");
    open("demo");
    click(save);
    EXPECT_EQ(panel->currentFilePath, "");
    EXPECT_EQ(rows(), std::vector<Row>{}) << "no list after Save";
    EXPECT_EQ(readFile(program("demo")), "370 090 045 160\n");
    click(load);
    EXPECT_EQ(panel->currentFilePath, "../Programs/.txt") << "Save emptied the name box";
    click(save);
    open("demo");
    std::vector<std::string> expected(9, "");
    expected[0] = "370 090 045 160";
    EXPECT_EQ(rows(), rowsOf(expected));
}

TEST_F(ProgramPanelTest, PlayRaisesTheRequestOnlyOnItsClick) {
    for (Vector2 other : {load, save, add, removeButton, nameBox, away}) {
        Captured err(std::cerr);
        click(other);
        EXPECT_FALSE(panel->isPlayPressed);
    }
    click(play);
    EXPECT_TRUE(panel->isPlayPressed);
    click(play);
    EXPECT_TRUE(panel->isPlayPressed);
    frame(play, false);
    EXPECT_TRUE(panel->isPlayPressed) << "only playback clears it";
}

// Twelve lines: offset 0 shows lines 4 to 12, line 12 at the bottom; Up
// moves the list towards the start of the file, Down towards its end.
TEST_F(ProgramPanelTest, UpAndDownMoveTheList) {
    std::string content;
    std::vector<std::string> lines;
    for (int i = 1; i <= 12; ++i) {
        lines.push_back("line " + std::to_string(i));
        content += lines.back() + "\n";
    }
    writeFile(program("twelve"), content);
    key(KEY_UP); // before any program is open: still counted
    open("twelve");
    auto shown = [&](int bottom) { // rows from line `bottom` upwards
        std::vector<std::string> texts;
        for (int n = bottom; n > bottom - 9; --n) {
            texts.push_back(n >= 1 && n <= 12 ? lines[n - 1] : "");
        }
        return rowsOf(texts);
    };
    Captured err(std::cerr);
    EXPECT_EQ(rows(), shown(11)) << "offset 1";
    key(KEY_DOWN);
    EXPECT_EQ(rows(), shown(12)) << "offset 0";
    key(KEY_DOWN);
    EXPECT_EQ(rows(), shown(13)) << "offset -1: the bottom row is empty";
    for (int i = 0; i < 14; ++i) {
        key(KEY_UP);
    }
    EXPECT_EQ(rows(), shown(-1)) << "offset 13: every row empty";
    frame(away, false);
    EXPECT_EQ(rows(), shown(-1)) << "no key, no move";
    EXPECT_EQ(err.str(), "");
}

} // namespace
