#include "link/discovery/port_identity.h"

#include <gtest/gtest.h>

namespace zentrik {
namespace {

SerialDeviceInfo Usb(std::string path, std::string serial) {
    SerialDeviceInfo device;
    device.devicePath = std::move(path);
    device.vendorId = 0x10C4;
    device.productId = 0xEA60;
    device.serial = std::move(serial);
    return device;
}

TEST(PortIdentity, KeptByIdentityOnlyWithASerialAndFoundWhereverPlugged) {
    EXPECT_EQ(KeptPortDevice(Usb("/dev/ttyUSB3", "030A000000000001")),
              "usb:10C4:EA60:030A000000000001");
    EXPECT_EQ(KeptPortDevice(Usb("\\\\.\\COM5", "")), "\\\\.\\COM5");

    const std::optional<PortIdentity> id = ParsePortIdentity("usb:10c4:ea60:AB:CD");
    ASSERT_TRUE(id);
    EXPECT_EQ(FormatPortIdentity(*id), "usb:10C4:EA60:AB:CD");
    for (const char* bad : {"usb:10C4:EA60:", "usb:10C4:030A", "usb:10C45:EA60:1", "usb:x:1:1"}) {
        EXPECT_FALSE(ParsePortIdentity(bad)) << bad;
    }

    const std::vector<SerialDeviceInfo> plugged = {Usb("/dev/ttyUSB0", "0001"),
                                                   Usb("/dev/ttyUSB7", "030A000000000001")};
    EXPECT_EQ(ResolvePortDevice("usb:10C4:EA60:030A000000000001", plugged), "/dev/ttyUSB7");
    EXPECT_EQ(ResolvePortDevice("usb:10C4:EA60:030A000000000002", plugged), std::nullopt);
    EXPECT_EQ(ResolvePortDevice("/dev/ttyUSB9", plugged), "/dev/ttyUSB9");
}

}  // namespace
}  // namespace zentrik
