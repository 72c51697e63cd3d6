#pragma once

// The form's fixed texts: captions, list entries, axis names and formats.
namespace zentrik::editor_texts {

inline constexpr char kInputsGroup[] = "Inputs";
inline constexpr char kInput2Label[] = "Input #2:";
inline constexpr char kActivate12Volts[] = "Activate with 12 Volts";
inline constexpr char kActivateGround[] = "Activate with Ground";
inline constexpr char kRpmGroup[] = "RPM";
inline constexpr char kRpmPresent[] = "Present:";
inline constexpr char kMultiplierLabel[] = "Multiplier:";
inline constexpr char kMapUnitsGroup[] = "MAP Units";
inline constexpr char kPsi[] = "psi";
inline constexpr char kBar[] = "bar";
inline constexpr char kStage1[] = "Stage 1";
inline constexpr char kStage2[] = "Stage 2";
inline constexpr char kStagePresent[] = "Present";
inline constexpr char kTypeLabel[] = "Type:";
inline constexpr char kMapBased[] = "MAP-Based";
inline constexpr char kTimeBased[] = "Time-Based";
inline constexpr char kFirstGearLockout[] = "Enable First-Gear Lockout";
inline constexpr char kInput2Will[] = "Input #2 Will";
inline constexpr char kBeIgnoredBy[] = "Be Ignored By";
inline constexpr char kEnable[] = "Enable";
inline constexpr char kDisable[] = "Disable";
inline constexpr char kThisStage[] = "This Stage";
inline constexpr char kRpmCutoff[] = "RPM Cutoff:";
inline constexpr char kSolenoidFrequency[] = "Solenoid Frequency:";
inline constexpr char kMapCutoff[] = "MAP Cutoff:";
inline constexpr char kRpmTrigger[] = "RPM Trigger:";
inline constexpr char kMapTrigger[] = "MAP Trigger:";
inline constexpr char kMapEnd[] = "MAP End:";
inline constexpr char kStart[] = "Start:";
inline constexpr char kFinal[] = "Final:";
inline constexpr char kSmoothWhenDragging[] = "Smooth When Dragging";
inline constexpr char kResetToStraightLine[] = "Reset to Straight Line";
inline constexpr char kSmoothPoints[] = "Smooth Points";
inline constexpr char kUndo[] = "Undo";
inline constexpr char kRedo[] = "Redo";
inline constexpr char kPercentAxis[] = "%";
inline constexpr char kAxisStartPlaceholder[] = "0 s";
inline constexpr char kTimeAxis[] = "Time";
inline constexpr char kAxisEndPlaceholder[] = "20 s";
inline constexpr char kDelay[] = "Delay:";
inline constexpr char kRampTime[] = "Ramp Time:";
inline constexpr char kMapAxisBar[] = "MAP [BAR]";
inline constexpr char kMapAxisPsi[] = "MAP [PSI]";

inline constexpr char kSecondsFormat[] = "%.1f s";
inline constexpr char kPsiFormat[] = "%.1f psi";
inline constexpr char kBarFormat[] = "%.1f bar";
inline constexpr char kOneDecimal[] = "%.1f";

// A list's value that no entry stands for, shown in place of one (printf-like: the value).
inline constexpr char kUnlistedFormat[] = "%i?";

inline constexpr char kTimeTip[] = "Time:%.1fs %i%%";
inline constexpr char kMapTip[] = "MAP:%.1f %i%%";

// The table of the curve's points: a point's x value as its tooltip gives it, its percent.
inline constexpr char kTableTimeFormat[] = "%.1fs";
inline constexpr char kTableMapFormat[] = "%.1f";
inline constexpr char kTablePercentFormat[] = "%.0f";
inline constexpr char kTablePercentHeader[] = "%";
// Rows are numbered as the points' keys are ("Percent 0" to "Percent 19"), so that a problem the
// check names or a line of the comparison points at the row that shows it.
inline constexpr int kTableFirstRowNumber = 0;
inline constexpr char kTableName[] = "Curve points";
inline constexpr char kTableDescription[] =
    "One row per point of the curve; type a percent and press Enter";

// Accessible names where the caption alone would be ambiguous or there is none.
inline constexpr char kRpmPresentName[] = "RPM Present";
inline constexpr char kStageListName[] = "Stage";
inline constexpr char kStagePresentName[] = "Stage Present";
inline constexpr char kGraphName[] = "Percent curve";
inline constexpr char kGraphDescription[] =
    "Left and Right pick a point, Up and Down move it by 1 %, Page Up and Page Down by 10 %; "
    "Shift with a click or Left and Right selects points, Escape clears the selection";

}  // namespace zentrik::editor_texts
