#include "firmware_files.h"

#include <fstream>

#include "link/link_frame.h"
#include "support/test_paths.h"

namespace zentrik::test {

std::vector<std::uint8_t> MakeFirmwareFile(std::uint16_t version, std::uint8_t product) {
    std::vector<std::uint8_t> file(30724);
    for (std::size_t i = 0; i < 30720; ++i) {
        file[i] = static_cast<std::uint8_t>((i * 31 + 7) ^ (i >> 8));
    }
    file[0] = static_cast<std::uint8_t>(version >> 8);
    file[1] = static_cast<std::uint8_t>(version);
    file[2] = product;
    const std::uint32_t crc = Crc32(file.data(), 30720);
    for (int b = 0; b < 4; ++b) {
        file[30720 + b] = static_cast<std::uint8_t>(crc >> (24 - 8 * b));
    }
    return file;
}

std::string WriteTempFile(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    const std::string path = MakeTempDir() + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

}  // namespace zentrik::test
