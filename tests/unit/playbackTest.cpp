#include "playback.h"
#include "armSim.h"
#include "captured.h"
#include "elapsed.h"
#include "fileText.h"
#include "panels/programPanel.h"
#include "scriptedController.h"
#include "serialPort.h"
#include "tempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>
#include <vector>

namespace {

using std::chrono::milliseconds;

// Moves end after the simulator's shortest motion, 100 ms: "done" never
// joins the acknowledgement read, which ends 50 ms after the echo.
const std::vector<std::string> fastArm{"--speed", "10000"};
// Far below the one-second read of a silent line, so a controller that
// never says "done" ends the playback after one such read.
const milliseconds shortLimit{200};
// Written through the port after a playback, to learn what it wrote before.
const std::string endMark = "#";

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

std::string joined(const std::vector<std::string>& frames) {
    std::string all;
    for (const std::string& frame : frames) {
        all += frame;
    }
    return all;
}

std::string stoppedAt(int line, const std::string& why) {
    return "Error: Playback stopped at line " + std::to_string(line) + ": " + why + "\n";
}

// A scripted controller and the port a playback writes to, open on it.
struct Wire {
    explicit Wire(const ControllerScript& script = {})
        : controller(script), port(controller.device()) {
        Captured err(std::cerr);
        opened = port.open();
    }

    // Everything the playback wrote to the controller.
    std::string sent() {
        port.write(endMark);
        return controller.writtenUpTo(endMark);
    }

    ScriptedController controller;
    SerialPort port;
    bool opened = false;
};

class PlaybackTest : public ::testing::Test {
  protected:
    // Opens a program holding content and raises the play request.
    void program(const std::string& content) {
        const std::string path = folder / "program.txt";
        writeFile(path, content);
        panel.currentFilePath = path;
        panel.isPlayPressed = true;
    }

    // Plays with the console captured; returns standard output.
    std::string play(SerialPort& port, milliseconds limit = doneTimeLimit) {
        Captured out(std::cout);
        Captured err(std::cerr);
        const auto start = Clock::now();
        runPlayback(panel, port, limit);
        tookMs = msSince(start);
        errors = err.str();
        EXPECT_FALSE(panel.isPlayPressed) << "the request is cleared";
        return out.str();
    }

    static bool openPort(SerialPort& port) {
        Captured err(std::cerr);
        return port.open();
    }

    TempFolder folder{"tallomirPlay"};
    ProgramPanel panel;
    std::string errors;
    long tookMs = 0;
};

const std::string program2 = "405 090 005 160\n360 097 090 160\n";
const std::string frame1 = "405090005160";
const std::string frame2 = "360097090160";

// Spaces go wherever they stand, empty and blank lines are skipped, a CR of
// a CRLF line never goes out, a four-digit base makes a 13-digit frame, and
// from 9 characters on a line goes out unexamined.
TEST_F(PlaybackTest, SendsTheLinesInFileOrderWithoutSpaces) {
    const std::vector<std::string> frames{"405090005160", "360097090160", "1060090045160",
                                          "405090005160", "123456789",    "360000000000"};
    ControllerScript script;
    for (const std::string& frame : frames) {
        script.moves(frame);
    }
    Wire wire(script);
    ASSERT_TRUE(wire.opened);
    program(" 405 090 005 160\n"
            "\n"
            "   \n"
            "360 097 090 160\r\n"
            "1060 090 045 160\n"
            "40 5090 005160\n"
            "123 456 789\n"
            "360 000 000 000");
    EXPECT_EQ(play(wire.port), echoed(frames));
    EXPECT_EQ(errors, "");
    EXPECT_EQ(wire.controller.finish(), "");
    EXPECT_EQ(wire.sent(), joined(frames));
}

// However "done" comes after the acknowledgement read, the wait sees it.
TEST_F(PlaybackTest, DoneInLaterReadsEndsTheWait) {
    struct Case {
        const char* what;
        std::vector<std::string> chunks; // each after a silence that ends a read
    } cases[] = {
        {"alone", {"done"}},
        {"split over two reads", {"do", "ne"}},
        {"split over four reads", {"d", "o", "n", "e"}},
        {"with bytes before and after it", {"xx", "ydonez"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerScript script;
        script.receive(frame1).send(frame1);
        for (const std::string& chunk : c.chunks) {
            script.pause().send(chunk);
        }
        Wire wire(script);
        ASSERT_TRUE(wire.opened);
        program(frame1 + "\n");
        EXPECT_EQ(play(wire.port), echoed({frame1}));
        EXPECT_EQ(errors, "");
        EXPECT_EQ(wire.controller.finish(), "");
        EXPECT_EQ(wire.sent(), frame1);
    }
}

TEST_F(PlaybackTest, DoneTakenByTheAcknowledgementReadIsNotCounted) {
    struct Case {
        const char* what;
        std::string queued;    // in the line before the playback starts
        std::string withFrame; // sent as soon as the frame came
        std::string laterDone; // sent after a silence that ends the read
        std::string out;
        std::string errors;
    } cases[] = {
        {"inside the acknowledgement, then another", "", frame1 + "done", "done",
         played(frame1, frame1 + "done"), ""},
        {"inside the acknowledgement, and no other", "", frame1 + "done", "",
         "lineRead = " + frame1 + "\n\n" + frame1 + "done\n", stoppedAt(1, "no 'done' came")},
        {"queued from an earlier Send, then the frame's own", frame2 + "done", "", frame1 + "done",
         played(frame1, frame2 + "done"), ""},
        {"queued from an earlier Send, and no other", frame2 + "done", "", "",
         "lineRead = " + frame1 + "\n\n" + frame2 + "done\n", stoppedAt(1, "no 'done' came")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerScript script;
        script.receive(frame1);
        if (!c.withFrame.empty()) {
            script.send(c.withFrame);
        }
        if (!c.laterDone.empty()) {
            script.pause().send(c.laterDone);
        }
        Wire wire(script);
        ASSERT_TRUE(wire.opened);
        if (!c.queued.empty()) {
            ASSERT_TRUE(wire.controller.queue(c.queued));
        }
        program(frame1 + "\n");
        EXPECT_EQ(play(wire.port, c.laterDone.empty() ? shortLimit : doneTimeLimit), c.out);
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(wire.controller.finish(), "");
        EXPECT_EQ(wire.sent(), frame1);
    }
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
        Wire wire;
        ASSERT_TRUE(wire.opened);
        if (c.content != nullptr) {
            program(c.content);
        } else {
            panel.currentFilePath = "";
        }
        panel.isPlayPressed = c.requested;
        EXPECT_EQ(play(wire.port), "");
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(wire.sent(), "");
    }
}

// A controller that never finishes a move stops the playback at the line
// it was sent, once the time limit has passed.
TEST_F(PlaybackTest, NoDoneWithinTheLimitStopsThePlayback) {
    struct Case {
        const char* what;
        std::string acknowledgement; // "": the controller stays silent
    } cases[] = {{"silent", ""}, {"acknowledges only", frame1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerScript script;
        script.receive(frame1);
        if (!c.acknowledgement.empty()) {
            script.send(c.acknowledgement);
        }
        Wire wire(script);
        ASSERT_TRUE(wire.opened);
        program(program2);
        EXPECT_EQ(play(wire.port, shortLimit),
                  "lineRead = " + frame1 + "\n\n" + c.acknowledgement + "\n");
        EXPECT_EQ(errors, stoppedAt(1, "no 'done' came"));
        EXPECT_EQ(wire.sent(), frame1);
        EXPECT_GT(tookMs, shortLimit.count());
        // Each read of a silent line lasts about a second.
        EXPECT_LT(tookMs, 6000);
    }
}

// The controller goes away: the read that finds the line dead stops the
// playback at once, at the line it was reading for.
TEST_F(PlaybackTest, HangUpStopsThePlaybackAtThatLine) {
    struct Case {
        const char* what;
        ControllerScript script;
        std::string out;
        int line;
    } cases[] = {
        {"before the second acknowledgement",
         ControllerScript().moves(frame1).receive(frame2).hangUp(),
         played(frame1, frame1) + "lineRead = " + frame2 + "\n\n", 2},
        {"while the arm moves", ControllerScript().receive(frame1).send(frame1).pause().hangUp(),
         "lineRead = " + frame1 + "\n\n" + frame1 + "\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Wire wire(c.script);
        ASSERT_TRUE(wire.opened);
        program(program2 + "360 000 000 000\n");
        EXPECT_EQ(play(wire.port), c.out);
        EXPECT_EQ(errors,
                  std::string(readFailed) + stoppedAt(c.line, "the serial port cannot be read"));
        EXPECT_EQ(wire.controller.finish(), "");
        EXPECT_LT(tookMs, 6000);
    }
}

// Without a device every read fails at once: one error each, no endless
// stream of them.
TEST_F(PlaybackTest, NoDeviceStopsAtTheFirstLine) {
    SerialPort port(folder / "noSuchDevice");
    program(program2);
    EXPECT_EQ(play(port), "lineRead = " + frame1 + "\n\n");
    EXPECT_EQ(errors, "Error: Failed to write to serial port\n" + std::string(readFailed) +
                          stoppedAt(1, "the serial port cannot be read"));
}

// A line shorter than 9 characters without its spaces is reported by its
// number and not sent.
TEST_F(PlaybackTest, ShortLinesAreSkipped) {
    Wire wire(ControllerScript().moves(frame1).moves(frame2));
    ASSERT_TRUE(wire.opened);
    program("1234 5678\n"
            "405 090 005 160\n"
            " 1 2 3 \n"
            "360 097 090 160\n");
    EXPECT_EQ(play(wire.port), echoed({frame1, frame2}));
    EXPECT_EQ(errors, "Error: Line 1 is too short for a frame, skipped\n"
                      "Error: Line 3 is too short for a frame, skipped\n");
    EXPECT_EQ(wire.controller.finish(), "");
    EXPECT_EQ(wire.sent(), frame1 + frame2);
}

// The same protocol against the real simulator, end to end.
TEST_F(PlaybackTest, PlaysToTheSimulator) {
    ArmSim sim(fastArm);
    SerialPort port(sim.device());
    ASSERT_TRUE(openPort(port));
    program(" 405 090 005 160\n\n1060 090 045 160\n360 000 000 000");
    const std::vector<std::string> frames{"405090005160", "1060090045160", "360000000000"};
    EXPECT_EQ(play(port), echoed(frames));
    EXPECT_EQ(errors, "");
    EXPECT_EQ(sim.frames(), frames);
}

TEST_F(PlaybackTest, SimulatorHangingUpStopsThePlayback) {
    ArmSim sim({"--speed", "10000", "--hangup-after", "2"});
    SerialPort port(sim.device());
    ASSERT_TRUE(openPort(port));
    program(program2 + "360 000 000 000\n");
    EXPECT_EQ(play(port), played(frame1, frame1) + "lineRead = " + frame2 + "\n\n");
    EXPECT_EQ(errors, std::string(readFailed) + stoppedAt(2, "the serial port cannot be read"));
    EXPECT_EQ(sim.frames(), (std::vector<std::string>{frame1, frame2}));
}

} // namespace
