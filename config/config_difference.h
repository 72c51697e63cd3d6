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

// Every setting, global settings first, then stage 1's and stage 2's in the form's order (the
// one no control shows last), curve points last.
const std::vector<SettingRef>& AllSettings();

// The pressure a pressure setting (MapTrigger, MapEnd, MapCutoff) stands for.
PressureField PressureFieldOf(ConfigSetting setting);

// A pressure of the document (index into displayPressures) in psi or in bar, whatever unit
// the document itself is in.
double PressureIn(const ConfigDocument& doc, int index, bool bar);

// The settings whose values differ, global settings first, then stage 1 and stage 2 in the
// form's order, curve points last. Every value compares as the controller would hold it:
// pressures as their psi x 256 fixed point (WirePressure), whatever unit either side is in.
std::vector<SettingRef> DifferingSettings(const ConfigDocument& here,
                                          const ConfigDocument& controller);

}  // namespace zentrik
