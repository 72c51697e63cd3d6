#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace zentrik {

// Received bytes as one line of upper-case hexadecimal pairs separated by blanks.
std::string HexLine(std::span<const std::uint8_t> bytes);

// The --record file: one line per received frame or firmware unit, appended and flushed at
// once so that a reader sees each line while the simulator runs.
class RecordFile {
  public:
    RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile();

    bool Open(const std::string& path);  // false with errno set when it cannot be opened
    bool Append(std::span<const std::uint8_t> bytes);

  private:
    std::FILE* m_file = nullptr;
};

// Writes a whole file through a temporary beside it, so readers never see half of it.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace zentrik
