#include "fakeRaylib.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace {

struct State {
    std::vector<fake::Call> calls;
    fake::Frame frame;
    std::deque<fake::Frame> script;
    bool scripted = false;
    bool windowOpen = false;
    bool windowReady = false;
    bool failNextWindow = false;
    bool characterTaken = false;
    size_t mouseReads = 0;
    int framesStarted = 0;
};

State& state() {
    static State s;
    return s;
}

void record(const char* name, std::vector<double> numbers, const char* text = nullptr,
            const Color* color = nullptr) {
    fake::Call c;
    c.name = name;
    c.numbers = std::move(numbers);
    if (text != nullptr) {
        c.text = text;
    }
    if (color != nullptr) {
        c.color = *color;
        c.hasColor = true;
    }
    state().calls.push_back(std::move(c));
}

} // namespace

namespace fake {

void reset() {
    state() = State{};
}

void setFrame(const Frame& frame) {
    state().frame = frame;
    state().characterTaken = false;
    state().mouseReads = 0;
}

void scriptFrames(const std::vector<Frame>& frames) {
    state().script.assign(frames.begin(), frames.end());
    state().scripted = true;
}

void failWindow() {
    state().failNextWindow = true;
}

const std::vector<Call>& calls() {
    return state().calls;
}

std::vector<Call> drawCalls() {
    std::vector<Call> out;
    std::copy_if(
        state().calls.begin(), state().calls.end(), std::back_inserter(out),
        [](const Call& c) { return c.name.rfind("Draw", 0) == 0 || c.name == "ClearBackground"; });
    return out;
}

void clearCalls() {
    state().calls.clear();
}

int framesStarted() {
    return state().framesStarted;
}

int modelTextWidth(const std::string& text, int fontSize) {
    if (!state().windowOpen) {
        return 0;
    }
    return static_cast<int>(text.size()) * fontSize / 2;
}

} // namespace fake

extern "C" {

void InitWindow(int width, int height, const char* title) {
    record("InitWindow", {double(width), double(height)}, title);
    State& s = state();
    s.windowOpen = !s.failNextWindow;
    s.windowReady = !s.failNextWindow;
    s.failNextWindow = false;
}

bool IsWindowReady(void) {
    record("IsWindowReady", {});
    return state().windowReady;
}

void SetTargetFPS(int fps) {
    record("SetTargetFPS", {double(fps)});
}

void ToggleFullscreen(void) {
    record("ToggleFullscreen", {});
}

bool WindowShouldClose(void) {
    record("WindowShouldClose", {});
    State& s = state();
    if (!s.scripted) {
        return s.frame.closeRequested;
    }
    if (s.script.empty()) {
        return true;
    }
    fake::setFrame(s.script.front());
    s.script.pop_front();
    if (s.frame.closeRequested) {
        return true;
    }
    ++s.framesStarted;
    return false;
}

void CloseWindow(void) {
    record("CloseWindow", {});
    state().windowOpen = false;
    state().windowReady = false;
}

void BeginDrawing(void) {
    record("BeginDrawing", {});
}

void EndDrawing(void) {
    record("EndDrawing", {});
}

void ClearBackground(Color color) {
    record("ClearBackground", {}, nullptr, &color);
}

int GetCharPressed(void) {
    record("GetCharPressed", {});
    State& s = state();
    if (s.characterTaken) {
        return 0;
    }
    s.characterTaken = true;
    return s.frame.character;
}

bool IsKeyPressed(int key) {
    record("IsKeyPressed", {double(key)});
    const std::vector<int>& keys = state().frame.keys;
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool IsMouseButtonPressed(int button) {
    record("IsMouseButtonPressed", {double(button)});
    return button == MOUSE_BUTTON_LEFT && state().frame.leftClick;
}

Vector2 GetMousePosition(void) {
    record("GetMousePosition", {});
    State& s = state();
    const std::vector<Vector2>& path = s.frame.mousePath;
    if (!path.empty()) {
        return path[std::min(s.mouseReads++, path.size() - 1)];
    }
    return s.frame.mouse;
}

// The same test as raylib's: the left and top edges belong to the rectangle.
bool CheckCollisionPointRec(Vector2 point, Rectangle rec) {
    record("CheckCollisionPointRec", {point.x, point.y, rec.x, rec.y, rec.width, rec.height});
    return point.x >= rec.x && point.x < rec.x + rec.width && point.y >= rec.y &&
           point.y < rec.y + rec.height;
}

void DrawRectangle(int posX, int posY, int width, int height, Color color) {
    record("DrawRectangle", {double(posX), double(posY), double(width), double(height)}, nullptr,
           &color);
}

void DrawRectangleRec(Rectangle rec, Color color) {
    record("DrawRectangleRec", {rec.x, rec.y, rec.width, rec.height}, nullptr, &color);
}

void DrawRectangleLinesEx(Rectangle rec, float lineThick, Color color) {
    record("DrawRectangleLinesEx", {rec.x, rec.y, rec.width, rec.height, lineThick}, nullptr,
           &color);
}

void DrawCircle(int centerX, int centerY, float radius, Color color) {
    record("DrawCircle", {double(centerX), double(centerY), radius}, nullptr, &color);
}

void DrawCircleV(Vector2 center, float radius, Color color) {
    record("DrawCircleV", {center.x, center.y, radius}, nullptr, &color);
}

void DrawCircleLines(int centerX, int centerY, float radius, Color color) {
    record("DrawCircleLines", {double(centerX), double(centerY), radius}, nullptr, &color);
}

void DrawLineEx(Vector2 startPos, Vector2 endPos, float thick, Color color) {
    record("DrawLineEx", {startPos.x, startPos.y, endPos.x, endPos.y, thick}, nullptr, &color);
}

void DrawText(const char* text, int posX, int posY, int fontSize, Color color) {
    record("DrawText", {double(posX), double(posY), double(fontSize)}, text, &color);
}

int MeasureText(const char* text, int fontSize) {
    record("MeasureText", {double(fontSize)}, text);
    return fake::modelTextWidth(text, fontSize);
}

} // extern "C"
