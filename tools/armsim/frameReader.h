#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

using SimClock = std::chrono::steady_clock;

// One thing the reader made of the incoming bytes.
struct ReaderEvent {
    enum class Kind { frame, dropped };
    Kind kind;
    std::string bytes;
};

// Cuts the byte stream into command frames. Frames carry no terminator: the
// length follows from the first digit. Anything that cannot be a frame is
// dropped up to the next silence, which is where the stream resynchronises.
class FrameReader {
  public:
    std::vector<ReaderEvent> feed(const std::string& bytes, SimClock::time_point now);
    // Drops what is left hanging once the line has been silent long enough.
    std::vector<ReaderEvent> idle(SimClock::time_point now);
    // When idle() next has something to drop, if ever.
    std::optional<SimClock::time_point> silenceDeadline() const;

  private:
    void take(char byte, std::vector<ReaderEvent>& events);

    std::string pending;
    bool discarding = false;
    SimClock::time_point lastByte;
};

// 13 characters when the base field is 1000..1359 (first digit '1'), else 12.
std::size_t frameLength(char firstDigit);

constexpr std::chrono::milliseconds resyncSilence{20};
