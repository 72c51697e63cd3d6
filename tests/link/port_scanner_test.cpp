#include "link/port_scanner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "link/bridge_identity.h"
#include "link/device_name.h"

namespace zentrik {
namespace {

struct FakeBridge {
    std::uint16_t vendorId = kControllerVendorId;
    std::uint16_t productId = kControllerProductId;
    std::string serial = "030A0001";
    int port = 5;
    bool openFails = false;
    // What a failed open writes into the handle (nothing when unset).
    std::optional<BridgeHandle> handleOnFailedOpen;
    bool vendorFails = false;
    bool productFails = false;
    // Reported serial length when it differs from the string's.
    std::optional<std::uint8_t> reportedLength;
};

// Records every call the scanner makes; handles are 100 + position.
class FakeBridgeList : public BridgeList {
  public:
    explicit FakeBridgeList(std::vector<FakeBridge> bridges) : m_bridges(std::move(bridges)) {}

    // Counts to report, one per Count() call; afterwards the number of bridges.
    std::vector<std::uint32_t> counts;
    int countCalls = 0;
    std::vector<std::uint32_t> opened;
    std::vector<BridgeHandle> closed;
    std::vector<std::string> lookedUp;

    std::uint32_t Count() override {
        std::size_t call = static_cast<std::size_t>(countCalls++);
        return call < counts.size() ? counts[call] : static_cast<std::uint32_t>(m_bridges.size());
    }

    bool Open(std::uint32_t position, BridgeHandle* handle) override {
        opened.push_back(position);
        if (position >= m_bridges.size()) {
            return false;
        }
        const FakeBridge& bridge = m_bridges[position];
        if (bridge.openFails) {
            if (bridge.handleOnFailedOpen) {
                *handle = *bridge.handleOnFailedOpen;
            }
            return false;
        }
        *handle = 100 + static_cast<BridgeHandle>(position);
        return true;
    }

    bool VendorId(BridgeHandle handle, std::uint16_t* vendorId) override {
        const FakeBridge* bridge = Find(handle);
        if (!bridge || bridge->vendorFails) {
            return false;
        }
        *vendorId = bridge->vendorId;
        return true;
    }

    bool ProductId(BridgeHandle handle, std::uint16_t* productId) override {
        const FakeBridge* bridge = Find(handle);
        if (!bridge || bridge->productFails) {
            return false;
        }
        *productId = bridge->productId;
        return true;
    }

    void SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) override {
        EXPECT_EQ(*length, 0) << "length must be cleared before the call";
        const FakeBridge* bridge = Find(handle);
        ASSERT_NE(bridge, nullptr);
        std::memcpy(buffer, bridge->serial.data(),
                    std::min(bridge->serial.size(), kSerialBufferSize));
        *length = bridge->reportedLength.value_or(static_cast<std::uint8_t>(bridge->serial.size()));
    }

    void Close(BridgeHandle handle) override { closed.push_back(handle); }

    int PortNumber(std::uint16_t vendorId, std::uint16_t productId,
                   std::string_view serial) override {
        EXPECT_EQ(vendorId, kControllerVendorId);
        EXPECT_EQ(productId, kControllerProductId);
        lookedUp.emplace_back(serial);
        for (const FakeBridge& bridge : m_bridges) {
            if (bridge.serial == serial) {
                return bridge.port;
            }
        }
        return -1;
    }

  private:
    const FakeBridge* Find(BridgeHandle handle) const {
        BridgeHandle position = handle - 100;
        if (position < 0 || position >= static_cast<BridgeHandle>(m_bridges.size())) {
            return nullptr;
        }
        return &m_bridges[static_cast<std::size_t>(position)];
    }

    std::vector<FakeBridge> m_bridges;
};

constexpr int kUntouched = 42;

struct ScanResult {
    bool found;
    int commPort;
    FakeBridgeList* list;
};

class PortScannerTest : public ::testing::Test {
  protected:
    ScanResult Scan(std::vector<FakeBridge> bridges, std::vector<std::uint32_t> counts = {}) {
        auto list = std::make_unique<FakeBridgeList>(std::move(bridges));
        list->counts = std::move(counts);
        FakeBridgeList* raw = list.get();
        m_scanner.emplace(std::move(list));
        AppSettings settings;
        settings.CommPort = kUntouched;
        bool found = m_scanner->FindController(settings);
        EXPECT_EQ(m_scanner->DeviceHandle(), kNoBridge) << "the last bridge stays open";
        return {found, settings.CommPort, raw};
    }

    std::optional<CPortScanner> m_scanner;
};

TEST_F(PortScannerTest, FreshScannerHoldsNoBridge) {
    CPortScanner scanner(std::make_unique<FakeBridgeList>(std::vector<FakeBridge>{}));
    EXPECT_EQ(scanner.DeviceHandle(), kNoBridge);
    EXPECT_EQ(scanner.DeviceCount(), 0u);
}

TEST_F(PortScannerTest, NoBridgesFindsNothing) {
    ScanResult result = Scan({});
    EXPECT_FALSE(result.found);
    EXPECT_EQ(result.commPort, kUntouched);
    EXPECT_TRUE(result.list->opened.empty());
    EXPECT_EQ(result.list->countCalls, 1);
}

TEST_F(PortScannerTest, ForeignBridgesAreExaminedClosedAndSkipped) {
    std::vector<FakeBridge> bridges(6);
    bridges[0].vendorId = 0x0403;
    bridges[1].productId = 0xEA70;
    bridges[2].serial = "030a0001";  // small a
    bridges[3].serial = "03010001";
    bridges[4].serial = "030";
    bridges[5].serial = "";
    ScanResult result = Scan(bridges);
    EXPECT_FALSE(result.found);
    EXPECT_EQ(result.commPort, kUntouched);
    EXPECT_EQ(result.list->opened, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(result.list->closed, (std::vector<BridgeHandle>{100, 101, 102, 103, 104, 105}));
    EXPECT_TRUE(result.list->lookedUp.empty());
    EXPECT_EQ(m_scanner->DeviceCount(), 6u);
}

TEST_F(PortScannerTest, ControllerPortIsStoredAndItsBridgeClosed) {
    std::vector<FakeBridge> bridges(2);
    bridges[0].vendorId = 0x1234;
    bridges[1].serial = "030A with blanks";
    bridges[1].port = 12;
    ScanResult result = Scan(bridges);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.commPort, 12);
    EXPECT_EQ(result.list->lookedUp, (std::vector<std::string>{"030A with blanks"}));
    EXPECT_EQ(result.list->closed, (std::vector<BridgeHandle>{100, 101}));
}

TEST_F(PortScannerTest, LowerPositionWinsAndLaterBridgesAreNotOpened) {
    std::vector<FakeBridge> bridges(3);
    bridges[0].vendorId = 0;
    bridges[1].serial = "030A-first";
    bridges[1].port = 3;
    bridges[2].serial = "030A-second";
    bridges[2].port = 4;
    ScanResult result = Scan(bridges);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.commPort, 3);
    EXPECT_EQ(result.list->opened, (std::vector<std::uint32_t>{0, 1}));
}

TEST_F(PortScannerTest, PortThatCannotBeLookedUpIsStoredAsMinusOne) {
    std::vector<FakeBridge> bridges(1);
    bridges[0].port = -1;
    ScanResult result = Scan(bridges);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.commPort, -1);
}

TEST_F(PortScannerTest, FailedOpenIsClosedWithoutReclosingAnEarlierBridge) {
    std::vector<FakeBridge> bridges(4);
    bridges[0].vendorId = 0;      // opens as 100 and is closed
    bridges[1].openFails = true;  // leaves the handle alone
    bridges[2].openFails = true;
    bridges[2].handleOnFailedOpen = 777;  // writes a half-open handle
    bridges[3].serial = "030A0009";
    bridges[3].port = 9;
    ScanResult result = Scan(bridges);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.commPort, 9);
    EXPECT_EQ(result.list->closed, (std::vector<BridgeHandle>{100, kNoBridge, 777, 103}));
}

TEST_F(PortScannerTest, FailedIdReadsSkipTheBridge) {
    std::vector<FakeBridge> bridges(3);
    bridges[0].vendorFails = true;
    bridges[1].productFails = true;
    bridges[2].serial = "030A0007";
    bridges[2].port = 7;
    ScanResult result = Scan(bridges);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.commPort, 7);
    EXPECT_EQ(result.list->closed, (std::vector<BridgeHandle>{100, 101, 102}));
}

TEST_F(PortScannerTest, CountIsReadAgainAfterEachBridge) {
    // Three bridges at first, then one: the scan ends after position 0.
    std::vector<FakeBridge> shrinking(3);
    shrinking[0].vendorId = 0;
    ScanResult gone = Scan(shrinking, {3, 1});
    EXPECT_FALSE(gone.found);
    EXPECT_EQ(gone.list->opened, (std::vector<std::uint32_t>{0}));
    EXPECT_EQ(gone.list->countCalls, 2);
    EXPECT_EQ(m_scanner->DeviceCount(), 1u);

    // One bridge at first, then two: the newcomer is examined and found.
    std::vector<FakeBridge> growing(2);
    growing[0].vendorId = 0;
    growing[1].serial = "030A0008";
    growing[1].port = 8;
    ScanResult arrived = Scan(growing, {1, 2});
    EXPECT_TRUE(arrived.found);
    EXPECT_EQ(arrived.commPort, 8);
    EXPECT_EQ(arrived.list->countCalls, 2);
}

TEST_F(PortScannerTest, SerialNumberMustFitTheBuffer) {
    std::vector<FakeBridge> tooLong(2);
    tooLong[0].serial = "030A" + std::string(60, 'x');  // 64 characters
    tooLong[1].serial = "030A";
    tooLong[1].reportedLength = 200;
    ScanResult rejected = Scan(tooLong);
    EXPECT_FALSE(rejected.found);
    EXPECT_EQ(rejected.commPort, kUntouched);
    EXPECT_EQ(rejected.list->closed.size(), 2u);

    std::vector<FakeBridge> longest(1);
    longest[0].serial = "030A" + std::string(59, 'y');  // 63 characters
    longest[0].port = 6;
    ScanResult accepted = Scan(longest);
    EXPECT_TRUE(accepted.found);
    EXPECT_EQ(accepted.commPort, 6);
    ASSERT_EQ(accepted.list->lookedUp.size(), 1u);
    EXPECT_EQ(accepted.list->lookedUp[0], longest[0].serial);
}

TEST_F(PortScannerTest, SerialNumberEndsAtTheReportedLength) {
    std::vector<FakeBridge> bridges(1);
    bridges[0].serial = "030A1234";
    bridges[0].reportedLength = 5;
    ScanResult result = Scan(bridges);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.list->lookedUp, (std::vector<std::string>{"030A1"}));
}

// Restores ZENTRIK_PORT after a test that sets it.
class PortOverrideGuard {
  public:
    PortOverrideGuard() {
        if (const char* value = std::getenv(kPortOverrideVariable)) {
            m_saved = value;
        }
    }
    ~PortOverrideGuard() {
        if (m_saved) {
            setenv(kPortOverrideVariable, m_saved->c_str(), 1);
        } else {
            unsetenv(kPortOverrideVariable);
        }
    }

  private:
    std::optional<std::string> m_saved;
};

TEST(PortOverride, DiscoveryTakesTheOverrideAsTheController) {
    PortOverrideGuard guard;
    setenv(kPortOverrideVariable, "/dev/pts/99", 1);
    CPortScanner scanner(MakePlatformBridgeList());
    AppSettings settings;
    settings.CommPort = kUntouched;
    EXPECT_TRUE(scanner.FindController(settings));
    EXPECT_EQ(settings.CommPort, 0);
    EXPECT_EQ(scanner.DeviceCount(), 1u);
}

}  // namespace
}  // namespace zentrik
