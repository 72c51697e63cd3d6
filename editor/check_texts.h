#pragma once

// Fixed texts of the check before an upload.
namespace zentrik::check_texts {

// The box that stands before an upload with problems, its text above the problems and its
// buttons.
inline constexpr char kCaption[] = "Check Before Upload";
inline constexpr char kIntro[] =
    "Nothing was sent: the configuration holds values the form does not allow.";
inline constexpr char kCorrectAndUpload[] = "&Correct and Upload";
inline constexpr char kCancel[] = "Cancel";

// One problem (printf formats: the setting, its value, then what it must be).
inline constexpr char kMustBeFormat[] = "%s is %s; it must be %s.";
inline constexpr char kFileValueFormat[] = "%s is \"%s\" in the file; it must be %s.";
// What a value must be: a range (printf format: lowest, highest), a list's entry, a flag.
inline constexpr char kRangeFormat[] = "%s to %s";
inline constexpr char kListEntry[] = "one of its list's entries";
inline constexpr char kFlagValues[] = "0 or 1";
// A value the value rules keep below, or between, others (printf formats: the other setting
// and its value, twice for between).
inline constexpr char kBelowFormat[] = "below the %s (%s)";
inline constexpr char kBetweenFormat[] = "between the %s (%s) and the %s (%s)";

}  // namespace zentrik::check_texts
