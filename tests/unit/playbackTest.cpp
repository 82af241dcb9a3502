#include "playback.h"
#include "armSim.h"
#include "captured.h"
#include "panels/programPanel.h"
#include "serialPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// Moves end after the simulator's shortest motion, 100 ms: "done" never
// joins the acknowledgement read, which ends 50 ms after the echo.
const std::vector<std::string> fastArm{"--speed", "10000"};
const milliseconds shortLimit{200};

const char doneLine[] = "'done' received from serial device!\n";
const char readFailed[] = "Error: Failed to read from serial port\n";

// The four console lines of a line that was sent and finished.
std::string played(const std::string& frame, const std::string& acknowledgement) {
    return "lineRead = " + frame + "\n\n" + acknowledgement + "\n" + doneLine;
}

std::string echoed(const std::vector<std::string>& frames) {
    std::string out;
    for (const std::string& frame : frames) {
        out += played(frame, frame);
    }
    return out;
}

class PlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/tallomirPlayXXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Opens a program holding content and raises the play request.
    void program(const std::string& content) {
        const std::string path = dir + "/program.txt";
        std::ofstream(path, std::ios::binary) << content;
        panel.currentFilePath = path;
        panel.isPlayPressed = true;
    }

    // Plays with the console captured; returns standard output.
    std::string play(SerialPort& port, milliseconds limit = doneTimeLimit) {
        Captured out(std::cout);
        Captured err(std::cerr);
        const auto start = std::chrono::steady_clock::now();
        runPlayback(panel, port, limit);
        took = std::chrono::steady_clock::now() - start;
        errors = err.str();
        EXPECT_FALSE(panel.isPlayPressed) << "the request is cleared";
        return out.str();
    }

    static bool openPort(SerialPort& port) {
        Captured err(std::cerr);
        return port.open();
    }

    std::string dir;
    ProgramPanel panel;
    std::string errors;
    std::chrono::steady_clock::duration took{};
};

// Spaces go wherever they stand, empty and blank lines are skipped, a CR of
// a CRLF line never goes out, and a four-digit base makes a 13-digit frame.
TEST_F(PlaybackTest, SendsTheLinesInFileOrderWithoutSpaces) {
    ArmSim sim(fastArm);
    SerialPort port(sim.device());
    ASSERT_TRUE(openPort(port));
    program(" 405 090 005 160\n"
            "\n"
            "   \n"
            "360 097 090 160\r\n"
            "1060 090 045 160\n"
            "40 5090 005160\n"
            "360 000 000 000");
    const std::vector<std::string> frames{"405090005160", "360097090160", "1060090045160",
                                          "405090005160", "360000000000"};
    EXPECT_EQ(play(port), echoed(frames));
    EXPECT_EQ(errors, "");
    EXPECT_EQ(sim.frames(), frames);
}

TEST_F(PlaybackTest, DoneSplitOverTwoReadsEndsTheWait) {
    std::vector<std::string> options = fastArm;
    options.push_back("--split-done");
    ArmSim sim(options);
    SerialPort port(sim.device());
    ASSERT_TRUE(openPort(port));
    program("405 090 005 160\n360 097 090 160\n");
    const std::vector<std::string> frames{"405090005160", "360097090160"};
    EXPECT_EQ(play(port), echoed(frames));
    EXPECT_EQ(errors, "");
    EXPECT_EQ(sim.frames(), frames);
}

// The reply to an earlier Send waits in the receive buffer: the first
// acknowledgement read returns it, and its "done" is not taken for the
// first waypoint's.
TEST_F(PlaybackTest, BytesQueuedBeforeThePlaybackComeOutFirst) {
    ArmSim sim(fastArm);
    SerialPort port(sim.device());
    ASSERT_TRUE(openPort(port));
    port.write("360097090160");
    std::this_thread::sleep_for(milliseconds(400));
    program("405 090 005 160\n");
    const std::string out = play(port);
    const std::string start = "lineRead = 405090005160\n\n360097090160done";
    EXPECT_EQ(out.substr(0, start.size()), start) << out;
    EXPECT_EQ(out.find(doneLine), out.size() - std::string(doneLine).size()) << out;
    EXPECT_EQ(errors, "");
    EXPECT_EQ(sim.frames(), (std::vector<std::string>{"360097090160", "405090005160"}));
}

TEST_F(PlaybackTest, NothingToPlay) {
    struct Case {
        const char* what;
        const char* content; // nullptr: no program open
        bool requested;
        std::string errors;
    } cases[] = {
        {"empty program", "", true, ""},
        {"blank lines only", "\n  \n\n", true, ""},
        {"no program open", nullptr, true, "Error opening file for reading.\n"},
        {"no request", "405 090 005 160\n", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ArmSim sim(fastArm);
        SerialPort port(sim.device());
        ASSERT_TRUE(openPort(port));
        if (c.content != nullptr) {
            program(c.content);
        } else {
            panel.currentFilePath = "";
        }
        panel.isPlayPressed = c.requested;
        EXPECT_EQ(play(port), "");
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(sim.frames(), std::vector<std::string>{});
    }
}

// A controller that never finishes a move stops the playback at the line
// it was sent, once the time limit has passed.
TEST_F(PlaybackTest, NoDoneWithinTheLimitStopsThePlayback) {
    struct Case {
        const char* option;
        std::string acknowledgement;
    } cases[] = {{"--silent", ""}, {"--no-done", "405090005160"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        std::vector<std::string> options = fastArm;
        options.push_back(c.option);
        ArmSim sim(options);
        SerialPort port(sim.device());
        ASSERT_TRUE(openPort(port));
        program("405 090 005 160\n360 097 090 160\n");
        EXPECT_EQ(play(port, shortLimit), "lineRead = 405090005160\n\n" + c.acknowledgement + "\n");
        EXPECT_EQ(errors, "Error: Playback stopped at line 1: no 'done' came\n");
        EXPECT_EQ(sim.frames(), std::vector<std::string>{"405090005160"});
        // Each read of a silent line lasts about a second.
        EXPECT_GT(took, shortLimit);
        EXPECT_LT(took, std::chrono::seconds(6));
    }
}

TEST_F(PlaybackTest, LineHungUpMidwayStopsThePlayback) {
    ArmSim sim({"--speed", "10000", "--hangup-after", "2"});
    SerialPort port(sim.device());
    ASSERT_TRUE(openPort(port));
    program("405 090 005 160\n360 097 090 160\n360 000 000 000\n");
    EXPECT_EQ(play(port), played("405090005160", "405090005160") + "lineRead = 360097090160\n\n");
    EXPECT_EQ(errors, std::string(readFailed) +
                          "Error: Playback stopped at line 2: the serial port cannot be read\n");
    EXPECT_EQ(sim.frames(), (std::vector<std::string>{"405090005160", "360097090160"}));
    EXPECT_LT(took, std::chrono::seconds(6));
}

// The controller goes away while the arm moves: the wait's read fails.
TEST_F(PlaybackTest, LineLostWhileWaitingForDoneStopsThePlayback) {
    std::optional<ArmSim> sim(std::in_place, std::vector<std::string>{"--speed", "10"});
    SerialPort port(sim->device());
    ASSERT_TRUE(openPort(port));
    program("405 090 005 160\n360 097 090 160\n"); // the first move takes 16 s
    std::thread stopper([&sim] {
        std::this_thread::sleep_for(milliseconds(500));
        sim.reset();
    });
    const std::string out = play(port);
    stopper.join();
    EXPECT_EQ(out, "lineRead = 405090005160\n\n405090005160\n");
    EXPECT_EQ(errors, std::string(readFailed) +
                          "Error: Playback stopped at line 1: the serial port cannot be read\n");
    EXPECT_LT(took, std::chrono::seconds(6));
}

// Without a device every read fails at once: one error each, no endless
// stream of them.
TEST_F(PlaybackTest, NoDeviceStopsAtTheFirstLine) {
    SerialPort port(dir + "/noSuchDevice");
    program("405 090 005 160\n360 097 090 160\n");
    EXPECT_EQ(play(port), "lineRead = 405090005160\n\n");
    EXPECT_EQ(errors, "Error: Failed to write to serial port\n" + std::string(readFailed) +
                          "Error: Playback stopped at line 1: the serial port cannot be read\n");
}

// A line shorter than 9 characters without its spaces is reported by its
// number and not sent; from 9 characters on it goes out unexamined.
TEST_F(PlaybackTest, ShortLinesAreSkipped) {
    ArmSim sim(fastArm);
    SerialPort port(sim.device());
    ASSERT_TRUE(openPort(port));
    program("1234 5678\n"
            "405 090 005 160\n"
            " 1 2 3 \n"
            "360 097 090 160\n");
    const std::vector<std::string> frames{"405090005160", "360097090160"};
    EXPECT_EQ(play(port), echoed(frames));
    EXPECT_EQ(errors, "Error: Line 1 is too short for a frame, skipped\n"
                      "Error: Line 3 is too short for a frame, skipped\n");
    EXPECT_EQ(sim.frames(), frames);
}

TEST_F(PlaybackTest, NineCharactersAreSent) {
    SerialPort port(dir + "/noSuchDevice"); // a write is seen by its error
    program("123 456 789\n");
    EXPECT_EQ(play(port), "lineRead = 123456789\n\n");
    EXPECT_EQ(errors.rfind("Error: Failed to write to serial port\n", 0), 0u) << errors;
}

} // namespace
