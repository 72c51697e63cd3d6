#include "config/app_settings.h"

#include <array>
#include <cstdint>
#include <utility>

#include "config/config_document.h"
#include "config/file_store.h"
#include "config/ini_file.h"
#include "config/ini_location.h"
#include "config/profile_text.h"

namespace zentrik {

namespace {

// "Zentrik Settings" keys and defaults.
constexpr std::string_view kCommPortKey = "CommPort";
constexpr std::string_view kCommSpeedKey = "CommSpeed";
constexpr std::string_view kTimeoutKey = "Timeout";
constexpr std::string_view kCrcRetryKey = "CRCRetry";
constexpr std::string_view kTimeoutRetryKey = "TimeoutRetry";
constexpr std::string_view kSmoothKey = "Smooth";
constexpr int kDefaultCommPort = 1;
constexpr int kDefaultCommSpeed = 19200;
constexpr int kDefaultTimeout = 40;
constexpr int kDefaultCrcRetry = 3;
constexpr int kDefaultTimeoutRetry = 3;
constexpr int kDefaultSmooth = 0;

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

// The typed operations on a parsed file; the public ones wrap these around one read (and one
// write), so a batch of them gives exactly what the same single operations would.
int ReadIntIn(const IniFile& file, std::string_view section, std::string_view key, int def) {
    return ProfileInt(file, section, key, def);
}

bool ReadBoolIn(const IniFile& file, std::string_view section, std::string_view key, int def) {
    return ProfileInt(file, section, key, def & 0xFF) != 0;
}

double ReadFloatIn(const IniFile& file, std::string_view section, std::string_view key, float def) {
    // The default goes through the same text conversion as a stored value.
    return ParseLeadingDouble(ProfileString(file, section, key, FormatFixed(def, 6)));
}

bool WriteIntIn(IniFile& file, std::string_view section, std::string_view key, int value) {
    return file.SetValue(section, key, FormatInt(value));
}

bool WriteBoolIn(IniFile& file, std::string_view section, std::string_view key, int value) {
    return file.SetValue(section, key,
                         FormatUnsignedShort(static_cast<unsigned short>(value & 0xFF)));
}

bool WriteFloatIn(IniFile& file, std::string_view section, std::string_view key, float value) {
    return file.SetValue(section, key, FormatFixed(value, 2));
}

std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(value);
}
std::int16_t LowWord(int value) {
    return static_cast<std::int16_t>(value);
}

void LoadStage(const IniFile& file, int index, StageConfig& stage) {
    const std::string_view s = kConfigSection;
    const StageDefaults& d = kStageDefaults[index];
    SetPresent(stage, ReadBoolIn(file, s, StageKey(index, kPresentKey), d.present));
    SetTrig_Sx1_Config(stage, ReadIntIn(file, s, StageKey(index, kTrigSx1Key), d.trigSx1));
    SetTrig_Sx2_Config(stage, ReadIntIn(file, s, StageKey(index, kTrigSx2Key), d.trigSx2));
    SetTIME_Based(stage, ReadBoolIn(file, s, StageKey(index, kTimeBasedKey), d.timeBased));
    SetFirst_Gear_Lockout(
        stage, ReadBoolIn(file, s, StageKey(index, kFirstGearLockoutKey), d.firstGearLockout));
    stage.Frequency = LowByte(ReadIntIn(file, s, StageKey(index, kFrequencyKey), d.frequency));
    stage.RPM_Trigger = LowWord(ReadIntIn(file, s, StageKey(index, kRpmTriggerKey), d.rpmTrigger));
    stage.RPM_Max = LowWord(ReadIntIn(file, s, StageKey(index, kRpmMaxKey), d.rpmMax));
    stage.MAP_Trigger =
        PressureToFixed(ReadFloatIn(file, s, StageKey(index, kMapTriggerKey), d.mapTrigger));
    stage.MAP_End = PressureToFixed(ReadFloatIn(file, s, StageKey(index, kMapEndKey), d.mapEnd));
    stage.MAP_Max = PressureToFixed(ReadFloatIn(file, s, StageKey(index, kMapMaxKey), d.mapMax));
    stage.Delay_Time = LowByte(ReadIntIn(file, s, StageKey(index, kDelayTimeKey), d.delayTime));
    stage.Ramp_Time = LowByte(ReadIntIn(file, s, StageKey(index, kRampTimeKey), d.rampTime));
    for (int i = 0; i < kPercentPoints; ++i) {
        stage.Percent[i] = LowByte(ReadIntIn(file, s, PercentKey(index, i), d.percent[i]));
    }
}

bool SaveStage(IniFile& file, int index, const StageConfig& stage) {
    const std::string_view s = kConfigSection;
    const auto pressure = [](std::int16_t field) { return static_cast<float>(field * kFixedStep); };
    bool ok = WriteBoolIn(file, s, StageKey(index, kPresentKey), Present(stage));
    ok &= WriteIntIn(file, s, StageKey(index, kTrigSx1Key), Trig_Sx1_Config(stage));
    ok &= WriteIntIn(file, s, StageKey(index, kTrigSx2Key), Trig_Sx2_Config(stage));
    ok &= WriteBoolIn(file, s, StageKey(index, kFirstGearLockoutKey), First_Gear_Lockout(stage));
    ok &= WriteIntIn(file, s, StageKey(index, kFrequencyKey), stage.Frequency);
    ok &= WriteBoolIn(file, s, StageKey(index, kTimeBasedKey), TIME_Based(stage));
    ok &= WriteIntIn(file, s, StageKey(index, kRpmTriggerKey), stage.RPM_Trigger);
    ok &= WriteIntIn(file, s, StageKey(index, kRpmMaxKey), stage.RPM_Max);
    ok &= WriteFloatIn(file, s, StageKey(index, kMapTriggerKey), pressure(stage.MAP_Trigger));
    ok &= WriteFloatIn(file, s, StageKey(index, kMapEndKey), pressure(stage.MAP_End));
    ok &= WriteFloatIn(file, s, StageKey(index, kMapMaxKey), pressure(stage.MAP_Max));
    ok &= WriteIntIn(file, s, StageKey(index, kDelayTimeKey), stage.Delay_Time);
    ok &= WriteIntIn(file, s, StageKey(index, kRampTimeKey), stage.Ramp_Time);
    for (int i = 0; i < kPercentPoints; ++i) {
        ok &= WriteIntIn(file, s, PercentKey(index, i), stage.Percent[i]);
    }
    return ok;
}

}  // namespace

void AppSettings::SetPath(std::string path) {
    m_path = std::move(path);
    m_createFolder = false;
}

IniFile AppSettings::ReadFile() const {
    IniFile file;
    std::string bytes;
    if (!m_path.empty() && ReadFileBytes(m_path, bytes) == FileReadStatus::Ok) {
        file.Parse(bytes);
    }
    return file;
}

bool AppSettings::ModifyFile(const std::function<bool(IniFile&)>& edit) {
    if (m_path.empty()) {
        return false;
    }
    std::string bytes;
    if (ReadFileBytes(m_path, bytes) == FileReadStatus::Failed) {
        return false;  // rewriting what could not be read would lose it
    }
    IniFile file(bytes);
    if (!edit(file)) {
        return false;
    }
    return ReplaceFileBytes(m_path, file.Serialize(), m_createFolder);
}

int AppSettings::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    return ReadIntIn(ReadFile(), section, key, defaultValue);
}

bool AppSettings::WriteInt(std::string_view section, std::string_view key, int value) {
    return ModifyFile([&](IniFile& file) { return WriteIntIn(file, section, key, value); });
}

bool AppSettings::ReadBool(std::string_view section, std::string_view key, int defaultValue) const {
    return ReadBoolIn(ReadFile(), section, key, defaultValue);
}

bool AppSettings::WriteBool(std::string_view section, std::string_view key, int value) {
    return ModifyFile([&](IniFile& file) { return WriteBoolIn(file, section, key, value); });
}

double AppSettings::ReadFloat(std::string_view section, std::string_view key,
                              float defaultValue) const {
    return ReadFloatIn(ReadFile(), section, key, defaultValue);
}

bool AppSettings::WriteFloat(std::string_view section, std::string_view key, float value) {
    return ModifyFile([&](IniFile& file) { return WriteFloatIn(file, section, key, value); });
}

void AppSettings::LoadConfig(ControllerConfig& config) const {
    const IniFile file = ReadFile();
    const std::string_view s = kConfigSection;
    config = ControllerConfig{};  // bits no key covers stay zero
    config.RPM_Multiplier =
        static_cast<std::int8_t>(ReadIntIn(file, s, kRpmMultiplierKey, kDefaultRpmMultiplier));
    SetRPM_Present(config, ReadBoolIn(file, s, kRpmPresentKey, kDefaultRpmPresent));
    SetMAP_In_bar(config, ReadBoolIn(file, s, kMapInBarKey, kDefaultMapInBar));
    config.Input_Type1 = LowByte(ReadIntIn(file, s, kInputType1Key, kDefaultInputType1));
    config.Input_Type2 = LowByte(ReadIntIn(file, s, kInputType2Key, kDefaultInputType2));
    for (int i = 0; i < 2; ++i) {
        LoadStage(file, i, config.stage[i]);
    }
}

bool AppSettings::SaveConfig(const ControllerConfig& config) {
    return ModifyFile([&](IniFile& file) {
        const std::string_view s = kConfigSection;
        bool ok = WriteIntIn(file, s, kRpmMultiplierKey, config.RPM_Multiplier);
        ok &= WriteBoolIn(file, s, kRpmPresentKey, RPM_Present(config));
        ok &= WriteBoolIn(file, s, kMapInBarKey, MAP_In_bar(config));
        ok &= WriteIntIn(file, s, kInputType1Key, config.Input_Type1);
        ok &= WriteIntIn(file, s, kInputType2Key, config.Input_Type2);
        for (int i = 0; i < 2; ++i) {
            ok &= SaveStage(file, i, config.stage[i]);
        }
        return ok;
    });
}

void AppSettings::LoadSettings() {
    if (m_path.empty()) {
        const IniLocation location = DefaultIniLocation();
        m_path = location.path;
        m_createFolder = location.createFolder;
    }
    const IniFile file = ReadFile();
    const std::string_view s = kSettingsSection;
    CommPort = ReadIntIn(file, s, kCommPortKey, kDefaultCommPort);
    CommSpeed = ReadIntIn(file, s, kCommSpeedKey, kDefaultCommSpeed);
    Timeout = ReadIntIn(file, s, kTimeoutKey, kDefaultTimeout);
    CRCRetry = ReadIntIn(file, s, kCrcRetryKey, kDefaultCrcRetry);
    TimeoutRetry = ReadIntIn(file, s, kTimeoutRetryKey, kDefaultTimeoutRetry);
    Smooth = ReadBoolIn(file, s, kSmoothKey, kDefaultSmooth);
}

bool AppSettings::SaveSettings() {
    return ModifyFile([&](IniFile& file) {
        const std::string_view s = kSettingsSection;
        bool ok = WriteIntIn(file, s, kCommPortKey, CommPort);
        ok &= WriteIntIn(file, s, kCommSpeedKey, CommSpeed);
        ok &= WriteIntIn(file, s, kTimeoutKey, Timeout);
        ok &= WriteIntIn(file, s, kCrcRetryKey, CRCRetry);
        ok &= WriteIntIn(file, s, kTimeoutRetryKey, TimeoutRetry);
        ok &= WriteBoolIn(file, s, kSmoothKey, Smooth);
        return ok;
    });
}

}  // namespace zentrik
