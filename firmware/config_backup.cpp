#include "firmware/config_backup.h"

#include <filesystem>
#include <system_error>

#include "base/text_format.h"
#include "config/config_texts.h"
#include "firmware/firmware_texts.h"

namespace zentrik {

namespace {

// More backups of one controller on one day than anyone makes.
constexpr int kMaxBackupsPerDay = 1000;

bool Exists(const std::string& path) {
    std::error_code error;
    // A path that cannot be looked at counts as taken: it is not written over.
    const bool exists = std::filesystem::exists(std::filesystem::path(path), error);
    return exists || error;
}

}  // namespace

std::string BackupFilePath(const std::string& folder, const std::optional<ControllerSerial>& serial,
                           std::string_view date) {
    std::string serialText = firmware_texts::kUnknownSerial;
    if (serial) {
        serialText.clear();
        for (const std::uint8_t byte : *serial) {
            serialText += FormatText(firmware_texts::kSerialByteFormat, byte);
        }
    }
    const std::string stem = folder + FormatText(firmware_texts::kBackupNameFormat,
                                                 serialText.c_str(), std::string(date).c_str());
    for (int n = 1; n <= kMaxBackupsPerDay; ++n) {
        const std::string path =
            stem + (n == 1 ? std::string() : FormatText(firmware_texts::kBackupNumberFormat, n)) +
            config_texts::kConfigFileExtension;
        if (!Exists(path)) {
            return path;
        }
    }
    return {};
}

}  // namespace zentrik
