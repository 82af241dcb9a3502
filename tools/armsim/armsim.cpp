// tallomir-armsim: a simulated arm controller on a pseudo-terminal (or a
// given device), for the demo and the tests. Prints the device path as its
// first line, then one line per event. With --view it also shows the arm.
#include "armState.h"
#include "armView.h"
#include "controller.h"
#include "eventLog.h"
#include "line.h"
#include "options.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// Blocked in every thread except inside the controller's wait, which
// unblocks them atomically; threads started later inherit the mask.
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

// The window on this thread, as the toolkit wants, and the controller on
// its own, so that drawing never delays a reply. Either one ending ends the
// other: the window's close reaches the controller as Ctrl-C would.
int runWithView(const SimOptions& options, Controller& controller, ArmState& arm) {
    std::atomic<bool> finished{false};
    int status = 0;
    std::thread serial([&] {
        status = controller.run(stopRequested);
        finished = true;
    });
    ArmView view(options, arm);
    if (view.open()) {
        view.run(finished);
        if (!finished) {
            pthread_kill(serial.native_handle(), SIGTERM);
        }
    } else {
        logLine("view: no display, going on without the window");
    }
    serial.join();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tallomir-armsim: %s\n", error.c_str());
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
    ArmState arm;
    Controller controller(options, line, arm);
    if (options.view) {
        return runWithView(options, controller, arm);
    }
    return controller.run(stopRequested);
}
