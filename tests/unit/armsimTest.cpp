// The simulated controller, driven through the real serial port class.
#include "armSim.h"
#include "serialPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <stdlib.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
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

bool waitForLog(const ArmSim& sim, const std::string& text, int waitMs = 2000) {
    const auto deadline = Clock::now() + milliseconds(waitMs);
    while (Clock::now() < deadline) {
        if (sim.log().find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(milliseconds(5));
    }
    return false;
}

long msSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<milliseconds>(Clock::now() - start).count());
}

} // namespace

TEST(ArmSim, PrintsItsDeviceFirst) {
    ArmSim sim;
    EXPECT_EQ(sim.device().rfind("/dev/pts/", 0), 0u) << sim.device();
    EXPECT_EQ(sim.log(), sim.device() + "\n");
}

TEST(ArmSim, CutsFramesByLengthAndDropsWhatIsNoFrame) {
    struct Case {
        const char* what;
        std::vector<std::string> writes; // 60 ms of silence after each
        std::vector<std::string> frames;
        std::vector<std::string> logLines;
    } cases[] = {
        {"12 characters",
         {"405090005160"},
         {"405090005160"},
         {"frame 405090005160 base 45 shoulder 90 elbow 5 gripper 160"}},
        {"13 characters",
         {"1359000000160"},
         {"1359000000160"},
         {"frame 1359000000160 base 999 shoulder 0 elbow 0 gripper 160"}},
        {"back to back, 12 then 13",
         {"9990000001601000090005160"},
         {"999000000160", "1000090005160"},
         {"base 639 shoulder 0", "base 640 shoulder 90 elbow 5"}},
        {"a non-digit spoils the frame",
         {"4050x0005160", "360000000160"},
         {"360000000160"},
         {"dropped 4050x0005160\n"}},
        {"an incomplete frame, then silence",
         {"36009", "360097090160"},
         {"360097090160"},
         {"dropped 36009\n", "frame 360097090160 base 0 shoulder 97 elbow 90 gripper 160"}},
        {"control bytes shown escaped", {"a b\r\n"}, {}, {"dropped a\\x20b\\x0d\\x0a\n"}},
    };
    for (const Case& c : cases) {
        ArmSim sim({fast, fastValue});
        SerialPort port(sim.device());
        ASSERT_TRUE(port.open());
        for (const std::string& bytes : c.writes) {
            port.write(bytes);
            std::this_thread::sleep_for(milliseconds(60));
        }
        for (const std::string& line : c.logLines) {
            EXPECT_TRUE(waitForLog(sim, line)) << c.what << ": " << line << "\n" << sim.log();
        }
        EXPECT_EQ(sim.frames(), c.frames) << c.what;
    }
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
    EXPECT_LE(msSince(start), 1000);
}

TEST(ArmSim, HangupAfterClosesTheLineAtThatFrame) {
    ArmSim sim({"--hangup-after", "2", fast, fastValue});
    std::ostringstream errors;
    std::streambuf* previous = std::cerr.rdbuf(errors.rdbuf());
    SerialPort port(sim.device());
    EXPECT_TRUE(port.open());
    port.write("360097090160");
    const std::string first = joined(readUntil(port, "done", 2000));
    port.write("360000000160");
    ASSERT_TRUE(waitForLog(sim, "hangup\n")) << sim.log();
    const std::string afterHangup = port.read(128);
    port.write("405090005160");
    std::cerr.rdbuf(previous);
    EXPECT_EQ(first, "360097090160done");
    EXPECT_EQ(afterHangup, "");
    EXPECT_EQ(errors.str(), "Error: Failed to read from serial port\n"
                            "Error: Failed to write to serial port\n");
    EXPECT_EQ(sim.frames(), (std::vector<std::string>{"360097090160", "360000000160"}));
}

TEST(ArmSim, DeviceOptionUsesTheGivenLine) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    termios raw{};
    tcgetattr(master, &raw);
    cfmakeraw(&raw);
    tcsetattr(master, TCSANOW, &raw);
    const std::string path = ptsname(master);
    {
        ArmSim sim({"--device", path, fast, fastValue});
        EXPECT_EQ(sim.device(), path);
        const std::string frame = "405090005160";
        ASSERT_EQ(::write(master, frame.data(), frame.size()), ssize_t(frame.size()));
        std::string reply;
        const auto deadline = Clock::now() + milliseconds(2000);
        while (reply.find("done") == std::string::npos && Clock::now() < deadline) {
            pollfd entry{master, POLLIN, 0};
            char chunk[64];
            if (poll(&entry, 1, 50) > 0 && (entry.revents & POLLIN)) {
                const ssize_t n = ::read(master, chunk, sizeof chunk);
                ASSERT_GT(n, 0);
                reply.append(chunk, static_cast<std::size_t>(n));
            }
        }
        EXPECT_EQ(reply, frame + "done");
    }
    ::close(master);
}
