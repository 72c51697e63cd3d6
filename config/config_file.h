#pragma once

#include <string>
#include <string_view>

#include "config/config_document.h"

namespace zentrik {

// How reading a configuration file ended.
enum class ConfigFileStatus {
    Ok,
    Unreadable,       // missing, a folder, no permission, too large
    NoConfiguration,  // read, but there is no "Zentrik Config" section in it
};

// Configuration files (.zcfg): INI text holding one "Zentrik Config" section with the keys,
// formats and units of that section in Zentrik.ini, so that either can be pasted into the
// other, after a comment line naming the program's version and the date it was saved.

// Reads the file's "Zentrik Config" section into `doc` as the program's start reads the INI
// file: the record from the keys (missing keys take their defaults), the pressures in the
// unit the file names. Any other section is ignored. On failure `doc` is left as it was.
ConfigFileStatus ReadConfigFile(const std::string& path, ConfigDocument& doc);

// The file's text for the document, its record's pressures taken from displayPressures;
// `date` goes into the comment line.
std::string ConfigFileText(const ConfigDocument& doc, std::string_view date);

// Saves the document, dated today, replacing the file atomically (never a half-written file).
// With createFolder a missing folder is created first. False when it could not be written.
bool WriteConfigFile(const std::string& path, const ConfigDocument& doc, bool createFolder);

// Today's local date as YYYY-MM-DD.
std::string TodayText();

}  // namespace zentrik
