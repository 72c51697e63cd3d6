#include "editor/upload_check.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "base/text_format.h"
#include "config/app_settings.h"
#include "config/config_persistence.h"
#include "config/ini_file.h"
#include "config/profile_text.h"
#include "editor/check_texts.h"
#include "editor/config_compare.h"
#include "editor/control_ids.h"
#include "editor/editor_texts.h"
#include "editor/field_setup.h"
#include "editor/setting_text.h"
#include "editor/stage_form.h"

namespace zentrik {

namespace {

namespace ids = control_ids;
namespace texts = check_texts;
using S = ConfigSetting;

// Tenths of a second as the form shows them (its single-precision constant).
constexpr double kTenth = static_cast<double>(0.1f);
// What arithmetic in doubles leaves over from a value the form stored.
constexpr double kNoise = 1e-6;
// The value rules settle a configuration in one pass; a second one is only a safeguard.
constexpr int kCorrectionPasses = 3;

int ControlOf(const SettingRef& ref) {
    switch (ref.setting) {
        case S::Input2:
            return ids::kInput2;
        case S::RpmPresent:
            return ids::kRpmPresent;
        case S::RpmMultiplier:
            return ids::kMultiplier;
        case S::MapUnits:
            return ids::kUnits;
        case S::StagePresent:
            return ids::kStagePresent;
        case S::StageType:
            return ids::kType;
        case S::FirstGearLockout:
            return ids::kLockout;
        case S::Input2Will:
            return ids::kInput2Will;
        case S::RpmCutoff:
            return ids::kRpmCutoff;
        case S::Frequency:
            return ids::kFrequency;
        case S::MapCutoff:
            return ids::kMapCutoff;
        case S::RpmTrigger:
            return ids::kRpmTrigger;
        case S::MapTrigger:
            return ids::kMapTrigger;
        case S::MapEnd:
            return ids::kMapEnd;
        case S::Delay:
            return ids::kDelay;
        case S::RampTime:
            return ids::kRampTime;
        case S::Percent:
            return ref.point == 0                    ? ids::kStart
                   : ref.point == kPercentPoints - 1 ? ids::kFinal
                                                     : ids::kGraph;
        case S::InputType1:
        case S::TrigSx1Config:
            break;
    }
    return -1;
}

bool IsPressure(S setting) {
    return setting == S::MapTrigger || setting == S::MapEnd || setting == S::MapCutoff;
}

bool IsNumber(S setting) {
    switch (setting) {
        case S::RpmCutoff:
        case S::Frequency:
        case S::MapCutoff:
        case S::RpmTrigger:
        case S::MapTrigger:
        case S::MapEnd:
        case S::Delay:
        case S::RampTime:
        case S::Percent:
            return true;
        default:
            return false;
    }
}

bool IsList(S setting) {
    return setting == S::Input2 || setting == S::RpmMultiplier || setting == S::Input2Will;
}

// The range a numeric setting's field allows, with the field's formats.
struct Range {
    double low;
    double high;
    std::string unitFormat;
    std::string plainFormat;
};

Range RangeOf(S setting, bool bar) {
    if (IsPressure(setting)) {
        const PressureLimits& limits = PressureLimitsFor(bar);
        const std::string format = bar ? editor_texts::kBarFormat : editor_texts::kPsiFormat;
        const std::string plain = editor_texts::kOneDecimal;
        switch (setting) {
            case S::MapTrigger:
                return {limits.low, limits.high - kPressureStep, format, plain};
            case S::MapEnd:
                return {limits.low, limits.high, format, plain};
            default:
                return {limits.cutoffLow, limits.high, format, plain};
        }
    }
    const NumericFieldSpec* field = FindNumericField(ControlOf({setting, 0, 0}));
    return {field->minimum, field->maximum, field->unitFormat, field->plainFormat};
}

std::string RangeText(const Range& range) {
    return FormatText(texts::kRangeFormat, FormatNumbers(range.plainFormat, {range.low}).c_str(),
                      FormatNumbers(range.unitFormat, {range.high}).c_str());
}

// A numeric setting's value in its field's unit.
double FieldValue(const ConfigDocument& doc, const SettingRef& ref) {
    const StageConfig& s = doc.record.stage[ref.stage];
    switch (ref.setting) {
        case S::RpmCutoff:
            return s.RPM_Max;
        case S::Frequency:
            return s.Frequency;
        case S::RpmTrigger:
            return s.RPM_Trigger;
        case S::Delay:
            return s.Delay_Time * kTenth;
        case S::RampTime:
            return s.Ramp_Time * kTenth;
        case S::Percent:
            return s.Percent[ref.point];
        default:
            return doc.displayPressures[static_cast<std::size_t>(
                PressureIndex(ref.stage, PressureFieldOf(ref.setting)))];
    }
}

bool InRange(const ConfigDocument& doc, const SettingRef& ref) {
    const bool bar = MAP_In_bar(doc.record);
    const Range range = RangeOf(ref.setting, bar);
    const double slack = IsPressure(ref.setting) ? kPressureShownSlack : kNoise;
    const double value = FieldValue(doc, ref);
    return value >= range.low - slack && value <= range.high + slack;
}

// The value of a list's setting.
int ListValue(const ControllerConfig& config, const SettingRef& ref) {
    switch (ref.setting) {
        case S::Input2:
            return config.Input_Type2;
        case S::RpmMultiplier:
            return config.RPM_Multiplier;
        default:
            return Trig_Sx2_Config(config.stage[ref.stage]);
    }
}

// Whether its list has an entry for the value.

bool IsEntry(S setting, int value) {
    switch (setting) {
        case S::Input2:
            return value == 1 || value == 2;
        case S::RpmMultiplier:
            return value >= INT8_MIN && value <= INT8_MAX &&
                   RpmMultiplierValue(RpmMultiplierIndex(static_cast<std::int8_t>(value))) == value;
        default:
            return value >= 0 && value <= 2;
    }
}

// What a setting must be, for a file's key that did not fit.
std::string MustBe(const SettingRef& ref, bool bar) {
    if (IsNumber(ref.setting)) {
        return RangeText(RangeOf(ref.setting, bar));
    }
    if (IsList(ref.setting)) {
        return texts::kListEntry;
    }
    switch (ref.setting) {
        case S::InputType1:
            return FormatText(texts::kRangeFormat, "0", "255");
        case S::TrigSx1Config:
            return FormatText(texts::kRangeFormat, "0", "3");
        default:
            return texts::kFlagValues;
    }
}

std::string Shown(const ConfigDocument& doc, const SettingRef& ref) {
    return FormatNumbers(RangeOf(ref.setting, MAP_In_bar(doc.record)).unitFormat,
                         {FieldValue(doc, ref)});
}

// The field's own name, without its colon: "RPM Cutoff".
std::string FieldName(S setting) {
    std::string caption = FindNumericField(ControlOf({setting, 0, 0}))->caption;
    if (!caption.empty() && caption.back() == ':') {
        caption.pop_back();
    }
    return caption;
}

// A pressure as a configuration file keeps it: the stored value in two decimals, read back.
// The order of the pressures is judged on these, so that a configuration the check passes
// still passes once saved and opened again.
double FileKept(double value) {
    const std::string text = ProfileFloatText(PressureFieldValue(PressureToFixed(value)));
    return PressureToFixed(ParseLeadingDouble(text)) / 256.0;
}

// Where the value rules want the setting, when it is out of that order and the settings it is
// held against are themselves in their ranges; empty when it is in order.
std::string OutOfOrder(const ConfigDocument& doc, const SettingRef& ref) {
    const auto other = [&](S setting) { return SettingRef{setting, ref.stage}; };
    const auto below = [&](S setting) {
        return FormatText(texts::kBelowFormat, FieldName(setting).c_str(),
                          Shown(doc, other(setting)).c_str());
    };
    const double value = FieldValue(doc, ref);
    switch (ref.setting) {
        case S::RpmTrigger:
            if (InRange(doc, other(S::RpmCutoff)) &&
                value >= FieldValue(doc, other(S::RpmCutoff))) {
                return below(S::RpmCutoff);
            }
            break;
        case S::MapTrigger:
            if (InRange(doc, other(S::MapCutoff)) &&
                FileKept(value) >= FileKept(FieldValue(doc, other(S::MapCutoff))) - kNoise) {
                return below(S::MapCutoff);
            }
            break;
        case S::MapEnd: {
            const double trigger = FieldValue(doc, other(S::MapTrigger));
            const double cutoff = FieldValue(doc, other(S::MapCutoff));
            if (!TIME_Based(doc.record.stage[ref.stage]) && InRange(doc, other(S::MapTrigger)) &&
                InRange(doc, other(S::MapCutoff)) && trigger < cutoff &&
                (value < trigger - kNoise || value > cutoff + kNoise)) {
                return FormatText(texts::kBetweenFormat, FieldName(S::MapTrigger).c_str(),
                                  Shown(doc, other(S::MapTrigger)).c_str(),
                                  FieldName(S::MapCutoff).c_str(),
                                  Shown(doc, other(S::MapCutoff)).c_str());
            }
            break;
        }
        default:
            break;
    }
    return {};
}

// The problem of one setting, if it has one.
std::optional<std::string> ProblemOf(const ConfigDocument& doc, const SettingRef& ref,
                                     const UnfitValue* unfit) {
    const std::string name = SettingName(ref);
    const bool bar = MAP_In_bar(doc.record);
    if (unfit != nullptr) {
        return FormatText(texts::kFileValueFormat, name.c_str(), unfit->text.c_str(),
                          MustBe(ref, bar).c_str());
    }
    if (IsList(ref.setting)) {
        const int value = ListValue(doc.record, ref);
        if (IsEntry(ref.setting, value)) {
            return std::nullopt;
        }
        return FormatText(texts::kMustBeFormat, name.c_str(), FormatInt(value).c_str(),
                          texts::kListEntry);
    }
    if (!IsNumber(ref.setting)) {
        return std::nullopt;  // flags, and the settings no control shows, hold any value
    }
    if (!InRange(doc, ref)) {
        return FormatText(texts::kMustBeFormat, name.c_str(), Shown(doc, ref).c_str(),
                          RangeText(RangeOf(ref.setting, bar)).c_str());
    }
    const std::string order = OutOfOrder(doc, ref);
    if (order.empty()) {
        return std::nullopt;
    }
    return FormatText(texts::kMustBeFormat, name.c_str(), Shown(doc, ref).c_str(), order.c_str());
}

// The file's key for a setting that still holds what it was read as, if it did not fit.
const UnfitValue* StandingUnfit(const LoadedFile* file, const std::vector<SettingRef>& changed,
                                const SettingRef& ref) {
    if (file == nullptr || std::find(changed.begin(), changed.end(), ref) != changed.end()) {
        return nullptr;
    }
    for (const UnfitValue& unfit : file->unfit) {
        if (unfit.setting == ref) {
            return &unfit;
        }
    }
    return nullptr;
}

// The number a file's key that did not fit holds, in its field's unit; none when it holds no
// number.
std::optional<double> TypedNumber(const UnfitValue* unfit, S setting) {
    if (unfit == nullptr || !StartsWithNumber(unfit->text)) {
        return std::nullopt;
    }
    const double number = ParseLeadingDouble(unfit->text);
    return setting == S::Delay || setting == S::RampTime ? number * kTenth : number;
}

int Whole(double value) {
    return static_cast<int>(std::clamp(std::trunc(value), -1e9, 1e9));
}

void Correct(StageForm& form, ConfigDocument& doc, const SettingRef& ref,
             std::optional<double> typed, const ControllerConfig& defaults) {
    // A field's stage is shown afresh, so that the ranges of the dependent fields follow what
    // the corrections before made of the values they depend on.
    const bool field = IsNumber(ref.setting) && ref.setting != S::Percent;
    if (ref.stage >= 0 && (field || form.CurrentStage() != ref.stage)) {
        form.OnListSelected(ids::kStage, ref.stage);
    }
    ControllerConfig& c = doc.record;
    if (IsList(ref.setting)) {
        // An entry the user could pick: the file's number when it is one, else the default.
        int value = typed ? Whole(*typed) : ListValue(c, ref);
        if (!IsEntry(ref.setting, value)) {
            value = ListValue(defaults, ref);
        }
        const int index = ref.setting == S::Input2 ? value - 1
                          : ref.setting == S::RpmMultiplier
                              ? RpmMultiplierIndex(static_cast<std::int8_t>(value))
                              : value;
        form.OnListSelected(ControlOf(ref), index);
        return;
    }
    switch (ref.setting) {
        case S::InputType1:
            c.Input_Type1 =
                static_cast<std::uint8_t>(std::clamp(Whole(typed.value_or(c.Input_Type1)), 0, 255));
            return;
        case S::TrigSx1Config:
            SetTrig_Sx1_Config(
                c.stage[ref.stage],
                std::clamp(Whole(typed.value_or(Trig_Sx1_Config(c.stage[ref.stage]))), 0, 3));
            return;
        case S::Percent: {
            // A point the graph holds: dragged no further than the plot's edges.
            std::uint8_t& point = c.stage[ref.stage].Percent[ref.point];
            point = static_cast<std::uint8_t>(std::clamp(Whole(typed.value_or(point)), 0, 100));
            return;
        }
        default:
            break;
    }
    if (!IsNumber(ref.setting)) {
        return;  // a flag: it holds what the file's text made of it
    }
    const int id = ControlOf(ref);
    form.OnFieldChanged(id, typed.value_or(form.Field(id).Value()));
}

}  // namespace

int SettingControl(const SettingRef& ref) {
    return ControlOf(ref);
}

std::vector<UploadProblem> CheckConfiguration(const ConfigDocument& doc, const LoadedFile* file) {
    const std::vector<SettingRef> changed =
        file != nullptr ? DifferingSettings(file->asRead, doc) : std::vector<SettingRef>{};
    std::vector<UploadProblem> problems;
    for (const SettingRef& ref : AllSettings()) {
        if (auto text = ProblemOf(doc, ref, StandingUnfit(file, changed, ref))) {
            problems.push_back({ref, ControlOf(ref), std::move(*text)});
        }
    }
    return problems;
}

void CorrectConfiguration(ConfigDocument& doc, LoadedFile* file) {
    if (CheckConfiguration(doc, file).empty()) {
        return;
    }
    AppSettings settings;  // Smooth off: a corrected end of the curve moves no other point
    StageForm form(doc, settings);
    form.OnInitialUpdate();
    ControllerConfig defaults;
    LoadConfig(IniFile{}, kConfigSection, defaults);
    for (int pass = 0; pass < kCorrectionPasses; ++pass) {
        const std::vector<SettingRef> changed =
            file != nullptr ? DifferingSettings(file->asRead, doc) : std::vector<SettingRef>{};
        const std::vector<UploadProblem> problems = CheckConfiguration(doc, file);
        if (problems.empty()) {
            break;
        }
        for (const UploadProblem& problem : problems) {
            const UnfitValue* unfit = StandingUnfit(file, changed, problem.setting);
            Correct(form, doc, problem.setting, TypedNumber(unfit, problem.setting.setting),
                    defaults);
        }
        if (file != nullptr) {
            file->unfit.clear();  // each was typed in once
        }
    }
}

bool HasProblem(const std::vector<UploadProblem>& problems, int controlId, int stage) {
    return std::any_of(problems.begin(), problems.end(), [&](const UploadProblem& problem) {
        return problem.controlId == controlId &&
               (problem.setting.stage < 0 || problem.setting.stage == stage);
    });
}

}  // namespace zentrik
