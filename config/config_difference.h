#pragma once

#include <vector>

#include "config/config_document.h"

namespace zentrik {

// The settings of a configuration a user can change, one value each: those the form shows,
// and the two it does not (Input_Type1, Trig_Sx1_Config), which the INI file and configuration
// files carry as keys of their own and a user may edit there. All of them are uploaded, so a
// difference in any of them is a difference in what the controller does. The reserved bytes are
// not settings: no key or control holds them, the INI file never keeps them, and a download
// replaces them with whatever the controller sends.
enum class ConfigSetting {
    // Global settings.
    Input2,         // Input_Type2
    RpmPresent,     // RPM_Present
    RpmMultiplier,  // RPM_Multiplier
    MapUnits,       // MAP_In_bar
    InputType1,     // Input_Type1
    // Stage settings.
    StagePresent,      // Present
    StageType,         // TIME_Based
    FirstGearLockout,  // First_Gear_Lockout
    Input2Will,        // Trig_Sx2_Config
    RpmCutoff,         // RPM_Max
    Frequency,         // Frequency
    MapCutoff,         // MAP_Max
    RpmTrigger,        // RPM_Trigger
    MapTrigger,        // MAP_Trigger
    MapEnd,            // MAP_End
    Delay,             // Delay_Time
    RampTime,          // Ramp_Time
    TrigSx1Config,     // Trig_Sx1_Config
    Percent,           // a point of the curve
};

// One setting: the stage (0 or 1) for stage settings, else -1; the curve point (0 to 19) for
// Percent, else -1.
struct SettingRef {
    ConfigSetting setting;
    int stage = -1;
    int point = -1;

    bool operator==(const SettingRef&) const = default;
};

// The pressure a pressure setting (MapTrigger, MapEnd, MapCutoff) stands for.
PressureField PressureFieldOf(ConfigSetting setting);

// A pressure of the document (index into displayPressures) in psi or in bar, whatever unit
// the document itself is in.
double PressureIn(const ConfigDocument& doc, int index, bool bar);

// Whether two pressures in the same unit are the same setting as far as the INI file can
// tell: they load alike once it has kept them (with two decimals), or they lie within one
// fixed-point step of each other, which is all that the wire's psi x 256 and
// the unit conversions can make of one value. So a pressure that went through an upload, a
// download, the unit conversion or a save and load compares equal to where it started, and
// values that would be kept differently in the file differ.
bool SamePressure(double a, double b);

// Every setting, global settings first, then stage 1 and stage 2 in the form's order (the one
// it does not show last), each stage's curve points after its other settings.
std::vector<SettingRef> EverySetting();

// The settings whose values differ, global settings first, then stage 1 and stage 2 in the
// form's order, curve points last. Pressures are compared in `here`'s unit, the controller's
// converted to it; every other value compares exactly.
std::vector<SettingRef> DifferingSettings(const ConfigDocument& here,
                                          const ConfigDocument& controller);

}  // namespace zentrik
