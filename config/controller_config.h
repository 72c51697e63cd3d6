#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zentrik {

// One stage of the controller's configuration: 44 bytes, laid out exactly as the controller
// stores it. Sixteen-bit fields are in host order here; they are swapped to big-endian only
// when the record goes on the wire.
struct StageConfig {
    std::uint8_t flags;  // see the kStage* masks below
    std::uint8_t reserved1;
    std::int16_t RPM_Max;    // engine-speed cut-off, rpm
    std::int16_t MAP_Max;    // pressure cut-off, 8.8 fixed point
    std::uint8_t Frequency;  // solenoid pulse frequency, Hz
    std::uint8_t reserved7;
    std::uint8_t Percent[20];  // the percent curve, 0..100 at each point
    std::int16_t RPM_Trigger;  // engine speed at which the stage may start
    std::uint8_t Delay_Time;   // time-based: delay before the curve, tenths of a second
    std::uint8_t Ramp_Time;    // time-based: duration of the curve, tenths of a second
    std::int16_t MAP_Trigger;  // pressure-based: pressure at the first point, 8.8
    std::int16_t MAP_End;      // pressure-based: pressure at the last point, 8.8
    std::uint8_t reserved36[8];
};

// The whole configuration: 110 bytes.
struct ControllerConfig {
    std::uint8_t flags;  // see kRpmPresentBit, kMapInBarBit
    std::uint8_t reserved1;
    std::int8_t RPM_Multiplier;
    std::uint8_t reserved3;
    std::uint8_t Input_Type1;
    std::uint8_t Input_Type2;  // 1 = activate with 12 volts, 2 = activate with ground
    StageConfig stage[2];
    std::uint8_t reserved94[16];
};

static_assert(sizeof(StageConfig) == 44);
static_assert(offsetof(StageConfig, RPM_Max) == 2);
static_assert(offsetof(StageConfig, MAP_Max) == 4);
static_assert(offsetof(StageConfig, Frequency) == 6);
static_assert(offsetof(StageConfig, Percent) == 8);
static_assert(offsetof(StageConfig, RPM_Trigger) == 28);
static_assert(offsetof(StageConfig, Delay_Time) == 30);
static_assert(offsetof(StageConfig, Ramp_Time) == 31);
static_assert(offsetof(StageConfig, MAP_Trigger) == 32);
static_assert(offsetof(StageConfig, MAP_End) == 34);
static_assert(offsetof(StageConfig, reserved36) == 36);
static_assert(sizeof(ControllerConfig) == 110);
static_assert(offsetof(ControllerConfig, RPM_Multiplier) == 2);
static_assert(offsetof(ControllerConfig, Input_Type1) == 4);
static_assert(offsetof(ControllerConfig, Input_Type2) == 5);
static_assert(offsetof(ControllerConfig, stage) == 6);
static_assert(offsetof(ControllerConfig, stage) + sizeof(StageConfig) == 50);
static_assert(offsetof(ControllerConfig, reserved94) == 94);

inline constexpr std::size_t kConfigSize = sizeof(ControllerConfig);
inline constexpr std::size_t kStageSize = sizeof(StageConfig);
inline constexpr int kPercentPoints = 20;

// Global flag bits (byte 0).
inline constexpr std::uint8_t kRpmPresentBit = 0x01;
inline constexpr std::uint8_t kMapInBarBit = 0x02;

// Stage flag bits (stage byte 0).
inline constexpr std::uint8_t kStagePresentBit = 0x01;
inline constexpr std::uint8_t kTrigSx1Mask = 0x06;  // two-bit field, bits 1-2
inline constexpr int kTrigSx1Shift = 1;
inline constexpr std::uint8_t kTrigSx2Mask = 0x18;  // two-bit field, bits 3-4
inline constexpr int kTrigSx2Shift = 3;
inline constexpr std::uint8_t kTimeBasedBit = 0x20;
inline constexpr std::uint8_t kFirstGearLockoutBit = 0x40;

// Flag accessors. Setters replace only their own bits.
bool RPM_Present(const ControllerConfig& c);
void SetRPM_Present(ControllerConfig& c, bool on);
bool MAP_In_bar(const ControllerConfig& c);
void SetMAP_In_bar(ControllerConfig& c, bool on);

bool Present(const StageConfig& s);
void SetPresent(StageConfig& s, bool on);
int Trig_Sx1_Config(const StageConfig& s);
void SetTrig_Sx1_Config(StageConfig& s, int value);  // keeps the low two bits
int Trig_Sx2_Config(const StageConfig& s);
void SetTrig_Sx2_Config(StageConfig& s, int value);  // keeps the low two bits
bool TIME_Based(const StageConfig& s);
void SetTIME_Based(StageConfig& s, bool on);
bool First_Gear_Lockout(const StageConfig& s);
void SetFirst_Gear_Lockout(StageConfig& s, bool on);

// The engine-speed multiplier choices, in the order the form lists them.
struct RpmMultiplierChoice {
    std::string_view text;
    std::int8_t value;
};
inline constexpr int kRpmMultiplierChoiceCount = 28;
const std::array<RpmMultiplierChoice, kRpmMultiplierChoiceCount>& RpmMultiplierChoices();
// Record value for a list index (index outside the list: the first choice's value).
std::int8_t RpmMultiplierValue(int index);
// List index for a record value; a value not in the list shows as index 0.
int RpmMultiplierIndex(std::int8_t value);

// The record's sixteen-bit fields that travel big-endian (record offsets).
inline constexpr std::array<std::size_t, 10> kBigEndianOffsets = {8,  10, 34, 38, 40,
                                                                  52, 54, 78, 82, 84};

}  // namespace zentrik
