#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "link/link_frame.h"
#include "sim/sim_controller.h"

namespace zentrik::simtest {

// "22 37 49 F2" -> bytes; blanks are ignored.
std::vector<std::uint8_t> Hex(std::string_view text);

// The factory configuration as it travels on the wire, written out by hand from the default
// values (big-endian sixteen-bit fields, pressures in psi x 256).
std::vector<std::uint8_t> DefaultWireImage();

std::vector<std::uint8_t> Request(RequestType type, const std::vector<std::uint8_t>& payload = {});
std::vector<std::uint8_t> Reply(std::uint8_t type, std::uint8_t status,
                                const std::vector<std::uint8_t>& payload = {});

// All output chunks' bytes, concatenated.
std::vector<std::uint8_t> Bytes(const std::vector<OutputChunk>& chunks);

// A 30720-byte firmware image with the given version in its first two bytes.
std::vector<std::uint8_t> FirmwareImage(std::uint16_t version);

}  // namespace zentrik::simtest
