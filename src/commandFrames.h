#pragma once

#include "serialPort.h"

#include <string>

// The fixed postures the action bar can send.
inline constexpr const char* poleFrame = "360097090160";
inline constexpr const char* zeroFrame = "360000000160";

// The command frame for a position: base + 360, shoulder, elbow, gripper,
// each at least three digits, zero-filled, no separator.
std::string composeCommandFrame(int base, int shoulder, int elbow, int gripper);

// Sends a posture frame, waits 100 ms and prints what came back.
void sendPosture(SerialPort& serial, const std::string& frame);

// Sends the typed position; reads nothing, prints nothing.
void sendPosition(SerialPort& serial, int base, int shoulder, int elbow, int gripper);
