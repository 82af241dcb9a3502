#include "playback.h"

#include "utils.h"

#include <algorithm>
#include <iostream>
#include <string>

namespace {

constexpr int readSize = 128;
// A waypoint frame has at least 12 characters; anything much shorter is not
// one and must not reach the controller.
constexpr std::string::size_type minimumFrameLength = 9;
constexpr const char* doneReply = "done";

std::string withoutSpaces(std::string line) {
    line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
    return line;
}

void reportStop(int lineNumber, const char* reason) {
    std::cerr << "Error: Playback stopped at line " << lineNumber << ": " << reason << std::endl;
}

// One read into data; false, reported, when the line is dead.
bool readOrStop(SerialPort& serial, int lineNumber, std::string& data) {
    data = serial.read(readSize);
    if (serial.lastReadFailed()) {
        reportStop(lineNumber, "the serial port cannot be read");
        return false;
    }
    return true;
}

// Reads until "done" has come, possibly split over several reads. False
// when the line failed or the time limit passed first.
bool waitForDone(SerialPort& serial, int lineNumber,
                 std::chrono::steady_clock::time_point deadline) {
    std::string receivedData;
    std::string data;
    while (true) {
        if (!readOrStop(serial, lineNumber, data)) {
            return false;
        }
        if (!data.empty()) {
            receivedData += data;
            if (receivedData.find(doneReply) != std::string::npos) {
                std::cout << "'done' received from serial device!" << std::endl;
                return true;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            reportStop(lineNumber, "no 'done' came");
            return false;
        }
    }
}

// Sends one frame and waits for the controller to finish it. False when the
// playback must stop.
bool playLine(SerialPort& serial, const std::string& lineRead, int lineNumber,
              std::chrono::milliseconds timeLimit) {
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    serial.write(lineRead);
    std::cout << "lineRead = " << lineRead << "\n";
    std::cout << "\n";
    std::string acknowledgement;
    if (!readOrStop(serial, lineNumber, acknowledgement)) {
        return false;
    }
    std::cout << acknowledgement << "\n";
    return waitForDone(serial, lineNumber, deadline);
}

} // namespace

void runPlayback(ProgramPanel& programPanel, SerialPort& serial,
                 std::chrono::milliseconds timeLimit) {
    if (!programPanel.isPlayPressed) {
        return;
    }
    programPanel.isPlayPressed = false;
    const std::string& path = programPanel.currentFilePath;
    // The file is counted afresh for every line: it is read, not held.
    for (int i = 1; i <= countLinesInFile(path); ++i) {
        const std::string lineRead = withoutSpaces(readLine(path, countLinesInFile(path) - i));
        if (lineRead.empty()) {
            continue;
        }
        if (lineRead.size() < minimumFrameLength) {
            std::cerr << "Error: Line " << i << " is too short for a frame, skipped" << std::endl;
            continue;
        }
        if (!playLine(serial, lineRead, i, timeLimit)) {
            return;
        }
    }
}
