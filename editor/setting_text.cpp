#include "editor/setting_text.h"

#include <string_view>

#include "base/text_format.h"
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

// A field's value as the form shows it, with or without its unit.
std::string Field(int id, double value, bool withUnit) {
    const NumericFieldSpec* item = FindNumericField(id);
    return FormatNumbers(withUnit ? item->unitFormat : item->plainFormat, {value});
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

}  // namespace

std::string SettingCaption(const SettingRef& ref) {
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
        case ConfigSetting::StagePresent:
            return form::kStagePresent;
        case ConfigSetting::StageType:
            return Name(form::kTypeLabel);
        case ConfigSetting::FirstGearLockout:
            return form::kFirstGearLockout;
        case ConfigSetting::Input2Will:
            return form::kInput2Will;
        case ConfigSetting::TrigSx1Config:
            return texts::kTrigSx1ConfigName;
        case ConfigSetting::Percent:
            return FormatText(texts::kPercentPointFormat, ref.point);
        default:
            return Name(FindNumericField(FieldId(ref.setting))->caption);
    }
}

std::string SettingName(const SettingRef& ref) {
    if (ref.stage < 0) {
        return SettingCaption(ref);
    }
    return std::string(ref.stage == 0 ? form::kStage1 : form::kStage2) + ' ' + SettingCaption(ref);
}

std::string SettingValue(const SettingRef& ref, const ConfigDocument& doc, bool bar, bool rpmUnit) {
    const ControllerConfig& record = doc.record;
    const StageConfig& stage = record.stage[ref.stage < 0 ? 0 : ref.stage];
    switch (ref.setting) {
        case ConfigSetting::Input2:
            return Entry(record.Input_Type2,
                         {{1, form::kActivate12Volts}, {2, form::kActivateGround}});
        case ConfigSetting::RpmPresent:
            return Flag(RPM_Present(record));
        case ConfigSetting::RpmMultiplier:
            return Multiplier(record.RPM_Multiplier);
        case ConfigSetting::MapUnits:
            return MAP_In_bar(record) ? form::kBar : form::kPsi;
        case ConfigSetting::InputType1:
            return Number(record.Input_Type1);
        case ConfigSetting::StagePresent:
            return Flag(Present(stage));
        case ConfigSetting::StageType:
            return TIME_Based(stage) ? form::kTimeBased : form::kMapBased;
        case ConfigSetting::FirstGearLockout:
            return Flag(First_Gear_Lockout(stage));
        case ConfigSetting::Input2Will:
            return Entry(Trig_Sx2_Config(stage),
                         {{0, form::kBeIgnoredBy}, {1, form::kEnable}, {2, form::kDisable}});
        case ConfigSetting::TrigSx1Config:
            return Number(Trig_Sx1_Config(stage));
        case ConfigSetting::RpmCutoff:
            return Field(ids::kRpmCutoff, stage.RPM_Max, rpmUnit);
        case ConfigSetting::RpmTrigger:
            return Field(ids::kRpmTrigger, stage.RPM_Trigger, rpmUnit);
        case ConfigSetting::Frequency:
            return Field(ids::kFrequency, stage.Frequency, true);
        case ConfigSetting::Delay:
            return Field(ids::kDelay, stage.Delay_Time / 10.0, true);
        case ConfigSetting::RampTime:
            return Field(ids::kRampTime, stage.Ramp_Time / 10.0, true);
        case ConfigSetting::Percent:
            return Field(ids::kStart, stage.Percent[ref.point], true);
        case ConfigSetting::MapCutoff:
        case ConfigSetting::MapTrigger:
        case ConfigSetting::MapEnd:
            break;
    }
    const int index = PressureIndex(ref.stage, PressureFieldOf(ref.setting));
    return FormatNumbers(bar ? form::kBarFormat : form::kPsiFormat, {PressureIn(doc, index, bar)});
}

}  // namespace zentrik
