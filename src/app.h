#pragma once

// The whole program: window, panels, serial port, frame loop, shutdown.
// Returns the process exit code. Lives beside main so that tests can run
// the real frame loop against a scripted raylib.
int runTallomir();

// This frame's typed code point as the one byte every panel takes. Code
// points above 255 become 0 (nothing typed): their low byte could be a digit
// the operator never typed, and a wrong digit moves the arm.
char narrowTypedCharacter(int codePoint);
