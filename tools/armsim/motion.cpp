#include "motion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int baseOffset = 360;
constexpr std::size_t fieldWidth = 3;
constexpr std::chrono::milliseconds shortestMotion{100};

} // namespace

ArmPosition decodeFrame(const std::string& frame) {
    const std::size_t baseWidth = frame.size() - 3 * fieldWidth;
    auto field = [&](std::size_t start, std::size_t width) {
        return std::atoi(frame.substr(start, width).c_str());
    };
    ArmPosition position;
    position.base = field(0, baseWidth) - baseOffset;
    position.shoulder = field(baseWidth, fieldWidth);
    position.elbow = field(baseWidth + fieldWidth, fieldWidth);
    position.gripper = field(baseWidth + 2 * fieldWidth, fieldWidth);
    return position;
}

std::string describePosition(const ArmPosition& position) {
    return "base " + std::to_string(position.base) + " shoulder " +
           std::to_string(position.shoulder) + " elbow " + std::to_string(position.elbow) +
           " gripper " + std::to_string(position.gripper);
}

std::chrono::milliseconds motionTime(const ArmPosition& from, const ArmPosition& to,
                                     double speedDegPerS) {
    const int largest =
        std::max({std::abs(to.base - from.base), std::abs(to.shoulder - from.shoulder),
                  std::abs(to.elbow - from.elbow), std::abs(to.gripper - from.gripper)});
    const auto ms = std::chrono::milliseconds(std::lround(largest / speedDegPerS * 1000.0));
    return std::max(ms, shortestMotion);
}
