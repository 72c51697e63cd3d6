#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "config/config_document.h"
#include "config/config_persistence.h"

namespace zentrik {

// How reading a configuration file ended.
enum class ConfigFileStatus {
    Ok,
    NotFound,
    NoPermission,
    Folder,
    TooLarge,         // larger than kMaxConfigFileSize: not read at all
    Unreadable,       // an error while reading
    NoConfiguration,  // read, but there is no "Zentrik Config" section in it
    Incomplete,       // the section lacks some of a configuration's settings
};

// A configuration file is small; anything larger is no configuration and is never read in.
inline constexpr std::size_t kMaxConfigFileSize = 1u << 20;

// What reading a configuration file gave. For Ok and Incomplete, the document read (the
// missing settings at their defaults) and the notes on it.
struct ConfigFileRead {
    ConfigFileStatus status = ConfigFileStatus::Unreadable;
    ConfigDocument document{};
    ConfigReadNotes notes;
};

// Configuration files (.zcfg): INI text holding one "Zentrik Config" section with the keys,
// formats and units of that section in Zentrik.ini, so that either can be pasted into the
// other, after a comment line naming the program's version and the date it was saved. Being
// our own, a configuration file is held to holding every setting: unlike Zentrik.ini, whose
// missing keys simply take their defaults, one that lacks some reads as Incomplete.

// Reads the file's "Zentrik Config" section as the program's start reads the INI file: the
// record from the keys, the pressures in the unit the file names. Any other section is ignored.
ConfigFileRead ReadConfigFile(const std::string& path);
// The same for a file's bytes.
ConfigFileRead ReadConfigText(std::string_view bytes);

// What went wrong, in a sentence; empty for Ok.
std::string ConfigFileProblemText(const ConfigFileRead& read);

// The file's text for the document, its record's pressures taken from displayPressures;
// `date` goes into the comment line.
std::string ConfigFileText(const ConfigDocument& doc, std::string_view date);

// Saves the document, dated today, replacing the file atomically (never a half-written file).
// With createFolder a missing folder is created first. False when it could not be written.
bool WriteConfigFile(const std::string& path, const ConfigDocument& doc, bool createFolder);

// Today's local date as YYYY-MM-DD.
std::string TodayText();

}  // namespace zentrik
