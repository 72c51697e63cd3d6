#pragma once

// Fixed texts of the configuration files.

namespace zentrik::config_texts {

// Why a configuration file (.zcfg) could not be opened.
inline constexpr const char* kNoConfigurationText = "The file holds no Zentrik configuration.";
inline constexpr const char* kFileNotFoundText = "The file does not exist.";
inline constexpr const char* kFileNoPermissionText = "You have no permission to read the file.";
inline constexpr const char* kFileIsFolderText = "This is a folder, not a configuration file.";
inline constexpr const char* kFileTooLargeText = "The file is too large to be a configuration.";
inline constexpr const char* kFileUnreadableText = "The file could not be read.";
// A configuration file without some of the settings (printf format: how many it lacks, of how
// many).
inline constexpr const char* kFileLacksSettingsFormat =
    "The file lacks %d of the %d settings of a configuration.";
// A configuration file that could not be written (printf format: the file).
inline constexpr const char* kConfigNotSavedFormat = "The configuration could not be saved to %s.";

// The file chooser's filter for configuration files.
inline constexpr const char* kConfigFileFilterName = "Zentrik Configuration (*.zcfg)";
inline constexpr const char* kConfigFilePattern = "*.zcfg";
inline constexpr const char* kConfigFileExtension = ".zcfg";

// First line of a configuration file (printf format: release, build version, date).
inline constexpr const char* kConfigFileCommentFormat =
    "; Zentrik configuration, saved by Zentrik %s (build %s) on %s";
// The date in that line and in backup file names (printf format: year, month, day).
inline constexpr const char* kDateFormat = "%04d-%02d-%02d";

// The history of what the controller held: the folder's name inside the user's data folder,
// file names (printf format: the local time as YYYYMMDD-HHMMSS, the event's word; then the
// number of a second entry in the same second) and what the comment line says after the date
// and time (printf format: the date and time, the event's word, and the serial number when
// known).
inline constexpr const char* kHistoryFolderName = "history";
inline constexpr const char* kHistoryNameFormat = "%s-%s";
inline constexpr const char* kHistoryNumberFormat = "-%d";
inline constexpr const char* kHistoryStampFormat = "%04d%02d%02d-%02d%02d%02d";
inline constexpr const char* kHistoryTimeFormat = "%s-%s-%s %s:%s:%s";
inline constexpr const char* kHistoryNoteFormat = "%s (%s)";
inline constexpr const char* kHistorySerialNoteFormat = "%s (%s, controller %s)";
inline constexpr const char* kHistorySerialMark = ", controller ";
inline constexpr const char* kHistoryEventWords[] = {"download", "upload", "verify", "compare",
                                                     "backup"};

}  // namespace zentrik::config_texts
