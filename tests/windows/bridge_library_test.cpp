// Discovery through the vendor library as Windows loads it: the stand-in DLL beside this
// program, called by ordinal, and the port numbers from the registry keys of the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "link/discovery/port_scanner.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

struct Call {
    int ordinal;
    unsigned long long argument;
    int result;
};

class VendorLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        SetEnvironmentVariableA("ZENTRIK_PORT", nullptr);
        m_log = test::MakeTempDir() + "\\calls.log";
        SetEnvironmentVariableA("ZENTRIK_STANDIN_LOG", m_log.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("ZENTRIK_STANDIN_BRIDGES", nullptr);
        SetEnvironmentVariableA("ZENTRIK_STANDIN_LOG", nullptr);
    }

    static void Attach(const std::string& bridges) {
        SetEnvironmentVariableA("ZENTRIK_STANDIN_BRIDGES", bridges.c_str());
    }

    std::vector<Call> Calls() const {
        std::vector<Call> calls;
        std::ifstream in(m_log);
        Call call{};
        while (in >> call.ordinal >> std::hex >> call.argument >> std::dec >> call.result) {
            calls.push_back(call);
        }
        return calls;
    }

    // Every handle the library handed out was closed exactly once, and nothing else was.
    void ExpectEveryOpenClosed() const {
        std::map<unsigned long long, int> open;
        for (const Call& call : Calls()) {
            if (call.ordinal == 3 && call.result == 0) {
                ++open[0x5A00 + call.argument];
            }
            if (call.ordinal == 4) {
                EXPECT_EQ(call.result, 0) << "closed a handle that was not open";
                --open[call.argument];
            }
        }
        for (const auto& [handle, count] : open) {
            EXPECT_EQ(count, 0) << "handle " << handle;
        }
    }

    std::string m_log;
};

TEST_F(VendorLibrary, FindsTheControllerBehindOtherBridgesAndLooksUpItsPort) {
    // A foreign chip, a CP210x with another serial number, then the controller.
    Attach("0403:6001:A1B2C3;10c4:ea60:030a000000000001;10c4:ea60:030A000000000001");
    AppSettings settings;
    settings.CommPort = 77;
    CPortScanner scanner;
    ASSERT_TRUE(scanner.FindController(settings));
    EXPECT_EQ(settings.CommPort, 5);  // PortName "COM5" of the composite key

    std::vector<int> ordinals;
    for (const Call& call : Calls()) {
        ordinals.push_back(call.ordinal);
    }
    EXPECT_EQ(ordinals, (std::vector<int>{1, 3, 14, 4, 1, 3, 14, 15, 13, 4, 1, 3, 14, 15, 13, 4}));
    ExpectEveryOpenClosed();
}

TEST_F(VendorLibrary, TakesTheFirstControllerAndGoesPastFailingBridges) {
    // Position 0 will not open, position 1 fails its vendor id, then two controllers: the
    // plain-key one (COM12) comes first and wins.
    Attach(
        "10c4:ea60:030A000000000001:open;10c4:ea60:030A000000000001:vid;"
        "10c4:ea60:030A000000000002;10c4:ea60:030A000000000001");
    AppSettings settings;
    CPortScanner scanner;
    ASSERT_TRUE(scanner.FindController(settings));
    EXPECT_EQ(settings.CommPort, 12);
    ExpectEveryOpenClosed();
}

TEST_F(VendorLibrary, ControllerWithoutARegistryEntryStillCountsAsFound) {
    Attach("10c4:ea60:030A000000000009");
    AppSettings settings;
    CPortScanner scanner;
    ASSERT_TRUE(scanner.FindController(settings));
    EXPECT_EQ(settings.CommPort, -1);
}

TEST_F(VendorLibrary, NoControllerLeavesThePortAlone) {
    AppSettings settings;
    settings.CommPort = 4;
    CPortScanner scanner;
    // Nothing attached; then only bridges that are not the controller, one with a serial
    // number longer than the library's buffer that begins like the controller's.
    EXPECT_FALSE(scanner.FindController(settings));
    Attach("10c4:ea60:0301000000000001;10c4:ea61:030A000000000001;10c4:ea60:030A" +
           std::string(70, '1'));
    EXPECT_FALSE(scanner.FindController(settings));
    EXPECT_EQ(settings.CommPort, 4);
    ExpectEveryOpenClosed();
}

}  // namespace
}  // namespace zentrik
