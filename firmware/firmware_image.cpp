#include "firmware/firmware_image.h"

#include <cstdio>

#include "base/byte_order.h"
#include "link/link_frame.h"

namespace zentrik {

FirmwareLoadResult FirmwareImage::Load(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return FirmwareLoadResult::OpenFailed;
    }
    m_bytes.fill(0);
    // A short read is not an error by itself: the trailer check decides. A read that fails
    // is: on POSIX a folder opens with "rb" and only its first read fails, and it must be
    // reported as a file that can't be read, not as a corrupt image of zeros.
    [[maybe_unused]] const std::size_t read = std::fread(m_bytes.data(), 1, m_bytes.size(), file);
    const bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    if (readFailed) {
        return FirmwareLoadResult::OpenFailed;
    }
    if (!HasValidTrailer()) {
        return FirmwareLoadResult::Corrupt;
    }
    if (ProductCode() != kProductCode) {
        return FirmwareLoadResult::WrongProduct;
    }
    return FirmwareLoadResult::Ok;
}

std::uint16_t FirmwareImage::Version() const {
    return ReadBigEndian16(m_bytes.data());
}

bool FirmwareImage::HasValidTrailer() const {
    return Crc32(m_bytes.data(), kImageSize) == ReadBigEndian32(m_bytes.data() + kImageSize);
}

std::uint16_t FirmwareImage::ImageChecksum() const {
    std::uint32_t sum = 0;
    for (std::size_t offset = 0; offset < kImageSize; offset += 2) {
        sum += ReadBigEndian16(m_bytes.data() + offset);
    }
    return static_cast<std::uint16_t>(sum);
}

}  // namespace zentrik
