#include "sim/record_file.h"

#include <cstdio>

namespace zentrik {

std::string HexLine(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string line;
    line.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!line.empty()) {
            line.push_back(' ');
        }
        line.push_back(kDigits[b >> 4]);
        line.push_back(kDigits[b & 0x0F]);
    }
    return line;
}

RecordFile::~RecordFile() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

bool RecordFile::Open(const std::string& path) {
    m_file = std::fopen(path.c_str(), "a");
    return m_file != nullptr;
}

bool RecordFile::Append(std::span<const std::uint8_t> bytes) {
    if (m_file == nullptr) {
        return false;
    }
    const std::string line = HexLine(bytes) + '\n';
    return std::fwrite(line.data(), 1, line.size(), m_file) == line.size() &&
           std::fflush(m_file) == 0;
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace zentrik
