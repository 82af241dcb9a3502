#include "UI/textBox.h"
#include "drawnCalls.h"
#include "fakeRaylib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr Vector2 inside{30, 30};
constexpr Vector2 outside{500, 500};

// One frame as an owner runs it: the typed byte, then Backspace if pressed.
struct Step {
    Vector2 mouse;
    char typed;
    bool backspace;
};

class TextBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        InitWindow(1280, 720, "test");
    }

    static void run(TextBox& box, const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            drawn::setFrame(s.mouse, s.backspace);
            box.addChar(s.typed);
            if (IsKeyPressed(KEY_BACKSPACE)) {
                box.deleteChar();
            }
        }
    }
};

TEST_F(TextBoxTest, TypingFollowsHoverLengthAndFilter) {
    struct Case {
        const char* name;
        bool numberOnly;
        int length;
        std::string start; // set with setText before typing
        std::vector<Step> steps;
        std::string expected;
    } cases[] = {
        {"digits taken while hovered",
         true,
         3,
         "",
         {{inside, '1', false}, {inside, '7', false}},
         "17"},
        {"a fourth digit refused", true, 3, "123", {{inside, '4', false}}, "123"},
        {"non-digits and nothing typed refused",
         true,
         3,
         "",
         {{inside, 'a', false},
          {inside, '-', false},
          {inside, '.', false},
          {inside, ' ', false},
          {inside, 0, false}},
         ""},
        {"pointer outside: typing and Backspace ignored",
         true,
         3,
         "12",
         {{outside, '3', false}, {outside, 0, true}},
         "12"},
        {"Backspace removes one per press, then room again",
         true,
         3,
         "123",
         {{inside, 0, true}, {inside, '4', false}},
         "124"},
        {"Backspace on an empty text", true, 3, "", {{inside, 0, true}}, ""},
        {"digit and Backspace in one frame cancel", true, 3, "12", {{inside, '3', true}}, "12"},
        {"full box: digit refused, Backspace removes", true, 3, "123", {{inside, '4', true}}, "12"},
        {"setText past the limit: typing waits for room",
         true,
         3,
         "12345",
         {{inside, '6', false},
          {inside, 0, true},
          {inside, '6', false},
          {inside, 0, true},
          {inside, '6', false},
          {inside, 0, true},
          {inside, '6', false}},
         "126"},
        {"setText bypasses the digit filter", true, 3, "ab", {}, "ab"},
        {"free text: name of nine, tenth refused",
         false,
         9,
         "abcdefgh",
         {{inside, '\\', false}, {inside, '/', false}},
         "abcdefgh\\"},
        {"free text: e acute arrives negative and is refused",
         false,
         9,
         "",
         {{inside, static_cast<char>(0xE9), false}, {inside, ' ', false}},
         " "},
    };
    for (const Case& c : cases) {
        TextBox box(10, 20, 50, 30, c.length, c.numberOnly);
        box.setText(c.start);
        run(box, c.steps);
        EXPECT_EQ(box.getString(), c.expected) << c.name;
    }
}

TEST_F(TextBoxTest, AcceptsBytesByFilter) {
    for (int byte = -128; byte <= 127; ++byte) {
        const char typed = static_cast<char>(byte);
        TextBox numeric(10, 20, 50, 30, 3, true);
        TextBox freeText(10, 20, 50, 30, 9, false);
        run(numeric, {{inside, typed, false}});
        run(freeText, {{inside, typed, false}});
        const bool digit = byte >= '0' && byte <= '9';
        EXPECT_EQ(numeric.getString(), digit ? std::string(1, typed) : "") << "byte " << byte;
        EXPECT_EQ(freeText.getString(), byte > 0 ? std::string(1, typed) : "") << "byte " << byte;
    }
}

// The hover test is made against the box itself: left and top edges belong
// to it, right and bottom edges do not.
TEST_F(TextBoxTest, HoverIsTheBoxRectangle) {
    struct Case {
        Vector2 mouse;
        bool taken;
    } cases[] = {{{10, 20}, true},    {{59.9f, 49.9f}, true}, {{60, 20}, false},
                 {{10, 50}, false},   {{9.9f, 30}, false},    {{30, 19.9f}, false},
                 {{59.9f, 20}, true}, {{10, 49.9f}, true}};
    for (const Case& c : cases) {
        TextBox box(10, 20, 50, 30, 3, true);
        run(box, {{c.mouse, '5', false}});
        EXPECT_EQ(box.getString(), c.taken ? "5" : "") << c.mouse.x << "," << c.mouse.y;
        box.setText("12");
        run(box, {{c.mouse, 0, true}});
        EXPECT_EQ(box.getString(), c.taken ? "1" : "12") << c.mouse.x << "," << c.mouse.y;
    }
}

TEST_F(TextBoxTest, GetIntReadsDecimalOrZero) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"", 0}, {"0", 0}, {"007", 7}, {"160", 160}, {"999", 999}};
    for (const Case& c : cases) {
        TextBox box(10, 20, 50, 30, 3, true);
        box.setText(c.text);
        EXPECT_EQ(box.getInt(), c.value) << '"' << c.text << '"';
    }
}

// Sums with the rim and text offsets are double, the centring single
// precision with the width halved as an int: the odd box below tells each
// apart (in float its rim would be 100, its text at 125 or row 100).
TEST_F(TextBoxTest, DrawsRimInnerAndCentredText) {
    using drawn::black;
    using drawn::lightGray;
    struct Case {
        Rectangle box;
        const char* text;
        std::vector<drawn::Call> expected;
    } cases[] = {
        {{923.3795f, 473.357f, 52.334f, 33.335f},
         "",
         {{"DrawRectangleRec", {923.3795f, 473.357f, 52.334f, 33.335f}, black},
          {"DrawRectangle", {926, 476, 45, 26}, lightGray},
          {"DrawText", {949, 478, 26}, black, ""}}},
        {{923.3795f, 473.357f, 52.334f, 33.335f},
         "90",
         {{"DrawRectangleRec", {923.3795f, 473.357f, 52.334f, 33.335f}, black},
          {"DrawRectangle", {926, 476, 45, 26}, lightGray},
          {"DrawText", {936, 478, 26}, black, "90"}}},
        {{950.0475f, 256.6795f, 52.334f, 33.335f},
         "160",
         {{"DrawRectangleRec", {950.0475f, 256.6795f, 52.334f, 33.335f}, black},
          {"DrawRectangle", {953, 260, 45, 26}, lightGray},
          {"DrawText", {957, 261, 26}, black, "160"}}},
        {{96.6664963f, 94.9997482f, 106.667f, 106.667f},
         "1",
         {{"DrawRectangleRec", {96.6664963f, 94.9997482f, 106.667f, 106.667f}, black},
          {"DrawRectangle", {99, 98, 99, 99}, lightGray},
          {"DrawText", {126, 99, 99}, black, "1"}}},
        {{96.6664963f, 94.9997482f, 106.667f, 106.667f},
         "123",
         {{"DrawRectangleRec", {96.6664963f, 94.9997482f, 106.667f, 106.667f}, black},
          {"DrawRectangle", {99, 98, 99, 99}, lightGray},
          {"DrawText", {76, 99, 99}, black, "123"}}},
    };
    for (const Case& c : cases) {
        TextBox box(c.box.x, c.box.y, c.box.width, c.box.height, 3, true);
        box.setText(c.text);
        fake::setFrame({});
        fake::clearCalls();
        box.draw();
        drawn::expectCalls(fake::drawCalls(), c.expected, std::string("text \"") + c.text + '"');
        EXPECT_TRUE(drawn::callsNamed("GetMousePosition").empty()) << "draw reads the pointer";
    }
}

} // namespace
