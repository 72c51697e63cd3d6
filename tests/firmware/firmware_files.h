#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zentrik::test {

// A firmware file: image of the given version and product code (rest a byte pattern), with
// a correct Crc32 trailer.
std::vector<std::uint8_t> MakeFirmwareFile(std::uint16_t version, std::uint8_t product = 0x0A);
// Writes bytes to a new file in a fresh temporary folder; returns its path.
std::string WriteTempFile(const std::vector<std::uint8_t>& bytes, const std::string& name);

}  // namespace zentrik::test
