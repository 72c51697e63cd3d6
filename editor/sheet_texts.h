#pragma once

// Fixed texts of the setup sheet, the printable page of a configuration.
namespace zentrik::sheet_texts {

inline constexpr char kSheetTitle[] = "Halvorn Zentrik Setup Sheet";
inline constexpr char kDateLabel[] = "Date";
inline constexpr char kConfigFileLabel[] = "Configuration File";
// The heading of the settings that hold for both stages.
inline constexpr char kBothStages[] = "Both Stages";
// The row of the curve's table that numbers its points, from 0 as the INI keys do.
inline constexpr char kPointLabel[] = "Point";

}  // namespace zentrik::sheet_texts
