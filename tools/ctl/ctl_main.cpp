#include "ctl/ctl_main.h"

#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

#include "base/text_format.h"
#include "config/app_settings.h"
#include "config/history_store.h"
#include "ctl/ctl_doctor.h"
#include "ctl/ctl_options.h"
#include "ctl/ctl_platform.h"
#include "ctl/ctl_ports.h"
#include "ctl/ctl_session.h"
#include "ctl/ctl_texts.h"
#include "ctl/port_event_queue.h"
#include "link/controller_port_adapter.h"
#include "link/discovery/port_identity.h"
#include "link/discovery/port_scanner.h"
#include "link/serial/device_name.h"
#include "tool_version.h"

namespace zentrik {

namespace texts = ctl_texts;

int CtlMain(int argc, char** argv) {
    std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const CtlParseResult parsed = ParseCtlArguments(args);
    if (parsed.help) {
        std::cout << texts::kUsage;
        return kCtlExitOk;
    }
    if (parsed.version) {
        std::cout << ToolVersionText(texts::kProgramName) << std::endl;
        return kCtlExitOk;
    }
    if (!parsed.options) {
        std::cerr << texts::kProgramName << ": " << parsed.error << "\n\n" << texts::kUsage;
        return kCtlExitUsage;
    }
    CtlOptions options = *parsed.options;
    // A device named by its USB identity is the one plugged in now that carries it.
    if (ParsePortIdentity(options.port)) {
        const std::optional<std::string> device = ResolvePortDevice(options.port);
        if (!device) {
            std::cerr << texts::kProgramName << ": "
                      << FormatText(texts::kIdentityAbsentFormat, options.port.c_str())
                      << std::endl;
            return kCtlExitFailed;
        }
        options.port = *device;
    }

    // --port works exactly like ZENTRIK_PORT: discovery takes it as the attached controller
    // and the link opens it (and names it in its messages). Set before any thread starts.
    if (!options.port.empty()) {
        SetProcessVariable(kPortOverrideVariable, options.port);
    }

    // The settings are read, never written back: the tool leaves "Zentrik Settings" alone.
    AppSettings settings;
    if (!options.ini.empty()) {
        settings.SetPath(options.ini);
    }
    settings.LoadSettings();
    // --port also wins over a device chosen in the window (PortDevice), for this run only.
    if (!options.port.empty()) {
        settings.PortDevice = options.port;
    }

    const CtlConsole console{std::cin, std::cout, std::cerr, StandardInputIsTerminal()};
    CPortScanner scanner;
    if (options.command == CtlCommand::Scan) {
        return RunScan(settings, scanner, console);
    }
    if (options.command == CtlCommand::Check) {
        return RunCheck(options, settings, console);
    }
    if (options.command == CtlCommand::Ports) {
        return RunPorts(ListSerialDevices(), PortOverride(), console);
    }
    if (options.command == CtlCommand::Sheet) {
        return RunSheet(options, settings, console);
    }
    if (options.command == CtlCommand::History) {
        return RunHistory(DefaultHistoryFolder(), console);
    }
    if (options.command == CtlCommand::Doctor) {
        return RunDoctor(settings, scanner, console);
    }

    // The queue outlives the port, whose event thread posts into it.
    PortEventQueue events;
    if (!events.Ok()) {
        std::cerr << texts::kProgramName << ": cannot create an event queue" << std::endl;
        return kCtlExitFailed;
    }
    ControllerPortAdapter port;
    CtlSession session(options, settings, port, &events, events, console);
    if (const char* times = std::getenv(kUnitTimesVariable); times != nullptr && *times) {
        session.SetUnitTimesPath(times);
    }
    return session.Run(scanner);
}

}  // namespace zentrik
