#include "shell/port_choices.h"

#include <gtest/gtest.h>

namespace zentrik {
namespace {

TEST(PortChoices, LabelsTickAndDevicesTheListLacks) {
    SerialDeviceInfo controller;
    controller.devicePath = controller.displayName = "/dev/ttyUSB1";
    controller.vendorId = 0x10C4;
    controller.productId = 0xEA60;
    controller.serial = "030A000000000001";
    controller.isController = true;
    SerialDeviceInfo plain;
    plain.devicePath = plain.displayName = "/dev/ttyS0";

    // An older settings file keeps the path: the same item is ticked.
    std::vector<PortChoice> choices =
        BuildPortChoices({controller, plain}, "/dev/ttyUSB1", "", 100, 199);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_FALSE(choices[0].checked);
    EXPECT_EQ(choices[1].label, "ttyUSB1  10C4:EA60  030A000000000001  (controller)");
    EXPECT_EQ(choices[1].device, "usb:10C4:EA60:030A000000000001");
    EXPECT_TRUE(choices[1].checked);
    EXPECT_EQ(choices[2].device, "/dev/ttyS0");

    // The override and a kept identity that is not plugged in are listed after the system's.
    choices = BuildPortChoices({plain}, "usb:0403:6001:A9", "/tmp/pts", 100, 199);
    ASSERT_EQ(choices.size(), 4u);
    EXPECT_EQ(choices[2].label, "/tmp/pts  (ZENTRIK_PORT)");
    EXPECT_EQ(choices[3].label, "usb:0403:6001:A9  (not plugged in)");
    EXPECT_TRUE(choices[3].checked);
    EXPECT_EQ(choices[3].id, 102);
}

}  // namespace
}  // namespace zentrik
