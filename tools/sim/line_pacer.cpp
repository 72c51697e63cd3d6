#include "sim/line_pacer.h"

#include <chrono>

namespace zentrik {

namespace {
constexpr std::uint64_t kNanosPerSecond = 1'000'000'000;
constexpr std::uint64_t kBitsPerByte = 10;  // start bit, 8 data bits, stop bit
}  // namespace

SimDuration LinePacer::LineTime(std::uint64_t count) const {
    if (m_baud == 0) {
        return SimDuration::zero();
    }
    // count x 10 bits / baud seconds, split so the product cannot overflow.
    const std::uint64_t bits = count * kBitsPerByte;
    const std::uint64_t nanos =
        (bits / m_baud) * kNanosPerSecond + (bits % m_baud) * kNanosPerSecond / m_baud;
    return std::chrono::duration_cast<SimDuration>(std::chrono::nanoseconds(nanos));
}

void LinePacer::Push(std::span<const std::uint8_t> bytes, SimTime ready) {
    if (bytes.empty()) {
        return;
    }
    if (m_baud == 0) {
        for (std::uint8_t b : bytes) {
            m_queue.push_back({ready, b});
        }
        return;
    }
    if (m_busyCount == 0 || ready >= m_lineFree) {
        m_busyStart = ready;
        m_busyCount = 0;
    }
    for (std::uint8_t b : bytes) {
        ++m_busyCount;
        m_lineFree = m_busyStart + LineTime(m_busyCount);
        m_queue.push_back({m_lineFree, b});
    }
}

std::vector<TimedByte> LinePacer::TakeDue(SimTime now) {
    std::vector<TimedByte> due;
    while (!m_queue.empty() && m_queue.front().time <= now) {
        due.push_back(m_queue.front());
        m_queue.pop_front();
    }
    return due;
}

std::optional<SimTime> LinePacer::NextDue() const {
    if (m_queue.empty()) {
        return std::nullopt;
    }
    return m_queue.front().time;
}

}  // namespace zentrik
