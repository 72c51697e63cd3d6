#pragma once

// Fixed texts of the comparison between this computer's configuration and the controller's.
namespace zentrik::compare_texts {

// Headings of the two sides, and of the settings' column, for a window that lists them.
inline constexpr char kSettingHeading[] = "Setting";
inline constexpr char kThisComputer[] = "This Computer";
inline constexpr char kController[] = "Controller";

// One difference (printf format: setting, value here, value on the controller).
inline constexpr char kDifferenceFormat[] = "%s: %s here, %s on the controller";
inline constexpr char kNoDifferences[] =
    "The controller holds the same configuration as this computer.";

// Values of check boxes.
inline constexpr char kOn[] = "on";
inline constexpr char kOff[] = "off";

// Settings no control shows, named by their keys in the INI file.
inline constexpr char kInputType1Name[] = "Input_Type1";
inline constexpr char kTrigSx1ConfigName[] = "Trig_Sx1_Config";
// A curve point, by its 0-based number as the INI keys count (printf format: the point).
inline constexpr char kPercentPointFormat[] = "Percent %d";

// Pressures that differ on the controller but would read alike with the form's one decimal get
// more, up to this many.
inline constexpr int kMostPressureDecimals = 6;

}  // namespace zentrik::compare_texts
