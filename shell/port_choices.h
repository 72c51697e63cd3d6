#pragma once

#include <string>
#include <vector>

#include "link/discovery/serial_device_list.h"

namespace zentrik {

// One item of the Port submenu.
struct PortChoice {
    int id;              // its command id
    std::string label;   // the device, its USB identity where known, the controller marked
    std::string device;  // what choosing it keeps (PortDevice); empty for Automatic
    bool checked = false;
    std::string path;  // the device's path, which an older settings file may keep instead
};

// Whether the item is the device kept in the settings (PortDevice).
bool IsChosenPort(const PortChoice& choice, const std::string& kept);

// The item's label: the port as the user knows it ("COM5", "ttyUSB0"), its USB id and serial
// number, and the controller marked.
std::string PortChoiceLabel(const SerialDeviceInfo& device);

// The Port submenu: Automatic, every serial device listed (kept by its USB identity where it
// has a serial number, else by path), then a device ZENTRIK_PORT names or the settings keep
// that the list lacks; the kept one (or Automatic) ticked. Ids count from `firstId`, at most
// up to `lastId`.
std::vector<PortChoice> BuildPortChoices(const std::vector<SerialDeviceInfo>& devices,
                                         const std::string& kept, const std::string& portOverride,
                                         int firstId, int lastId);

}  // namespace zentrik
