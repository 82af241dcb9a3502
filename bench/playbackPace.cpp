// Seconds per waypoint of a played program against what the protocol itself
// costs for the simulator's delays: the acknowledgement delay, the motion,
// and the 50 ms of silence that ends the read bringing "done" (the
// acknowledgement read's own 50 ms runs while the arm moves).
#include "panels/programPanel.h"
#include "playback.h"
#include "serialPort.h"

#include "armSimProcess.h"
#include "captured.h"
#include "elapsed.h"
#include "fileText.h"
#include "tempFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Seconds = std::chrono::duration<double>;

constexpr int programLines = 200;
constexpr int ackDelayMs = 20;
constexpr double speedDegPerS = 90.0;
// Every joint moves by this much on every line: 100 ms at 90 degrees a second.
constexpr int jointStep = 9;
constexpr double shortestMotionMs = 100.0;
constexpr double silenceMs = 50.0;
constexpr double goal = 1.05;
constexpr int baseOffset = 360;
constexpr int gripperStart = 160;

// Lines alternate between two postures jointStep apart in every joint; the
// first is the simulator's start-up posture, so every motion is the same.
std::string waypoint(int index) {
    const int step = index % 2 == 0 ? 0 : jointStep;
    char text[32];
    std::snprintf(text, sizeof text, "%03d %03d %03d %03d", baseOffset + step, step, step,
                  gripperStart + step);
    return text;
}

void writeProgram(const std::string& path) {
    std::string program;
    for (int i = 0; i < programLines; ++i) {
        program += waypoint(i) + '\n';
    }
    writeFile(path, program);
}

double motionMs() {
    return std::max(shortestMotionMs, jointStep / speedDegPerS * 1000.0);
}

int countLogLines(const std::string& log, const std::string& prefix) {
    std::istringstream lines(log);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        count += line.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    }
    return count;
}

// The whole playback, its console output silenced; seconds it took.
double timePlayback(const std::string& programPath, SerialPort& serial) {
    ProgramPanel programPanel;
    programPanel.currentFilePath = programPath;
    programPanel.isPlayPressed = true;
    Captured silenced(std::cout);
    const Clock::time_point start = Clock::now();
    runPlayback(programPanel, serial);
    const Seconds elapsed = Clock::now() - start;
    return elapsed.count();
}

// Plays the program to a simulator started with these options; seconds per
// line, or a negative number after a message.
double pacePerLine(const std::string& programPath, const std::vector<std::string>& extra,
                   bool& windowShown) {
    std::vector<std::string> options{"--ack-delay", std::to_string(ackDelayMs), "--speed",
                                     std::to_string(speedDegPerS)};
    options.insert(options.end(), extra.begin(), extra.end());
    ArmSimProcess simulator(options);
    if (!simulator.problem().empty()) {
        std::fprintf(stderr, "%s\n", simulator.problem().c_str());
        return -1;
    }
    SerialPort serial(simulator.device());
    if (!serial.open()) {
        return -1;
    }
    const double seconds = timePlayback(programPath, serial);
    serial.close();
    const std::string log = simulator.log();
    const int frames = countLogLines(log, "frame ");
    const int dones = countLogLines(log, "done");
    if (frames != programLines || dones != programLines) {
        std::fprintf(stderr, "the simulator saw %d frames and sent %d \"done\", not %d\n", frames,
                     dones, programLines);
        return -1;
    }
    windowShown = countLogLines(log, "view: no display") == 0;
    return seconds / programLines;
}

int runBenchmark(const std::string& folder) {
    const std::string programPath = folder + "/pace.txt";
    writeProgram(programPath);
    bool shown = false;
    const double plain = pacePerLine(programPath, {}, shown);
    // The same with the 3D view drawing at 60 frames a second beside it.
    const double viewed = pacePerLine(programPath, {"--view"}, shown);
    if (plain < 0 || viewed < 0) {
        return 1;
    }
    const double floorPerLine = (ackDelayMs + motionMs() + silenceMs) / 1000.0;
    std::printf("\nplayback pace, %d lines to the simulator (--ack-delay %d, motion %.0f ms)\n",
                programLines, ackDelayMs, motionMs());
    std::printf("| | s per line | / floor |\n|---|---:|---:|\n");
    std::printf("| floor: ack %d ms + motion %.0f ms + silence %.0f ms | %.4f | 1.000x |\n",
                ackDelayMs, motionMs(), silenceMs, floorPerLine);
    std::printf("| runPlayback, %d lines in %.2f s | %.4f | %.3fx |\n", programLines,
                plain * programLines, plain, plain / floorPerLine);
    std::printf("| runPlayback, simulator with --view%s | %.4f | %.3fx |\n",
                shown ? "" : " (no display: no window)", viewed, viewed / floorPerLine);
    std::printf("goal: <= %.2fx\n", goal);
    return 0;
}

} // namespace

int main() {
    try {
        const TempFolder folder("tallomir-pace");
        return runBenchmark(folder.path());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "playback pace: %s\n", error.what());
        return 1;
    }
}
