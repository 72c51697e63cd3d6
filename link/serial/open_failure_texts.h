#pragma once

// Fixed texts of the help given when a serial device cannot be opened (printf formats).

namespace zentrik::open_failure_texts {

inline constexpr const char* kPermissionFormat = "Permission to open %s was denied.";
inline constexpr const char* kPackageRule =
    "The Zentrik package's udev rule gives the user at the computer access to the controller "
    "when it is plugged in: if the package is installed, unplug the controller and plug it in "
    "again.";
inline constexpr const char* kJoinGroupFormat =
    "Without the package, join the group that owns the device, \"%s\", then log out and log "
    "in again:\n    sudo usermod -aG %s %s";
inline constexpr const char* kLogInAgainFormat =
    "You are a member of the group that owns the device, \"%s\", but this login started "
    "before you joined it: log out and log in again.";
inline constexpr const char* kAskAdministrator =
    "Without the package, ask the administrator for read and write access to the device.";

inline constexpr const char* kBusyFormat =
    "%s is in use by another program, for example a terminal program or ModemManager. Close "
    "that program, then try again.";
inline constexpr const char* kBusyModemManager =
    "The Zentrik package's udev rule keeps ModemManager away from the controller from the "
    "next time it is plugged in.";

inline constexpr const char* kGoneFormat =
    "%s is not there: the controller is unplugged, or its USB connection was reset. Plug it "
    "in, then try again.";

inline constexpr const char* kOtherFormat = "The system reported: %s.";

}  // namespace zentrik::open_failure_texts
