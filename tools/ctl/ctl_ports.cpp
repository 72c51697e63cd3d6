#include "ctl/ctl_ports.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <ostream>

#include "base/text_format.h"
#include "ctl/ctl_texts.h"
#include "link/serial/open_failure_help.h"

namespace zentrik {

namespace texts = ctl_texts;

namespace {

constexpr std::size_t kColumns = std::size(texts::kPortsHeading);
using Row = std::array<std::string, kColumns>;

std::string AccessText(int accessError) {
    return accessError == 0
               ? texts::kYes
               : FormatText(texts::kNoAccessFormat, SystemErrorText(accessError).c_str());
}

Row RowOf(const SerialDeviceInfo& device) {
    const bool usb = device.vendorId && device.productId;
    return {
        device.displayName,
        usb ? FormatText(texts::kUsbIdFormat, *device.vendorId, *device.productId) : texts::kNone,
        device.serial.empty() ? texts::kNone : device.serial,
        device.isController ? texts::kYes : texts::kNo, AccessText(device.accessError)};
}

}  // namespace

int RunPorts(const std::vector<SerialDeviceInfo>& devices, const std::string& portOverride,
             const CtlConsole& console) {
    std::vector<Row> rows;
    // The device the tools use as the controller, and whether it can be opened.
    std::string controller;
    int controllerAccess = 0;
    if (!portOverride.empty()) {
        controller = portOverride;
        controllerAccess = DeviceAccessError(portOverride);
        rows.push_back({portOverride, texts::kNone, texts::kNone, texts::kOverrideController,
                        AccessText(controllerAccess)});
    }
    for (const SerialDeviceInfo& device : devices) {
        rows.push_back(RowOf(device));
        if (controller.empty() && device.isController) {
            controller = device.devicePath;
            controllerAccess = device.accessError;
        }
    }
    if (rows.empty()) {
        console.out << texts::kNoSerialDevices << std::endl;
        return kCtlExitOk;
    }
    std::array<std::size_t, kColumns> widths{};
    rows.insert(rows.begin(),
                Row{texts::kPortsHeading[0], texts::kPortsHeading[1], texts::kPortsHeading[2],
                    texts::kPortsHeading[3], texts::kPortsHeading[4]});
    for (const Row& row : rows) {
        for (std::size_t c = 0; c < kColumns; ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < kColumns; ++c) {
            line += row[c];
            if (c + 1 < kColumns) {
                line.append(widths[c] - row[c].size() + 2, ' ');
            }
        }
        console.out << line << '\n';
    }
    console.out.flush();
    if (!controller.empty() && controllerAccess != 0) {
        console.err << texts::kProgramName << ": " << OpenFailureHelp(controllerAccess, controller)
                    << std::endl;
    }
    return kCtlExitOk;
}

}  // namespace zentrik
