#include "config/config_difference.h"

namespace zentrik {

namespace {

// The stage settings in the form's order (the one it does not show last), curve points aside.
struct StageValue {
    ConfigSetting setting;
    int (*value)(const StageConfig&);
};

constexpr StageValue kStageValues[] = {
    {ConfigSetting::StagePresent, [](const StageConfig& s) { return int{Present(s)}; }},
    {ConfigSetting::StageType, [](const StageConfig& s) { return int{TIME_Based(s)}; }},
    {ConfigSetting::FirstGearLockout,
     [](const StageConfig& s) { return int{First_Gear_Lockout(s)}; }},
    {ConfigSetting::Input2Will, [](const StageConfig& s) { return Trig_Sx2_Config(s); }},
    {ConfigSetting::RpmCutoff, [](const StageConfig& s) { return int{s.RPM_Max}; }},
    {ConfigSetting::Frequency, [](const StageConfig& s) { return int{s.Frequency}; }},
    {ConfigSetting::MapCutoff, nullptr},
    {ConfigSetting::RpmTrigger, [](const StageConfig& s) { return int{s.RPM_Trigger}; }},
    {ConfigSetting::MapTrigger, nullptr},
    {ConfigSetting::MapEnd, nullptr},
    {ConfigSetting::Delay, [](const StageConfig& s) { return int{s.Delay_Time}; }},
    {ConfigSetting::RampTime, [](const StageConfig& s) { return int{s.Ramp_Time}; }},
    {ConfigSetting::TrigSx1Config, [](const StageConfig& s) { return Trig_Sx1_Config(s); }},
};

}  // namespace

const std::vector<SettingRef>& AllSettings() {
    static const std::vector<SettingRef> all = [] {
        std::vector<SettingRef> settings;
        for (const ConfigSetting global :
             {ConfigSetting::Input2, ConfigSetting::RpmPresent, ConfigSetting::RpmMultiplier,
              ConfigSetting::MapUnits, ConfigSetting::InputType1}) {
            settings.push_back({global});
        }
        for (int stage = 0; stage < 2; ++stage) {
            for (const StageValue& v : kStageValues) {
                settings.push_back({v.setting, stage});
            }
            for (int point = 0; point < kPercentPoints; ++point) {
                settings.push_back({ConfigSetting::Percent, stage, point});
            }
        }
        return settings;
    }();
    return all;
}

PressureField PressureFieldOf(ConfigSetting setting) {
    switch (setting) {
        case ConfigSetting::MapTrigger:
            return PressureField::MAP_Trigger;
        case ConfigSetting::MapEnd:
            return PressureField::MAP_End;
        default:
            return PressureField::MAP_Max;
    }
}

double PressureIn(const ConfigDocument& doc, int index, bool bar) {
    const double value = doc.displayPressures[static_cast<std::size_t>(index)];
    const bool docInBar = MAP_In_bar(doc.record);
    if (docInBar == bar) {
        return value;
    }
    return value * (bar ? kPsiToBar : kBarToPsi);
}

std::vector<SettingRef> DifferingSettings(const ConfigDocument& here,
                                          const ConfigDocument& controller) {
    const ControllerConfig& a = here.record;
    const ControllerConfig& b = controller.record;
    const auto same = [&](const SettingRef& ref) {
        switch (ref.setting) {
            case ConfigSetting::Input2:
                return a.Input_Type2 == b.Input_Type2;
            case ConfigSetting::RpmPresent:
                return RPM_Present(a) == RPM_Present(b);
            case ConfigSetting::RpmMultiplier:
                return a.RPM_Multiplier == b.RPM_Multiplier;
            case ConfigSetting::MapUnits:
                return MAP_In_bar(a) == MAP_In_bar(b);
            case ConfigSetting::InputType1:
                return a.Input_Type1 == b.Input_Type1;
            case ConfigSetting::Percent:
                return a.stage[ref.stage].Percent[ref.point] ==
                       b.stage[ref.stage].Percent[ref.point];
            case ConfigSetting::MapCutoff:
            case ConfigSetting::MapTrigger:
            case ConfigSetting::MapEnd: {
                // As the controller would hold them, whatever unit either side is in.
                const int index = PressureIndex(ref.stage, PressureFieldOf(ref.setting));
                return WirePressure(here, index) == WirePressure(controller, index);
            }
            default:
                break;
        }
        for (const StageValue& v : kStageValues) {
            if (v.setting == ref.setting) {
                return v.value(a.stage[ref.stage]) == v.value(b.stage[ref.stage]);
            }
        }
        return true;
    };
    std::vector<SettingRef> differing;
    for (const SettingRef& ref : AllSettings()) {
        if (!same(ref)) {
            differing.push_back(ref);
        }
    }
    return differing;
}

}  // namespace zentrik
