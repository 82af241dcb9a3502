#include "panels/buttonsPanel.h"

#include "layoutScale.h"

namespace {

constexpr float borderWidth = scaled(3);

} // namespace

ButtonsPanel::ButtonsPanel()
    : polePos{scaled(100), scaled(22.75)}, zeroPos{scaled(307.5), scaled(22.75)},
      sendPos{scaled(525), scaled(22.75)}, border{0, 0, scaled(683), scaled(75.5)},
      pole(polePos, "Pole", GRAY), zero(zeroPos, "Zero", GRAY), send(sendPos, "Send", GREEN) {}

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
