#include "config/controller_config.h"

namespace zentrik {

namespace {

void SetBits(std::uint8_t& byte, std::uint8_t mask, bool on) {
    byte = static_cast<std::uint8_t>(on ? (byte | mask) : (byte & ~mask));
}

void SetField(std::uint8_t& byte, std::uint8_t mask, int shift, int value) {
    byte = static_cast<std::uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

constexpr std::array<RpmMultiplierChoice, kRpmMultiplierChoiceCount> kChoices = {{
    {"\u00f712", -11}, {"\u00f711", -10},  {"\u00f710", -9}, {"\u00f79", -8},
    {"\u00f78", -7},   {"\u00f77", -6},    {"\u00f76", -5},  {"\u00f75.5", -26},
    {"\u00f75", -4},   {"\u00f74.5", -24}, {"\u00f74", -3},  {"\u00f73.5", -22},
    {"\u00f73", -2},   {"\u00f72.5", -20}, {"\u00f72", -1},  {"\u00f71.5", -18},
    {"x1", 0},         {"x2", 1},          {"x3", 2},        {"x4", 3},
    {"x5", 4},         {"x6", 5},          {"x7", 6},        {"x8", 7},
    {"x9", 8},         {"x10", 9},         {"x11", 10},      {"x12", 11},
}};

}  // namespace

bool RPM_Present(const ControllerConfig& c) {
    return c.flags & kRpmPresentBit;
}
void SetRPM_Present(ControllerConfig& c, bool on) {
    SetBits(c.flags, kRpmPresentBit, on);
}
bool MAP_In_bar(const ControllerConfig& c) {
    return c.flags & kMapInBarBit;
}
void SetMAP_In_bar(ControllerConfig& c, bool on) {
    SetBits(c.flags, kMapInBarBit, on);
}

bool Present(const StageConfig& s) {
    return s.flags & kStagePresentBit;
}
void SetPresent(StageConfig& s, bool on) {
    SetBits(s.flags, kStagePresentBit, on);
}
int Trig_Sx1_Config(const StageConfig& s) {
    return (s.flags & kTrigSx1Mask) >> kTrigSx1Shift;
}
void SetTrig_Sx1_Config(StageConfig& s, int value) {
    SetField(s.flags, kTrigSx1Mask, kTrigSx1Shift, value);
}
int Trig_Sx2_Config(const StageConfig& s) {
    return (s.flags & kTrigSx2Mask) >> kTrigSx2Shift;
}
void SetTrig_Sx2_Config(StageConfig& s, int value) {
    SetField(s.flags, kTrigSx2Mask, kTrigSx2Shift, value);
}
bool TIME_Based(const StageConfig& s) {
    return s.flags & kTimeBasedBit;
}
void SetTIME_Based(StageConfig& s, bool on) {
    SetBits(s.flags, kTimeBasedBit, on);
}
bool First_Gear_Lockout(const StageConfig& s) {
    return s.flags & kFirstGearLockoutBit;
}
void SetFirst_Gear_Lockout(StageConfig& s, bool on) {
    SetBits(s.flags, kFirstGearLockoutBit, on);
}

const std::array<RpmMultiplierChoice, kRpmMultiplierChoiceCount>& RpmMultiplierChoices() {
    return kChoices;
}

std::int8_t RpmMultiplierValue(int index) {
    if (index < 0 || index >= kRpmMultiplierChoiceCount) {
        return kChoices[0].value;
    }
    return kChoices[static_cast<std::size_t>(index)].value;
}

int RpmMultiplierIndex(std::int8_t value) {
    for (int i = 0; i < kRpmMultiplierChoiceCount; ++i) {
        if (kChoices[static_cast<std::size_t>(i)].value == value) {
            return i;
        }
    }
    return 0;
}

}  // namespace zentrik
