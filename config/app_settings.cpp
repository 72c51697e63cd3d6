#include "config/app_settings.h"

#include <array>
#include <cstdint>
#include <utility>

#include "config/file_store.h"
#include "config/ini_file.h"
#include "config/ini_location.h"
#include "config/profile_text.h"

namespace zentrik {

namespace {

// "Zentrik Settings" keys and defaults.
constexpr std::string_view kCommPortKey = "CommPort";
constexpr std::string_view kCommSpeedKey = "CommSpeed";
constexpr std::string_view kTimeoutKey = "Timeout";
constexpr std::string_view kCrcRetryKey = "CRCRetry";
constexpr std::string_view kTimeoutRetryKey = "TimeoutRetry";
constexpr std::string_view kSmoothKey = "Smooth";
constexpr std::string_view kVerifyUploadKey = "VerifyUpload";
constexpr std::string_view kBackupBeforeUpgradeKey = "BackupBeforeUpgrade";
constexpr std::string_view kPortDeviceKey = "PortDevice";
constexpr int kDefaultCommPort = 1;
constexpr int kDefaultCommSpeed = 19200;
constexpr int kDefaultTimeout = 40;
constexpr int kDefaultCrcRetry = 3;
constexpr int kDefaultTimeoutRetry = 3;
constexpr int kDefaultSmooth = 0;
constexpr int kDefaultVerifyUpload = 0;
constexpr int kDefaultBackupBeforeUpgrade = 0;

// The INI file's bytes: the file at the path, or while there is none, the fallback file.
FileReadStatus ReadIniBytes(const std::string& path, const std::string& fallbackPath,
                            std::string& bytes) {
    if (path.empty()) {
        return FileReadStatus::Missing;
    }
    const FileReadStatus status = ReadFileBytes(path, bytes);
    if (status != FileReadStatus::Missing || fallbackPath.empty()) {
        return status;
    }
    return ReadFileBytes(fallbackPath, bytes);
}

}  // namespace

void AppSettings::SetPath(std::string path) {
    SetLocation({std::move(path), false, {}});
}

void AppSettings::SetLocation(IniLocation location) {
    m_path = std::move(location.path);
    m_createFolder = location.createFolder;
    m_fallbackPath = std::move(location.fallbackPath);
}

IniFile AppSettings::ReadIni() const {
    IniFile file;
    std::string bytes;
    if (ReadIniBytes(m_path, m_fallbackPath, bytes) == FileReadStatus::Ok) {
        file.Parse(bytes);
    }
    return file;
}

bool AppSettings::EditIni(const std::function<bool(IniFile&)>& edit) {
    if (m_path.empty()) {
        return false;
    }
    // The first write to a new file starts from the fallback's contents, so that nothing saved
    // there is left behind.
    std::string bytes;
    const FileReadStatus read = ReadIniBytes(m_path, m_fallbackPath, bytes);
    if (read != FileReadStatus::Ok && read != FileReadStatus::Missing) {
        return false;  // rewriting what could not be read would lose it
    }
    IniFile file(bytes);
    if (!edit(file)) {
        return false;
    }
    return ReplaceFileBytes(m_path, file.Serialize(), m_createFolder);
}

int AppSettings::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    return ProfileReadInt(ReadIni(), section, key, defaultValue);
}

bool AppSettings::WriteInt(std::string_view section, std::string_view key, int value) {
    return EditIni([&](IniFile& file) { return ProfileWriteInt(file, section, key, value); });
}

bool AppSettings::ReadBool(std::string_view section, std::string_view key, int defaultValue) const {
    return ProfileReadBool(ReadIni(), section, key, defaultValue);
}

bool AppSettings::WriteBool(std::string_view section, std::string_view key, int value) {
    return EditIni([&](IniFile& file) { return ProfileWriteBool(file, section, key, value); });
}

double AppSettings::ReadFloat(std::string_view section, std::string_view key,
                              float defaultValue) const {
    return ProfileReadFloat(ReadIni(), section, key, defaultValue);
}

bool AppSettings::WriteFloat(std::string_view section, std::string_view key, float value) {
    return EditIni([&](IniFile& file) { return ProfileWriteFloat(file, section, key, value); });
}

std::string AppSettings::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    return ProfileString(ReadIni(), section, key, defaultValue);
}

bool AppSettings::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    return EditIni([&](IniFile& file) { return file.SetValue(section, key, value); });
}

void AppSettings::LoadSettings() {
    if (m_path.empty()) {
        SetLocation(DefaultIniLocation());
    }
    const IniFile file = ReadIni();
    const std::string_view s = kSettingsSection;
    CommPort = ProfileReadInt(file, s, kCommPortKey, kDefaultCommPort);
    CommSpeed = ProfileReadInt(file, s, kCommSpeedKey, kDefaultCommSpeed);
    Timeout = ProfileReadInt(file, s, kTimeoutKey, kDefaultTimeout);
    CRCRetry = ProfileReadInt(file, s, kCrcRetryKey, kDefaultCrcRetry);
    TimeoutRetry = ProfileReadInt(file, s, kTimeoutRetryKey, kDefaultTimeoutRetry);
    Smooth = ProfileReadBool(file, s, kSmoothKey, kDefaultSmooth);
    VerifyUpload = ProfileReadBool(file, s, kVerifyUploadKey, kDefaultVerifyUpload);
    BackupBeforeUpgrade =
        ProfileReadBool(file, s, kBackupBeforeUpgradeKey, kDefaultBackupBeforeUpgrade);
    PortDevice = ProfileString(file, s, kPortDeviceKey, {});
}

bool AppSettings::SaveSettings() {
    return EditIni([&](IniFile& file) {
        const std::string_view s = kSettingsSection;
        bool ok = ProfileWriteInt(file, s, kCommPortKey, CommPort);
        ok &= ProfileWriteInt(file, s, kCommSpeedKey, CommSpeed);
        ok &= ProfileWriteInt(file, s, kTimeoutKey, Timeout);
        ok &= ProfileWriteInt(file, s, kCrcRetryKey, CRCRetry);
        ok &= ProfileWriteInt(file, s, kTimeoutRetryKey, TimeoutRetry);
        ok &= ProfileWriteBool(file, s, kSmoothKey, Smooth);
        // The optional features only once they are in use.
        const auto inUse = [&](std::string_view key, bool set) {
            return set || file.Value(s, key).has_value();
        };
        if (inUse(kVerifyUploadKey, VerifyUpload)) {
            ok &= ProfileWriteBool(file, s, kVerifyUploadKey, VerifyUpload);
        }
        if (inUse(kBackupBeforeUpgradeKey, BackupBeforeUpgrade)) {
            ok &= ProfileWriteBool(file, s, kBackupBeforeUpgradeKey, BackupBeforeUpgrade);
        }
        if (inUse(kPortDeviceKey, !PortDevice.empty())) {
            ok &= file.SetValue(s, kPortDeviceKey, PortDevice);
        }
        return ok;
    });
}

}  // namespace zentrik
