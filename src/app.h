#pragma once

#include <string>

// The whole program: window, panels, the serial port portName, frame loop,
// shutdown. Returns the process exit code. Lives beside main so that tests
// can run the real frame loop against a scripted raylib and a device of
// their own.
int runTallomir(const std::string& portName);

// This frame's typed code point as the one byte every panel takes. Code
// points above 255 become 0 (nothing typed): their low byte could be a digit
// the operator never typed, and a wrong digit moves the arm.
char narrowTypedCharacter(int codePoint);
