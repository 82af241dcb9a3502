#include "app.h"

#include "raylib.h"

#include <cstdio>

namespace {

constexpr int screenWidth = 1280;
constexpr int screenHeight = 720;
constexpr const char* windowTitle = "Tallomir";
constexpr int targetFps = 60;
constexpr Color backgroundColor{80, 80, 80, 255};

} // namespace

char narrowTypedCharacter(int codePoint) {
    if (codePoint > 255) {
        return 0;
    }
    return static_cast<char>(static_cast<unsigned char>(codePoint));
}

int runTallomir() {
    InitWindow(screenWidth, screenHeight, windowTitle);
    if (!IsWindowReady()) {
        printf("Window failed to initialize.\n");
        return -1;
    }
    SetTargetFPS(targetFps);
    ToggleFullscreen();

    while (!WindowShouldClose()) {
        const int key = GetCharPressed();
        (void)narrowTypedCharacter(key);

        BeginDrawing();
        ClearBackground(backgroundColor);
        EndDrawing();
    }

    CloseWindow();
    return 0;
}
