#pragma once

#include <string>
#include <vector>

#include "ctl/ctl_session.h"
#include "link/discovery/serial_device_list.h"

namespace zentrik {

// The ports command: one line per serial device with its USB id, serial number, whether it
// is the controller and whether the user may open it; with ZENTRIK_PORT set, that device
// first, as the controller. When the controller may not be opened, the help for that goes
// to the error stream. Returns the exit status.
int RunPorts(const std::vector<SerialDeviceInfo>& devices, const std::string& portOverride,
             const CtlConsole& console);

}  // namespace zentrik
