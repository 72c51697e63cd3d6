#pragma once

#include "shell/shell_texts.h"

// Fixed texts of the configuration history: its command, dialog and status.

namespace zentrik::history_texts {

inline constexpr int kIdHistory = 32912;
inline constexpr shell_texts::CommandText kHistory{
    kIdHistory, "&History...",
    "Show the configurations the controller held, to open or compare with the form", "History",
    nullptr};

inline constexpr const char* kHistoryCaption = "Configuration History";
inline constexpr const char* kWhenHeading = "When";
inline constexpr const char* kEventHeading = "Event";
inline constexpr const char* kControllerHeading = "Controller";
inline constexpr const char* kDifferencesHeading = "Differences";
inline constexpr const char* kOpenButton = "&Open";
inline constexpr const char* kCompareButton = "&Compare";
inline constexpr const char* kEmptyText = "No configuration has been recorded yet.";

// The Event column's words, in the order of HistoryEvent.
inline constexpr const char* kEventNames[] = {"Download", "Upload", "Verify", "Compare", "Backup"};
// The Controller column when the serial number was not known.
inline constexpr const char* kUnknownController = "unknown";
// The Differences column when the entry cannot be read.
inline constexpr const char* kUnreadable = "unreadable";

// The form holds what the entry compared with it holds (caption: the dialog's).
inline constexpr const char* kSameAsFormText =
    "The form holds the same configuration as this entry.";
// A recording that failed (printf format: the history's folder); in the status pane.
inline constexpr const char* kNotRecordedFormat =
    "The configuration history could not be written to %s";

}  // namespace zentrik::history_texts
