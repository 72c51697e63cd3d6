#pragma once

#include "editor/control_ids.h"
#include "editor/editor_texts.h"

namespace zentrik {

// One numeric field of the form as it is first set up: its caption, the style word of the
// edit control (kept, not used), range, step, and the formats with and without the unit.
// The pressure rows are the psi set-up; the unit switch sets them up again.
struct NumericFieldSpec {
    int id;
    const char* caption;
    unsigned style;
    double minimum;
    double maximum;
    double step;
    const char* unitFormat;
    const char* plainFormat;
};

inline constexpr unsigned kStyleField = 15;
inline constexpr unsigned kStylePercent = 7;

// In the order of the form's initial set-up.
inline constexpr NumericFieldSpec kNumericFields[] = {
    {control_ids::kRpmTrigger, editor_texts::kRpmTrigger, kStyleField, 0, 19999, 1, "%.0f RPM",
     "%.0f"},
    {control_ids::kRpmCutoff, editor_texts::kRpmCutoff, kStyleField, 1000, 20000, 1, "%.0f RPM",
     "%.0f"},
    {control_ids::kMapTrigger, editor_texts::kMapTrigger, kStyleField, -14.7, 84.9, 0.1,
     editor_texts::kPsiFormat, editor_texts::kOneDecimal},
    {control_ids::kMapEnd, editor_texts::kMapEnd, kStyleField, -14.7, 85.0, 0.1,
     editor_texts::kPsiFormat, editor_texts::kOneDecimal},
    {control_ids::kMapCutoff, editor_texts::kMapCutoff, kStyleField, -14.6, 85.0, 0.1,
     editor_texts::kPsiFormat, editor_texts::kOneDecimal},
    {control_ids::kFrequency, editor_texts::kSolenoidFrequency, kStyleField, 10, 60, 1, "%.0f Hz",
     "%.0f"},
    {control_ids::kStart, editor_texts::kStart, kStylePercent, 0, 100, 1, "%.0f%%", "%.0f"},
    {control_ids::kFinal, editor_texts::kFinal, kStylePercent, 0, 100, 1, "%.0f%%", "%.0f"},
    {control_ids::kDelay, editor_texts::kDelay, kStyleField, 0, 10.0, 0.1, "%.1f sec",
     editor_texts::kOneDecimal},
    {control_ids::kRampTime, editor_texts::kRampTime, kStyleField, 0, 10.0, 0.1, "%.1f sec",
     editor_texts::kOneDecimal},
};

// The pressure limits of a unit: the lowest MAP Trigger and MAP End, the highest pressure (MAP
// Trigger stays a step below it) and the lowest MAP Cutoff. The fields' ranges follow them.
struct PressureLimits {
    double low;
    double high;
    double cutoffLow;
};
inline constexpr PressureLimits kPsiLimits{-14.7, 85.0, -14.6};
inline constexpr PressureLimits kBarLimits{-1.0, 6.0, -0.9};
inline constexpr double kPressureStep = 0.1;
// A pressure is shown with one decimal: one that shows as a value of a range counts as within
// it. (The unit switch converts without rounding, so a pressure at the end of one unit's range
// may land a hair outside the other's.)
inline constexpr double kPressureShownSlack = 0.05;

constexpr const PressureLimits& PressureLimitsFor(bool bar) {
    return bar ? kBarLimits : kPsiLimits;
}

// The set-up of a field by its id; nullptr for an id that is not a numeric field.
constexpr const NumericFieldSpec* FindNumericField(int id) {
    for (const NumericFieldSpec& item : kNumericFields) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

}  // namespace zentrik
