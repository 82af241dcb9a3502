#pragma once

#include <iomanip>
#include <ostream>

// The base travels turned by a full circle, so that no field is negative.
inline constexpr int baseOffset = 360;

// Writes the four joint fields of a command frame or a waypoint line: base
// + 360, shoulder, elbow, gripper, each at least three digits, zero-filled,
// longer values whole, with separator between them.
inline void writeJointFields(std::ostream& out, int base, int shoulder, int elbow, int gripper,
                             const char* separator) {
    constexpr int fieldWidth = 3;
    out << std::setfill('0') << std::setw(fieldWidth) << base + baseOffset << separator
        << std::setw(fieldWidth) << shoulder << separator << std::setw(fieldWidth) << elbow
        << separator << std::setw(fieldWidth) << gripper;
}
