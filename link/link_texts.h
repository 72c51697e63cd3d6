#pragma once

// Fixed texts of the controller link: status texts, message boxes and their captions.

namespace zentrik::link_texts {

// Status bar, pane 0.
inline constexpr const char* kStatusDownloading = "Downloading Config From Controller";
inline constexpr const char* kStatusSending = "Sending Config To Controller";
inline constexpr const char* kStatusRequestingInfo = "Requesting Controller Info";
inline constexpr const char* kStatusRequestingPermission =
    "Requesting Permission to Flash Firmware";
inline constexpr const char* kStatusDownloaded = "Config Downloaded";
inline constexpr const char* kStatusUploaded = "Config Uploaded";
inline constexpr const char* kStatusInfoDownloaded = "Controller Info Downloaded";
inline constexpr const char* kStatusPermissionReceived = "Flash Permission Received";
inline constexpr const char* kStatusCrcError = "CRC Error";
inline constexpr const char* kStatusTimedOut = "Packet Timed Out";
inline constexpr const char* kStatusVerifying = "Verifying Config On Controller";
inline constexpr const char* kStatusVerifyFailed = "Verify Failed";
inline constexpr const char* kStatusUploadUnverified = "Config Uploaded, Not Verified";
inline constexpr const char* kStatusUploadStopped = "Upload Stopped";
// A download for another purpose than the document (compare, backup) arrived.
inline constexpr const char* kStatusConfigReceived = "Controller Config Received";

// Verify after upload: what the controller holds differs from what was uploaded (the
// differences follow, one a line).
inline constexpr const char* kVerifyFailedCaption = "Verify Failed";
inline constexpr const char* kVerifyFailedText =
    "The controller holds a different configuration from the one uploaded.";

// Verify after upload: the controller acknowledged the upload, but the read-back failed
// (printf format: why, one of the reasons below).
inline constexpr const char* kUnverifiedCaption = "Upload Not Verified";
inline constexpr const char* kUnverifiedFormat =
    "The controller acknowledged the configuration, but reading it back failed: %s. It probably "
    "holds the new configuration; choose Compare With Controller to check.";
inline constexpr const char* kReadBackTimedOut = "the message timed out";
inline constexpr const char* kReadBackCrcErrors = "the message had crc errors";

// An upload whose configuration no longer passes the check before upload when its turn to be
// sent comes (it was replaced while the upload waited in the queue).
inline constexpr const char* kUploadStoppedCaption = "Upload Stopped";
inline constexpr const char* kUploadStoppedText =
    "The configuration was not uploaded: it was replaced while the upload waited, and it holds "
    "values the form does not allow. Choose Upload again to see them.";

// Retries used up.
inline constexpr const char* kCrcErrorCaption = "CRC Error";
inline constexpr const char* kCrcErrorText = "The message had crc errors.";
inline constexpr const char* kTimeoutCaption = "Timeout Error";
inline constexpr const char* kTimeoutText = "The message timed out.";

// Failures during a firmware upgrade.
inline constexpr const char* kUpdateFailedCaption = "Update Failed";
inline constexpr const char* kInfoCrcFailedText =
    "Request for controller info failed with CRC error.\nThe upgrade has failed.\nPlease try "
    "again.";
inline constexpr const char* kPermissionCrcFailedText =
    "Request to upgrade the controller failed with CRC error.\nThe upgrade has failed.\nPlease "
    "try again.";
inline constexpr const char* kVersionTimeoutCaption = "Controller Version Request Timed Out";
inline constexpr const char* kVersionTimeoutText =
    "The request for the current controller version timed out. Please make sure you have "
    "connected the controller properly.\nTo cancel the firwmare update click Abort.\nTo try "
    "again click Retry.\nTo force an update of the firmware click Ignore.";
inline constexpr const char* kPermissionTimeoutText =
    "The controller did not respond to the upgrade request.  Please make sure it is connected "
    "and try again.";
// A download or upload still in flight when an upgrade was started failed, and the user
// aborted it: the upgrade ends before it has begun.
inline constexpr const char* kUpgradeCrcFailedText =
    "The message had crc errors.\nThe upgrade has failed.\nPlease try again.";
// The backup before an upgrade could not be downloaded (Abort or Ignore in its failure box).
inline constexpr const char* kBackupDownloadFailedText =
    "The controller's configuration could not be downloaded for the backup.\nThe upgrade has "
    "not started.";
inline constexpr const char* kTransferTimeoutText =
    "The controller did not respond to the upgrade process.  Please make sure it is connected "
    "and try again.";

// Controller info (printf format: eight serial bytes, then the version).
inline constexpr const char* kControllerInfoCaption = "Controller Info";
inline constexpr const char* kControllerInfoFormat =
    "Serial Number:%02X%02X%02X%02X%02X%02X%02X%02X\nFirmware Version:%04X";

// The port could not be opened (printf format: the device name).
inline constexpr const char* kPortUnavailableCaption = "Serial Port Unavailable";
inline constexpr const char* kPortUnavailableFormat =
    "%s is not available. Please choose a different serial port.";

}  // namespace zentrik::link_texts
