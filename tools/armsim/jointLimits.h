#pragma once

#include "motion.h"

#include <array>
#include <string>

// The joints in frame order, as the log names them.
constexpr int jointCount = 4;
extern const std::array<const char*, jointCount> jointNames;

int& jointValue(ArmPosition& position, int joint);
int jointValue(const ArmPosition& position, int joint);

// A servo's travel: values outside [low, high] stop at the nearer end.
struct JointRange {
    bool set = false;
    int low = 0;
    int high = 0;
};

using JointLimits = std::array<JointRange, jointCount>;
using JointFlags = std::array<bool, jointCount>;

// "shoulder=15-165,elbow=0-170": ranges in the values the operator types
// (the base as an angle, not the frame's base + 360). Adds to limits; on a
// malformed text returns false with what was expected.
bool parseLimits(const std::string& text, JointLimits& limits, std::string& error);

// The position the arm can reach, which joints were stopped, and one log line
// per stopped joint.
struct LimitedPosition {
    ArmPosition position;
    JointFlags stopped{};
    std::array<std::string, jointCount> logLines;
};

LimitedPosition applyLimits(const ArmPosition& wanted, const JointLimits& limits);
