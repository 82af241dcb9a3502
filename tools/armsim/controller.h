#pragma once

#include "armState.h"
#include "frameReader.h"
#include "line.h"
#include "motion.h"
#include "options.h"

#include <csignal>
#include <deque>
#include <string>

// The simulated arm controller: one thread, one poll loop with deadlines.
// Frames that arrive while a motion runs wait in a queue and are answered
// in order, each with its acknowledgement and, once the motion is over,
// "done". Each motion is published to the arm state, where the view reads
// it; "done" goes out when that motion ends.
class Controller {
  public:
    Controller(const SimOptions& options, Line& line, ArmState& arm);
    // Runs until stop becomes nonzero or the line ends; the exit code.
    int run(const volatile std::sig_atomic_t& stop);

  private:
    // Bytes to send at a moment, and the log line that says so.
    struct Step {
        SimClock::time_point at;
        std::string bytes;
        std::string logText;
    };

    bool receive();
    bool accept(const ReaderEvent& event);
    void startNextFrame(SimClock::time_point now);
    bool runDueSteps(SimClock::time_point now);
    int waitMs(SimClock::time_point now) const;

    SimOptions options;
    Line& line;
    ArmState& arm;
    FrameReader reader;
    std::deque<std::string> queued;
    std::deque<Step> steps;
    ArmPosition position;
    int framesSeen = 0;
    bool hungUp = false;
};
