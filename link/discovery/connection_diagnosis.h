#pragma once

#include <string>
#include <vector>

#include "link/discovery/usb_bridges.h"
#include "link/serial/open_failure_help.h"

namespace zentrik {

// What stands between the user and a working connection, in the order it is looked for.
enum class ConnectionCase {
    NoBridge,       // no USB serial bridge at all
    DriverMissing,  // the controller's bridge, but no working driver serves it
    NotController,  // bridges, none of them the controller
    PortBusy,       // the port is held by another program
    PortDenied,     // the user may not open the port
    PortFailed,     // the port did not open for another reason (or there is none)
    NotAnswering,   // the port opened, the controller did not answer within the retries
    NotAsked,       // the port is open, nothing has been asked yet
    Connected,      // the controller answered
};

// How the controller answered on an open port.
enum class LinkAnswer { NotAsked, Silent, Answered };

// Everything the check looks at, gathered by the caller (GatherConnectionFacts below, the
// window or the command-line tool) so that the decision itself sees no system.
struct ConnectionFacts {
    std::vector<UsbBridge> bridges;
    // The device the link opens (empty: none found) and whether it was named by the user or
    // ZENTRIK_PORT rather than found among the bridges; a named device's opening decides.
    std::string device;
    bool deviceNamed = false;
    // Kind None: the port is open. Otherwise why it did not open.
    OpenFailureFacts openFailure;
    std::vector<std::string> holders;  // who holds a busy port (PortHolders)
    LinkAnswer answer = LinkAnswer::NotAsked;
    std::string controllerInfo;  // "Serial Number:...\nFirmware Version:..." once answered
};

struct ConnectionDiagnosis {
    ConnectionCase which = ConnectionCase::NoBridge;
    std::string text;  // the finding and what to do, for the box and the tool
    std::string pane;  // a few words for the status bar; empty when connected
};

ConnectionDiagnosis DiagnoseConnection(const ConnectionFacts& facts);

// Facts from the system around what the link knows: the attached bridges, the open's error
// (with the device's group and its holders), the answer.
ConnectionFacts GatherConnectionFacts(const std::string& device, bool deviceNamed, int openError,
                                      LinkAnswer answer, std::string controllerInfo);

}  // namespace zentrik
