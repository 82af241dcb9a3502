#include "panels/buttonsPanel.h"

namespace {

constexpr int noButton = 0;
constexpr int poleButton = 1;
constexpr int zeroButton = 2;
constexpr int sendButton = 3;

constexpr float borderWidth = 4.0002f;

} // namespace

ButtonsPanel::ButtonsPanel()
    : polePos{133.34f, 30.33485f}, zeroPos{410.0205f, 30.33485f}, sendPos{700.035f, 30.33485f},
      border{0, 0, 910.7122f, 100.6717f}, pole(polePos, "Pole", GRAY), zero(zeroPos, "Zero", GRAY),
      send(sendPos, "Send", GREEN) {}

void ButtonsPanel::process() {
    pole.process();
    zero.process();
    send.process();
}

int ButtonsPanel::getButton() const {
    if (pole.isPressed()) {
        return poleButton;
    }
    if (zero.isPressed()) {
        return zeroButton;
    }
    if (send.isPressed()) {
        return sendButton;
    }
    return noButton;
}

void ButtonsPanel::draw() const {
    pole.draw();
    zero.draw();
    send.draw();
    DrawRectangleLinesEx(border, borderWidth, BLACK);
}
