#include "link/serial/device_name.h"

namespace zentrik {

// The CP210x driver's nodes.
std::string PlatformDeviceName(int portNumber) {
    return "/dev/ttyUSB" + std::to_string(portNumber);
}

std::string PlatformPortName(int portNumber) {
    return PlatformDeviceName(portNumber);
}

}  // namespace zentrik
