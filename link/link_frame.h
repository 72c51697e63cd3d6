#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/byte_order.h"

namespace zentrik {

enum class RequestType : std::uint8_t {
    DownloadConfig = 1,
    UploadConfig = 2,
    ControllerInfo = 3,
    FlashPermission = 238,
};

bool IsRequestType(std::uint8_t value);

// Sync word 0xF2493722, least significant byte first on the wire.
inline constexpr std::uint8_t kSyncBytes[4] = {0x22, 0x37, 0x49, 0xF2};
inline constexpr std::uint8_t kRequestMarker = 0x0A;  // second byte of every request body
inline constexpr std::size_t kFrameOverhead = 8;      // sync, type, marker/status, checksum
inline constexpr std::size_t kControllerInfoPayload = 10;
inline constexpr std::size_t kMaxPayload = 110;  // the configuration image

// Reply body length (type byte through checksum) for a type; 0 when it is not a RequestType.
std::size_t ReplyBodyLength(std::uint8_t type);

// Link checksum: CRC-16, polynomial 0x080D, initial 0, MSB first. A length <= 0 gives 0.
std::uint16_t Crc16(const std::uint8_t* data, long length);
// The register table entry i (exposed for tests).
std::uint16_t Crc16TableEntry(std::uint8_t index);

// Firmware image checksum: standard reflected CRC-32 (IEEE 802.3).
std::uint32_t Crc32(const std::uint8_t* data, std::size_t length);

// A complete frame as sent on the wire.
class LinkFrame {
  public:
    // Tool to controller: sync, type, 0x0A, payload, Crc16 big-endian.
    static LinkFrame Request(RequestType type, std::span<const std::uint8_t> payload = {});
    // Controller to tool: sync, type, status, payload, Crc16 big-endian.
    static LinkFrame Reply(std::uint8_t type, std::uint8_t status,
                           std::span<const std::uint8_t> payload = {});

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    const std::uint8_t* data() const { return m_bytes.data(); }
    std::size_t size() const { return m_bytes.size(); }

  private:
    static LinkFrame Build(std::uint8_t type, std::uint8_t second,
                           std::span<const std::uint8_t> payload);
    std::vector<std::uint8_t> m_bytes;
};

// A reply body (type byte through checksum) is good when its Crc16 matches the big-endian
// trailer and its status byte is 0.
bool IsGoodReplyBody(const std::uint8_t* body, std::size_t length);

}  // namespace zentrik
