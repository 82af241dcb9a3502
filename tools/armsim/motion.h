#pragma once

#include <chrono>
#include <string>

// Where the simulated arm stands, in degrees as the panel types them.
struct ArmPosition {
    int base = 0;
    int shoulder = 0;
    int elbow = 0;
    int gripper = 160;
};

// A frame's four fields; the base field carries the angle + 360.
ArmPosition decodeFrame(const std::string& frame);

// "base B shoulder S elbow E gripper G"
std::string describePosition(const ArmPosition& position);

// The largest joint change at the given speed, never under 100 ms.
std::chrono::milliseconds motionTime(const ArmPosition& from, const ArmPosition& to,
                                     double speedDegPerS);
