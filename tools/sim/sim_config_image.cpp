#include "sim/sim_config_image.h"

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "config/config_persistence.h"

namespace zentrik {

namespace {

constexpr std::uint8_t kStage1Curve[kPercentPoints] = {0,  4,  7,  20, 32, 32, 27, 21, 16, 13,
                                                       12, 14, 21, 36, 54, 69, 79, 87, 93, 100};
constexpr std::uint8_t kStage2Curve[kPercentPoints] = {0,  5,  10, 11, 10, 10, 11, 16, 28, 42,
                                                       52, 56, 55, 54, 53, 54, 59, 73, 89, 100};

// Pressures as the record stores them: trunc(psi x 256).
constexpr std::int16_t Fixed(double psi) {
    return static_cast<std::int16_t>(psi * 256.0);
}

StageConfig DefaultStage(int frequency, int rpmMax, double mapTrigger, double mapEnd, double mapMax,
                         const std::uint8_t (&curve)[kPercentPoints]) {
    StageConfig s{};
    SetPresent(s, true);
    s.Frequency = static_cast<std::uint8_t>(frequency);
    s.RPM_Trigger = 3000;
    s.RPM_Max = static_cast<std::int16_t>(rpmMax);
    s.MAP_Trigger = Fixed(mapTrigger);
    s.MAP_End = Fixed(mapEnd);
    // The tool stores 20.04 as a single-precision number; trunc(20.04f x 256) is 5130 either way.
    s.MAP_Max = Fixed(static_cast<float>(mapMax));
    s.Delay_Time = 0;
    s.Ramp_Time = 100;
    std::memcpy(s.Percent, curve, sizeof(s.Percent));
    return s;
}

// Converts the ten sixteen-bit fields between host order and big-endian, in place.
void SwapWireFields(std::uint8_t* image) {
    if constexpr (std::endian::native == std::endian::little) {
        for (std::size_t offset : kBigEndianOffsets) {
            std::swap(image[offset], image[offset + 1]);
        }
    }
}

}  // namespace

ControllerConfig DefaultControllerConfig() {
    ControllerConfig c{};
    SetRPM_Present(c, true);
    SetMAP_In_bar(c, false);
    c.RPM_Multiplier = 0;
    c.Input_Type1 = 0;
    c.Input_Type2 = 1;
    c.stage[0] = DefaultStage(15, 5000, 0.0, 10.0, 20.04, kStage1Curve);
    c.stage[1] = DefaultStage(14, 6000, 2.0, 4.0, 40.0, kStage2Curve);
    return c;
}

std::array<std::uint8_t, kConfigSize> WireFromHost(const ControllerConfig& config) {
    std::array<std::uint8_t, kConfigSize> wire;
    std::memcpy(wire.data(), &config, kConfigSize);
    SwapWireFields(wire.data());
    return wire;
}

ControllerConfig HostFromWire(const std::uint8_t* wire) {
    std::array<std::uint8_t, kConfigSize> bytes;
    std::memcpy(bytes.data(), wire, kConfigSize);
    SwapWireFields(bytes.data());
    ControllerConfig config;
    std::memcpy(&config, bytes.data(), kConfigSize);
    return config;
}

std::optional<ControllerConfig> ControllerConfigFromIni(const std::string& path) {
    // AppSettings reads a missing file as all defaults; a named file that is not there is
    // a mistake worth reporting instead.
    std::error_code error;
    if (std::filesystem::is_directory(path, error) || !std::ifstream(path).is_open()) {
        return std::nullopt;
    }
    AppSettings settings;
    settings.SetPath(path);
    ConfigDocument doc;
    LoadConfig(settings, doc.record);
    // The file's pressures are in its own unit; the controller keeps psi x 256.
    SyncDisplayPressures(doc);
    return HostFromWire(ToWireImage(doc).data());
}

}  // namespace zentrik
