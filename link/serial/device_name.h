#pragma once

#include <string>

namespace zentrik {

// Environment variable that names a device path to use instead of the numbered port
// (the simulator's pseudo-terminal, for example).
inline constexpr const char* kPortOverrideVariable = "ZENTRIK_PORT";

// The device opened for port number n: ZENTRIK_PORT when it is set and not empty, otherwise
// the platform's name for the port ("\\.\COM<n>" on Windows, "/dev/ttyUSB<n>" on Linux).
std::string ControllerDeviceName(int portNumber);

// The platform's name for port number n, without the override.
std::string PlatformDeviceName(int portNumber);

// The name a user knows port number n by: "COM<n>" on Windows, the device node on Linux.
std::string PlatformPortName(int portNumber);

// The override's value, or an empty string when it is not set.
std::string PortOverride();

}  // namespace zentrik
