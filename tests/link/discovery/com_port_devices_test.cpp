#include "link/discovery/com_port_devices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zentrik {
namespace {

SerialDeviceInfo Port(const char* name, const char* instanceId, const char* parentId = "") {
    SerialDeviceInfo device = ComPortDevice(name);
    SetUsbIdentity(device, instanceId, parentId);
    return device;
}

TEST(ComPortDevices, IdentityComesFromTheInstanceIdOrForAnInterfaceFromItsParent) {
    const SerialDeviceInfo plain = Port("COM5", "usb\\Vid_10c4&Pid_ea60\\030A0001");
    EXPECT_EQ(plain.devicePath, "\\\\.\\COM5");
    EXPECT_EQ(plain.portNumber, 5);
    EXPECT_EQ(plain.vendorId, 0x10C4);
    EXPECT_EQ(plain.productId, 0xEA60);
    EXPECT_EQ(plain.serial, "030A0001");
    EXPECT_TRUE(plain.isController);

    const char* interface = "USB\\VID_10C4&PID_EA60&MI_00\\6&1A2B&0&0000";
    EXPECT_TRUE(Port("COM12", interface, "USB\\VID_10C4&PID_EA60\\030A0002").isController);
    // A parent that is not the same device gives no serial number.
    for (const char* parent : {"", "USB\\ROOT_HUB30\\4&1&0", "USB\\VID_10C4&PID_EA61\\030A0002",
                               "USB\\VID_10C4&PID_EA60&MI_01\\030A0002"}) {
        const SerialDeviceInfo orphan = Port("COM12", interface, parent);
        EXPECT_EQ(orphan.vendorId, 0x10C4) << parent;
        EXPECT_EQ(orphan.serial, "") << parent;
    }
    // The identity rule holds; a made-up instance part is no serial number.
    EXPECT_FALSE(Port("COM5", "USB\\VID_10C4&PID_EA60\\030a0001").isController);
    EXPECT_FALSE(Port("COMX", "USB\\VID_10C4&PID_EA60\\030A0001").isController);
    EXPECT_EQ(Port("COM5", "USB\\VID_1A86&PID_7523\\5&2A3B4C5D&0&3").serial, "");
    for (const char* id : {"FTDIBUS\\VID_0403+PID_6001+A1B2C3A\\0000", "USB\\VID_10C4\\030A1",
                           "USB\\VID_10C4&PID_EA60\\", "USB\\VID_10C4&PID_EA60&REV_0100\\030A1"}) {
        EXPECT_FALSE(Port("COM5", id).vendorId.has_value()) << id;
    }
}

TEST(ComPortDevices, PortsOfOtherClassesJoinTheListInPortOrder) {
    std::vector<SerialDeviceInfo> devices{Port("COM10", "USB\\VID_10C4&PID_EA60\\030A1"),
                                          Port("COM5", "USB\\VID_0403&PID_6001\\A1B2")};
    AddComPorts(devices, {"COM9", "com5", "CNCA0", "COM1"});
    std::vector<std::string> names;
    for (const SerialDeviceInfo& device : devices) {
        names.push_back(device.displayName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM5", "COM9", "COM10", "CNCA0"}));
    EXPECT_EQ(devices[1].vendorId, 0x0403) << "the listed COM5 lost its identity";
}

}  // namespace
}  // namespace zentrik
