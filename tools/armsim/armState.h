#pragma once

#include "armGeometry.h"
#include "frameReader.h"
#include "jointLimits.h"
#include "motion.h"

#include <mutex>
#include <string>

// One motion of the arm: every joint leaves `from` at start and reaches `to`
// at end together, at a steady pace.
struct ArmMotion {
    Pose from;
    Pose to;
    SimClock::time_point start;
    SimClock::time_point end;
};

Pose toPose(const ArmPosition& position);

// Where the arm is at a moment: from before start, to from end on.
Pose poseAt(const ArmMotion& motion, SimClock::time_point now);

// What the view shows at a moment.
struct ArmSnapshot {
    Pose current;
    ArmPosition target;
    JointFlags stopped{};
    bool moving = false;
    int frames = 0;
    std::string lastFrame;
};

// The controller's news for the view, which runs on another thread: the
// controller writes, the view reads a copy once a frame. Both hold the lock
// only to copy a few numbers, so drawing never holds up a reply.
class ArmState {
  public:
    ArmState();
    void frameArrived(const std::string& frame);
    // The arm sets off for target at start from wherever it is then.
    void startMotion(const LimitedPosition& target, SimClock::time_point start,
                     SimClock::time_point end);
    ArmSnapshot snapshot(SimClock::time_point now) const;

  private:
    mutable std::mutex lock;
    ArmMotion motion;
    ArmPosition target;
    JointFlags stopped{};
    int frames = 0;
    std::string lastFrame;
};
