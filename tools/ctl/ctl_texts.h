#pragma once

// Fixed texts of the command-line front end. The link's and the upgrade's own message texts
// are printed as they are; these are the tool's additions around them.

namespace zentrik::ctl_texts {

inline constexpr const char* kProgramName = "zentrikctl";

inline constexpr const char* kUsage =
    "Usage: zentrikctl [--port DEVICE] [--ini FILE] [--yes] [--config FILE] [--verify]\n"
    "                  [--correct] [--only SETTING]... [--backup] COMMAND\n"
    "\n"
    "Commands:\n"
    "  info           print the controller's serial number and firmware version\n"
    "  download       download the controller's configuration into the INI file\n"
    "  upload         upload the INI file's configuration to the controller\n"
    "  compare        print each setting in which the controller's configuration differs\n"
    "                 from the INI file's (or the --config file's), one a line\n"
    "  check          print each value of the configuration the form would not allow, one a\n"
    "                 line: what upload refuses to send\n"
    "  upgrade FILE   upgrade the controller's firmware from an image file (*.eep)\n"
    "  scan           print the device path of the attached controller\n"
    "  ports          list the serial devices: USB id, serial number, whether each is\n"
    "                 the controller and whether you may open it\n"
    "  sheet OUT      write the setup sheet of the INI file's configuration (or the\n"
    "                 --config file's) to OUT, a web page to print; no controller is used\n"
    "  doctor         say what stands between this computer and the controller (nothing\n"
    "                 plugged in, a missing driver, another device, a busy or forbidden\n"
    "                 port, no answer) and what to do; exit 0 only when it answers\n"
    "  history        list the configurations the controller was seen to hold, newest\n"
    "                 first: when, event, serial number, file\n"
    "\n"
    "Options:\n"
    "  --port DEVICE  use this serial device, a path or usb:VVVV:PPPP:SERIAL wherever it is\n"
    "                 plugged in (else the device chosen in the window, else\n"
    "                 ZENTRIK_PORT, else discovery, else the configured CommPort)\n"
    "  --ini FILE     use this INI file instead of the program's own\n"
    "  --yes          answer Yes to every Yes/No question\n"
    "  --config FILE  download, upload, compare, check and sheet use this configuration\n"
    "                 file (.zcfg) instead of the INI file's configuration; download writes\n"
    "                 it. A file that lacks settings is refused\n"
    "  --verify       upload: read the configuration back and fail unless the controller\n"
    "                 holds what was sent (also on when the INI file sets VerifyUpload=1)\n"
    "  --correct      upload: first correct what the check finds, as the form would\n"
    "  --only SETTING upload: send the controller's configuration with only this setting\n"
    "                 (named as compare prints it, e.g. \"Stage 1 RPM Cutoff\"; repeat for\n"
    "                 more) taken from this computer's; the check applies to the result\n"
    "  --backup       upgrade: first save the controller's configuration as a .zcfg file in\n"
    "                 the user's data folder (also on with BackupBeforeUpgrade=1)\n"
    "  --help         show this text\n"
    "  --version      show the program's version\n"
    "\n"
    "Exit status: 0 the command completed (compare: the configurations match; check: nothing\n"
    "found), 1 it failed, 2 usage error, 3 compare found differences or check found problems,\n"
    "4 the controller acknowledged an upload but reading it back failed.\n";

// The ports command.
inline constexpr const char* kPortsHeading[] = {"DEVICE", "USB ID", "SERIAL", "CONTROLLER",
                                                "ACCESS"};
inline constexpr const char* kUsbIdFormat = "%04x:%04x";
inline constexpr const char* kNone = "-";
inline constexpr const char* kYes = "yes";
inline constexpr const char* kNo = "no";
inline constexpr const char* kOverrideController = "yes (ZENTRIK_PORT)";
inline constexpr const char* kNoAccessFormat = "no (%s)";
inline constexpr const char* kNoSerialDevices = "no serial devices found";

// The timed notices of the window, printed instead.
inline constexpr const char* kDownloadedNotice =
    "The config was downloaded from the controller successfully.";
inline constexpr const char* kUploadedNotice =
    "The config was uploaded to the controller successfully.";

// Questions answered without asking.
inline constexpr const char* kAnsweredYes = "answered Yes (--yes)";
inline constexpr const char* kAnsweredNo = "answered No (stdin is not a terminal; use --yes)";
inline constexpr const char* kAnsweredAbort = "answered Abort (stdin is not a terminal)";
inline constexpr const char* kYesNoPrompt = "[y/n] ";
inline constexpr const char* kAbortRetryIgnorePrompt = "[a]bort, [r]etry or [i]gnore? ";

// Firmware progress.
inline constexpr const char* kProgressFormat = "Sending firmware: %d%% (%d of %d words)";
inline constexpr const char* kCheckingChecksum = "Checking firmware checksum";
inline constexpr const char* kUpgradeSucceeded = "Firmware upgrade complete.";

// Failures of a command, after whatever the link reported.
inline constexpr const char* kInfoFailed = "no controller info was received";
inline constexpr const char* kDownloadFailed = "the configuration was not downloaded";
inline constexpr const char* kOnlyDownloadFailed =
    "the controller's configuration was not downloaded; nothing was uploaded";
inline constexpr const char* kUploadFailed = "the configuration was not uploaded";
inline constexpr const char* kUpgradeFailed = "the firmware upgrade did not complete";
inline constexpr const char* kUpgradeDeclined = "the firmware upgrade was not started";
inline constexpr const char* kUpgradeBusy = "a firmware upgrade is already running";
inline constexpr const char* kStalled = "the link stopped without completing the command";
inline constexpr const char* kIniWriteFailedFormat = "cannot write the INI file %s";
inline constexpr const char* kUnitTimesWriteFailedFormat = "cannot write the unit times to %s";
inline constexpr const char* kNoController = "no controller is attached";
inline constexpr const char* kIdentityAbsentFormat = "no USB serial device %s is plugged in";
inline constexpr const char* kCompareFailed = "the controller's configuration was not downloaded";
// The check before an upload: each problem on a line of its own, after one of the prefixes,
// then why nothing was sent; and what check says when it finds nothing.
inline constexpr const char* kProblemPrefix = "Check Before Upload: ";
inline constexpr const char* kCorrectedPrefix = "corrected: ";
inline constexpr const char* kNotUploadedProblems =
    "the configuration was not uploaded (--correct corrects these values as the form would)";
inline constexpr const char* kCheckPassed = "The configuration holds only values the form allows.";
// A --config file that cannot be used (printf format: the file, then why).
inline constexpr const char* kConfigFileFormat = "%s: %s";
// The history command: one entry a line (printf format: when, event, serial, path).
inline constexpr const char* kHistoryLineFormat = "%s  %-8s  %-16s  %s";
inline constexpr const char* kHistoryNotRecordedFormat = "warning: %s";
inline constexpr const char* kNoHistoryFolder =
    "there is no folder for the history (neither XDG_DATA_HOME nor HOME is set)";
inline constexpr const char* kNoPortNumber =
    "a controller is attached but its serial port could not be determined";

}  // namespace zentrik::ctl_texts
