#pragma once

// The panels and widgets are designed in round units (multiples of 0.25) and
// drawn at this scale; every layout length is its design value times it.
inline constexpr double layoutScale = 1.3334;

// A design length in pixels, where the layout sums it in double precision.
constexpr double scaledDouble(double design) {
    return design * layoutScale;
}

// A design length in pixels, as the float the layout keeps.
constexpr float scaled(double design) {
    return static_cast<float>(design * layoutScale);
}
