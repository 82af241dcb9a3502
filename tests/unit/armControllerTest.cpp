// The controller and the arm state that the view draws, in this process on
// a pseudo-terminal of the test's own: the picture and the wire agree.
#include "armState.h"
#include "controller.h"
#include "line.h"
#include "options.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <stdlib.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;

volatile std::sig_atomic_t stopLoop = 0;

void requestStop(int) {
    stopLoop = 1;
}

// The panel's end of the line.
class Peer {
  public:
    Peer() {
        fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0 && grantpt(fd) == 0 && unlockpt(fd) == 0) {
            termios raw{};
            tcgetattr(fd, &raw);
            cfmakeraw(&raw);
            tcsetattr(fd, TCSANOW, &raw);
            path = ptsname(fd);
        }
    }
    ~Peer() {
        if (fd >= 0) {
            ::close(fd);
        }
    }

    // Reads until wanted has come or the deadline; when it came.
    bool readUntil(const std::string& wanted, SimClock::time_point& seen) {
        const auto deadline = SimClock::now() + milliseconds(3000);
        while (received.find(wanted) == std::string::npos && SimClock::now() < deadline) {
            pollfd entry{fd, POLLIN, 0};
            char chunk[64];
            if (poll(&entry, 1, 20) > 0 && (entry.revents & POLLIN)) {
                const ssize_t n = ::read(fd, chunk, sizeof chunk);
                if (n > 0) {
                    received.append(chunk, static_cast<std::size_t>(n));
                }
            }
        }
        seen = SimClock::now();
        return received.find(wanted) != std::string::npos;
    }

    int fd = -1;
    std::string path;
    std::string received;
};

TEST(ArmController, TheDrawnMotionRunsFromTheAcknowledgementToDone) {
    Peer peer;
    ASSERT_FALSE(peer.path.empty());
    SimOptions options;
    options.speedDegPerS = 300; // shoulder 0 -> 150 leads: 500 ms
    options.ackDelayMs = 50;
    std::string error;
    Line line;
    ASSERT_TRUE(line.openDevice(peer.path, error)) << error;
    ArmState arm;
    Controller controller(options, line, arm);

    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    struct sigaction previous {};
    sigaction(SIGUSR1, &action, &previous);
    stopLoop = 0;
    int status = -1;
    // As in the simulator: the stop signal reaches the loop only inside its
    // wait, so it cannot slip in between the test of the flag and the wait.
    sigset_t stopSignal;
    sigemptyset(&stopSignal);
    sigaddset(&stopSignal, SIGUSR1);
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &stopSignal, &before);
    std::thread loop([&] { status = controller.run(stopLoop); });
    pthread_sigmask(SIG_SETMASK, &before, nullptr);

    const auto sent = SimClock::now();
    ASSERT_EQ(::write(peer.fd, "360150075160", 12), 12);
    SimClock::time_point acknowledged;
    ASSERT_TRUE(peer.readUntil("360150075160", acknowledged));
    const ArmSnapshot underway = arm.snapshot(acknowledged);
    EXPECT_TRUE(underway.moving);
    EXPECT_LT(underway.current.shoulder, 150);
    // Every joint on its way alike: the elbow's change is half the shoulder's.
    EXPECT_FLOAT_EQ(underway.current.elbow * 2, underway.current.shoulder);
    EXPECT_EQ(underway.target.shoulder, 150);
    EXPECT_EQ(underway.frames, 1);
    EXPECT_EQ(underway.lastFrame, "360150075160");
    // Not yet set off before the acknowledgement was due.
    EXPECT_FLOAT_EQ(arm.snapshot(sent).current.shoulder, 0);

    SimClock::time_point done;
    ASSERT_TRUE(peer.readUntil("done", done));
    EXPECT_GE(done - sent, milliseconds(550));
    const ArmSnapshot arrived = arm.snapshot(done);
    EXPECT_FALSE(arrived.moving) << "the picture at rest when \"done\" comes";
    EXPECT_FLOAT_EQ(arrived.current.shoulder, 150);
    EXPECT_FLOAT_EQ(arrived.current.elbow, 75);

    pthread_kill(loop.native_handle(), SIGUSR1);
    loop.join();
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_EQ(status, 0);
}

} // namespace
