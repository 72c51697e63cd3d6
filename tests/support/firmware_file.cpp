#include "support/firmware_file.h"

#include <fstream>
#include <iterator>

#include "link/link_frame.h"

namespace zentrik::test {

std::vector<std::uint8_t> BuildFirmwareFile(std::uint16_t version, std::uint8_t product,
                                            unsigned seed) {
    std::vector<std::uint8_t> file(30724);
    for (std::size_t i = 0; i < 30720; ++i) {
        file[i] = static_cast<std::uint8_t>((i * 37 + 11 + seed) ^ (i >> 7));
    }
    file[0] = static_cast<std::uint8_t>(version >> 8);
    file[1] = static_cast<std::uint8_t>(version);
    file[2] = product;
    const std::uint32_t crc = Crc32(file.data(), 30720);
    for (int b = 0; b < 4; ++b) {
        file[30720 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(crc >> (24 - 8 * b));
    }
    return file;
}

bool WriteBytesFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

std::vector<std::uint8_t> ReadBytesFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace zentrik::test
