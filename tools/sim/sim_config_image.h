#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "config/controller_config.h"

namespace zentrik {

// The configuration a controller holds when it leaves the factory: the same values the tool
// uses when its INI file has no "Zentrik Config" section. Host order, pressures in psi x 256.
ControllerConfig DefaultControllerConfig();

// The controller keeps its record in host order with pressures always in psi x 256, which is
// exactly the wire image apart from the byte order of the ten sixteen-bit fields.
std::array<std::uint8_t, kConfigSize> WireFromHost(const ControllerConfig& config);
ControllerConfig HostFromWire(const std::uint8_t* wire);

// The "Zentrik Config" section of an INI file as the controller would hold it after the tool
// uploaded it (pressures converted to psi when the file is in bar). Keys the file lacks take
// their defaults; nothing when the file cannot be read.
std::optional<ControllerConfig> ControllerConfigFromIni(const std::string& path);

}  // namespace zentrik
