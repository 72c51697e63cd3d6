#include "shell/port_choices.h"

#include <algorithm>

#include "base/text_format.h"
#include "link/discovery/port_identity.h"
#include "shell/shell_texts.h"

namespace zentrik {

namespace texts = shell_texts;

namespace {

constexpr std::string_view kDeviceFolder = "/dev/";
constexpr const char* kOverrideMark = "  (ZENTRIK_PORT)";
constexpr const char* kNotListedMark = "  (not listed by the system)";
constexpr const char* kNotPluggedMark = "  (not plugged in)";

}  // namespace

bool IsChosenPort(const PortChoice& choice, const std::string& kept) {
    if (choice.device.empty()) {
        return kept.empty();
    }
    return !kept.empty() && (choice.device == kept || choice.path == kept);
}

std::string PortChoiceLabel(const SerialDeviceInfo& device) {
    std::string name = device.displayName;
    if (name.starts_with(kDeviceFolder)) {
        name.erase(0, kDeviceFolder.size());
    }
    std::string identity;
    if (device.vendorId && device.productId) {
        identity = FormatText(texts::kPortIdentityFormat, *device.vendorId, *device.productId);
        if (!device.serial.empty()) {
            identity += "  " + device.serial;
        }
    }
    return FormatText(texts::kPortItemFormat, name.c_str(), identity.c_str(),
                      device.isController ? texts::kPortControllerMark : "");
}

std::vector<PortChoice> BuildPortChoices(const std::vector<SerialDeviceInfo>& devices,
                                         const std::string& kept, const std::string& portOverride,
                                         int firstId, int lastId) {
    std::vector<PortChoice> choices;
    choices.push_back(
        {texts::kIdPortAutomatic, texts::kPortAutomatic.caption, {}, kept.empty(), {}});
    int id = firstId;
    const auto add = [&](std::string label, std::string device, std::string path) {
        if (id > lastId) {
            return;
        }
        PortChoice choice{id++, std::move(label), std::move(device), false, std::move(path)};
        choice.checked = IsChosenPort(choice, kept);
        choices.push_back(std::move(choice));
    };
    for (const SerialDeviceInfo& device : devices) {
        add(PortChoiceLabel(device), KeptPortDevice(device), device.devicePath);
    }
    const auto listed = [&](const std::string& device) {
        return std::any_of(choices.begin(), choices.end(), [&](const PortChoice& choice) {
            return !choice.device.empty() && (choice.device == device || choice.path == device);
        });
    };
    if (!portOverride.empty() && !listed(portOverride)) {
        add(portOverride + kOverrideMark, portOverride, portOverride);
    }
    if (!kept.empty() && !listed(kept)) {
        add(kept + (ParsePortIdentity(kept) ? kNotPluggedMark : kNotListedMark), kept, kept);
    }
    return choices;
}

}  // namespace zentrik
