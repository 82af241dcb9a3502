#pragma once

#include <string>

// One line on standard output, flushed at once: tests and the demo script
// read the log while the simulator runs.
void logLine(const std::string& line);

// Bytes as one printable token: control bytes, space, backslash and
// non-ASCII become \xHH.
std::string printable(const std::string& bytes);
