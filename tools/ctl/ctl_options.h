#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_difference.h"

namespace zentrik {

enum class CtlCommand {
    Info,
    Download,
    Upload,
    Compare,
    Check,
    Upgrade,
    Scan,
    Ports,
    Sheet,
    History,
    Doctor
};

// What the command line asks for.
struct CtlOptions {
    CtlCommand command = CtlCommand::Info;
    std::string port;          // --port; empty: ZENTRIK_PORT, discovery, CommPort
    std::string ini;           // --ini; empty: the program's own file
    bool yes = false;          // --yes
    std::string firmwareFile;  // upgrade FILE
    std::string sheetFile;     // sheet OUT.html
    std::string configFile;    // --config: a configuration file instead of the INI file's section
    bool verify = false;       // --verify (upload): read the configuration back and compare
    bool backup = false;       // --backup (upgrade): save the controller's configuration first
    bool correct = false;      // --correct (upload): correct what the check finds, then upload
    // --only SETTING... (upload): the controller's configuration with only these settings
    // taken from this computer's; empty: all of this computer's.
    std::vector<SettingRef> only;
};

// Result of parsing: options, or a request for the usage text, or an error.
struct CtlParseResult {
    std::optional<CtlOptions> options;
    bool help = false;
    bool version = false;  // --version
    std::string error;     // set when neither options nor help
};

// Parses the arguments after the program name. Options may come before or after the
// command; "--opt=value" and "--opt value" are both accepted.
CtlParseResult ParseCtlArguments(std::span<const std::string_view> args);

}  // namespace zentrik
