#include "viewPlacement.h"

namespace {

// The panel's drawing area, and the view's corner in it: below the action
// bar (its lower edge at 100), clear of the column of boxes (from 906).
constexpr int panelWidth = 1280;
constexpr int panelHeight = 720;
constexpr ScreenRect besidePanel{10, 110, 420, 280};

int scaled(int value, int size, int designSize) {
    return static_cast<int>(static_cast<long>(value) * size / designSize);
}

} // namespace

ScreenRect viewPlacement(const std::vector<ScreenRect>& monitors) {
    if (monitors.empty()) {
        return besidePanel;
    }
    if (monitors.size() > 1) {
        const ScreenRect& second = monitors[1];
        const int width = second.width * 2 / 3;
        const int height = second.height * 2 / 3;
        return {second.x + (second.width - width) / 2, second.y + (second.height - height) / 2,
                width, height};
    }
    const ScreenRect& only = monitors[0];
    return {only.x + scaled(besidePanel.x, only.width, panelWidth),
            only.y + scaled(besidePanel.y, only.height, panelHeight),
            scaled(besidePanel.width, only.width, panelWidth),
            scaled(besidePanel.height, only.height, panelHeight)};
}
