#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "link/link_frame.h"
#include "sim/sim_controller.h"

namespace zentrik::simtest {

std::vector<std::uint8_t> Hex(std::string_view text);  // "22 37" -> bytes, blanks ignored

// The factory configuration as it travels on the wire, written out by hand from the default
// values (big-endian sixteen-bit fields, pressures in psi x 256).
std::vector<std::uint8_t> DefaultWireImage();

inline std::vector<std::uint8_t> Request(RequestType type,
                                         const std::vector<std::uint8_t>& payload = {}) {
    return LinkFrame::Request(type, payload).bytes();
}
inline std::vector<std::uint8_t> Reply(std::uint8_t type, std::uint8_t status,
                                       const std::vector<std::uint8_t>& payload = {}) {
    return LinkFrame::Reply(type, status, payload).bytes();
}
inline const std::vector<std::uint8_t> kInfoReply =
    Reply(3, 0, Hex("03 0A 00 00 00 00 00 01 01 00"));

// A 30720-byte firmware image with the given version in its first two bytes.
std::vector<std::uint8_t> FirmwareImage(std::uint16_t version);

}  // namespace zentrik::simtest
