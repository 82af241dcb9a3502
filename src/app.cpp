#include "app.h"

#include "commandFrames.h"
#include "panels/basePanel.h"
#include "panels/buttonsPanel.h"
#include "panels/gripperPanel.h"
#include "panels/programPanel.h"
#include "panels/shoulderElbowPanel.h"
#include "playback.h"
#include "serialPort.h"

#include "raylib.h"

#include <cstdio>
#include <string>

namespace {

constexpr int screenWidth = 1280;
constexpr int screenHeight = 720;
constexpr const char* windowTitle = "Tallomir";
constexpr int targetFps = 60;
constexpr Color backgroundColor = DARKGRAY;

} // namespace

char narrowTypedCharacter(int codePoint) {
    if (codePoint > 255) {
        return 0;
    }
    return static_cast<char>(static_cast<unsigned char>(codePoint));
}

int runTallomir(const std::string& portName) {
    InitWindow(screenWidth, screenHeight, windowTitle);
    if (!IsWindowReady()) {
        printf("Window failed to initialize.\n");
        return -1;
    }
    SetTargetFPS(targetFps);
    ToggleFullscreen();

    // The panels size their boxes and buttons with MeasureText, which needs
    // the font the window has just loaded.
    BasePanel basePanel;
    ShoulderElbowPanel shoulderElbowPanel;
    GripperPanel gripperPanel;
    ButtonsPanel buttonsPanel;
    ProgramPanel programPanel;
    SerialPort serial{portName};
    serial.open();

    while (!WindowShouldClose()) {
        const char key = narrowTypedCharacter(GetCharPressed());

        shoulderElbowPanel.process(key);
        basePanel.process(key);
        gripperPanel.process(key);
        buttonsPanel.process();

        const int gripper = gripperPanel.getGripper();
        const int elbow = shoulderElbowPanel.getElbow();
        const int shoulder = shoulderElbowPanel.getShoulder();
        const int base = basePanel.getBase();
        programPanel.process(key, base, shoulder, elbow, gripper);

        if (buttonsPanel.getButton() == poleButton) {
            sendPosture(serial, poleFrame);
        }
        if (buttonsPanel.getButton() == zeroButton) {
            sendPosture(serial, zeroFrame);
        }
        if (buttonsPanel.getButton() == sendButton) {
            const int sendBase = basePanel.getBase();
            const int sendShoulder = shoulderElbowPanel.getShoulder();
            const int sendElbow = shoulderElbowPanel.getElbow();
            const int sendGripper = gripperPanel.getGripper();
            sendPosition(serial, sendBase, sendShoulder, sendElbow, sendGripper);
        }
        if (programPanel.isPlayPressed) {
            runPlayback(programPanel, serial);
        }

        BeginDrawing();
        ClearBackground(backgroundColor);
        basePanel.draw();
        shoulderElbowPanel.draw();
        gripperPanel.draw();
        buttonsPanel.draw();
        programPanel.draw();
        EndDrawing();
    }

    CloseWindow();
    serial.close();
    return 0;
}
