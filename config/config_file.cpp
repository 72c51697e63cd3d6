#include "config/config_file.h"

#include <ctime>

#include "base/text_format.h"
#include "build_version.h"
#include "config/app_settings.h"
#include "config/config_persistence.h"
#include "config/config_texts.h"
#include "config/file_store.h"
#include "config/ini_file.h"

namespace zentrik {

namespace texts = config_texts;

ConfigFileStatus ReadConfigFile(const std::string& path, ConfigDocument& doc) {
    std::string bytes;
    if (ReadFileBytes(path, bytes) != FileReadStatus::Ok) {
        return ConfigFileStatus::Unreadable;
    }
    const IniFile file(bytes);
    if (!file.HasSection(kConfigSection)) {
        return ConfigFileStatus::NoConfiguration;
    }
    ConfigDocument read;
    LoadConfig(file, kConfigSection, read.record);
    SyncDisplayPressures(read);
    doc = read;
    return ConfigFileStatus::Ok;
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
