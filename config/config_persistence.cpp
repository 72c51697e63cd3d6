#include "config/config_persistence.h"

#include <array>
#include <cstdint>
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

void LoadStage(const IniFile& file, std::string_view s, int index, StageConfig& stage) {
    const StageDefaults& d = kStageDefaults[index];
    SetPresent(stage, ProfileReadBool(file, s, StageKey(index, kPresentKey), d.present));
    SetTrig_Sx1_Config(stage, ProfileReadInt(file, s, StageKey(index, kTrigSx1Key), d.trigSx1));
    SetTrig_Sx2_Config(stage, ProfileReadInt(file, s, StageKey(index, kTrigSx2Key), d.trigSx2));
    SetTIME_Based(stage, ProfileReadBool(file, s, StageKey(index, kTimeBasedKey), d.timeBased));
    SetFirst_Gear_Lockout(
        stage, ProfileReadBool(file, s, StageKey(index, kFirstGearLockoutKey), d.firstGearLockout));
    stage.Frequency = LowByte(ProfileReadInt(file, s, StageKey(index, kFrequencyKey), d.frequency));
    stage.RPM_Trigger =
        LowWord(ProfileReadInt(file, s, StageKey(index, kRpmTriggerKey), d.rpmTrigger));
    stage.RPM_Max = LowWord(ProfileReadInt(file, s, StageKey(index, kRpmMaxKey), d.rpmMax));
    stage.MAP_Trigger =
        PressureToFixed(ProfileReadFloat(file, s, StageKey(index, kMapTriggerKey), d.mapTrigger));
    stage.MAP_End =
        PressureToFixed(ProfileReadFloat(file, s, StageKey(index, kMapEndKey), d.mapEnd));
    stage.MAP_Max =
        PressureToFixed(ProfileReadFloat(file, s, StageKey(index, kMapMaxKey), d.mapMax));
    stage.Delay_Time =
        LowByte(ProfileReadInt(file, s, StageKey(index, kDelayTimeKey), d.delayTime));
    stage.Ramp_Time = LowByte(ProfileReadInt(file, s, StageKey(index, kRampTimeKey), d.rampTime));
    for (int i = 0; i < kPercentPoints; ++i) {
        stage.Percent[i] = LowByte(ProfileReadInt(file, s, PercentKey(index, i), d.percent[i]));
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

void LoadConfig(const IniFile& file, std::string_view s, ControllerConfig& config) {
    config = ControllerConfig{};  // bits no key covers stay zero
    config.RPM_Multiplier =
        static_cast<std::int8_t>(ProfileReadInt(file, s, kRpmMultiplierKey, kDefaultRpmMultiplier));
    SetRPM_Present(config, ProfileReadBool(file, s, kRpmPresentKey, kDefaultRpmPresent));
    SetMAP_In_bar(config, ProfileReadBool(file, s, kMapInBarKey, kDefaultMapInBar));
    config.Input_Type1 = LowByte(ProfileReadInt(file, s, kInputType1Key, kDefaultInputType1));
    config.Input_Type2 = LowByte(ProfileReadInt(file, s, kInputType2Key, kDefaultInputType2));
    for (int i = 0; i < 2; ++i) {
        LoadStage(file, s, i, config.stage[i]);
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

void LoadDocument(const AppSettings& settings, ConfigDocument& doc) {
    LoadConfig(settings, doc.record);
    SyncDisplayPressures(doc);
}

bool SaveDocument(AppSettings& settings, ConfigDocument& doc) {
    SyncRecordPressures(doc);
    return SaveConfig(settings, doc.record);
}

}  // namespace zentrik
