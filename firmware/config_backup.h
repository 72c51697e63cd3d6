#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "link/upgrade_handler.h"

namespace zentrik {

// Where the backup of the controller's configuration before an upgrade goes:
// "<folder>zentrik-<serial>-<date>.zcfg", the serial number as its 16 hexadecimal digits
// ("unknown" when the version check that reports it was skipped), with "-2", "-3", ... before
// the extension when that name is taken, so that no earlier backup is ever replaced. `folder`
// ends in its separator. Empty when no free name is found.
std::string BackupFilePath(const std::string& folder, const std::optional<ControllerSerial>& serial,
                           std::string_view date);

}  // namespace zentrik
