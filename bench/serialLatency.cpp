// How long read(128) takes to give back "done" after its last byte came:
// the port's 50 ms silence rule is the floor, and anything above it is time
// the playback of every waypoint pays.
#include "serialPort.h"

#include "elapsed.h"
#include "pty.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Ms = std::chrono::duration<double, std::milli>;

constexpr int rounds = 50;
constexpr double floorMs = 50.0;
constexpr auto peerPause = std::chrono::milliseconds(10);

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double maximum(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

// One read: the peer writes "done" a little after the read began; the
// result is from that write to the read's return.
double timeOneRead(SerialPort& port, int master) {
    std::atomic<Clock::time_point::rep> sentAt{0};
    std::thread peer([&] {
        std::this_thread::sleep_for(peerPause);
        if (::write(master, "done", 4) != 4) {
            std::abort();
        }
        sentAt = Clock::now().time_since_epoch().count();
    });
    const std::string reply = port.read(128);
    const Clock::time_point returned = Clock::now();
    peer.join();
    if (reply != "done") {
        std::fprintf(stderr, "unexpected reply of %zu bytes\n", reply.size());
        std::exit(1);
    }
    return Ms(returned - Clock::time_point(Clock::duration(sentAt.load()))).count();
}

// The same machine's own 50 ms: a bare poll on an idle descriptor.
double timeBareWait(int fd) {
    pollfd entry{fd, POLLIN, 0};
    const Clock::time_point start = Clock::now();
    poll(&entry, 1, static_cast<int>(floorMs));
    return Ms(Clock::now() - start).count();
}

void printRow(const char* what, double ms) {
    std::printf("%-28s %8.2f ms  %6.3fx\n", what, ms, ms / floorMs);
}

} // namespace

int main() {
    std::vector<double> reads;
    std::vector<double> bareWaits;
    try {
        Pty pty;
        SerialPort port(pty.path());
        if (!port.open()) {
            return 1;
        }
        for (int i = 0; i < rounds; ++i) {
            reads.push_back(timeOneRead(port, pty.master()));
            bareWaits.push_back(timeBareWait(pty.master()));
        }
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "serial latency: %s\n", error.what());
        return 1;
    }

    std::printf("serial read latency, %d reads of \"done\" then silence (floor %.0f ms)\n", rounds,
                floorMs);
    std::printf("%-28s %11s  %7s\n", "", "time", "/floor");
    printRow("bare 50 ms poll, median", median(bareWaits));
    printRow("read(128), median", median(reads));
    printRow("read(128), maximum", maximum(reads));
    std::printf("goal: median <= 1.04x, maximum <= 1.2x\n");
    return 0;
}
