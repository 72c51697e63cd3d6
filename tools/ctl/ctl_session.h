#pragma once

#include <iosfwd>
#include <string>

#include "config/app_settings.h"
#include "ctl/console_host.h"
#include "ctl/console_loop.h"
#include "ctl/console_questions.h"
#include "ctl/ctl_options.h"
#include "ctl/port_event_source.h"
#include "editor/upload_check.h"
#include "link/link_port.h"

namespace zentrik {

class CPortScanner;

// Exit statuses of the tool.
inline constexpr int kCtlExitOk = 0;
inline constexpr int kCtlExitFailed = 1;
inline constexpr int kCtlExitUsage = 2;
inline constexpr int kCtlExitDiffer = 3;  // compare: the configurations differ; check: problems
// upload with verify: the controller acknowledged the upload, but its read-back failed
inline constexpr int kCtlExitUnverified = 4;

// Where a session reads answers and writes its output.
struct CtlConsole {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool interactive = false;  // `in` is a terminal the user answers on
};

// One run of a link command (info, download, upload, compare, upgrade) over a port: finds and opens
// the controller's port, gives the command to the link and runs the console loop until the
// link is idle again, then judges by what the link reported whether the command completed.
class CtlSession {
  public:
    // `settings` are loaded ("Zentrik Settings" read, the INI path fixed); `sink` is where
    // the port posts its notifications, `source` where the loop takes them from (normally
    // one PortEventQueue).
    CtlSession(const CtlOptions& options, AppSettings& settings, LinkPort& port,
               PortEventSink* sink, PortEventSource& source, const CtlConsole& console);

    // Writes the send time of every firmware unit to this file after an upgrade.
    void SetUnitTimesPath(std::string path) { m_unitTimesPath = std::move(path); }

    // Runs the command; returns the exit status.
    int Run(CPortScanner& scanner);

    ConsoleHost& Host() { return m_host; }

  private:
    int Fail(const std::string& text);

    const CtlOptions& m_options;
    AppSettings& m_settings;
    LinkPort& m_port;
    PortEventSink* m_sink;
    CtlConsole m_console;
    ConsoleLoop m_loop;
    ConsoleQuestions m_questions;
    ConsoleHost m_host;
    std::string m_unitTimesPath;
};

// This computer's configuration: the --config file's, else the INI file's, with what the file
// held that its fields could not. False (and the reason told) when the --config file cannot be
// used: not there, no configuration, lacking settings.
bool LoadConfiguration(const CtlOptions& options, const AppSettings& settings, ConfigDocument& doc,
                       LoadedFile& loaded, const CtlConsole& console);

// The check command: prints each problem the check before an upload finds, one a line.
int RunCheck(const CtlOptions& options, const AppSettings& settings, const CtlConsole& console);

// The scan command: prints the device path discovery finds for the controller, and on the
// error stream why the user may not open it, when that is so.
int RunScan(AppSettings& settings, CPortScanner& scanner, const CtlConsole& console);

// The sheet command: writes the setup sheet of this computer's configuration (the INI file's
// or the --config file's). The controller is not used, so the sheet names none.
int RunSheet(const CtlOptions& options, AppSettings& settings, const CtlConsole& console);

// The history command: the entries of the history in `folder`, newest first, one a line (when,
// event, serial number or "-", file). No controller is used.
int RunHistory(const std::string& folder, const CtlConsole& console);

}  // namespace zentrik
