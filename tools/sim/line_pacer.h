#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "sim/sim_time.h"

namespace zentrik {

struct TimedByte {
    SimTime time;
    std::uint8_t byte;
};

// One direction of a serial line at a given baud rate, 8N1 (ten bits per byte). Bytes queued
// while the line is busy follow the previous ones back to back; each byte's time is computed
// from the start of the busy period, so rounding never accumulates into drift. With a rate
// of 0 the line is infinitely fast: a byte is due as soon as it is ready.
class LinePacer {
  public:
    explicit LinePacer(std::uint32_t baud = 0) : m_baud(baud) {}

    // Queues bytes that are ready to go at `ready`. Calls must not go back in time.
    void Push(std::span<const std::uint8_t> bytes, SimTime ready);
    // The bytes whose last bit has left the line by `now`, oldest first, with that time.
    std::vector<TimedByte> TakeDue(SimTime now);
    std::optional<SimTime> NextDue() const;

    // Time from the start of a busy period to the end of its `count`th byte.
    SimDuration LineTime(std::uint64_t count) const;

  private:
    std::uint32_t m_baud;
    std::deque<TimedByte> m_queue;
    SimTime m_busyStart{};
    std::uint64_t m_busyCount = 0;
    SimTime m_lineFree{};
};

}  // namespace zentrik
