#include "link/discovery/connection_diagnosis.h"

#include <algorithm>

#include "base/text_format.h"
#include "link/discovery/bridge_identity.h"
#include "link/discovery/diagnosis_texts.h"
#include "link/discovery/port_holders.h"

namespace zentrik {

namespace texts = diagnosis_texts;

namespace {

bool IsController(const UsbBridge& bridge) {
    return HasControllerIds(bridge) && bridge.driverWorking && HasControllerSerial(bridge.serial);
}

std::string SerialPart(const UsbBridge& bridge) {
    return bridge.serial.empty() ? std::string()
                                 : FormatText(texts::kSerialFormat, bridge.serial.c_str());
}

std::string DriverText(const UsbBridge& bridge) {
    const std::string serial = SerialPart(bridge);
    if (bridge.problemCode != 0) {
        std::string why;
        for (const texts::ProblemText& problem : texts::kProblemTexts) {
            if (problem.code == bridge.problemCode) {
                why = FormatText(texts::kProblemFormat, problem.text);
            }
        }
        return FormatText(texts::kDriverProblemFormat, bridge.vendorId, bridge.productId,
                          serial.c_str(), bridge.problemCode, why.c_str());
    }
    const std::string driver =
        bridge.interfaceDriver.empty()
            ? std::string()
            : FormatText(texts::kInterfaceDriverFormat, bridge.interfaceDriver.c_str());
    return FormatText(texts::kNoDriverBoundFormat, bridge.vendorId, bridge.productId,
                      serial.c_str(), driver.c_str());
}

std::string NotControllerText(const std::vector<UsbBridge>& bridges) {
    std::string lines;
    for (const UsbBridge& bridge : bridges) {
        const std::string port = bridge.displayName.empty()
                                     ? std::string()
                                     : FormatText(texts::kOnPortFormat, bridge.displayName.c_str());
        if (!lines.empty()) {
            lines += '\n';
        }
        lines += FormatText(texts::kBridgeLineFormat, bridge.vendorId, bridge.productId,
                            SerialPart(bridge).c_str(), port.c_str());
    }
    return FormatText(texts::kNotControllerFormat, lines.c_str(), kControllerVendorId,
                      kControllerProductId, std::string(kControllerSerialPrefix).c_str());
}

// Cases 1 to 3, from the bridges alone; nothing when the controller's bridge is served.
std::optional<ConnectionDiagnosis> BridgeFinding(const std::vector<UsbBridge>& bridges) {
    if (bridges.empty()) {
        return ConnectionDiagnosis{ConnectionCase::NoBridge, texts::kNoBridge,
                                   texts::kNoBridgePane};
    }
    const auto unserved = std::find_if(bridges.begin(), bridges.end(), [](const UsbBridge& b) {
        return HasControllerIds(b) && !b.driverWorking;
    });
    if (unserved != bridges.end()) {
        return ConnectionDiagnosis{ConnectionCase::DriverMissing, DriverText(*unserved),
                                   texts::kDriverPane};
    }
    if (std::none_of(bridges.begin(), bridges.end(), IsController)) {
        return ConnectionDiagnosis{ConnectionCase::NotController, NotControllerText(bridges),
                                   texts::kNotControllerPane};
    }
    return std::nullopt;
}

}  // namespace

ConnectionDiagnosis DiagnoseConnection(const ConnectionFacts& facts) {
    const OpenFailureKind failure = facts.openFailure.kind;
    const bool open = !facts.device.empty() && failure == OpenFailureKind::None;
    if (!open) {
        // A device the user named is taken as the controller unless it is not there.
        if (!facts.deviceNamed || facts.device.empty() || failure == OpenFailureKind::Gone) {
            if (std::optional<ConnectionDiagnosis> finding = BridgeFinding(facts.bridges)) {
                return *finding;
            }
        }
        if (facts.device.empty()) {
            return {ConnectionCase::PortFailed, texts::kNoPortFound, texts::kFailedPane};
        }
        std::string help = OpenFailureHelpText(facts.openFailure);
        switch (failure) {
            case OpenFailureKind::Busy: {
                std::string holders;
                for (const std::string& holder : facts.holders) {
                    holders += holders.empty() ? "" : ", ";
                    holders += holder;
                }
                if (!holders.empty()) {
                    help += '\n' + FormatText(texts::kHoldersFormat, holders.c_str());
                }
                return {ConnectionCase::PortBusy, help, texts::kBusyPane};
            }
            case OpenFailureKind::PermissionDenied:
                return {ConnectionCase::PortDenied, help, texts::kDeniedPane};
            default:
                return {ConnectionCase::PortFailed, help, texts::kFailedPane};
        }
    }
    switch (facts.answer) {
        case LinkAnswer::Silent:
            return {ConnectionCase::NotAnswering, texts::kNoAnswer, texts::kNoAnswerPane};
        case LinkAnswer::NotAsked:
            return {ConnectionCase::NotAsked,
                    FormatText(texts::kNotAskedFormat, facts.device.c_str()),
                    {}};
        case LinkAnswer::Answered:
            break;
    }
    return {ConnectionCase::Connected,
            FormatText(texts::kConnectedFormat, facts.device.c_str(), facts.controllerInfo.c_str()),
            {}};
}

ConnectionFacts GatherConnectionFacts(const std::string& device, bool deviceNamed, int openError,
                                      LinkAnswer answer, std::string controllerInfo) {
    ConnectionFacts facts;
    facts.bridges = AttachedUsbBridges();
    facts.device = device;
    facts.deviceNamed = deviceNamed;
    facts.answer = answer;
    facts.controllerInfo = std::move(controllerInfo);
    if (!device.empty() && openError != 0) {
        facts.openFailure = GatherOpenFailureFacts(openError, device);
        if (facts.openFailure.kind == OpenFailureKind::Busy) {
            facts.holders = PortHolders(device);
        }
    }
    return facts;
}

}  // namespace zentrik
