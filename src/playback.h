#pragma once

#include "panels/programPanel.h"
#include "serialPort.h"

#include <chrono>

// How long a sent waypoint may go without "done" before the playback gives up.
constexpr std::chrono::milliseconds doneTimeLimit = std::chrono::seconds(30);

// Plays the open program when the panel asked for it: each line without its
// spaces goes out as a command frame, and the next one waits for "done".
// Clears the request; does nothing when none was made. Runs to its end inside
// the calling frame.
void runPlayback(ProgramPanel& programPanel, SerialPort& serial,
                 std::chrono::milliseconds timeLimit = doneTimeLimit);
