#include "armState.h"

Pose toPose(const ArmPosition& position) {
    return {static_cast<float>(position.base), static_cast<float>(position.shoulder),
            static_cast<float>(position.elbow), static_cast<float>(position.gripper)};
}

Pose poseAt(const ArmMotion& motion, SimClock::time_point now) {
    if (now <= motion.start) {
        return motion.from;
    }
    if (now >= motion.end) {
        return motion.to;
    }
    const double done = std::chrono::duration<double>(now - motion.start) /
                        std::chrono::duration<double>(motion.end - motion.start);
    auto between = [done](float a, float b) { return static_cast<float>(a + (b - a) * done); };
    return {between(motion.from.base, motion.to.base),
            between(motion.from.shoulder, motion.to.shoulder),
            between(motion.from.elbow, motion.to.elbow),
            between(motion.from.gripper, motion.to.gripper)};
}

ArmState::ArmState() {
    const Pose rest = toPose(target);
    motion = {rest, rest, SimClock::time_point{}, SimClock::time_point{}};
}

void ArmState::frameArrived(const std::string& frame) {
    const std::lock_guard<std::mutex> held(lock);
    ++frames;
    lastFrame = frame;
}

void ArmState::startMotion(const LimitedPosition& reached, SimClock::time_point start,
                           SimClock::time_point end) {
    const std::lock_guard<std::mutex> held(lock);
    motion = {poseAt(motion, start), toPose(reached.position), start, end};
    target = reached.position;
    stopped = reached.stopped;
}

ArmSnapshot ArmState::snapshot(SimClock::time_point now) const {
    const std::lock_guard<std::mutex> held(lock);
    ArmSnapshot shot;
    shot.current = poseAt(motion, now);
    shot.target = target;
    shot.stopped = stopped;
    shot.moving = now < motion.end;
    shot.frames = frames;
    shot.lastFrame = lastFrame;
    return shot;
}
