#include "link/discovery/port_scanner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "link/discovery/bridge_identity.h"
#include "link/discovery/bridge_ports.h"
#include "link/discovery/device_bridge_list.h"
#include "link/serial/device_name.h"
#include "support/link_rig.h"
#include "support/test_environment.h"

namespace zentrik {
namespace {

struct FakeBridge {
    std::string serial = "030A0001";
    int port = 5;
    std::uint16_t vendorId = kControllerVendorId;
    std::uint16_t productId = kControllerProductId;
    bool openFails = false;
    std::optional<BridgeHandle> handleOnFailedOpen;  // written by a failed open
    bool idReadFails = false;
    std::optional<std::uint8_t> reportedLength;  // serial length, when not the string's
};

// Records the scanner's calls; the bridge at position p opens as handle 100 + p.
class FakeBridgeList : public BridgeList {
  public:
    explicit FakeBridgeList(std::vector<FakeBridge> bridges, std::vector<std::uint32_t> counts)
        : m_bridges(std::move(bridges)), m_counts(std::move(counts)) {}

    int countCalls = 0;
    std::vector<std::uint32_t> opened;
    std::vector<BridgeHandle> closed;
    std::vector<std::string> lookedUp;

    // The scripted counts first, then the number of bridges.
    std::uint32_t Count() override {
        auto call = static_cast<std::size_t>(countCalls++);
        return call < m_counts.size() ? m_counts[call] : std::uint32_t(m_bridges.size());
    }
    bool Open(std::uint32_t position, BridgeHandle* handle) override {
        opened.push_back(position);
        const FakeBridge& bridge = m_bridges.at(position);
        if (bridge.openFails) {
            *handle = bridge.handleOnFailedOpen.value_or(*handle);
            return false;
        }
        *handle = 100 + BridgeHandle(position);
        return true;
    }
    bool VendorId(BridgeHandle handle, std::uint16_t* id) override {
        *id = At(handle).vendorId;
        return !At(handle).idReadFails;
    }
    bool ProductId(BridgeHandle handle, std::uint16_t* id) override {
        *id = At(handle).productId;
        return !At(handle).idReadFails;
    }
    void SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) override {
        EXPECT_EQ(*length, 0) << "length not cleared before the call";
        const FakeBridge& bridge = At(handle);
        std::memcpy(buffer, bridge.serial.data(),
                    std::min(bridge.serial.size(), kSerialBufferSize));
        *length = bridge.reportedLength.value_or(std::uint8_t(bridge.serial.size()));
    }
    void Close(BridgeHandle handle) override { closed.push_back(handle); }
    int PortNumber(std::uint16_t vendorId, std::uint16_t productId,
                   std::string_view serial) override {
        EXPECT_EQ(vendorId, kControllerVendorId);
        EXPECT_EQ(productId, kControllerProductId);
        lookedUp.emplace_back(serial);
        return At(100 + BridgeHandle(opened.back())).port;
    }

  private:
    const FakeBridge& At(BridgeHandle handle) const {
        return m_bridges.at(static_cast<std::size_t>(handle - 100));
    }

    std::vector<FakeBridge> m_bridges;
    std::vector<std::uint32_t> m_counts;
};

constexpr int kUntouched = 42;

class PortScannerTest : public ::testing::Test {
  protected:
    // Runs FindController; the scanner and its fake stay for the checks.
    bool Scan(std::vector<FakeBridge> bridges, std::vector<std::uint32_t> counts = {}) {
        auto list = std::make_unique<FakeBridgeList>(std::move(bridges), std::move(counts));
        fake = list.get();
        scanner.emplace(std::move(list));
        settings.CommPort = kUntouched;
        bool found = scanner->FindController(settings);
        EXPECT_EQ(scanner->DeviceHandle(), kNoBridge) << "a bridge was left open";
        return found;
    }

    std::optional<CPortScanner> scanner;
    FakeBridgeList* fake = nullptr;
    AppSettings settings;
};

TEST_F(PortScannerTest, NothingAttachedOrNoControllerLeavesThePortAlone) {
    CPortScanner fresh(
        std::make_unique<FakeBridgeList>(std::vector<FakeBridge>{}, std::vector<std::uint32_t>{}));
    EXPECT_EQ(fresh.DeviceHandle(), kNoBridge);
    EXPECT_EQ(fresh.DeviceCount(), 0u);

    EXPECT_FALSE(Scan({}));
    EXPECT_EQ(settings.CommPort, kUntouched);
    EXPECT_TRUE(fake->opened.empty());

    std::vector<FakeBridge> foreign(6);
    foreign[0].vendorId = 0x0403;
    foreign[1].productId = 0xEA70;
    foreign[2].serial = "030a0001";  // small a
    foreign[3].serial = "03010001";
    foreign[4].serial = "030";
    foreign[5].idReadFails = true;
    EXPECT_FALSE(Scan(foreign));
    EXPECT_EQ(settings.CommPort, kUntouched);
    EXPECT_EQ(fake->closed, (std::vector<BridgeHandle>{100, 101, 102, 103, 104, 105}));
    EXPECT_TRUE(fake->lookedUp.empty());
    EXPECT_EQ(scanner->DeviceCount(), 6u);
}

TEST_F(PortScannerTest, FirstControllerWinsAndItsPortIsStoredEvenMinusOne) {
    std::vector<FakeBridge> bridges(4);
    bridges[0].vendorId = 0;
    bridges[1].serial = "030A with blanks";
    bridges[1].port = 3;
    EXPECT_TRUE(Scan(bridges));
    EXPECT_EQ(settings.CommPort, 3);
    EXPECT_EQ(fake->lookedUp, (std::vector<std::string>{"030A with blanks"}));
    EXPECT_EQ(fake->opened, (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(fake->closed, (std::vector<BridgeHandle>{100, 101}));

    bridges[1].port = -1;
    EXPECT_TRUE(Scan(bridges));
    EXPECT_EQ(settings.CommPort, -1);
}

TEST_F(PortScannerTest, FailedOpenIsClosedWithoutReclosingTheBridgeBefore) {
    std::vector<FakeBridge> bridges(4);
    bridges[0].vendorId = 0;      // opens as 100 and is closed
    bridges[1].openFails = true;  // leaves the handle alone
    bridges[2].openFails = true;
    bridges[2].handleOnFailedOpen = 777;
    bridges[3].port = 9;
    EXPECT_TRUE(Scan(bridges));
    EXPECT_EQ(settings.CommPort, 9);
    EXPECT_EQ(fake->closed, (std::vector<BridgeHandle>{100, kNoBridge, 777, 103}));
}

TEST_F(PortScannerTest, CountIsReadAgainAfterEachBridge) {
    std::vector<FakeBridge> bridges(3);
    bridges[0].vendorId = 0;
    EXPECT_FALSE(Scan(bridges, {3, 1}));  // two bridges went during the scan
    EXPECT_EQ(fake->opened, (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(fake->countCalls, 2);
    EXPECT_EQ(scanner->DeviceCount(), 1u);

    bridges[1].port = 8;
    EXPECT_TRUE(Scan(bridges, {1, 2}));  // one came
    EXPECT_EQ(settings.CommPort, 8);
}

TEST_F(PortScannerTest, SerialNumberEndsAtTheReportedLengthAndMustFit) {
    std::vector<FakeBridge> bridges(3);
    bridges[0].serial = "030A" + std::string(60, 'x');  // 64 characters
    bridges[1].reportedLength = 200;
    bridges[2].serial = "030A" + std::string(59, 'y') + "zz";
    bridges[2].reportedLength = 63;
    EXPECT_TRUE(Scan(bridges));
    EXPECT_EQ(fake->opened.size(), 3u);
    ASSERT_EQ(fake->lookedUp.size(), 1u);
    EXPECT_EQ(fake->lookedUp[0], "030A" + std::string(59, 'y'));

    bridges[0].serial = "030A1234";
    bridges[0].reportedLength = 5;
    EXPECT_TRUE(Scan(bridges));
    EXPECT_EQ(fake->lookedUp, (std::vector<std::string>{"030A1"}));
}

TEST(PortOverride, DiscoveryTakesTheOverrideAsTheController) {
    const char* saved = std::getenv(kPortOverrideVariable);
    std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
    test::SetVariable(kPortOverrideVariable, "/dev/pts/99");
    CPortScanner scanner(MakePlatformBridgeList());
    AppSettings settings;
    settings.CommPort = kUntouched;
    EXPECT_TRUE(scanner.FindController(settings));
    EXPECT_EQ(settings.CommPort, 0);
    if (previous) {
        test::SetVariable(kPortOverrideVariable, previous->c_str());
    } else {
        test::UnsetVariable(kPortOverrideVariable);
    }
}

TEST(ScanForConnection, OpensTheFoundPortAndLeavesThePortAloneOtherwise) {
    test::UnsetVariable(kPortOverrideVariable);
    test::LinkRig rig;
    rig.settings.CommPort = kUntouched;

    std::vector<FakeBridge> foreign(1);
    foreign[0].serial = "03010001";
    CPortScanner nothing(std::make_unique<FakeBridgeList>(foreign, std::vector<std::uint32_t>{}));
    EXPECT_FALSE(rig.link.ScanForConnection(nothing, rig.settings));
    EXPECT_EQ(rig.port.openCalls, 0);
    EXPECT_EQ(rig.settings.CommPort, kUntouched);

    std::vector<FakeBridge> bridges(2);
    bridges[0].serial = "0301";
    bridges[1].port = 7;
    CPortScanner scanner(std::make_unique<FakeBridgeList>(bridges, std::vector<std::uint32_t>{}));
    EXPECT_TRUE(rig.link.ScanForConnection(scanner, rig.settings));
    EXPECT_EQ(rig.settings.CommPort, 7);
    EXPECT_TRUE(rig.port.open);
    EXPECT_EQ(rig.port.openedDevice, PlatformDeviceName(7));
}

TEST(SystemBridges, TheSystemsListIsScannedOnlyWhenTheLibraryHasNoBridge) {
    // A port without USB, a CP210x of another serial number, one without a serial number, the
    // controller on a port no number names, then two controllers.
    std::vector<SerialDeviceInfo> devices(6);
    const char* serials[] = {"", "0301AAAA", "", "030A0003", "030A0004", "030A0005"};
    const int ports[] = {1, 2, 3, -1, 14, 6};
    for (std::size_t i = 0; i < devices.size(); ++i) {
        devices[i].vendorId = i > 0 ? std::optional(kControllerVendorId) : std::nullopt;
        devices[i].productId = kControllerProductId;
        devices[i].serial = serials[i];
        devices[i].portNumber = ports[i];
    }
    auto* library = new FakeBridgeList({}, {});
    CPortScanner scanner(MakeFallbackBridgeList(std::unique_ptr<BridgeList>(library),
                                                MakeDeviceBridgeList([&] { return devices; })));
    AppSettings settings;
    ASSERT_TRUE(scanner.FindController(settings));
    EXPECT_EQ(settings.CommPort, 14);
    EXPECT_EQ(scanner.DeviceCount(), 3u);  // devices 1, 4 and 5 are bridges

    // A library that lists a bridge is the only source.
    auto* present = new FakeBridgeList({FakeBridge{}}, {});
    CPortScanner first(MakeFallbackBridgeList(std::unique_ptr<BridgeList>(present),
                                              MakeDeviceBridgeList([&] { return devices; })));
    ASSERT_TRUE(first.FindController(settings));
    EXPECT_EQ(settings.CommPort, 5);
    EXPECT_EQ(present->closed, (std::vector<BridgeHandle>{100}));
}

TEST(BridgeIdentities, EachBridgesPortGetsItsIdentityAndTheControllersIsMarked) {
    // Windows lists ports by name only; the vendor's library knows the bridges behind them.
    std::vector<SerialDeviceInfo> devices(4);
    for (int i = 0; i < 4; ++i) {
        devices[static_cast<std::size_t>(i)].devicePath = PlatformDeviceName(3 + 2 * i);
    }
    std::vector<FakeBridge> bridges(4);
    bridges[0].port = 5;             // the controller
    bridges[1].serial = "0001ABCD";  // another CP210x
    bridges[1].port = 3;
    bridges[2].idReadFails = true;
    bridges[2].port = 7;
    bridges[3].port = -1;  // no port the registry knows
    FakeBridgeList list(bridges, {});
    AddBridgeIdentities(devices, list);

    EXPECT_EQ(devices[1].vendorId, kControllerVendorId);
    EXPECT_EQ(devices[1].productId, kControllerProductId);
    EXPECT_EQ(devices[1].serial, "030A0001");
    EXPECT_TRUE(devices[1].isController);
    EXPECT_EQ(devices[0].serial, "0001ABCD");
    EXPECT_EQ(devices[0].productId, kControllerProductId);
    EXPECT_FALSE(devices[0].isController);
    for (const std::size_t untouched : {2u, 3u}) {
        EXPECT_FALSE(devices[untouched].vendorId.has_value());
        EXPECT_EQ(devices[untouched].serial, "");
        EXPECT_FALSE(devices[untouched].isController);
    }
    EXPECT_EQ(list.closed, (std::vector<BridgeHandle>{100, 101, 102, 103}));
}

}  // namespace
}  // namespace zentrik
