#include "editor/config_compare.h"

#include <string_view>

#include "base/text_format.h"
#include "config/config_difference.h"
#include "config/profile_text.h"
#include "editor/compare_texts.h"
#include "editor/control_ids.h"
#include "editor/editor_texts.h"
#include "editor/field_setup.h"

namespace zentrik {

namespace {

namespace texts = compare_texts;
namespace form = editor_texts;
namespace ids = control_ids;

// A label without its trailing colon.
std::string Name(std::string_view label) {
    if (!label.empty() && label.back() == ':') {
        label.remove_suffix(1);
    }
    return std::string(label);
}

std::string Flag(bool on) {
    return on ? texts::kOn : texts::kOff;
}

std::string Number(int value) {
    return FormatInt(value);
}

// A list entry's text, or the value itself when the list has no entry for it.
std::string Entry(int value, std::initializer_list<std::pair<int, const char*>> entries) {
    for (const auto& [entryValue, text] : entries) {
        if (entryValue == value) {
            return text;
        }
    }
    return Number(value);
}

std::string Multiplier(std::int8_t value) {
    const int index = RpmMultiplierIndex(value);
    if (RpmMultiplierValue(index) != value) {
        return Number(value);  // the form would show the first entry for it
    }
    return std::string(RpmMultiplierChoices()[static_cast<std::size_t>(index)].text);
}

// A field's value in the format the form shows it in, with or without its unit.
std::string Field(int id, double value, bool withUnit) {
    const NumericFieldSpec* item = FindNumericField(id);
    return FormatText(withUnit ? item->unitFormat : item->plainFormat, value);
}

int FieldId(ConfigSetting setting) {
    switch (setting) {
        case ConfigSetting::RpmCutoff:
            return ids::kRpmCutoff;
        case ConfigSetting::Frequency:
            return ids::kFrequency;
        case ConfigSetting::MapCutoff:
            return ids::kMapCutoff;
        case ConfigSetting::RpmTrigger:
            return ids::kRpmTrigger;
        case ConfigSetting::MapTrigger:
            return ids::kMapTrigger;
        case ConfigSetting::MapEnd:
            return ids::kMapEnd;
        case ConfigSetting::Delay:
            return ids::kDelay;
        case ConfigSetting::RampTime:
            return ids::kRampTime;
        default:
            return ids::kStart;  // a curve point, shown as the Start field shows one
    }
}

// Both sides' values of a setting; pressures in `bar` or psi.
std::pair<std::string, std::string> Values(const SettingRef& ref, const ConfigDocument& here,
                                           const ConfigDocument& controller, bool bar) {
    const auto both = [&](auto show) { return std::pair{show(here), show(controller)}; };
    const auto stage = [&](const ConfigDocument& d) -> const StageConfig& {
        return d.record.stage[ref.stage];
    };
    switch (ref.setting) {
        case ConfigSetting::Input2:
            return both([](const ConfigDocument& d) {
                return Entry(d.record.Input_Type2,
                             {{1, form::kActivate12Volts}, {2, form::kActivateGround}});
            });
        case ConfigSetting::RpmPresent:
            return both([](const ConfigDocument& d) { return Flag(RPM_Present(d.record)); });
        case ConfigSetting::RpmMultiplier:
            return both(
                [](const ConfigDocument& d) { return Multiplier(d.record.RPM_Multiplier); });
        case ConfigSetting::MapUnits:
            return both([](const ConfigDocument& d) {
                return std::string(MAP_In_bar(d.record) ? form::kBar : form::kPsi);
            });
        case ConfigSetting::InputType1:
            return both([](const ConfigDocument& d) { return Number(d.record.Input_Type1); });
        case ConfigSetting::StagePresent:
            return both([&](const ConfigDocument& d) { return Flag(Present(stage(d))); });
        case ConfigSetting::StageType:
            return both([&](const ConfigDocument& d) {
                return std::string(TIME_Based(stage(d)) ? form::kTimeBased : form::kMapBased);
            });
        case ConfigSetting::FirstGearLockout:
            return both(
                [&](const ConfigDocument& d) { return Flag(First_Gear_Lockout(stage(d))); });
        case ConfigSetting::Input2Will:
            return both([&](const ConfigDocument& d) {
                return Entry(Trig_Sx2_Config(stage(d)),
                             {{0, form::kBeIgnoredBy}, {1, form::kEnable}, {2, form::kDisable}});
            });
        case ConfigSetting::TrigSx1Config:
            return both([&](const ConfigDocument& d) { return Number(Trig_Sx1_Config(stage(d))); });
        case ConfigSetting::RpmCutoff:
            return both([&](const ConfigDocument& d) {
                return Field(ids::kRpmCutoff, stage(d).RPM_Max, false);
            });
        case ConfigSetting::RpmTrigger:
            return both([&](const ConfigDocument& d) {
                return Field(ids::kRpmTrigger, stage(d).RPM_Trigger, false);
            });
        case ConfigSetting::Frequency:
            return both([&](const ConfigDocument& d) {
                return Field(ids::kFrequency, stage(d).Frequency, true);
            });
        case ConfigSetting::Delay:
            return both([&](const ConfigDocument& d) {
                return Field(ids::kDelay, stage(d).Delay_Time / 10.0, true);
            });
        case ConfigSetting::RampTime:
            return both([&](const ConfigDocument& d) {
                return Field(ids::kRampTime, stage(d).Ramp_Time / 10.0, true);
            });
        case ConfigSetting::Percent:
            return both([&](const ConfigDocument& d) {
                return Field(ids::kStart, stage(d).Percent[ref.point], true);
            });
        case ConfigSetting::MapCutoff:
        case ConfigSetting::MapTrigger:
        case ConfigSetting::MapEnd:
            break;
    }
    const int index = PressureIndex(ref.stage, PressureFieldOf(ref.setting));
    const double a = PressureIn(here, index, bar);
    const double b = PressureIn(controller, index, bar);
    // As the form shows them, with as many more decimals as it takes to tell them apart.
    const std::string unit = std::string(" ") + (bar ? form::kBar : form::kPsi);
    int decimals = 1;
    while (decimals < texts::kMostPressureDecimals &&
           FormatFixed(a, decimals) == FormatFixed(b, decimals)) {
        ++decimals;
    }
    return {FormatFixed(a, decimals) + unit, FormatFixed(b, decimals) + unit};
}

}  // namespace

std::string SettingName(const SettingRef& ref) {
    switch (ref.setting) {
        case ConfigSetting::Input2:
            return Name(form::kInput2Label);
        case ConfigSetting::RpmPresent:
            return form::kRpmPresentName;
        case ConfigSetting::RpmMultiplier:
            return Name(form::kMultiplierLabel);
        case ConfigSetting::MapUnits:
            return form::kMapUnitsGroup;
        case ConfigSetting::InputType1:
            return texts::kInputType1Name;
        default:
            break;
    }
    std::string name = ref.stage == 0 ? form::kStage1 : form::kStage2;
    name += ' ';
    switch (ref.setting) {
        case ConfigSetting::StagePresent:
            return name + form::kStagePresent;
        case ConfigSetting::StageType:
            return name + Name(form::kTypeLabel);
        case ConfigSetting::FirstGearLockout:
            return name + form::kFirstGearLockout;
        case ConfigSetting::Input2Will:
            return name + form::kInput2Will;
        case ConfigSetting::TrigSx1Config:
            return name + texts::kTrigSx1ConfigName;
        case ConfigSetting::Percent:
            return name + FormatText(texts::kPercentPointFormat, ref.point);
        default:
            return name + Name(FindNumericField(FieldId(ref.setting))->caption);
    }
}

std::vector<ConfigDifference> CompareConfigs(const ConfigDocument& here,
                                             const ConfigDocument& controller) {
    const bool bar = MAP_In_bar(here.record);
    std::vector<ConfigDifference> differences;
    for (const SettingRef& ref : DifferingSettings(here, controller)) {
        auto [hereText, controllerText] = Values(ref, here, controller, bar);
        differences.push_back({SettingName(ref), std::move(hereText), std::move(controllerText)});
    }
    return differences;
}

std::string DifferenceLine(const ConfigDifference& difference) {
    return FormatText(texts::kDifferenceFormat, difference.setting.c_str(), difference.here.c_str(),
                      difference.controller.c_str());
}

std::vector<std::string> DifferenceLines(const ConfigDocument& here,
                                         const ConfigDocument& controller) {
    std::vector<std::string> lines;
    for (const ConfigDifference& difference : CompareConfigs(here, controller)) {
        lines.push_back(DifferenceLine(difference));
    }
    return lines;
}

}  // namespace zentrik
