#pragma once

// Fixed texts of the configuration files.

namespace zentrik::config_texts {

// A configuration file (.zcfg) that cannot be read or holds no "Zentrik Config" section.
inline constexpr const char* kNoConfigurationText = "The file holds no Zentrik configuration.";
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

}  // namespace zentrik::config_texts
