#pragma once

// Reading what the other end sent, at the master of a test's own
// pseudo-terminal.

#include "waitFor.h"

#include <chrono>
#include <poll.h>
#include <string>
#include <unistd.h>

// Appends to received until enough(received) holds or the deadline passes;
// whether it held.
template <typename Enough>
bool readMasterUntilEnough(int master, std::string& received, Enough enough,
                           std::chrono::milliseconds deadline = effectDeadline) {
    return waitFor(
        [&] {
            pollfd entry{master, POLLIN, 0};
            char chunk[64];
            if (poll(&entry, 1, 5) > 0 && (entry.revents & POLLIN)) {
                const ssize_t n = ::read(master, chunk, sizeof chunk);
                if (n > 0) {
                    received.append(chunk, static_cast<std::size_t>(n));
                }
            }
            return enough(received);
        },
        deadline);
}

// Appends to received until it holds wanted or the deadline passes; whether
// it came.
inline bool readMasterUntil(int master, const std::string& wanted, std::string& received,
                            std::chrono::milliseconds deadline = effectDeadline) {
    return readMasterUntilEnough(
        master, received,
        [&wanted](const std::string& got) { return got.find(wanted) != std::string::npos; },
        deadline);
}
