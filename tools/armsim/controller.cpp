#include "controller.h"

#include "eventLog.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds splitDonePause{100};
constexpr std::size_t readChunk = 256;

} // namespace

Controller::Controller(const SimOptions& options, Line& line, ArmState& arm)
    : options(options), line(line), arm(arm) {}

int Controller::run(const volatile std::sig_atomic_t& stop) {
    sigset_t unblocked;
    sigemptyset(&unblocked);
    while (!stop && !hungUp) {
        const auto now = SimClock::now();
        if (!runDueSteps(now)) {
            return 1;
        }
        startNextFrame(now);
        const int ms = waitMs(SimClock::now());
        const timespec timeout{ms / 1000, (ms % 1000) * 1000000L};
        pollfd input{line.fd(), POLLIN, 0};
        // Signals are blocked everywhere but here, so a SIGTERM cannot slip
        // in between the test of stop and the wait.
        const int ready = ppoll(&input, 1, ms < 0 ? nullptr : &timeout, &unblocked);
        if (ready < 0 && errno != EINTR) {
            logLine(std::string("error poll: ") + std::strerror(errno));
            return 1;
        }
        if (ready > 0 && !receive()) {
            return 1;
        }
        for (const ReaderEvent& event : reader.idle(SimClock::now())) {
            accept(event);
        }
    }
    return 0;
}

bool Controller::receive() {
    char buffer[readChunk];
    const ssize_t n = ::read(line.fd(), buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        return true;
    }
    if (n <= 0) {
        logLine(std::string("error line closed: ") +
                (n == 0 ? "end of file" : std::strerror(errno)));
        return false;
    }
    for (const ReaderEvent& event : reader.feed(std::string(buffer, n), SimClock::now())) {
        if (!accept(event)) {
            break;
        }
    }
    return true;
}

// False once the line has been hung up on purpose.
bool Controller::accept(const ReaderEvent& event) {
    if (event.kind == ReaderEvent::Kind::dropped) {
        logLine("dropped " + printable(event.bytes));
        return true;
    }
    logLine("frame " + event.bytes + " " + describePosition(decodeFrame(event.bytes)));
    ++framesSeen;
    arm.frameArrived(event.bytes);
    if (options.hangupAfter > 0 && framesSeen >= options.hangupAfter) {
        // As a pulled cable: whatever was still due is never sent.
        line.close();
        hungUp = true;
        logLine("hangup");
        return false;
    }
    queued.push_back(event.bytes);
    return true;
}

void Controller::startNextFrame(SimClock::time_point now) {
    if (!steps.empty() || queued.empty()) {
        return;
    }
    const std::string frame = queued.front();
    queued.pop_front();
    const LimitedPosition target = applyLimits(decodeFrame(frame), options.limits);
    for (const std::string& text : target.logLines) {
        if (!text.empty()) {
            logLine(text);
        }
    }
    const auto motion = motionTime(position, target.position, options.speedDegPerS);
    position = target.position;
    // The arm sets off as it acknowledges, so "done" leaves as it arrives.
    const auto ackAt = now + std::chrono::milliseconds(options.ackDelayMs);
    arm.startMotion(target, ackAt, ackAt + motion);
    if (options.silent) {
        return;
    }
    if (!options.extra.empty()) {
        steps.push_back({ackAt, options.extra, "extra " + printable(options.extra)});
    }
    steps.push_back({ackAt, frame, "ack " + frame});
    if (options.noDone) {
        return;
    }
    const auto doneAt = ackAt + motion;
    if (options.splitDone) {
        steps.push_back({doneAt, "do", ""});
        steps.push_back({doneAt + splitDonePause, "ne", "done"});
    } else {
        steps.push_back({doneAt, "done", "done"});
    }
}

bool Controller::runDueSteps(SimClock::time_point now) {
    while (!steps.empty() && steps.front().at <= now) {
        const Step step = steps.front();
        steps.pop_front();
        if (!line.send(step.bytes)) {
            logLine(std::string("error send: ") + std::strerror(errno));
            return false;
        }
        if (!step.logText.empty()) {
            logLine(step.logText);
        }
    }
    return true;
}

// Until the next step or the next resynchronising silence; -1: no deadline.
int Controller::waitMs(SimClock::time_point now) const {
    std::optional<SimClock::time_point> next = reader.silenceDeadline();
    if (!steps.empty()) {
        next = next ? std::min(*next, steps.front().at) : steps.front().at;
    } else if (!queued.empty()) {
        return 0;
    }
    if (!next) {
        return -1;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(wait.count(), 0));
}
