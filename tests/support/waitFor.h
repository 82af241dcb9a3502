#pragma once

// Waiting for something a test can see, never for a fixed time: a busy
// machine makes everything slow, so only the deadline is generous.

#include <chrono>
#include <thread>

constexpr std::chrono::milliseconds effectDeadline{10000};

// Polls seen() until it holds or the deadline passes; whether it held.
template <typename Seen>
bool waitFor(Seen seen, std::chrono::milliseconds deadline = effectDeadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (seen()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
