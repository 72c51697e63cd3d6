#include "link/ring_buffer.h"

#include <algorithm>

namespace zentrik {

std::size_t CRingBuffer::Append(const std::uint8_t* data, std::size_t length) {
    std::size_t stored = 0;
    while (stored < length) {
        const auto next = static_cast<std::uint16_t>((m_write + 1) & kMask);
        if (next == m_read) {
            break;  // full
        }
        m_storage[m_write] = data[stored++];
        m_write = next;
    }
    return stored;
}

std::size_t CRingBuffer::Peek(std::uint8_t* out, std::size_t n) const {
    const std::size_t copied = std::min(n, Count());
    for (std::size_t i = 0; i < copied; ++i) {
        out[i] = m_storage[(m_read + i) & kMask];
    }
    return copied;
}

void CRingBuffer::Skip(std::size_t n) {
    // Skipping past the write position would make stale bytes look buffered again.
    n = std::min(n, Count());
    m_read = static_cast<std::uint16_t>((m_read + n) & kMask);
}

}  // namespace zentrik
