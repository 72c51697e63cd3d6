#pragma once

// Fixed texts of the marks on settings the controller does not hold.
namespace zentrik::marker_texts {

// The status pane that counts them (printf format for more than one: the count).
inline constexpr char kAllUploaded[] = "All settings uploaded";
inline constexpr char kOneNotUploaded[] = "1 setting not uploaded";
inline constexpr char kSomeNotUploadedFormat[] = "%d settings not uploaded";
inline constexpr char kUnknown[] = "Controller's settings unknown";
// The pane's tip.
inline constexpr char kPaneTip[] = "Double-click to compare with the controller";

// A marked control's tip, one line a setting (printf format: the setting as the form labels
// it, the controller's value as the form would show it).
inline constexpr char kControllerValueFormat[] = "%s on the controller: %s";

}  // namespace zentrik::marker_texts
