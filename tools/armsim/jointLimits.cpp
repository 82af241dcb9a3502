#include "jointLimits.h"

#include <cstdlib>
#include <sstream>

const std::array<const char*, jointCount> jointNames{"base", "shoulder", "elbow", "gripper"};

namespace {

// In frame order, for a position and for a read-only one alike.
template <class Position> auto& joint(Position& position, int index) {
    switch (index) {
    case 0:
        return position.base;
    case 1:
        return position.shoulder;
    case 2:
        return position.elbow;
    default:
        return position.gripper;
    }
}

} // namespace

int& jointValue(ArmPosition& position, int index) {
    return joint(position, index);
}

int jointValue(const ArmPosition& position, int index) {
    return joint(position, index);
}

namespace {

const char* const limitsExpected =
    "expected JOINT=LOW-HIGH[,...] with JOINT base, shoulder, elbow or gripper and whole "
    "numbers LOW <= HIGH";

bool parseWhole(const std::string& text, int& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 6) {
        return false;
    }
    value = std::atoi(text.c_str());
    return true;
}

bool parseOne(const std::string& item, JointLimits& limits) {
    const std::size_t equals = item.find('=');
    const std::size_t dash = item.find('-', equals == std::string::npos ? 0 : equals);
    if (equals == std::string::npos || dash == std::string::npos) {
        return false;
    }
    const std::string name = item.substr(0, equals);
    JointRange range;
    range.set = true;
    if (!parseWhole(item.substr(equals + 1, dash - equals - 1), range.low) ||
        !parseWhole(item.substr(dash + 1), range.high) || range.low > range.high) {
        return false;
    }
    for (int joint = 0; joint < jointCount; ++joint) {
        if (name == jointNames[joint]) {
            limits[joint] = range;
            return true;
        }
    }
    return false;
}

} // namespace

bool parseLimits(const std::string& text, JointLimits& limits, std::string& error) {
    JointLimits parsed = limits;
    std::istringstream items(text);
    std::string item;
    bool wellFormed = !text.empty() && text.back() != ',';
    while (wellFormed && std::getline(items, item, ',')) {
        wellFormed = parseOne(item, parsed);
    }
    if (!wellFormed) {
        error = "bad value for --limits: " + text + " (" + limitsExpected + ")";
        return false;
    }
    limits = parsed;
    return true;
}

LimitedPosition applyLimits(const ArmPosition& wanted, const JointLimits& limits) {
    LimitedPosition result;
    result.position = wanted;
    for (int joint = 0; joint < jointCount; ++joint) {
        const JointRange& range = limits[joint];
        int& value = jointValue(result.position, joint);
        if (!range.set || (value >= range.low && value <= range.high)) {
            continue;
        }
        const int reached = value < range.low ? range.low : range.high;
        result.stopped[joint] = true;
        result.logLines[joint] = std::string("limit ") + jointNames[joint] + " " +
                                 std::to_string(value) + " outside " + std::to_string(range.low) +
                                 "-" + std::to_string(range.high) + ", stopped at " +
                                 std::to_string(reached);
        value = reached;
    }
    return result;
}
