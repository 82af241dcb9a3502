#include "eventLog.h"

#include <cstdio>

void logLine(const std::string& line) {
    // One call, so that a line from the view's thread never splits one from
    // the controller's.
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string printable(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        if (byte > ' ' && byte < 0x7f && byte != '\\') {
            text += static_cast<char>(byte);
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
        text += escaped;
    }
    return text;
}
