#pragma once

// Fixed texts of the firmware upgrade.

namespace zentrik::firmware_texts {

inline constexpr const char* kUpgradeQuestion =
    "Would you like to upgrade the controller's firmware?";
inline constexpr const char* kFileFilterName = "Tolvek Pelvaro Firmware Update (*.eep)";
inline constexpr const char* kFilePattern = "*.eep";

inline constexpr const char* kBadFileCaption = "Bad File";
inline constexpr const char* kBadFileText = "There was an error opening the file.";
inline constexpr const char* kCorruptCaption = "Corrupt Firmware Image";
inline constexpr const char* kCorruptText = "The file appears to be corrupted. Please try again.";
inline constexpr const char* kWrongProductCaption = "Incorrect Firmware Image";
inline constexpr const char* kWrongProductText =
    "The file appears to be for a different product. Please try again with a file for the "
    "Pelvaro.";

inline constexpr const char* kCheckVersionCaption = "Check Controller Version";
inline constexpr const char* kCheckVersionText =
    "The connection to the controller will now be tested and the current version checked. "
    "Click Yes to continue or No to stop.";

// Version question (printf format: controller version, image version).
inline constexpr const char* kVersionQuestionCaption = "Upgrade Firmware";
inline constexpr const char* kVersionQuestionFormat =
    "This will upgrade the controller version from %04X to %04X.\n";
inline constexpr const char* kVersionMatches =
    "The version on your controller matches this upgrade.";
inline constexpr const char* kVersionNotLess =
    "WARNING: The current version is not less than this upgrade.";

// Word transfer (printf format: word number, word count).
inline constexpr const char* kStatusSentPacketFormat = "Sent Packet %i of %li";
inline constexpr const char* kStatusSendingChecksum = "Sending Checksum";
inline constexpr const char* kStatusChecksumReceived = "Checksum Received";
inline constexpr const char* kByteMismatchText =
    "There was a byte mismatch during the update. Please try again.";
inline constexpr const char* kChecksumMismatchText =
    "There was a checksum mismatch, please try again.";

// Backup of the controller's configuration before the flash request.
// File name (printf format: serial number, date; then an optional number and the extension).
inline constexpr const char* kBackupNameFormat = "zentrik-%s-%s";
inline constexpr const char* kBackupNumberFormat = "-%d";
inline constexpr const char* kSerialByteFormat = "%02X";
inline constexpr const char* kUnknownSerial = "unknown";
// Where the backup would have gone when the system names no data folder for the user.
inline constexpr const char* kNoDataFolder = "the user's data folder, which could not be found";
// The line after the success text (printf format: the file).
inline constexpr const char* kBackupSavedFormat =
    "The controller's configuration was backed up to %s.";
// The backup could not be written (printf format: the file); caption "Update Failed".
inline constexpr const char* kBackupSaveFailedFormat =
    "The controller's configuration could not be saved to %s.\nThe upgrade has not started.";

}  // namespace zentrik::firmware_texts
