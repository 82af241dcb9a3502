// The controller and the arm state that the view draws, in this process on
// a pseudo-terminal of the test's own: the picture and the wire agree.
#include "armState.h"
#include "controller.h"
#include "line.h"
#include "masterReads.h"
#include "options.h"
#include "pty.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <pthread.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;

volatile std::sig_atomic_t stopLoop = 0;

void requestStop(int) {
    stopLoop = 1;
}

TEST(ArmController, TheDrawnMotionRunsFromTheAcknowledgementToDone) {
    Pty peer;
    peer.makeRaw();
    SimOptions options;
    options.speedDegPerS = 300; // shoulder 0 -> 150 leads: 500 ms
    options.ackDelayMs = 50;
    std::string error;
    Line line;
    ASSERT_TRUE(line.openDevice(peer.path(), error)) << error;
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
    ASSERT_EQ(::write(peer.master(), "360150075160", 12), 12);
    std::string received;
    ASSERT_TRUE(readMasterUntil(peer.master(), "360150075160", received));
    const SimClock::time_point acknowledged = SimClock::now();
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

    ASSERT_TRUE(readMasterUntil(peer.master(), "done", received));
    const SimClock::time_point done = SimClock::now();
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
