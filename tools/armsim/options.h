#pragma once

#include "jointLimits.h"
#include "viewCamera.h"

#include <string>

// How the simulated controller behaves, as chosen on its command line.
struct SimOptions {
    double speedDegPerS = 90.0;
    bool silent = false;    // never answer
    bool noDone = false;    // acknowledge, never "done"
    bool splitDone = false; // "do", a pause, "ne"
    int ackDelayMs = 0;
    std::string extra;   // sent before each acknowledgement
    int hangupAfter = 0; // close the line once this many frames came; 0: never
    std::string device;  // empty: a fresh pseudo-terminal
    JointLimits limits;  // none set: every value is reached
    bool view = false;   // open the window with the arm in 3D
    CameraPreset camera = CameraPreset::reset;
};

// Fills options from argv; on a bad command line returns false with one
// line that says what was expected.
bool parseOptions(int argc, char** argv, SimOptions& options, std::string& error);
