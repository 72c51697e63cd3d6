#include "config/config_persistence.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "config/ini_file.h"
#include "config/profile_text.h"

namespace zentrik {

namespace {

// "Zentrik Config" keys: global ones, then per stage "Stage <n> " + suffix.
constexpr std::string_view kRpmMultiplierKey = "RPM_Multiplier";
constexpr std::string_view kRpmPresentKey = "RPM_Present";
constexpr std::string_view kMapInBarKey = "MAP_In_bar";
constexpr std::string_view kInputType1Key = "Input_Type1";
constexpr std::string_view kInputType2Key = "Input_Type2";
constexpr std::string_view kPresentKey = "Present";
constexpr std::string_view kTrigSx1Key = "Trig_Sx1_Config";
constexpr std::string_view kTrigSx2Key = "Trig_Sx2_Config";
constexpr std::string_view kFirstGearLockoutKey = "First Gear Lockout";
constexpr std::string_view kFrequencyKey = "Frequency";
constexpr std::string_view kTimeBasedKey = "TIME Based";
constexpr std::string_view kRpmTriggerKey = "RPM Trigger";
constexpr std::string_view kRpmMaxKey = "RPM Max";
constexpr std::string_view kMapTriggerKey = "MAP Trigger";
constexpr std::string_view kMapEndKey = "MAP End";
constexpr std::string_view kMapMaxKey = "MAP Max";
constexpr std::string_view kDelayTimeKey = "Delay Time";
constexpr std::string_view kRampTimeKey = "Ramp Time";

constexpr int kDefaultRpmMultiplier = 0;
constexpr int kDefaultRpmPresent = 1;
constexpr int kDefaultMapInBar = 0;
constexpr int kDefaultInputType1 = 0;
constexpr int kDefaultInputType2 = 1;

struct StageDefaults {
    int present;
    int trigSx1;
    int trigSx2;
    int timeBased;
    int firstGearLockout;
    int frequency;
    int rpmTrigger;
    int rpmMax;
    float mapTrigger;
    float mapEnd;
    float mapMax;
    int delayTime;
    int rampTime;
    std::array<int, kPercentPoints> percent;
};

constexpr StageDefaults kStageDefaults[2] = {
    {1, 0, 0, 0, 0, 15, 3000, 5000, 0.0f, 10.0f, 20.04f, 0, 100, {0,  4,  7,  20, 32, 32, 27,
                                                                  21, 16, 13, 12, 14, 21, 36,
                                                                  54, 69, 79, 87, 93, 100}},
    {1, 0, 0, 0, 0, 14, 3000, 6000, 2.0f, 4.0f, 40.0f, 0, 100, {0,  5,  10, 11, 10, 10, 11,
                                                                16, 28, 42, 52, 56, 55, 54,
                                                                53, 54, 59, 73, 89, 100}},
};

// One fixed-point step of a pressure field.
constexpr double kFixedStep = 0.00390625;

std::string StageKey(int stage, std::string_view suffix) {
    std::string key = "Stage ";
    key += FormatInt(stage + 1);
    key += ' ';
    key += suffix;
    return key;
}

std::string PercentKey(int stage, int point) {
    return StageKey(stage, "Percent " + FormatInt(point));
}

std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(value);
}
std::int16_t LowWord(int value) {
    return static_cast<std::int16_t>(value);
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Whether the text starts (after blanks) with a decimal integer from `low` to `high`, as the
// integer reader takes it.
bool FitsInteger(std::string_view text, long long low, long long high) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr long long kBeyond = 1LL << 40;  // farther than any field reaches
    long long magnitude = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        magnitude = std::min(kBeyond, magnitude * 10 + (text[i] - '0'));
    }
    const long long value = negative ? -magnitude : magnitude;
    return digits > 0 && value >= low && value <= high;
}

// Whether the text starts (after blanks) with a decimal number whose fixed-point value, times
// 256 and truncated, a sixteen-bit field holds.
bool FitsPressure(std::string_view text) {
    if (!StartsWithNumber(text)) {
        return false;
    }
    const double scaled = std::trunc(ParseLeadingDouble(text) * 256.0);
    return std::isfinite(scaled) && scaled >= INT16_MIN && scaled <= INT16_MAX;
}

// Reads the keys of one section as the profile functions do, noting what is missing and what
// does not fit.
class SectionReader {
  public:
    SectionReader(const IniFile& file, std::string_view section, ConfigReadNotes* notes)
        : m_file(file), m_section(section), m_notes(notes) {}

    // A key of a field that holds `low` to `high`.
    int Int(std::string_view key, int def, SettingRef ref, long long low, long long high) {
        if (const auto text = Found(key)) {
            Note(FitsInteger(*text, low, high), ref, *text);
        }
        return ProfileReadInt(m_file, m_section, key, def);
    }
    bool Bool(std::string_view key, int def, SettingRef ref) {
        if (const auto text = Found(key)) {
            Note(FitsInteger(*text, INT32_MIN, INT32_MAX), ref, *text);
        }
        return ProfileReadBool(m_file, m_section, key, def);
    }
    std::int16_t Pressure(std::string_view key, float def, SettingRef ref) {
        if (const auto text = Found(key)) {
            Note(FitsPressure(*text), ref, *text);
        }
        return PressureToFixed(ProfileReadFloat(m_file, m_section, key, def));
    }

  private:
    // The key's text as the readers see it, when the section holds the key.
    std::optional<std::string> Found(std::string_view key) {
        if (m_notes == nullptr) {
            return std::nullopt;
        }
        ++m_notes->keysRead;
        if (!m_file.Value(m_section, key)) {
            return std::nullopt;
        }
        ++m_notes->keysFound;
        return ProfileString(m_file, m_section, key, {});
    }
    void Note(bool fits, SettingRef ref, const std::string& text) {
        if (!fits) {
            m_notes->unfit.push_back({ref, text});
        }
    }

    const IniFile& m_file;
    std::string_view m_section;
    ConfigReadNotes* m_notes;
};

constexpr long long kByte = 255;

void LoadStage(SectionReader& r, int index, StageConfig& stage) {
    const StageDefaults& d = kStageDefaults[index];
    const auto ref = [index](ConfigSetting setting) { return SettingRef{setting, index}; };
    const auto key = [index](std::string_view suffix) { return StageKey(index, suffix); };
    using S = ConfigSetting;
    SetPresent(stage, r.Bool(key(kPresentKey), d.present, ref(S::StagePresent)));
    SetTrig_Sx1_Config(stage, r.Int(key(kTrigSx1Key), d.trigSx1, ref(S::TrigSx1Config), 0, 3));
    SetTrig_Sx2_Config(stage, r.Int(key(kTrigSx2Key), d.trigSx2, ref(S::Input2Will), 0, 3));
    SetTIME_Based(stage, r.Bool(key(kTimeBasedKey), d.timeBased, ref(S::StageType)));
    SetFirst_Gear_Lockout(
        stage, r.Bool(key(kFirstGearLockoutKey), d.firstGearLockout, ref(S::FirstGearLockout)));
    stage.Frequency = LowByte(r.Int(key(kFrequencyKey), d.frequency, ref(S::Frequency), 0, kByte));
    stage.RPM_Trigger =
        LowWord(r.Int(key(kRpmTriggerKey), d.rpmTrigger, ref(S::RpmTrigger), INT16_MIN, INT16_MAX));
    stage.RPM_Max =
        LowWord(r.Int(key(kRpmMaxKey), d.rpmMax, ref(S::RpmCutoff), INT16_MIN, INT16_MAX));
    stage.MAP_Trigger = r.Pressure(key(kMapTriggerKey), d.mapTrigger, ref(S::MapTrigger));
    stage.MAP_End = r.Pressure(key(kMapEndKey), d.mapEnd, ref(S::MapEnd));
    stage.MAP_Max = r.Pressure(key(kMapMaxKey), d.mapMax, ref(S::MapCutoff));
    stage.Delay_Time = LowByte(r.Int(key(kDelayTimeKey), d.delayTime, ref(S::Delay), 0, kByte));
    stage.Ramp_Time = LowByte(r.Int(key(kRampTimeKey), d.rampTime, ref(S::RampTime), 0, kByte));
    for (int i = 0; i < kPercentPoints; ++i) {
        stage.Percent[i] =
            LowByte(r.Int(PercentKey(index, i), d.percent[i], {S::Percent, index, i}, 0, kByte));
    }
}

bool SaveStage(IniFile& file, std::string_view s, int index, const StageConfig& stage) {
    bool ok = ProfileWriteBool(file, s, StageKey(index, kPresentKey), Present(stage));
    ok &= ProfileWriteInt(file, s, StageKey(index, kTrigSx1Key), Trig_Sx1_Config(stage));
    ok &= ProfileWriteInt(file, s, StageKey(index, kTrigSx2Key), Trig_Sx2_Config(stage));
    ok &=
        ProfileWriteBool(file, s, StageKey(index, kFirstGearLockoutKey), First_Gear_Lockout(stage));
    ok &= ProfileWriteInt(file, s, StageKey(index, kFrequencyKey), stage.Frequency);
    ok &= ProfileWriteBool(file, s, StageKey(index, kTimeBasedKey), TIME_Based(stage));
    ok &= ProfileWriteInt(file, s, StageKey(index, kRpmTriggerKey), stage.RPM_Trigger);
    ok &= ProfileWriteInt(file, s, StageKey(index, kRpmMaxKey), stage.RPM_Max);
    ok &= ProfileWriteFloat(file, s, StageKey(index, kMapTriggerKey),
                            PressureFieldValue(stage.MAP_Trigger));
    ok &=
        ProfileWriteFloat(file, s, StageKey(index, kMapEndKey), PressureFieldValue(stage.MAP_End));
    ok &=
        ProfileWriteFloat(file, s, StageKey(index, kMapMaxKey), PressureFieldValue(stage.MAP_Max));
    ok &= ProfileWriteInt(file, s, StageKey(index, kDelayTimeKey), stage.Delay_Time);
    ok &= ProfileWriteInt(file, s, StageKey(index, kRampTimeKey), stage.Ramp_Time);
    for (int i = 0; i < kPercentPoints; ++i) {
        ok &= ProfileWriteInt(file, s, PercentKey(index, i), stage.Percent[i]);
    }
    return ok;
}

}  // namespace

float PressureFieldValue(std::int16_t field) {
    return static_cast<float>(field * kFixedStep);
}

void LoadConfig(const IniFile& file, std::string_view s, ControllerConfig& config,
                ConfigReadNotes* notes) {
    using S = ConfigSetting;
    SectionReader r(file, s, notes);
    config = ControllerConfig{};  // bits no key covers stay zero
    config.RPM_Multiplier = static_cast<std::int8_t>(
        r.Int(kRpmMultiplierKey, kDefaultRpmMultiplier, {S::RpmMultiplier}, INT8_MIN, INT8_MAX));
    SetRPM_Present(config, r.Bool(kRpmPresentKey, kDefaultRpmPresent, {S::RpmPresent}));
    SetMAP_In_bar(config, r.Bool(kMapInBarKey, kDefaultMapInBar, {S::MapUnits}));
    config.Input_Type1 =
        LowByte(r.Int(kInputType1Key, kDefaultInputType1, {S::InputType1}, 0, kByte));
    config.Input_Type2 = LowByte(r.Int(kInputType2Key, kDefaultInputType2, {S::Input2}, 0, kByte));
    for (int i = 0; i < 2; ++i) {
        LoadStage(r, i, config.stage[i]);
    }
}

bool SaveConfig(IniFile& file, std::string_view s, const ControllerConfig& config) {
    bool ok = ProfileWriteInt(file, s, kRpmMultiplierKey, config.RPM_Multiplier);
    ok &= ProfileWriteBool(file, s, kRpmPresentKey, RPM_Present(config));
    ok &= ProfileWriteBool(file, s, kMapInBarKey, MAP_In_bar(config));
    ok &= ProfileWriteInt(file, s, kInputType1Key, config.Input_Type1);
    ok &= ProfileWriteInt(file, s, kInputType2Key, config.Input_Type2);
    for (int i = 0; i < 2; ++i) {
        ok &= SaveStage(file, s, i, config.stage[i]);
    }
    return ok;
}

void LoadConfig(const AppSettings& settings, ControllerConfig& config) {
    LoadConfig(settings.ReadIni(), kConfigSection, config);
}

bool SaveConfig(AppSettings& settings, const ControllerConfig& config) {
    return settings.EditIni(
        [&](IniFile& file) { return SaveConfig(file, kConfigSection, config); });
}

void LoadDocument(const AppSettings& settings, ConfigDocument& doc, ConfigReadNotes* notes) {
    LoadConfig(settings.ReadIni(), kConfigSection, doc.record, notes);
    SyncDisplayPressures(doc);
}

bool SaveDocument(AppSettings& settings, ConfigDocument& doc) {
    SyncRecordPressures(doc);
    return SaveConfig(settings, doc.record);
}

}  // namespace zentrik
