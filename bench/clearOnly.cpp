// The floor for the panel's own CPU cost: a raylib program on the same
// backend that opens the same window and only clears it, 60 times a second.
#include "raylib.h"

int main() {
    InitWindow(1280, 720, "clear-only");
    SetTargetFPS(60);
    ToggleFullscreen();
    while (!WindowShouldClose()) {
        BeginDrawing();
        ClearBackground(Color{80, 80, 80, 255});
        EndDrawing();
    }
    CloseWindow();
    return 0;
}
