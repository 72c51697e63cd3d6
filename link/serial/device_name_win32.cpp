#include "link/serial/device_name.h"

namespace zentrik {

std::string PlatformDeviceName(int portNumber) {
    return "\\\\.\\COM" + std::to_string(portNumber);
}

std::string PlatformPortName(int portNumber) {
    return "COM" + std::to_string(portNumber);
}

}  // namespace zentrik
