#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zentrik::test {

// A 30724-byte firmware file: an image of the given version and product code (the rest a
// byte pattern that varies with `seed`), followed by its big-endian Crc32.
std::vector<std::uint8_t> BuildFirmwareFile(std::uint16_t version, std::uint8_t product = 0x0A,
                                            unsigned seed = 0);
// Writes bytes to `path`; false on error.
bool WriteBytesFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
// The whole file, or nothing when it cannot be read.
std::vector<std::uint8_t> ReadBytesFile(const std::string& path);
// The whole file as text ("" when it cannot be read).
std::string ReadTextFile(const std::string& path);

}  // namespace zentrik::test
