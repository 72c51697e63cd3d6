// Runs with libumockdev-preload (see CMakeLists.txt): sysfs and udev events come from the
// test bed each test builds.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <umockdev.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "ctl/ctl_ports.h"
#include "link/discovery/bridge_list.h"
#include "link/discovery/connection_diagnosis.h"
#include "link/discovery/device_watcher.h"
#include "link/discovery/port_scanner.h"
#include "link/discovery/serial_device_list.h"

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
                             const char* serial, const std::string& ttyName,
                             bool withNode = false) {
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
        std::string path;
        if (withNode) {
            path = std::string(interface) + "/" + ttyName;
            AddTtyNode(path.substr(std::strlen("/sys")), ttyName);
            g_free(interface);
            g_free(usb);
            return path;
        }
        std::string devName = "/dev/" + ttyName;
        gchar* tty = umockdev_testbed_add_device(m_bed, "tty", ttyName.c_str(), interface, nullptr,
                                                 "DEVNAME", devName.c_str(), nullptr);
        path = tty ? tty : "";
        g_free(tty);
        g_free(interface);
        g_free(usb);
        return path;
    }

    std::string AddController(const std::string& usbName, const std::string& ttyName,
                              const char* serial = "030A5678", bool withNode = false) {
        return AddUsbSerial(usbName, "10c4", "ea60", serial, ttyName, withNode);
    }

    // A tty at a sysfs path (without "/sys") with a device node, which the test bed makes a
    // pseudo-terminal.
    void AddTtyNode(const std::string& devPath, const std::string& name,
                    const std::string& attributes = "") {
        const std::string record = "P: " + devPath + "\nN: " + name +
                                   "\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/" + name + "\n" +
                                   attributes;
        GError* error = nullptr;
        EXPECT_TRUE(umockdev_testbed_add_from_string(m_bed, record.c_str(), &error))
            << (error ? error->message : "");
        if (error) {
            g_error_free(error);
        }
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

// What `zentrikctl ports` prints and its help, run in a child as the unprivileged user
// "nobody", who may not open the test bed's ttys (pseudo-terminals of mode 0620).
std::string PortsAsNobody(const std::string& testBedRoot) {
    int out[2];
    if (pipe(out) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        std::ostringstream text, err;
        std::istringstream in;
        if (chmod(testBedRoot.c_str(), 0755) == 0 && setgroups(0, nullptr) == 0 &&
            setgid(65534) == 0 && setuid(65534) == 0) {
            RunPorts(ListSerialDevices(), "", CtlConsole{in, text, err, false});
        }
        const std::string message = text.str() + "--\n" + err.str();
        [[maybe_unused]] const ssize_t n = write(out[1], message.data(), message.size());
        _exit(0);
    }
    close(out[1]);
    std::string message;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        message.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    waitpid(child, nullptr, 0);
    return message;
}

TEST_F(UdevTestBed, ControllerWithoutATtyIsABridgeNoDriverServes) {
    AddController("1-1", "ttyUSB0");
    AddUsbSerial("1-3", "0403", "6001", "A900XYZ", "ttyUSB1");
    gchar* usb = umockdev_testbed_add_device(m_bed, "usb", "1-2", nullptr, "idVendor", "10c4",
                                             "idProduct", "ea60", "serial", "030A9999", nullptr,
                                             "DEVTYPE", "usb_device", nullptr);
    g_free(umockdev_testbed_add_device(m_bed, "usb", "1-2:1.0", usb, nullptr, "DEVTYPE",
                                       "usb_interface", nullptr));
    g_free(usb);

    const std::vector<UsbBridge> bridges = AttachedUsbBridges();
    ASSERT_EQ(bridges.size(), 3u);
    EXPECT_EQ(bridges[2].serial, "030A9999");
    EXPECT_FALSE(bridges[2].driverWorking);
    EXPECT_TRUE(bridges[0].driverWorking && bridges[1].driverWorking);
    ConnectionFacts facts;
    facts.bridges = bridges;
    EXPECT_EQ(DiagnoseConnection(facts).which, ConnectionCase::DriverMissing);
}

TEST_F(UdevTestBed, PortsListsEachSerialDeviceWithItsIdentityAndAccess) {
    // Wrong serial (small a), the controller, a serial port that is not on USB.
    AddUsbSerial("1-2", "10c4", "ea60", "030a5678", "ttyUSB1", true);
    AddController("1-1", "ttyUSB0", "030A5678", true);
    AddTtyNode("/devices/platform/serial8250/tty/ttyS0", "ttyS0", "A: type=4\n");
    // Not serial devices: an 8250 slot without hardware and a virtual console.
    AddTtyNode("/devices/platform/serial8250/tty/ttyS1", "ttyS1", "A: type=0\n");
    AddTtyNode("/devices/virtual/tty/tty1", "tty1");

    const std::vector<SerialDeviceInfo> devices = ListSerialDevices();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].devicePath, "/dev/ttyS0");
    EXPECT_FALSE(devices[0].vendorId.has_value());
    EXPECT_FALSE(devices[0].isController);
    EXPECT_EQ(devices[1].devicePath, "/dev/ttyUSB0");
    EXPECT_EQ(devices[1].vendorId, 0x10C4);
    EXPECT_EQ(devices[1].productId, 0xEA60);
    EXPECT_TRUE(devices[1].isController);
    EXPECT_EQ(devices[2].devicePath, "/dev/ttyUSB1");
    EXPECT_FALSE(devices[2].isController);

    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(RunPorts(devices, "", CtlConsole{in, out, err, false}), kCtlExitOk);
    const bool privileged = geteuid() == 0;
    const std::string access = privileged ? "yes" : "no (Permission denied)";
    EXPECT_EQ(out.str(),
              "DEVICE        USB ID     SERIAL    CONTROLLER  ACCESS\n"
              "/dev/ttyS0    -          -         no          " +
                  access +
                  "\n"
                  "/dev/ttyUSB0  10c4:ea60  030A5678  yes         " +
                  access +
                  "\n"
                  "/dev/ttyUSB1  10c4:ea60  030a5678  no          " +
                  access + "\n");
    if (!privileged) {
        return;
    }
    EXPECT_EQ(err.str(), "") << "help though every device may be opened";

    // The controller's node as a USB serial tty is: root:dialout, mode 0660.
    gchar* rootDir = umockdev_testbed_get_root_dir(m_bed);
    const std::string root = rootDir;
    g_free(rootDir);
    const group* dialout = getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    ASSERT_EQ(chown((root + "/dev/ttyUSB0").c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod((root + "/dev/ttyUSB0").c_str(), 0660), 0);
    const std::string nobody = PortsAsNobody(root);
    EXPECT_TRUE(nobody.find("/dev/ttyUSB0  10c4:ea60  030A5678  yes         no (Permission "
                            "denied)\n") != std::string::npos)
        << nobody;
    const std::size_t help =
        nobody.find("--\nzentrikctl: Permission to open /dev/ttyUSB0 was denied.");
    EXPECT_NE(help, std::string::npos) << nobody;
    EXPECT_NE(nobody.find("sudo usermod -aG dialout nobody", help), std::string::npos) << nobody;
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
