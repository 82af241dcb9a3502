#include "panels/programPanel.h"

#include "jointFields.h"
#include "layoutScale.h"
#include "utils.h"

namespace {

#ifdef _WIN32
constexpr const char* programFolder = "..\\Programs\\";
#else
constexpr const char* programFolder = "../Programs/";
#endif
constexpr const char* programExtension = ".txt";

constexpr Rectangle nameBox{scaled(795), scaled(22.75), scaled(160), scaled(30)};
constexpr int nameLength = 9;
constexpr Vector2 savePos{scaled(885), scaled(72)};
constexpr Vector2 loadPos{scaled(805), scaled(72)};
constexpr Vector2 addPos{scaled(896.5), scaled(105)};
constexpr Vector2 removePos{scaled(805), scaled(105)};
constexpr Vector2 playPos{scaled(720), scaled(22.75)};

// The outline and the list use plain whole numbers.
constexpr Rectangle frame{906, 0, 433, 436};
constexpr float frameThickness = scaled(3);
constexpr int listRows = 9;
constexpr int rowX = 1063;
constexpr int rowFontSize = 24;
constexpr int rowStep = 36;
constexpr int rowBase = 280;
constexpr double rowScale = 0.6667;

} // namespace

ProgramPanel::ProgramPanel()
    : isPlayPressed(false), currentFilePath(""), nameInputRec(nameBox), saveButtonPos(savePos),
      loadButtonPos(loadPos), addButtonPos(addPos), removeButtonPos(removePos),
      playButtonPos(playPos), nameInput(nameInputRec.x, nameInputRec.y, nameInputRec.width,
                                        nameInputRec.height, nameLength, false),
      saveButton(saveButtonPos, "Save", GRAY), loadButton(loadButtonPos, "Load", GRAY),
      addButton(addButtonPos, "Add", GRAY), removeButton(removeButtonPos, "Remove", GRAY),
      playButton(playButtonPos, "Play", GREEN), offset(0) {}

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
        writeJointFields(oss, currentBaseInput, currentShoulderInput, currentElbowInput,
                         currentGripperInput, " ");
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
    DrawRectangleLinesEx(frame, frameThickness, BLACK);
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
        DrawText(text.c_str(), rowX, y, rowFontSize, BLACK);
    }
}
