#include "frameReader.h"

std::size_t frameLength(char firstDigit) {
    return firstDigit == '1' ? 13 : 12;
}

std::vector<ReaderEvent> FrameReader::feed(const std::string& bytes, SimClock::time_point now) {
    // The loop may wake late: a silence that already passed still splits.
    std::vector<ReaderEvent> events = idle(now);
    for (char byte : bytes) {
        take(byte, events);
    }
    lastByte = now;
    return events;
}

void FrameReader::take(char byte, std::vector<ReaderEvent>& events) {
    pending += byte;
    if (discarding) {
        return;
    }
    if (byte < '0' || byte > '9') {
        // The frame in progress is spoilt, and so is whatever follows it
        // until the sender falls silent.
        discarding = true;
        return;
    }
    if (pending.size() == frameLength(pending[0])) {
        events.push_back({ReaderEvent::Kind::frame, pending});
        pending.clear();
    }
}

std::vector<ReaderEvent> FrameReader::idle(SimClock::time_point now) {
    std::vector<ReaderEvent> events;
    if (!pending.empty() && now - lastByte >= resyncSilence) {
        events.push_back({ReaderEvent::Kind::dropped, pending});
        pending.clear();
        discarding = false;
    }
    return events;
}

std::optional<SimClock::time_point> FrameReader::silenceDeadline() const {
    if (pending.empty()) {
        return std::nullopt;
    }
    return lastByte + resyncSilence;
}
