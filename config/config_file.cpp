#include "config/config_file.h"

#include <ctime>

#include "base/text_format.h"
#include "build_version.h"
#include "config/app_settings.h"
#include "config/config_texts.h"
#include "config/file_store.h"
#include "config/ini_file.h"

namespace zentrik {

namespace texts = config_texts;

ConfigFileRead ReadConfigFile(const std::string& path) {
    std::string bytes;
    ConfigFileRead read;
    switch (ReadFileBytes(path, bytes, kMaxConfigFileSize)) {
        case FileReadStatus::Ok:
            return ReadConfigText(bytes);
        case FileReadStatus::Missing:
            read.status = ConfigFileStatus::NotFound;
            break;
        case FileReadStatus::Folder:
            read.status = ConfigFileStatus::Folder;
            break;
        case FileReadStatus::NoPermission:
            read.status = ConfigFileStatus::NoPermission;
            break;
        case FileReadStatus::TooLarge:
            read.status = ConfigFileStatus::TooLarge;
            break;
        case FileReadStatus::Failed:
            read.status = ConfigFileStatus::Unreadable;
            break;
    }
    return read;
}

ConfigFileRead ReadConfigText(std::string_view bytes) {
    const IniFile file(bytes);
    ConfigFileRead read;
    if (!file.HasSection(kConfigSection)) {
        read.status = ConfigFileStatus::NoConfiguration;
        return read;
    }
    LoadConfig(file, kConfigSection, read.document.record, &read.notes);
    SyncDisplayPressures(read.document);
    read.status =
        read.notes.MissingKeys() > 0 ? ConfigFileStatus::Incomplete : ConfigFileStatus::Ok;
    return read;
}

std::string ConfigFileProblemText(const ConfigFileRead& read) {
    switch (read.status) {
        case ConfigFileStatus::Ok:
            return {};
        case ConfigFileStatus::NotFound:
            return texts::kFileNotFoundText;
        case ConfigFileStatus::NoPermission:
            return texts::kFileNoPermissionText;
        case ConfigFileStatus::Folder:
            return texts::kFileIsFolderText;
        case ConfigFileStatus::TooLarge:
            return texts::kFileTooLargeText;
        case ConfigFileStatus::Unreadable:
            return texts::kFileUnreadableText;
        case ConfigFileStatus::NoConfiguration:
            return texts::kNoConfigurationText;
        case ConfigFileStatus::Incomplete:
            break;
    }
    return FormatText(texts::kFileLacksSettingsFormat, read.notes.MissingKeys(),
                      read.notes.keysRead);
}

std::string ConfigFileText(const ConfigDocument& doc, std::string_view date) {
    const std::string dateText(date);
    // The comment's line break sets the ending of every line added after it: CRLF, as the
    // INI file has.
    IniFile file(FormatText(texts::kConfigFileCommentFormat, kProductVersion, kBuildVersion,
                            dateText.c_str()) +
                 "\r\n");
    ConfigDocument synced = doc;
    SyncRecordPressures(synced);
    SaveConfig(file, kConfigSection, synced.record);
    return file.Serialize();
}

bool WriteConfigFile(const std::string& path, const ConfigDocument& doc, bool createFolder) {
    return ReplaceFileBytes(path, ConfigFileText(doc, TodayText()), createFolder);
}

std::string TodayText() {
    const std::time_t now = std::time(nullptr);
    // Only the user-interface thread asks, so localtime's shared buffer is safe here.
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) {
        return {};
    }
    return FormatText(texts::kDateFormat, local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
}

}  // namespace zentrik
