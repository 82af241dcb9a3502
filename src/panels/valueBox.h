#pragma once

#include "layoutScale.h"
#include "raylib.h"

// The joint panels' labels and their numeric boxes of three digits.
inline constexpr float labelFontSize = scaled(20);
inline constexpr int valueDigits = 3;

// As wide as three digits of the label font plus a margin, as high as the
// label font plus the rim. Needs the window's font: MeasureText gives 0
// before the window opens.
inline Vector2 valueBoxSize() {
    constexpr const char* widestValue = "888";
    return {static_cast<float>(MeasureText(widestValue, static_cast<int>(labelFontSize)) +
                               scaledDouble(10)),
            static_cast<float>(labelFontSize + scaledDouble(5))};
}
