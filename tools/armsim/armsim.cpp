// tallomir-armsim: a simulated arm controller on a pseudo-terminal (or a
// given device), for the demo and the tests. Prints the device path as its
// first line, then one line per event.
#include "controller.h"
#include "eventLog.h"
#include "line.h"
#include "options.h"

#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// Blocked except inside the controller's wait, which unblocks them
// atomically.
void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tallomir-armsim: %s\n%s", error.c_str(), usageText);
        return 2;
    }
    catchStopSignals();
    Line line;
    std::string device = options.device;
    const bool opened =
        device.empty() ? line.openPseudoTerminal(device, error) : line.openDevice(device, error);
    if (!opened) {
        std::fprintf(stderr, "tallomir-armsim: %s\n", error.c_str());
        return 1;
    }
    logLine(device);
    return Controller(options, line).run(stopRequested);
}
