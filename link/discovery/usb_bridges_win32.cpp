// The controller's bridges that no driver serves, from the system's device tree: the present
// USB devices (and interfaces) with the controller's ids whose device node has a problem code.
#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

#include "link/discovery/com_port_devices.h"
#include "link/discovery/usb_bridges.h"

namespace zentrik {
namespace {

std::string DeviceId(DEVINST node) {
    char id[MAX_DEVICE_ID_LEN + 1] = {};
    return CM_Get_Device_IDA(node, id, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS ? id : "";
}

std::string ParentId(DEVINST node) {
    DEVINST parent = 0;
    return CM_Get_Parent(&parent, node, 0) == CR_SUCCESS ? DeviceId(parent) : "";
}

}  // namespace

std::vector<UsbBridge> UnservedControllerBridges() {
    std::vector<UsbBridge> bridges;
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return bridges;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        SerialDeviceInfo identity;
        SetUsbIdentity(identity, DeviceId(device.DevInst), ParentId(device.DevInst));
        UsbBridge bridge;
        bridge.vendorId = identity.vendorId.value_or(0);
        bridge.productId = identity.productId.value_or(0);
        ULONG status = 0;
        ULONG problem = 0;
        if (!HasControllerIds(bridge) ||
            CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) != CR_SUCCESS ||
            (status & DN_HAS_PROBLEM) == 0) {
            continue;
        }
        bridge.serial = identity.serial;
        bridge.driverWorking = false;
        bridge.problemCode = static_cast<int>(problem);
        bridges.push_back(std::move(bridge));
    }
    SetupDiDestroyDeviceInfoList(set);
    return bridges;
}

}  // namespace zentrik
