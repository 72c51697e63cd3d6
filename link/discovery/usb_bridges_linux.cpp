// The controller's bridges that no driver serves, from udev: a USB device with the
// controller's ids and no tty below it (the cp210x driver makes one for each bridge it binds).
#include <libudev.h>

#include "link/discovery/bridge_identity.h"
#include "link/discovery/usb_bridges.h"

namespace zentrik {
namespace {

// The devices below `parent` of a subsystem, as a udev enumeration; nullptr on failure.
udev_enumerate* ChildrenOf(udev* context, udev_device* parent, const char* subsystem) {
    udev_enumerate* children = udev_enumerate_new(context);
    if (children == nullptr) {
        return nullptr;
    }
    if (udev_enumerate_add_match_parent(children, parent) < 0 ||
        udev_enumerate_add_match_subsystem(children, subsystem) < 0 ||
        udev_enumerate_scan_devices(children) < 0) {
        udev_enumerate_unref(children);
        return nullptr;
    }
    return children;
}

// Whether a tty hangs below the device; `driver` gets the first driver an interface has.
bool HasTty(udev* context, udev_device* usb, std::string& driver) {
    bool tty = false;
    if (udev_enumerate* children = ChildrenOf(context, usb, "tty")) {
        tty = udev_enumerate_get_list_entry(children) != nullptr;
        udev_enumerate_unref(children);
    }
    if (udev_enumerate* children = ChildrenOf(context, usb, "usb")) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(children)) {
            udev_device* child =
                udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (child == nullptr) {
                continue;
            }
            const char* name = udev_device_get_driver(child);
            const char* type = udev_device_get_devtype(child);
            if (driver.empty() && name != nullptr && type != nullptr &&
                std::string_view(type) == "usb_interface") {
                driver = name;
            }
            udev_device_unref(child);
        }
        udev_enumerate_unref(children);
    }
    return tty;
}

}  // namespace

std::vector<UsbBridge> UnservedControllerBridges() {
    std::vector<UsbBridge> bridges;
    udev* context = udev_new();
    if (context == nullptr) {
        return bridges;
    }
    udev_enumerate* enumerate = udev_enumerate_new(context);
    if (enumerate != nullptr && udev_enumerate_add_match_subsystem(enumerate, "usb") >= 0 &&
        udev_enumerate_add_match_property(enumerate, "DEVTYPE", "usb_device") >= 0 &&
        udev_enumerate_scan_devices(enumerate) >= 0) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            udev_device* usb =
                udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (usb == nullptr) {
                continue;
            }
            const char* vendor = udev_device_get_sysattr_value(usb, "idVendor");
            const char* product = udev_device_get_sysattr_value(usb, "idProduct");
            UsbBridge bridge;
            bridge.vendorId = vendor ? ParseUsbId(vendor).value_or(0) : 0;
            bridge.productId = product ? ParseUsbId(product).value_or(0) : 0;
            if (HasControllerIds(bridge) && !HasTty(context, usb, bridge.interfaceDriver)) {
                const char* serial = udev_device_get_sysattr_value(usb, "serial");
                bridge.serial = serial ? serial : "";
                bridge.driverWorking = false;
                bridges.push_back(std::move(bridge));
            }
            udev_device_unref(usb);
        }
    }
    if (enumerate != nullptr) {
        udev_enumerate_unref(enumerate);
    }
    udev_unref(context);
    return bridges;
}

}  // namespace zentrik
