#pragma once

// The arm's controller played from a script at the far end of a
// pseudo-terminal, inside the test process: the code under test opens
// device() as its serial port. The script waits for what the program writes
// and answers with the bytes, pauses and hang-ups a test needs; everything
// the program wrote is recorded. Needs no gtest, so benchmarks can use it.

#include "pty.h"
#include "waitFor.h"

#include <sys/ioctl.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

class ControllerScript {
  public:
    // Waits for the program to write exactly these bytes next.
    ControllerScript& receive(const std::string& bytes) { return add(Kind::receive, bytes); }
    ControllerScript& send(const std::string& bytes) { return add(Kind::send, bytes); }
    // Silence long enough for the port's read in progress to end, so that
    // what is sent next comes in a read of its own.
    ControllerScript& pause() { return add(Kind::pause, ""); }
    // Closes the line: the program's reads and writes fail from then on.
    ControllerScript& hangUp() { return add(Kind::hangUp, ""); }

    // A waypoint as the controller plays it: the frame echoed at once,
    // "done" in a later read when the move is over.
    ControllerScript& moves(const std::string& frame) {
        return receive(frame).send(frame).pause().send("done");
    }

  private:
    friend class ScriptedController;
    enum class Kind { receive, send, pause, hangUp };
    struct Step {
        Kind kind;
        std::string bytes;
    };

    ControllerScript& add(Kind kind, const std::string& bytes) {
        steps.push_back({kind, bytes});
        return *this;
    }

    std::vector<Step> steps;
};

class ScriptedController {
  public:
    // The port ends a read 50 ms after the last byte; four times that keeps
    // a scripted pause a pause on a busy machine.
    static constexpr std::chrono::milliseconds readEndingSilence{200};
    // How long a receive step waits for the program's bytes.
    static constexpr std::chrono::milliseconds stepDeadline{10000};

    explicit ScriptedController(ControllerScript script = {}) : steps(std::move(script.steps)) {
        // Held open so that the line's input queue can be watched, and so
        // that the program closing its port is no hang-up for this end.
        watch = ::open(pty.path().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (watch < 0) {
            throw std::runtime_error("cannot watch " + pty.path());
        }
        if (pipe2(wake, O_CLOEXEC) != 0) {
            ::close(watch);
            throw std::runtime_error("no pipe to wake the controller");
        }
        worker = std::thread([this] { run(); });
    }

    ScriptedController(const ScriptedController&) = delete;
    ScriptedController& operator=(const ScriptedController&) = delete;

    ~ScriptedController() {
        stopping = true;
        const char byte = 0;
        if (::write(wake[1], &byte, 1) != 1) {
            // The worker still sees stopping at its next wake-up.
        }
        worker.join();
        ::close(wake[0]);
        ::close(wake[1]);
        ::close(watch);
    }

    const std::string& device() const { return pty.path(); }

    // Leaves bytes in the line's receive buffer, as a reply the program has
    // not read yet; returns once the line holds them. Only for before the
    // program reads and before the script sends anything.
    bool queue(const std::string& bytes) {
        if (::write(pty.master(), bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
            return false;
        }
        return waitFor(
            [&] {
                int waiting = 0;
                return ioctl(watch, FIONREAD, &waiting) == 0 && waiting >= int(bytes.size());
            },
            stepDeadline);
    }

    // Everything the program wrote so far.
    std::string written() const {
        std::lock_guard<std::mutex> lock(mutex);
        return record;
    }

    // Waits until the program wrote at least count bytes, or the step
    // deadline passed; everything it wrote by then.
    std::string written(std::size_t count) const {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, stepDeadline, [&] { return record.size() >= count; });
        return record;
    }

    // Waits until the program wrote marker (or the step deadline passed);
    // what it wrote before it. A test that writes a marker through the port
    // after the code under test learns that this wrote nothing more.
    std::string writtenUpTo(const std::string& marker) const {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, stepDeadline,
                         [&] { return record.find(marker) != std::string::npos; });
        const std::size_t at = record.find(marker);
        return at == std::string::npos ? record + "[no " + marker + " came]" : record.substr(0, at);
    }

    // Waits for the script to run to its end; what went wrong, "" when
    // everything went as scripted.
    std::string finish() const {
        std::unique_lock<std::mutex> lock(mutex);
        const auto limit = stepDeadline * int(steps.size() + 1);
        if (!changed.wait_for(lock, limit, [&] { return ended; })) {
            return "the script did not end";
        }
        return failure;
    }

  private:
    using TimePoint = std::chrono::steady_clock::time_point;

    void run() {
        std::size_t cursor = 0;
        for (const ControllerScript::Step& step : steps) {
            if (stopping || !play(step, cursor)) {
                break;
            }
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            ended = true;
        }
        changed.notify_all();
        // A silent controller still takes what the program writes.
        pump(TimePoint::max(), [] { return false; });
    }

    bool play(const ControllerScript::Step& step, std::size_t& cursor) {
        switch (step.kind) {
        case ControllerScript::Kind::receive: {
            const std::size_t end = cursor + step.bytes.size();
            pump(std::chrono::steady_clock::now() + stepDeadline,
                 [&] { return record.size() >= end; });
            const std::string got = written().substr(cursor, step.bytes.size());
            if (got != step.bytes) {
                return fail("waited for \"" + step.bytes + "\", the program wrote \"" + got + "\"");
            }
            cursor = end;
            return true;
        }
        case ControllerScript::Kind::send:
            if (::write(pty.master(), step.bytes.data(), step.bytes.size()) !=
                ssize_t(step.bytes.size())) {
                return fail("cannot send \"" + step.bytes + "\"");
            }
            return true;
        case ControllerScript::Kind::pause:
            pump(std::chrono::steady_clock::now() + readEndingSilence, [] { return false; });
            return true;
        case ControllerScript::Kind::hangUp:
            pty.hangUp();
            return true;
        }
        return false;
    }

    bool fail(const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex);
        failure = what;
        return false;
    }

    // Records what the program writes until done() holds (checked under
    // the lock), the deadline passes or the controller is stopped.
    template <typename Done> void pump(TimePoint deadline, Done done) {
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (done()) {
                    return;
                }
            }
            const auto now = std::chrono::steady_clock::now();
            if (stopping || now >= deadline) {
                return;
            }
            int waitMs = -1;
            if (deadline != TimePoint::max()) {
                waitMs = int(std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count());
            }
            pollfd entries[2] = {{wake[0], POLLIN, 0}, {pty.master(), POLLIN, 0}};
            const nfds_t count = pty.master() >= 0 ? 2 : 1;
            if (poll(entries, count, waitMs) <= 0) {
                continue;
            }
            if (count == 2 && (entries[1].revents & POLLIN) != 0) {
                char chunk[256];
                const ssize_t n = ::read(pty.master(), chunk, sizeof chunk);
                if (n > 0) {
                    {
                        std::lock_guard<std::mutex> lock(mutex);
                        record.append(chunk, std::size_t(n));
                    }
                    changed.notify_all();
                } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                    pty.hangUp(); // a line that cannot be read is over
                }
            } else if (count == 2 && (entries[1].revents & (POLLHUP | POLLERR)) != 0) {
                pty.hangUp();
            }
        }
    }

    Pty pty;
    std::vector<ControllerScript::Step> steps;
    int watch = -1;
    int wake[2] = {-1, -1};
    std::atomic<bool> stopping{false};
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::string record;
    std::string failure;
    bool ended = false;
    std::thread worker;
};
