#include "serialPort.h"
#include "captured.h"
#include "comm/comm.h"
#include "elapsed.h"
#include "fileText.h"
#include "masterReads.h"
#include "pty.h"
#include "tempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using std::chrono::milliseconds;

const std::string openFailed = "Error: Unable to open the port ";
const std::string settingsFailed = "Error: Unable to get port settings\n";
const std::string writeFailed = "Error: Failed to write to serial port\n";
const std::string readFailed = "Error: Failed to read from serial port\n";

// The controller's end of a pseudo-terminal; the port opens the other end.
class PtyPeer {
    Pty pty;

  public:
    const std::string path = pty.path();

    void send(const std::string& bytes) const {
        ASSERT_EQ(::write(pty.master(), bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    // Waits up to waitMs for count bytes.
    std::string receive(std::size_t count, int waitMs = 1000) const {
        std::string bytes;
        readMasterUntilEnough(
            pty.master(), bytes, [count](const std::string& got) { return got.size() >= count; },
            milliseconds(waitMs));
        return bytes;
    }

    // The line's settings, read and made through the master: the port's
    // exclusive open turns away a second open of the line by anyone but root.
    termios line() const {
        termios settings{};
        EXPECT_EQ(tcgetattr(pty.master(), &settings), 0);
        return settings;
    }
    void setLine(const termios& settings) const {
        ASSERT_EQ(tcsetattr(pty.master(), TCSANOW, &settings), 0);
    }

    void hangUp() { pty.hangUp(); }
};

// Sends each chunk after its pause, from another thread, while the test reads.
// When each chunk went out is kept, since a busy machine can stretch a pause.
class Script {
  public:
    Script(const PtyPeer& peer, std::vector<std::pair<int, std::string>> chunks)
        : worker([this, &peer, chunks] {
              for (const auto& [pauseMs, bytes] : chunks) {
                  std::this_thread::sleep_for(milliseconds(pauseMs));
                  peer.send(bytes);
                  sentAt.push_back(Clock::now());
              }
          }) {}
    ~Script() { join(); }

    // The longest pause between two chunks sent before the moment; after join.
    long longestGapMsBefore(Clock::time_point moment) const {
        long longest = 0;
        for (std::size_t i = 1; i < sentAt.size() && sentAt[i] <= moment; ++i) {
            const auto gap = std::chrono::duration_cast<milliseconds>(sentAt[i] - sentAt[i - 1]);
            longest = std::max(longest, static_cast<long>(gap.count()));
        }
        return longest;
    }

    void join() {
        if (worker.joinable()) {
            worker.join();
        }
    }

  private:
    std::vector<Clock::time_point> sentAt;
    std::thread worker;
};

} // namespace

TEST(CommDevicePath, MapsComNamesAndPaths) {
    const std::pair<std::string, std::string> cases[] = {
        {"COM5", "/dev/ttyS4"},
        {"COM1", "/dev/ttyS0"},
        {"COM12", "/dev/ttyS11"},
        {"com5", "/dev/ttyS4"},
        {"\\\\.\\COM10", "/dev/ttyS9"},
        {"/dev/pts/3", "/dev/pts/3"},
        {"/tmp/x y", "/tmp/x y"},
        {"COM0", ""},
        {"COM", ""},
        {"COM5x", ""},
        {"COM-1", ""},
        {"ttyS4", ""},
        {"dev/ttyS4", ""},
        {"", ""},
        {"COM99999999999", ""},
    };
    for (const auto& [name, path] : cases) {
        EXPECT_EQ(commDevicePath(name), path) << name;
    }
}

TEST(BoundSilentRead, GivesOnlyAllZeroTotalsAThousandMs) {
    struct Case {
        DWORD multiplier, constant, expectedConstant;
    } cases[] = {{0, 0, 1000}, {0, 500, 500}, {10, 0, 0}, {5, 7, 7}};
    for (const Case& c : cases) {
        COMMTIMEOUTS timeouts{3, c.multiplier, c.constant};
        boundSilentRead(timeouts);
        EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, c.expectedConstant) << c.multiplier;
        EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, c.multiplier);
        EXPECT_EQ(timeouts.ReadIntervalTimeout, 3u);
    }
}

TEST(SerialPortAbsent, EveryOperationReportsItsOwnFailure) {
    // No name that leads to a serial port of this machine: it could be an
    // arm's, and opening it resets many controllers.
    const std::string names[] = {"COM0", "NOPE", "/nonexistent/tallomir-port", "/proc", ""};
    for (const std::string& name : names) {
        Captured cerr(std::cerr);
        SerialPort port(name);
        EXPECT_FALSE(port.open());
        EXPECT_EQ(cerr.take(), openFailed + name + "\n");
        port.write("405090005160");
        EXPECT_EQ(cerr.take(), writeFailed);
        EXPECT_EQ(port.read(12), "");
        EXPECT_EQ(cerr.take(), readFailed);
        port.close();
        port.close();
        EXPECT_EQ(cerr.take(), "");
    }
}

TEST(SerialPortNotATerminal, OpensThenFailsToGetSettingsAndStaysOpen) {
    const TempFolder folder;
    const std::string plainFile = folder / "port";
    writeFile(plainFile, "");
    for (const std::string& name : {plainFile, std::string("/dev/null")}) {
        Captured cerr(std::cerr);
        SerialPort port(name);
        EXPECT_FALSE(port.open()) << name;
        EXPECT_EQ(cerr.take(), settingsFailed) << name;
        port.write("360000000160");
        EXPECT_EQ(cerr.take(), "") << name << ": the device stays open";
        port.close();
        port.write("360000000160");
        EXPECT_EQ(cerr.take(), writeFailed) << name;
    }
    EXPECT_EQ(readFile(plainFile), "360000000160");
}

TEST(SerialPortOnPty, LineIs9600EightNoneOneAndRaw) {
    PtyPeer peer;
    SerialPort port(peer.path);
    ASSERT_TRUE(port.open());
    const termios settings = peer.line();
    EXPECT_EQ(cfgetospeed(&settings), speed_t(B9600));
    EXPECT_EQ(settings.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL | INLCR), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
}

TEST(CommLayerOnPty, AppliesOnlyThePortsLineAndReportsTheLineAsItIs) {
    PtyPeer peer;
    const HANDLE port = CreateFileA(peer.path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    // Another program left the line at 19200 with two stop bits.
    termios settings = peer.line();
    cfsetospeed(&settings, B19200);
    cfsetispeed(&settings, B19200);
    settings.c_cflag |= CSTOPB;
    peer.setLine(settings);

    DCB line;
    ASSERT_EQ(GetCommState(port, &line), 1);
    EXPECT_EQ(line.BaudRate, 0u) << "a rate the layer does not make";
    EXPECT_EQ(line.ByteSize, 8);
    EXPECT_EQ(line.Parity, NOPARITY);
    EXPECT_EQ(line.StopBits, otherSetting);

    struct Case {
        DWORD baudRate;
        BYTE byteSize, parity, stopBits;
    } refused[] = {{19200, 8, NOPARITY, ONESTOPBIT},
                   {0, 8, NOPARITY, ONESTOPBIT},
                   {9600, 7, NOPARITY, ONESTOPBIT},
                   {9600, 8, 2, ONESTOPBIT},
                   {9600, 8, NOPARITY, 2}};
    for (const Case& c : refused) {
        DCB asked{c.baudRate, c.byteSize, c.parity, c.stopBits};
        EXPECT_EQ(SetCommState(port, &asked), 0) << c.baudRate << " " << int(c.byteSize) << " "
                                                 << int(c.parity) << " " << int(c.stopBits);
        const termios now = peer.line();
        EXPECT_EQ(cfgetospeed(&now), speed_t(B19200)) << "a refused line changes nothing";
    }

    DCB portLine{9600, 8, NOPARITY, ONESTOPBIT};
    ASSERT_EQ(SetCommState(port, &portLine), 1);
    DCB readBack;
    ASSERT_EQ(GetCommState(port, &readBack), 1);
    EXPECT_EQ(readBack.BaudRate, 9600u);
    EXPECT_EQ(readBack.ByteSize, 8);
    EXPECT_EQ(readBack.Parity, NOPARITY);
    EXPECT_EQ(readBack.StopBits, ONESTOPBIT);

    // A fresh handle has no time-outs, as a Windows driver reports them; the
    // port bounds a silent read itself.
    COMMTIMEOUTS timeouts{1, 2, 3};
    ASSERT_EQ(GetCommTimeouts(port, &timeouts), 1);
    EXPECT_EQ(timeouts.ReadIntervalTimeout + timeouts.ReadTotalTimeoutMultiplier +
                  timeouts.ReadTotalTimeoutConstant,
              0u);
    EXPECT_EQ(CloseHandle(port), 1);
    DCB closed;
    EXPECT_EQ(GetCommState(port, &closed), 0);
    EXPECT_EQ(SetCommState(port, &portLine), 0);
}

TEST(SerialPortOnPty, BytesTravelUnchangedBothWays) {
    const std::string cases[] = {
        "405090005160",
        "1359000000160",
        std::string("\r\n\x11\x13\x03\x04\x1a\x7f\xff", 9),
        std::string("do\0ne", 5),
    };
    PtyPeer peer;
    SerialPort port(peer.path);
    ASSERT_TRUE(port.open());
    for (const std::string& bytes : cases) {
        Captured cerr(std::cerr);
        port.write(bytes);
        EXPECT_EQ(peer.receive(bytes.size()), bytes);
        peer.send(bytes);
        EXPECT_EQ(port.read(128), bytes);
        EXPECT_EQ(cerr.take(), "");
    }
}

TEST(SerialPortOnPty, ReadEndsOnCountSilenceOrTotalTimeOut) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::string>> chunks;
        int size;
        std::string expected;
        long minMs, maxMs;
    } cases[] = {
        {"a 12-byte answer to read(12)", {{0, "405090005160"}}, 12, "405090005160", 0, 45},
        {"\"done\" then silence", {{0, "done"}}, 128, "done", 40, 400},
        {"a byte 0 inside",
         {{0, std::string("do\0ne", 5)}},
         128,
         std::string("do\0ne", 5),
         40,
         400},
        {"a gap under the interval", {{0, "do"}, {25, "ne"}}, 128, "done", 60, 450},
        {"nothing at all", {}, 128, "", 900, 3000},
    };
    PtyPeer peer;
    SerialPort port(peer.path);
    ASSERT_TRUE(port.open());
    for (const Case& c : cases) {
        Captured cerr(std::cerr);
        const auto start = Clock::now();
        std::string got;
        {
            Script script(peer, c.chunks);
            got = port.read(c.size);
        }
        const long ms = msSince(start);
        EXPECT_EQ(got, c.expected) << c.what;
        EXPECT_GE(ms, c.minMs) << c.what;
        EXPECT_LE(ms, c.maxMs) << c.what;
        EXPECT_EQ(cerr.take(), "") << c.what;
    }
}

// Bytes 30 ms apart never fall silent for the 50 ms interval, so only the
// one-second total ends the read. A run in which the busy machine itself let
// a pause grow past the interval proves nothing and is tried again.
TEST(SerialPortOnPty, TotalTimeOutEndsATrickle) {
    constexpr int attempts = 3;
    constexpr long intervalMs = 50;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        PtyPeer peer;
        SerialPort port(peer.path);
        ASSERT_TRUE(port.open());
        std::vector<std::pair<int, std::string>> chunks(50, {30, "x"});
        const auto start = Clock::now();
        Script script(peer, chunks);
        const std::string got = port.read(128);
        const long tookMs = msSince(start);
        const auto ended = Clock::now();
        script.join();
        if (script.longestGapMsBefore(ended) >= intervalMs && attempt < attempts) {
            continue;
        }
        EXPECT_LT(script.longestGapMsBefore(ended), intervalMs) << "the machine never kept time";
        EXPECT_GE(tookMs, 900);
        EXPECT_LE(tookMs, 1400);
        EXPECT_GE(got.size(), 15u);
        EXPECT_LT(got.size(), 40u);
        EXPECT_EQ(got + port.read(128), std::string(50, 'x')) << "nothing lost between reads";
        return;
    }
}

TEST(SerialPortOnPty, WhatIsNotReadWaitsForTheNextRead) {
    PtyPeer peer;
    SerialPort port(peer.path);
    ASSERT_TRUE(port.open());
    peer.send("405090005160done");
    EXPECT_EQ(port.read(12), "405090005160");
    EXPECT_EQ(port.read(128), "done");
}

TEST(SerialPortOnPty, SecondPortOnTheSameDeviceFailsUntilTheFirstCloses) {
    PtyPeer peer;
    Captured cerr(std::cerr);
    SerialPort first(peer.path);
    ASSERT_TRUE(first.open());
    {
        SerialPort second(peer.path);
        EXPECT_FALSE(second.open());
        EXPECT_EQ(cerr.take(), openFailed + peer.path + "\n");
    }
    peer.send("done");
    EXPECT_EQ(first.read(128), "done") << "the failed open left the first port alone";
    first.close();
    SerialPort third(peer.path);
    EXPECT_TRUE(third.open());
    EXPECT_EQ(cerr.take(), "");
}

TEST(SerialPortOnPty, CloseTwiceThenEveryOperationFails) {
    PtyPeer peer;
    Captured cerr(std::cerr);
    SerialPort port(peer.path);
    ASSERT_TRUE(port.open());
    port.close();
    port.close();
    EXPECT_EQ(cerr.take(), "");
    port.write("360000000160");
    EXPECT_EQ(cerr.take(), writeFailed);
    EXPECT_EQ(peer.receive(1, 200), "");
    EXPECT_EQ(port.read(12), "");
    EXPECT_EQ(cerr.take(), readFailed);
}

TEST(SerialPortOnPty, PeerHangingUpFailsTheNextReadAndWrite) {
    PtyPeer peer;
    Captured cerr(std::cerr);
    SerialPort port(peer.path);
    ASSERT_TRUE(port.open());
    peer.hangUp();
    const auto start = Clock::now();
    EXPECT_EQ(port.read(128), "");
    EXPECT_LT(msSince(start), 500) << "a dead line fails at once";
    EXPECT_EQ(cerr.take(), readFailed);
    port.write("360000000160");
    EXPECT_EQ(cerr.take(), writeFailed);
    EXPECT_EQ(port.read(12), "");
    EXPECT_EQ(cerr.take(), readFailed);
}
