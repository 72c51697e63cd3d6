#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zentrik {

// Outcome of reading a firmware file. OpenFailed also covers a path that opens but can't be
// read as a file (a folder).
enum class FirmwareLoadResult { Ok, OpenFailed, Corrupt, WrongProduct };

// A firmware file as read: the 30720-byte image and its big-endian Crc32 trailer. The version
// (offset 0, big-endian) and the product code (offset 2) are part of the image and are sent
// with it.
class FirmwareImage {
  public:
    static constexpr std::size_t kImageSize = 30720;
    static constexpr std::size_t kFileSize = kImageSize + 4;
    static constexpr std::size_t kWordCount = kImageSize / 2;
    static constexpr std::uint8_t kProductCode = 0x0A;

    // Reads up to kFileSize bytes of the file and checks the trailer, then the product code.
    // The buffer is cleared first, so a short file never borrows an earlier image's bytes.
    FirmwareLoadResult Load(const std::string& path);

    std::uint16_t Version() const;
    std::uint8_t ProductCode() const { return m_bytes[2]; }
    // True when the trailer matches the Crc32 of the image.
    bool HasValidTrailer() const;

    const std::uint8_t* Word(std::size_t offset) const { return m_bytes.data() + offset; }
    // Sum of the image's big-endian words, modulo 65536.
    std::uint16_t ImageChecksum() const;

    const std::array<std::uint8_t, kFileSize>& Bytes() const { return m_bytes; }

  private:
    std::array<std::uint8_t, kFileSize> m_bytes{};
};

}  // namespace zentrik
