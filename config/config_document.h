#pragma once

#include <array>
#include <cstdint>

#include "config/controller_config.h"

namespace zentrik {

// Pressure unit factors.
inline constexpr double kBarToPsi = 14.5038;
inline constexpr double kPsiToBar = 0.06894744825494009;

// Index of a pressure in ConfigDocument::displayPressures.
enum class PressureField { MAP_Trigger = 0, MAP_End = 1, MAP_Max = 2 };
constexpr int PressureIndex(int stage, PressureField field) {
    return stage * 3 + static_cast<int>(field);
}

// A tenth of a second, the unit of Delay_Time and Ramp_Time, as the tool has always computed it
// (single precision, then double).
inline constexpr double kTenthSecond = static_cast<double>(0.1f);

// What the editor's document holds: the record and the six pressures the user edits, in the
// unit the record's MAP_In_bar bit names. The record's own pressure fields are brought up to
// date from displayPressures only on save (SyncRecordPressures).
struct ConfigDocument {
    ControllerConfig record{};
    std::array<double, 6> displayPressures{};
};

// The x values of a stage's first and last curve point: for a time-based stage Delay_Time and
// Delay_Time + Ramp_Time in seconds, otherwise its MAP Trigger and MAP End in the display unit.
struct CurveSpan {
    double start = 0.0;
    double end = 0.0;
};
CurveSpan StageCurveSpan(const ConfigDocument& doc, int stage);

// What the controller holds for a pressure of the document (index into displayPressures) once
// it is uploaded: psi x 256, truncated, whatever the document's unit.
std::int16_t WirePressure(const ConfigDocument& doc, int index);

// The 110-byte upload payload: big-endian sixteen-bit fields, pressures as psi x 256.
std::array<std::uint8_t, kConfigSize> ToWireImage(const ConfigDocument& doc);

// Applies a downloaded 110-byte payload: replaces the record (reserved bytes included) and
// recomputes displayPressures in the unit the received record names.
void FromWireImage(ConfigDocument& doc, const std::uint8_t* payload);

// Scaling without unit conversion, used when the INI section is loaded and saved.
void SyncDisplayPressures(ConfigDocument& doc);  // displayPressures = field / 256
void SyncRecordPressures(ConfigDocument& doc);   // field = trunc(value x 256), low 16 bits

// trunc(value x 256) cut to its low sixteen bits; NaN and out-of-range values never reach
// an undefined conversion.
std::int16_t PressureToFixed(double value);

}  // namespace zentrik
