#include "editor/selective_merge.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "editor/setting_text.h"

namespace zentrik {

namespace {

// A pressure of `from` into `into`, converted to `into`'s unit as the form converts one. The
// unit factors are each other's inverse to the last bit: a pressure the controller sent comes
// back to the same psi x 256 from either unit.
void TakePressure(ConfigDocument& into, const ConfigDocument& from, int index) {
    into.displayPressures[static_cast<std::size_t>(index)] =
        PressureIn(from, index, MAP_In_bar(into.record));
}

void Take(ConfigDocument& into, const ConfigDocument& from, const SettingRef& ref) {
    ControllerConfig& a = into.record;
    const ControllerConfig& b = from.record;
    const int n = ref.stage < 0 ? 0 : ref.stage;
    StageConfig& s = a.stage[n];
    const StageConfig& t = b.stage[n];
    switch (ref.setting) {
        case ConfigSetting::Input2:
            a.Input_Type2 = b.Input_Type2;
            break;
        case ConfigSetting::RpmPresent:
            SetRPM_Present(a, RPM_Present(b));
            break;
        case ConfigSetting::RpmMultiplier:
            a.RPM_Multiplier = b.RPM_Multiplier;
            break;
        case ConfigSetting::MapUnits:
            break;  // done first, before any pressure is taken
        case ConfigSetting::InputType1:
            a.Input_Type1 = b.Input_Type1;
            break;
        case ConfigSetting::StagePresent:
            SetPresent(s, Present(t));
            break;
        case ConfigSetting::StageType:
            SetTIME_Based(s, TIME_Based(t));
            break;
        case ConfigSetting::FirstGearLockout:
            SetFirst_Gear_Lockout(s, First_Gear_Lockout(t));
            break;
        case ConfigSetting::Input2Will:
            SetTrig_Sx2_Config(s, Trig_Sx2_Config(t));
            break;
        case ConfigSetting::RpmCutoff:
            s.RPM_Max = t.RPM_Max;
            break;
        case ConfigSetting::Frequency:
            s.Frequency = t.Frequency;
            break;
        case ConfigSetting::RpmTrigger:
            s.RPM_Trigger = t.RPM_Trigger;
            break;
        case ConfigSetting::Delay:
            s.Delay_Time = t.Delay_Time;
            break;
        case ConfigSetting::RampTime:
            s.Ramp_Time = t.Ramp_Time;
            break;
        case ConfigSetting::TrigSx1Config:
            SetTrig_Sx1_Config(s, Trig_Sx1_Config(t));
            break;
        case ConfigSetting::Percent:
            s.Percent[ref.point] = t.Percent[ref.point];
            break;
        case ConfigSetting::MapCutoff:
        case ConfigSetting::MapTrigger:
        case ConfigSetting::MapEnd:
            TakePressure(into, from, PressureIndex(n, PressureFieldOf(ref.setting)));
            break;
    }
}

std::string Folded(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

}  // namespace

void TakeSettings(ConfigDocument& into, const ConfigDocument& from,
                  const std::vector<SettingRef>& settings) {
    const bool units = std::find(settings.begin(), settings.end(),
                                 SettingRef{ConfigSetting::MapUnits}) != settings.end();
    if (units && MAP_In_bar(into.record) != MAP_In_bar(from.record)) {
        // The pressures not taken keep their values, in the new unit.
        const ConfigDocument before = into;
        SetMAP_In_bar(into.record, MAP_In_bar(from.record));
        for (int index = 0; index < static_cast<int>(into.displayPressures.size()); ++index) {
            TakePressure(into, before, index);
        }
    }
    for (const SettingRef& ref : settings) {
        Take(into, from, ref);
    }
}

std::optional<SettingRef> SettingNamed(std::string_view name) {
    const std::string wanted = Folded(name);
    for (const SettingRef& ref : AllSettings()) {
        if (Folded(SettingName(ref)) == wanted) {
            return ref;
        }
    }
    return std::nullopt;
}

std::vector<SettingRef> TickedSettings(const ConfigDocument& here, const ConfigDocument& controller,
                                       const std::vector<bool>& ticked) {
    std::vector<SettingRef> settings;
    std::size_t row = 0;
    for (const SettingRef& ref : DifferingSettings(here, controller)) {
        if (row >= ticked.size() || ticked[row]) {
            settings.push_back(ref);
        }
        ++row;
    }
    return settings;
}

}  // namespace zentrik
