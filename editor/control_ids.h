#pragma once

// The ids of the form's controls, as the form's dialog template numbers them.
namespace zentrik::control_ids {

inline constexpr int kMultiplier = 1001;
inline constexpr int kRpmTrigger = 1002;
inline constexpr int kRpmCutoff = 1003;
inline constexpr int kMapCutoff = 1005;
inline constexpr int kMapTrigger = 1006;
inline constexpr int kMapEnd = 1007;
inline constexpr int kRampTime = 1008;
inline constexpr int kDelay = 1009;
inline constexpr int kStart = 1010;
inline constexpr int kFinal = 1011;
inline constexpr int kStagePresent = 1028;
inline constexpr int kRampLabel = 1031;
inline constexpr int kDelayLabel = 1032;
inline constexpr int kFrequency = 1033;
inline constexpr int kStartLabel = 1034;
inline constexpr int kFrequencyLabel = 1035;
inline constexpr int kFinalLabel = 1036;
inline constexpr int kInput2Will = 1045;
inline constexpr int kRpmPresent = 1050;
inline constexpr int kLockout = 1051;
inline constexpr int kType = 1052;
inline constexpr int kRpmTriggerLabel = 1054;
inline constexpr int kMapTriggerLabel = 1056;
inline constexpr int kGraph = 1057;
inline constexpr int kPercentLabel = 1058;
inline constexpr int kAxisStart = 1059;
inline constexpr int kAxisName = 1060;
inline constexpr int kAxisEnd = 1061;
inline constexpr int kMapEndLabel = 1062;
inline constexpr int kTypeLabel = 1063;
inline constexpr int kInput2WillLabel = 1064;
inline constexpr int kThisStageLabel = 1065;
inline constexpr int kStage = 1067;
inline constexpr int kSmoothWhenDragging = 1068;
inline constexpr int kResetToStraightLine = 1069;
inline constexpr int kSmoothPoints = 1070;
inline constexpr int kUndo = 1071;
inline constexpr int kInput2 = 1073;
inline constexpr int kUnits = 1075;
inline constexpr int kMapCutoffLabel = 1076;
inline constexpr int kRpmCutoffLabel = 1077;

// Not in the template: the Redo button beside Undo, and the table of the curve's points beside
// the stage.
inline constexpr int kRedo = 1078;
inline constexpr int kCurveTable = 1079;

}  // namespace zentrik::control_ids
