// Runs with libumockdev-preload (see CMakeLists.txt): sysfs and udev events come from the
// test bed each test builds.
#include <fcntl.h>
#include <poll.h>
#include <umockdev.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "link/discovery/bridge_list.h"
#include "link/discovery/device_watcher.h"
#include "link/discovery/port_scanner.h"

namespace zentrik {
namespace {

class UdevTestBed : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* preload = std::getenv("LD_PRELOAD");
        ASSERT_TRUE(preload &&
                    std::string(preload).find("libumockdev-preload") != std::string::npos)
            << "run under umockdev-wrapper (LD_PRELOAD=libumockdev-preload.so.0)";
        m_bed = umockdev_testbed_new();
        ASSERT_NE(m_bed, nullptr);
    }
    void TearDown() override {
        if (m_bed) {
            g_object_unref(m_bed);
        }
    }

    // A USB device with one interface and a tty below it, as a USB serial driver shows it.
    // Returns the tty's sysfs path.
    std::string AddUsbSerial(const std::string& usbName, const char* vendor, const char* product,
                             const char* serial, const std::string& ttyName) {
        gchar* usb =
            serial ? umockdev_testbed_add_device(m_bed, "usb", usbName.c_str(), nullptr, "idVendor",
                                                 vendor, "idProduct", product, "serial", serial,
                                                 nullptr, "DEVTYPE", "usb_device", nullptr)
                   : umockdev_testbed_add_device(m_bed, "usb", usbName.c_str(), nullptr, "idVendor",
                                                 vendor, "idProduct", product, nullptr, "DEVTYPE",
                                                 "usb_device", nullptr);
        std::string interfaceName = usbName + ":1.0";
        gchar* interface = umockdev_testbed_add_device(
            m_bed, "usb", interfaceName.c_str(), usb, nullptr, "DEVTYPE", "usb_interface", nullptr);
        std::string devName = "/dev/" + ttyName;
        gchar* tty = umockdev_testbed_add_device(m_bed, "tty", ttyName.c_str(), interface, nullptr,
                                                 "DEVNAME", devName.c_str(), nullptr);
        std::string path = tty ? tty : "";
        g_free(tty);
        g_free(interface);
        g_free(usb);
        return path;
    }

    std::string AddController(const std::string& usbName, const std::string& ttyName,
                              const char* serial = "030A5678") {
        return AddUsbSerial(usbName, "10c4", "ea60", serial, ttyName);
    }

    // FindController over udev; the port number stored, or nothing when none was found.
    std::optional<int> Discover() {
        CPortScanner scanner(MakeSystemBridgeList());
        AppSettings settings;
        settings.CommPort = -100;
        if (!scanner.FindController(settings)) {
            EXPECT_EQ(settings.CommPort, -100);
            return std::nullopt;
        }
        return settings.CommPort;
    }

    UMockdevTestbed* m_bed = nullptr;
};

TEST_F(UdevTestBed, ControllerIsFoundAmongOtherTtysAndMappedToItsPort) {
    auto list = MakeSystemBridgeList();  // made before the devices appear
    AddUsbSerial("1-1", "0403", "6001", "A900XYZ", "ttyUSB0");
    AddController("1-2", "ttyUSB3");
    g_free(umockdev_testbed_add_device(m_bed, "tty", "ttyS0", nullptr, nullptr, "DEVNAME",
                                       "/dev/ttyS0", nullptr));

    ASSERT_EQ(list->Count(), 2u);  // the serial port without a USB device is not a bridge
    BridgeHandle first = kNoBridge;
    ASSERT_TRUE(list->Open(0, &first));
    std::uint16_t vendor = 0;
    ASSERT_TRUE(list->VendorId(first, &vendor));
    EXPECT_EQ(vendor, 0x0403);
    list->Close(first);
    EXPECT_FALSE(list->VendorId(first, &vendor)) << "a closed handle still answers";

    EXPECT_EQ(Discover(), 3);
}

TEST_F(UdevTestBed, WrongSerialOrIdsAreNotTheController) {
    AddController("1-1", "ttyUSB0", "030a5678");
    AddController("1-2", "ttyUSB1", "03015678");
    AddUsbSerial("1-3", "10c4", "ea70", "030A5678", "ttyUSB2");
    AddUsbSerial("1-4", "10c5", "ea60", "030A5678", "ttyUSB4");
    EXPECT_EQ(Discover(), std::nullopt);
}

TEST_F(UdevTestBed, TtysThatCannotBeNamedOrIdentifiedAreSkipped) {
    AddController("1-1", "ttyACM0");                          // not a ttyUSB<n> node
    AddUsbSerial("1-2", "10c4", "ea60", nullptr, "ttyUSB5");  // no serial attribute
    EXPECT_EQ(MakeSystemBridgeList()->Count(), 0u);
    EXPECT_EQ(Discover(), std::nullopt);
}

TEST_F(UdevTestBed, LowestPortNumberWins) {
    AddController("1-1", "ttyUSB10", "030A-ten");
    AddController("1-2", "ttyUSB9", "030A-nine");
    EXPECT_EQ(Discover(), 9);
}

// Waits (bounded) for the watcher's descriptor and drains it until `wanted` changes came
// or nothing more arrives.
std::vector<DeviceChange> Collect(DeviceWatcher& watcher, std::size_t wanted) {
    std::vector<DeviceChange> changes;
    pollfd ready{watcher.Fd(), POLLIN, 0};
    while (changes.size() < wanted && poll(&ready, 1, 2000) > 0) {
        for (DeviceChange change : watcher.Drain()) {
            changes.push_back(change);
        }
    }
    return changes;
}

TEST_F(UdevTestBed, WatcherReportsArrivalAndRemovalOnly) {
    DeviceWatcher watcher;
    ASSERT_TRUE(watcher.Start());
    ASSERT_GE(watcher.Fd(), 0);
    ASSERT_TRUE(fcntl(watcher.Fd(), F_GETFL) & O_NONBLOCK) << "Drain would block";
    EXPECT_TRUE(watcher.Drain().empty());

    // Adding a device to the test bed announces it: USB device, interface, tty.
    std::string tty = AddController("1-1", "ttyUSB0");
    EXPECT_EQ(Collect(watcher, 3), std::vector<DeviceChange>(3, DeviceChange::Arrival));

    umockdev_testbed_uevent(m_bed, tty.c_str(), "change");
    umockdev_testbed_uevent(m_bed, tty.c_str(), "bind");
    umockdev_testbed_uevent(m_bed, "/sys/devices/1-1", "remove");
    // Devices of other subsystems are filtered out before they reach the watcher.
    gchar* input = umockdev_testbed_add_device(m_bed, "input", "event0", nullptr, nullptr, nullptr);
    umockdev_testbed_uevent(m_bed, input, "remove");
    g_free(input);
    umockdev_testbed_uevent(m_bed, tty.c_str(), "add");

    EXPECT_EQ(Collect(watcher, 2),
              (std::vector<DeviceChange>{DeviceChange::Removal, DeviceChange::Arrival}));
}

TEST(DeviceWatcher, UnstartedWatcherHasNoDescriptorAndNoEvents) {
    DeviceWatcher watcher;
    EXPECT_EQ(watcher.Fd(), -1);
    EXPECT_TRUE(watcher.Drain().empty());
}

}  // namespace
}  // namespace zentrik
