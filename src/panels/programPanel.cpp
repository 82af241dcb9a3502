#include "panels/programPanel.h"

#include "utils.h"

#include <iomanip>

namespace {

#ifdef _WIN32
constexpr const char* programFolder = "..\\Programs\\";
#else
constexpr const char* programFolder = "../Programs/";
#endif
constexpr const char* programExtension = ".txt";

constexpr Color black{0, 0, 0, 255};
constexpr Color gray{130, 130, 130, 255};
constexpr Color green{0, 228, 48, 255};

// Layout: design values times 1.3334.
constexpr Rectangle nameBox{1060.053f, 30.33485f, 213.344f, 40.002f}; // 795, 22.75, 160, 30
constexpr int nameLength = 9;
constexpr Vector2 savePos{1180.059f, 96.0048f};   // 885, 72
constexpr Vector2 loadPos{1073.387f, 96.0048f};   // 805, 72
constexpr Vector2 addPos{1195.3931f, 140.007f};   // 896.5, 105
constexpr Vector2 removePos{1073.387f, 140.007f}; // 805, 105
constexpr Vector2 playPos{960.048f, 30.33485f};   // 720, 22.75

// The outline and the list use plain whole numbers.
constexpr Rectangle frame{906, 0, 433, 436};
constexpr float frameThickness = 4.0002f;
constexpr int listRows = 9;
constexpr int rowX = 1063;
constexpr int rowFontSize = 24;
constexpr int rowStep = 36;
constexpr int rowBase = 280;
constexpr double rowScale = 0.6667;

// The base is stored turned by a full circle, as in the command frame.
constexpr int baseOffset = 360;
constexpr int fieldWidth = 3;

} // namespace

ProgramPanel::ProgramPanel()
    : isPlayPressed(false), currentFilePath(""), nameInputRec(nameBox), saveButtonPos(savePos),
      loadButtonPos(loadPos), addButtonPos(addPos), removeButtonPos(removePos),
      playButtonPos(playPos), nameInput(nameInputRec.x, nameInputRec.y, nameInputRec.width,
                                        nameInputRec.height, nameLength, false),
      saveButton(saveButtonPos, "Save", gray), loadButton(loadButtonPos, "Load", gray),
      addButton(addButtonPos, "Add", gray), removeButton(removeButtonPos, "Remove", gray),
      playButton(playButtonPos, "Play", green), offset(0) {}

void ProgramPanel::process(char a, int currentBaseInput, int currentShoulderInput,
                           int currentElbowInput, int currentGripperInput) {
    nameInput.addChar(a);
    if (IsKeyPressed(KEY_BACKSPACE)) {
        nameInput.deleteChar();
    }
    if (IsKeyPressed(KEY_UP)) {
        offset += 1;
    }
    if (IsKeyPressed(KEY_DOWN)) {
        offset -= 1;
    }

    saveButton.process();
    loadButton.process();
    addButton.process();
    removeButton.process();
    playButton.process();

    if (loadButton.isPressed()) {
        currentFilePath = programFolder + nameInput.getString() + programExtension;
    }
    if (addButton.isPressed()) {
        oss.str("");
        oss.clear();
        oss << std::setfill('0') << std::setw(fieldWidth) << currentBaseInput + baseOffset << " "
            << std::setw(fieldWidth) << currentShoulderInput << " " << std::setw(fieldWidth)
            << currentElbowInput << " " << std::setw(fieldWidth) << currentGripperInput;
        appendLine(currentFilePath, oss.str());
    }
    if (removeButton.isPressed()) {
        removeLastLine(currentFilePath);
    }
    // Every Add and Remove has already written the file: Save only closes it.
    if (saveButton.isPressed()) {
        currentFilePath = "";
        nameInput.setText("");
    }
    if (playButton.isPressed()) {
        isPlayPressed = true;
    }
}

void ProgramPanel::draw() const {
    DrawRectangleLinesEx(frame, frameThickness, black);
    nameInput.draw();
    saveButton.draw();
    loadButton.draw();
    addButton.draw();
    removeButton.draw();
    playButton.draw();
    if (!currentFilePath.empty()) {
        drawWaypoints();
    }
}

// The newest shown line at the bottom; every row reads the file afresh.
void ProgramPanel::drawWaypoints() const {
    for (int i = offset; i <= offset + listRows - 1; ++i) {
        const std::string text = readLine(currentFilePath, i);
        const int y = static_cast<int>(
            static_cast<double>(rowStep * (offset + listRows - i) + rowBase) * rowScale);
        DrawText(text.c_str(), rowX, y, rowFontSize, black);
    }
}
