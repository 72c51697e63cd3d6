#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zentrik {

// The receive ring: 4096 bytes of storage, 16-bit indices masked to 12 bits. One slot stays
// free to tell full from empty, so it holds at most 4095 bytes.
class CRingBuffer {
  public:
    static constexpr std::size_t kStorageSize = 4096;
    static constexpr std::size_t kCapacity = kStorageSize - 1;

    // Stores bytes one by one until the ring is full; returns how many were stored (the rest
    // are dropped).
    std::size_t Append(const std::uint8_t* data, std::size_t length);
    std::size_t Count() const { return static_cast<std::size_t>((m_write - m_read) & kMask); }
    // Copies up to n bytes from the read position without consuming them; returns how many.
    std::size_t Peek(std::uint8_t* out, std::size_t n) const;
    // The byte at the read position; only valid when Count() > 0.
    std::uint8_t Front() const { return m_storage[m_read]; }
    // Consumes n bytes (never more than are buffered).
    void Skip(std::size_t n);

  private:
    static constexpr std::uint16_t kMask = 0x0FFF;
    std::array<std::uint8_t, kStorageSize> m_storage{};
    std::uint16_t m_read = 0;
    std::uint16_t m_write = 0;
};

}  // namespace zentrik
