#include "link/link_frame.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zentrik {

namespace {

constexpr std::uint16_t kCrc16Polynomial = 0x080D;
constexpr std::uint32_t kCrc32Polynomial = 0xEDB88320u;

constexpr std::array<std::uint16_t, 256> MakeCrc16Table() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        auto reg = static_cast<std::uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit) {
            reg = static_cast<std::uint16_t>((reg & 0x8000) ? (reg << 1) ^ kCrc16Polynomial
                                                            : (reg << 1));
        }
        table[i] = reg;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> MakeCrc32Table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t reg = i;
        for (int bit = 0; bit < 8; ++bit) {
            reg = (reg & 1) ? (reg >> 1) ^ kCrc32Polynomial : (reg >> 1);
        }
        table[i] = reg;
    }
    return table;
}

constexpr auto kCrc16Table = MakeCrc16Table();
constexpr auto kCrc32Table = MakeCrc32Table();

}  // namespace

bool IsRequestType(std::uint8_t value) {
    return ReplyBodyLength(value) != 0;
}

std::size_t ReplyBodyLength(std::uint8_t type) {
    switch (static_cast<RequestType>(type)) {
        case RequestType::DownloadConfig:
            return 114;
        case RequestType::UploadConfig:
            return 4;
        case RequestType::ControllerInfo:
            return 14;
        case RequestType::FlashPermission:
            return 4;
    }
    return 0;
}

std::uint16_t Crc16TableEntry(std::uint8_t index) {
    return kCrc16Table[index];
}

std::uint16_t Crc16(const std::uint8_t* data, long length) {
    std::uint16_t crc = 0;
    for (long i = 0; i < length; ++i) {
        const std::uint8_t index = static_cast<std::uint8_t>((crc >> 8) ^ data[i]);
        crc = static_cast<std::uint16_t>((crc << 8) ^ kCrc16Table[index]);
    }
    return crc;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t length) {
    std::uint32_t reg = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < length; ++i) {
        reg = (reg >> 8) ^ kCrc32Table[(reg ^ data[i]) & 0xFF];
    }
    return ~reg;
}

LinkFrame LinkFrame::Build(std::uint8_t type, std::uint8_t second,
                           std::span<const std::uint8_t> payload) {
    // No frame carries more than the configuration image; a longer payload is cut.
    if (payload.size() > kMaxPayload) {
        payload = payload.first(kMaxPayload);
    }
    LinkFrame frame;
    auto& b = frame.m_bytes;
    b.assign(kFrameOverhead + payload.size(), 0);
    std::copy(std::begin(kSyncBytes), std::end(kSyncBytes), b.begin());
    b[4] = type;
    b[5] = second;
    if (!payload.empty()) {
        std::memcpy(b.data() + 6, payload.data(), payload.size());
    }
    const std::size_t crcAt = 6 + payload.size();
    WriteBigEndian16(b.data() + crcAt, Crc16(b.data() + 4, static_cast<long>(crcAt - 4)));
    return frame;
}

LinkFrame LinkFrame::Request(RequestType type, std::span<const std::uint8_t> payload) {
    return Build(static_cast<std::uint8_t>(type), kRequestMarker, payload);
}

LinkFrame LinkFrame::Reply(std::uint8_t type, std::uint8_t status,
                           std::span<const std::uint8_t> payload) {
    return Build(type, status, payload);
}

bool IsGoodReplyBody(const std::uint8_t* body, std::size_t length) {
    if (length < 4) {
        return false;
    }
    const std::uint16_t expected = ReadBigEndian16(body + length - 2);
    return Crc16(body, static_cast<long>(length - 2)) == expected && body[1] == 0;
}

}  // namespace zentrik
