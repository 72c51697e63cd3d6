#pragma once

#include "config/app_settings.h"
#include "ctl/ctl_session.h"

namespace zentrik {

class CPortScanner;

// The doctor command: finds the controller's port as the other commands do, opens it, asks
// the controller for its info, and prints what stands in the way (or the controller's serial
// number and firmware version). Exits 0 only when the controller answered.
int RunDoctor(AppSettings& settings, CPortScanner& scanner, const CtlConsole& console);

}  // namespace zentrik
