#pragma once

#include <cstdint>
#include <string>

namespace zentrik {

// What stood in the way when a serial device did not open.
enum class OpenFailureKind {
    None,              // it opened (error 0)
    PermissionDenied,  // the user may not read and write the device
    Busy,              // another program holds the device
    Gone,              // the device is not there (any more)
    Other,
};

// What the help text is made from; OpenFailureHelp gathers it from the system.
struct OpenFailureFacts {
    OpenFailureKind kind = OpenFailureKind::None;
    std::string devicePath;
    // The group that owns the device node, when it is one a user could join (not root).
    std::string deviceGroup;
    std::string userName;
    // The group database lists the user in deviceGroup, and this login does have it.
    bool userListedInGroup = false;
    bool sessionHasGroup = false;
    // The system's own text for the error.
    std::string errorText;
};

// The help shown below "... is not available" when a serial device cannot be opened: why,
// from the open's error code (errno on Linux, GetLastError() on Windows), and what to do
// about it. Empty for error 0. Plain text, lines separated by '\n'.
//
//   std::string help = OpenFailureHelp(port.LastError(), "/dev/ttyUSB0");
std::string OpenFailureHelp(std::int32_t error, const std::string& devicePath);

// The two halves of OpenFailureHelp: the facts (platform part: the error's kind and text,
// the device's group, the user) and the text made from them.
OpenFailureFacts GatherOpenFailureFacts(std::int32_t error, const std::string& devicePath);
std::string OpenFailureHelpText(const OpenFailureFacts& facts);

// The system's own text for an error code of the serial layer (strerror on POSIX systems,
// FormatMessage on Windows, without the trailing full stop).
std::string SystemErrorText(std::int32_t error);

}  // namespace zentrik
