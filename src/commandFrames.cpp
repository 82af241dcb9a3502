#include "commandFrames.h"

#include "jointFields.h"

#include <chrono>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

constexpr int acknowledgementSize = 12;
constexpr std::chrono::milliseconds postureSettle{100};

} // namespace

std::string composeCommandFrame(int base, int shoulder, int elbow, int gripper) {
    std::ostringstream frame;
    writeJointFields(frame, base, shoulder, elbow, gripper, "");
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
