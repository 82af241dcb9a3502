#pragma once

// The simulated arm controller for a test: whatever goes wrong with the
// process itself fails the test.

#include "armSimProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ArmSim {
  public:
    explicit ArmSim(std::vector<std::string> options = {}) : process(options) {
        if (!process.problem().empty()) {
            ADD_FAILURE() << process.problem();
        }
    }

    ~ArmSim() {
        const bool wasFine = process.problem().empty();
        process.stop();
        if (wasFine && !process.problem().empty()) {
            ADD_FAILURE() << process.problem();
        }
    }

    const std::string& device() const { return process.device(); }
    std::vector<std::string> frames() const { return process.frames(); }
    std::string log() const { return process.log(); }

  private:
    ArmSimProcess process;
};
