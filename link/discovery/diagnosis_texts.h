#pragma once

// Fixed texts of the connection check (printf formats where they take values): the finding
// in full, and the few words the status bar shows while the window is not connected.

namespace zentrik::diagnosis_texts {

inline constexpr const char* kNoBridge =
    "No controller is plugged in. If it is, try another USB cable: some cables only charge.";
inline constexpr const char* kNoBridgePane = "No controller plugged in";

// The bridge (its USB id, serial number), then why no driver serves it.
inline constexpr const char* kDriverProblemFormat =
    "The controller's USB bridge (%04X:%04X%s) is plugged in, but Windows reports problem "
    "code %d%s.\nInstall the CP210x USB to UART bridge driver from the bridge maker's web "
    "site (or update the device's driver in Device Manager), then unplug the controller and "
    "plug it in again.";
inline constexpr const char* kNoDriverBoundFormat =
    "The controller's USB bridge (%04X:%04X%s) is plugged in, but no cp210x driver is bound "
    "to it%s.\nThe driver comes with the Linux kernel: load it with \"sudo modprobe cp210x\" "
    "(if that fails, install your distribution's kernel modules, on Debian the linux-image "
    "package), then unplug the controller and plug it in again.";
inline constexpr const char* kInterfaceDriverFormat = " (its interface has the \"%s\" driver)";
inline constexpr const char* kSerialFormat = ", serial number %s";
inline constexpr const char* kDriverPane = "Controller driver missing";

// The bridges that are plugged in, one a line.
inline constexpr const char* kNotControllerFormat =
    "A USB serial device is plugged in, but it is not the controller:\n%s\nThe controller "
    "is a %04X:%04X bridge whose serial number begins \"%s\". Plug it in; if it is, try "
    "another USB cable: some cables only charge.";
inline constexpr const char* kBridgeLineFormat = "    %04X:%04X%s%s";
inline constexpr const char* kOnPortFormat = " on %s";
inline constexpr const char* kNotControllerPane = "No controller: another USB serial device";

inline constexpr const char* kHoldersFormat = "The program holding it: %s.";
inline constexpr const char* kBusyPane = "Controller port in use";
inline constexpr const char* kDeniedPane = "No permission for the controller port";
inline constexpr const char* kFailedPane = "Controller port cannot be opened";
inline constexpr const char* kNoPortFound =
    "The controller is plugged in, but the system has given it no serial port. Unplug it and "
    "plug it in again.";

inline constexpr const char* kNoAnswer = "The controller does not answer. Is it powered?";
inline constexpr const char* kNoAnswerPane = "Controller does not answer";

inline constexpr const char* kNotAskedFormat =
    "The controller's port %s is open, but the controller has not been asked yet. Choose Get "
    "Controller Info to ask it.";
// The port, then the controller's info ("Serial Number:...\nFirmware Version:...").
inline constexpr const char* kConnectedFormat = "Connected to the controller on %s.\n%s";

// Windows' problem codes of a device node (CM_PROB_*) that a bridge may show.
struct ProblemText {
    int code;
    const char* text;
};
inline constexpr ProblemText kProblemTexts[] = {
    {1, "the device is not configured correctly"},
    {10, "the device cannot start"},
    {18, "its drivers must be reinstalled"},
    {22, "the device is disabled"},
    {24, "the device is not present or not working properly"},
    {28, "its drivers are not installed"},
    {31, "the device is not working properly"},
    {39, "its driver is corrupted or missing"},
    {43, "Windows stopped the device after it reported problems"},
};
inline constexpr const char* kProblemFormat = " (%s)";

}  // namespace zentrik::diagnosis_texts
