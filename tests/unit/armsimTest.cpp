// The simulated controller, driven through the real serial port class.
#include "armSim.h"
#include "captured.h"
#include "elapsed.h"
#include "masterReads.h"
#include "pty.h"
#include "serialPort.h"
#include "waitFor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdlib.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;

// Motions as short as they get (100 ms), so tests do not wait on the arm.
const std::string fast = "--speed";
const std::string fastValue = "100000";

// Reads until wanted has come or the time is up; every read's bytes in order.
std::vector<std::string> readUntil(SerialPort& port, const std::string& wanted, int waitMs) {
    std::vector<std::string> chunks;
    std::string all;
    const auto deadline = Clock::now() + milliseconds(waitMs);
    while (all.find(wanted) == std::string::npos && Clock::now() < deadline) {
        const std::string chunk = port.read(128);
        if (!chunk.empty()) {
            chunks.push_back(chunk);
            all += chunk;
        }
    }
    return chunks;
}

std::string joined(const std::vector<std::string>& chunks) {
    std::string all;
    for (const std::string& chunk : chunks) {
        all += chunk;
    }
    return all;
}

bool waitForLog(const ArmSim& sim, const std::string& text) {
    return waitFor([&] { return sim.log().find(text) != std::string::npos; });
}

} // namespace

TEST(ArmSim, PrintsItsDeviceFirst) {
    ArmSim sim;
    EXPECT_EQ(sim.device().rfind("/dev/pts/", 0), 0u) << sim.device();
    EXPECT_EQ(sim.log(), sim.device() + "\n");
}

TEST(ArmSim, LogsFramesAndWhatItDropped) {
    ArmSim sim({fast, fastValue});
    SerialPort port(sim.device());
    ASSERT_TRUE(port.open());
    port.write("4050x0005160");
    EXPECT_TRUE(waitForLog(sim, "dropped 4050x0005160\n")) << sim.log();
    port.write("1359000000160");
    EXPECT_TRUE(waitForLog(sim, "frame 1359000000160 base 999 shoulder 0 elbow 0 gripper 160\n"))
        << sim.log();
    EXPECT_EQ(sim.frames(), std::vector<std::string>{"1359000000160"});
}

TEST(ArmSim, AcknowledgesThenSaysDoneOnceTheMotionIsOver) {
    ArmSim sim({"--speed", "300"});
    SerialPort port(sim.device());
    ASSERT_TRUE(port.open());
    port.write("360150000160"); // shoulder 0 -> 150 at 300 deg/s: 500 ms
    const auto start = Clock::now();
    EXPECT_EQ(port.read(12), "360150000160");
    const long ackMs = msSince(start);
    EXPECT_LE(ackMs, 100);
    const std::vector<std::string> rest = readUntil(port, "done", 3000);
    EXPECT_EQ(joined(rest), "done");
    EXPECT_GE(msSince(start), 400);
    EXPECT_LE(msSince(start), 1500);

    port.write("360150000160"); // no change: the shortest motion, 100 ms
    const auto again = Clock::now();
    EXPECT_EQ(joined(readUntil(port, "done", 3000)), "360150000160done");
    EXPECT_GE(msSince(again), 80);
    EXPECT_LE(msSince(again), 700);
    EXPECT_TRUE(waitForLog(sim, "frame 360150000160 base 0 shoulder 150 elbow 0 gripper 160\n"
                                "ack 360150000160\ndone\n"))
        << sim.log();
}

TEST(ArmSim, FramesArrivingDuringAMotionAreAnsweredInOrder) {
    ArmSim sim({fast, fastValue});
    SerialPort port(sim.device());
    ASSERT_TRUE(port.open());
    port.write("360097090160");
    std::this_thread::sleep_for(milliseconds(30));
    port.write("360000000160");
    port.write("405090005160");
    const std::string all = joined(readUntil(port, "405090005160done", 3000));
    EXPECT_EQ(all, "360097090160done360000000160done405090005160done");
}

TEST(ArmSim, FaultModesChangeTheAnswer) {
    struct Case {
        std::vector<std::string> options;
        std::string reply; // all that comes back within the wait
    } cases[] = {
        {{}, "360097090160done"},
        {{"--silent"}, ""},
        {{"--no-done"}, "360097090160"},
        {{"--extra", "XY"}, "XY360097090160done"},
        {{"--split-done"}, "360097090160done"},
    };
    for (Case& c : cases) {
        c.options.insert(c.options.end(), {fast, fastValue});
        ArmSim sim(c.options);
        SerialPort port(sim.device());
        ASSERT_TRUE(port.open());
        port.write("360097090160");
        EXPECT_EQ(joined(readUntil(port, "done", 1200)), c.reply) << c.options[0];
        EXPECT_EQ(sim.frames(), std::vector<std::string>{"360097090160"}) << c.options[0];
    }
}

TEST(ArmSim, SplitDoneComesInTwoPiecesApart) {
    ArmSim sim({"--split-done", fast, fastValue});
    SerialPort port(sim.device());
    ASSERT_TRUE(port.open());
    port.write("360097090160");
    const std::vector<std::string> chunks = readUntil(port, "done", 2000);
    ASSERT_GE(chunks.size(), 2u);
    EXPECT_EQ(chunks.back(), "ne") << "a 50 ms silence lies between \"do\" and \"ne\"";
    EXPECT_EQ(chunks[chunks.size() - 2].substr(chunks[chunks.size() - 2].size() - 2), "do");
}

TEST(ArmSim, AckDelayHoldsBackTheAcknowledgement) {
    ArmSim sim({"--ack-delay", "300", fast, fastValue});
    SerialPort port(sim.device());
    ASSERT_TRUE(port.open());
    port.write("360097090160");
    const auto start = Clock::now();
    EXPECT_EQ(joined(readUntil(port, "360097090160", 2000)), "360097090160");
    EXPECT_GE(msSince(start), 250);
    EXPECT_LE(msSince(start), 1500) << "held back, not lost";
}

TEST(ArmSim, HangupAfterClosesTheLineAtThatFrame) {
    ArmSim sim({"--hangup-after", "2", fast, fastValue});
    Captured errors(std::cerr);
    SerialPort port(sim.device());
    EXPECT_TRUE(port.open());
    port.write("360097090160");
    const std::string first = joined(readUntil(port, "done", 2000));
    port.write("360000000160");
    ASSERT_TRUE(waitForLog(sim, "hangup\n")) << sim.log();
    const std::string afterHangup = port.read(128);
    port.write("405090005160");
    EXPECT_EQ(first, "360097090160done");
    EXPECT_EQ(afterHangup, "");
    EXPECT_EQ(errors.str(), "Error: Failed to read from serial port\n"
                            "Error: Failed to write to serial port\n");
    EXPECT_EQ(sim.frames(), (std::vector<std::string>{"360097090160", "360000000160"}));
}

TEST(ArmSim, ABadCommandLineEndsItWithOneLineBeforeItOpensALine) {
    for (const std::string options : {"--limits elbow=170-0", "--camera back", "--view --bogus"}) {
        const std::string command = std::string(ARMSIM_PATH) + " " + options + " 2>&1";
        FILE* output = popen(command.c_str(), "r");
        ASSERT_NE(output, nullptr);
        std::string text;
        char chunk[256];
        while (std::fgets(chunk, sizeof chunk, output) != nullptr) {
            text += chunk;
        }
        const int status = pclose(output);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << options;
        EXPECT_EQ(text.rfind("tallomir-armsim: ", 0), 0u) << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line, no device: " << text;
    }
}

// The child takes this process's environment; the displays are put back
// after.
class NoDisplay {
  public:
    NoDisplay() {
        for (Saved& variable : saved) {
            if (const char* value = std::getenv(variable.name)) {
                variable.value = value;
                variable.set = true;
            }
            unsetenv(variable.name);
        }
    }
    ~NoDisplay() {
        for (const Saved& variable : saved) {
            if (variable.set) {
                setenv(variable.name, variable.value.c_str(), 1);
            }
        }
    }

  private:
    struct Saved {
        const char* name;
        std::string value;
        bool set = false;
    };
    Saved saved[2]{{"DISPLAY", "", false}, {"WAYLAND_DISPLAY", "", false}};
};

TEST(ArmSim, WithoutADisplayTheViewSaysSoAndTheArmStillAnswers) {
    std::unique_ptr<ArmSim> sim;
    {
        NoDisplay none;
        sim = std::make_unique<ArmSim>(std::vector<std::string>{"--view", fast, fastValue});
    }
    EXPECT_TRUE(
        waitForLog(*sim, sim->device() + "\nview: no display, going on without the window\n"))
        << sim->log();
    SerialPort port(sim->device());
    ASSERT_TRUE(port.open());
    port.write("360097090160");
    EXPECT_EQ(joined(readUntil(port, "done", 3000)), "360097090160done");
}

TEST(ArmSim, AJointOutsideItsLimitIsStillAnsweredAndSaysWhereItStopped) {
    ArmSim sim({"--limits", "shoulder=0-120,gripper=90-180", fast, fastValue});
    SerialPort port(sim.device());
    ASSERT_TRUE(port.open());
    port.write("360150090050");
    EXPECT_EQ(joined(readUntil(port, "done", 3000)), "360150090050done");
    EXPECT_TRUE(waitForLog(sim, "frame 360150090050 base 0 shoulder 150 elbow 90 gripper 50\n"
                                "limit shoulder 150 outside 0-120, stopped at 120\n"
                                "limit gripper 50 outside 90-180, stopped at 90\n"
                                "ack 360150090050\ndone\n"))
        << sim.log();
}

TEST(ArmSim, DeviceOptionUsesTheGivenLine) {
    Pty line;
    line.makeRaw();
    ArmSim sim({"--device", line.path(), fast, fastValue});
    EXPECT_EQ(sim.device(), line.path());
    const std::string frame = "405090005160";
    ASSERT_EQ(::write(line.master(), frame.data(), frame.size()), ssize_t(frame.size()));
    std::string reply;
    EXPECT_TRUE(readMasterUntil(line.master(), "done", reply)) << reply;
    EXPECT_EQ(reply, frame + "done");
}
