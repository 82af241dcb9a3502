#include "armView.h"

#include "eventLog.h"
#include "viewPlacement.h"

#include "raymath.h"
#include "rlgl.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const windowTitle = "Tallomir arm";
constexpr int framesPerSecond = 60;
constexpr int smallestWidth = 200;
constexpr int smallestHeight = 140;

// Sizes in world units, against segmentLength 1.
constexpr float turntableRadius = 0.35f;
constexpr float turntableHeight = 0.12f;
constexpr float columnRadius = 0.08f;
constexpr float segmentRadius = 0.08f;
constexpr float jointRadius = 0.11f;
constexpr float wristRadius = 0.06f;
constexpr float jawRadius = 0.035f;
constexpr float floorSize = 6.0f;
constexpr int gridSlices = 12;
constexpr float gridSpacing = 0.5f;

constexpr Color sky{32, 36, 44, 255};
constexpr Color floorColor{58, 62, 70, 255};
constexpr Color turntableColor{150, 150, 150, 255};
constexpr Color upperArmColor{240, 150, 40, 255};
constexpr Color forearmColor{60, 140, 240, 255};
constexpr Color jointColor{130, 130, 130, 255};
constexpr Color jawColor{235, 235, 235, 255};
constexpr Color stoppedColor{230, 30, 30, 255};
constexpr Color textColor{235, 235, 235, 255};
constexpr Color overlayBack{0, 0, 0, 150};

constexpr int fontSize = 10;
constexpr int lineHeight = 12;
constexpr int margin = 6;

// Mouse drag: degrees of orbit per pixel.
constexpr float degreesPerPixel = 0.4f;

// One light from above, and ambient light so that no face goes black.
const char* const vertexShader = R"(#version 330
in vec3 vertexPosition;
in vec3 vertexNormal;
uniform mat4 mvp;
uniform mat4 matNormal;
out vec3 normal;
void main() {
    normal = normalize(vec3(matNormal * vec4(vertexNormal, 0.0)));
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}
)";

const char* const fragmentShader = R"(#version 330
in vec3 normal;
uniform vec4 colDiffuse;
out vec4 finalColor;
void main() {
    vec3 light = normalize(vec3(-0.35, 1.0, -0.55));
    float diffuse = max(dot(normalize(normal), light), 0.0);
    finalColor = vec4(colDiffuse.rgb * (0.55 + 0.45 * diffuse), colDiffuse.a);
}
)";

Vector3 toVector(const Point3& p) {
    return {p.x, p.y, p.z};
}

Camera3D toCamera(const CameraPlacement& placed) {
    Camera3D camera{};
    camera.position = toVector(placed.position);
    camera.target = toVector(placed.target);
    camera.up = toVector(placed.up);
    camera.fovy = placed.fovy;
    camera.projection = placed.orthographic ? CAMERA_ORTHOGRAPHIC : CAMERA_PERSPECTIVE;
    return camera;
}

std::vector<ScreenRect> monitors() {
    std::vector<ScreenRect> found;
    for (int i = 0; i < GetMonitorCount(); ++i) {
        const Vector2 at = GetMonitorPosition(i);
        found.push_back({static_cast<int>(at.x), static_cast<int>(at.y), GetMonitorWidth(i),
                         GetMonitorHeight(i)});
    }
    return found;
}

std::string oneDecimal(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

ArmView::ArmView(const SimOptions& options, const ArmState& arm)
    : arm(arm), camera(options.camera) {}

ArmView::~ArmView() {
    if (!opened) {
        return;
    }
    UnloadMesh(cylinder);
    UnloadMesh(sphere);
    UnloadMaterial(material); // and the shader with it
    CloseWindow();
}

bool ArmView::open() {
    // raylib's own trace would go into the log that tests read.
    SetTraceLogLevel(LOG_NONE);
    // Never takes the keyboard from the panel by appearing.
    SetConfigFlags(FLAG_WINDOW_RESIZABLE | FLAG_WINDOW_TOPMOST | FLAG_WINDOW_UNFOCUSED);
    const ScreenRect first = viewPlacement({});
    InitWindow(first.width, first.height, windowTitle);
    if (!IsWindowReady()) {
        return false;
    }
    opened = true;
    const ScreenRect placed = viewPlacement(monitors());
    SetWindowSize(placed.width, placed.height);
    SetWindowPosition(placed.x, placed.y);
    SetWindowMinSize(smallestWidth, smallestHeight);
    SetTargetFPS(framesPerSecond);
    // Escape in the view must not end the simulator; closing the window does.
    SetExitKey(KEY_NULL);
    lit = LoadShaderFromMemory(vertexShader, fragmentShader);
    material = LoadMaterialDefault();
    material.shader = lit;
    cylinder = GenMeshCylinder(1.0f, 1.0f, 24);
    sphere = GenMeshSphere(1.0f, 16, 16);
    stayOnTop.start();
    return true;
}

void ArmView::run(const std::atomic<bool>& finished) {
    while (!finished && !WindowShouldClose()) {
        // The picture is the pose at the time of this frame, however late it
        // comes: a slow frame never holds up the arm or its replies.
        const ArmSnapshot shot = arm.snapshot(SimClock::now());
        update(shot.current.base);
        draw(shot);
        stayOnTop.poll();
    }
}

void ArmView::update(float base) {
    if (IsKeyPressed(KEY_F)) {
        camera.choose(CameraPreset::front);
    } else if (IsKeyPressed(KEY_S)) {
        camera.choose(CameraPreset::side);
    } else if (IsKeyPressed(KEY_T)) {
        camera.choose(CameraPreset::top);
    } else if (IsKeyPressed(KEY_R)) {
        camera.choose(CameraPreset::reset);
    }
    if (IsMouseButtonDown(MOUSE_BUTTON_LEFT)) {
        const Vector2 moved = GetMouseDelta();
        if (moved.x != 0 || moved.y != 0) {
            camera.orbit(-moved.x * degreesPerPixel, moved.y * degreesPerPixel, base);
        }
    }
    const float wheel = GetMouseWheelMove();
    if (wheel != 0) {
        camera.zoom(wheel);
    }
}

void ArmView::draw(const ArmSnapshot& shot) const {
    BeginDrawing();
    ClearBackground(sky);
    BeginMode3D(toCamera(camera.placement(shot.current.base)));
    DrawPlane({0, 0, 0}, {floorSize, floorSize}, floorColor);
    DrawGrid(gridSlices, gridSpacing);
    drawArm(shot);
    EndMode3D();
    drawOverlay(shot);
    EndDrawing();
}

void ArmView::drawArm(const ArmSnapshot& shot) const {
    const ArmPoints points = armPoints(shot.current);
    auto colour = [&shot](int joint, Color normal) {
        return shot.stopped[joint] ? stoppedColor : normal;
    };
    // The turntable with a stripe along the arm's plane, as the base
    // panel's needle.
    const Point3 top{0, turntableHeight, 0};
    drawCylinder({0, 0, 0}, top, turntableRadius, colour(0, turntableColor));
    const Point3 axis = armPlaneAxis(shot.current.base);
    const float reach = turntableRadius * 0.95f;
    drawCylinder({-axis.x * reach, turntableHeight, -axis.z * reach},
                 {axis.x * reach, turntableHeight, axis.z * reach}, jawRadius,
                 colour(0, jointColor));
    drawCylinder(top, points.shoulder, columnRadius, jointColor);
    drawCylinder(points.shoulder, points.elbow, segmentRadius, colour(1, upperArmColor));
    drawCylinder(points.elbow, points.wrist, segmentRadius, colour(2, forearmColor));
    drawSphere(points.shoulder, jointRadius, jointColor);
    drawSphere(points.elbow, jointRadius, jointColor);
    drawSphere(points.wrist, wristRadius, jointColor);
    for (const Point3& tip : points.jawTips) {
        drawCylinder(points.wrist, tip, jawRadius, colour(3, jawColor));
    }
}

void ArmView::drawOverlay(const ArmSnapshot& shot) const {
    std::vector<std::pair<std::string, Color>> lines;
    lines.push_back({"frames " + std::to_string(shot.frames) +
                         (shot.lastFrame.empty() ? "" : "  last " + shot.lastFrame),
                     textColor});
    lines.push_back({shot.moving ? "moving" : "at rest", textColor});
    const float now[] = {shot.current.base, shot.current.shoulder, shot.current.elbow,
                         shot.current.gripper};
    for (int joint = 0; joint < jointCount; ++joint) {
        const std::string text = std::string(jointNames[joint]) + "  target " +
                                 std::to_string(jointValue(shot.target, joint)) + "  now " +
                                 oneDecimal(now[joint]);
        lines.push_back({text, shot.stopped[joint] ? stoppedColor : textColor});
    }
    // At the bottom left: the arm rarely reaches below its floor.
    int width = 0;
    for (const auto& line : lines) {
        width = std::max(width, MeasureText(line.first.c_str(), fontSize));
    }
    const int height = static_cast<int>(lines.size()) * lineHeight;
    const int top = GetScreenHeight() - height - margin;
    DrawRectangle(0, top - margin / 2, width + 2 * margin, height + margin, overlayBack);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        DrawText(lines[i].first.c_str(), margin, top + static_cast<int>(i) * lineHeight, fontSize,
                 lines[i].second);
    }
}

void ArmView::drawCylinder(const Point3& from, const Point3& to, float radius, Color color) const {
    const Vector3 start = toVector(from);
    const Vector3 along = Vector3Subtract(toVector(to), start);
    const float length = Vector3Length(along);
    if (length <= 0) {
        return;
    }
    const Vector3 direction = Vector3Scale(along, 1.0f / length);
    // The mesh stands on +y; turned end over end when the line points down,
    // where the shortest turn is not defined.
    const Matrix turn =
        direction.y < -0.9999f
            ? MatrixRotateX(PI)
            : QuaternionToMatrix(QuaternionFromVector3ToVector3({0, 1, 0}, direction));
    const Matrix transform =
        MatrixMultiply(MatrixMultiply(MatrixScale(radius, length, radius), turn),
                       MatrixTranslate(start.x, start.y, start.z));
    material.maps[MATERIAL_MAP_DIFFUSE].color = color;
    DrawMesh(cylinder, material, transform);
}

void ArmView::drawSphere(const Point3& centre, float radius, Color color) const {
    const Matrix transform = MatrixMultiply(MatrixScale(radius, radius, radius),
                                            MatrixTranslate(centre.x, centre.y, centre.z));
    material.maps[MATERIAL_MAP_DIFFUSE].color = color;
    DrawMesh(sphere, material, transform);
}
