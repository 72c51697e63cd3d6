#include "link/serial/device_name.h"

#include <cstdlib>

namespace zentrik {

std::string PortOverride() {
    const char* value = std::getenv(kPortOverrideVariable);
    return value ? std::string(value) : std::string();
}

std::string ControllerDeviceName(int portNumber) {
    std::string override = PortOverride();
    return override.empty() ? PlatformDeviceName(portNumber) : override;
}

}  // namespace zentrik
