#include "commandFrames.h"

#include <chrono>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

constexpr int baseOffset = 360;
constexpr int fieldWidth = 3;
constexpr int acknowledgementSize = 12;
constexpr std::chrono::milliseconds postureSettle{100};

} // namespace

std::string composeCommandFrame(int base, int shoulder, int elbow, int gripper) {
    std::ostringstream frame;
    frame << std::setw(fieldWidth) << std::setfill('0') << base + baseOffset;
    frame << std::setw(fieldWidth) << std::setfill('0') << shoulder;
    frame << std::setw(fieldWidth) << std::setfill('0') << elbow;
    frame << std::setw(fieldWidth) << std::setfill('0') << gripper;
    return frame.str();
}

void sendPosture(SerialPort& serial, const std::string& frame) {
    serial.write(frame);
    std::this_thread::sleep_for(postureSettle);
    std::string data = serial.read(acknowledgementSize);
    std::cout << "Received data: " << data << std::endl;
}

void sendPosition(SerialPort& serial, int base, int shoulder, int elbow, int gripper) {
    serial.write(composeCommandFrame(base, shoulder, elbow, gripper));
}
