#include "link/discovery/port_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/discovery/bridge_identity.h"

namespace zentrik {
namespace {

// An in-memory registry: keys by full path (parent path + sub-key name), values by exact
// (case-sensitive) name. Values are stored with their terminating NUL, as strings are.
class FakeRegistry : public RegistryReader {
  public:
    struct Read {
        std::string key;
        std::string value;
        std::uint32_t offered;
    };

    void AddKey(const std::string& path) { m_keys[path]; }
    void SetValue(const std::string& path, const std::string& name, const std::string& value) {
        m_keys[path][name] = value;
    }
    // A value that refuses every read as too long for what is offered plus one byte.
    void SetGrowingValue(const std::string& path, const std::string& name) {
        m_keys[path][name];
        m_growing.insert(path + "|" + name);
    }

    bool OpenKey(Key parent, const std::string& subKey, Key* key) override {
        std::string path = parent == kLocalMachine ? subKey : m_open.at(parent) + subKey;
        if (!m_keys.count(path)) {
            return false;
        }
        *key = m_next++;
        m_open[*key] = path;
        return true;
    }

    ReadResult ReadValue(Key key, const char* name, char* buffer, std::uint32_t* length) override {
        const std::string& path = m_open.at(key);
        reads.push_back({path, name, *length});
        EXPECT_LE(*length, kRegistryValueOffered) << "offered more than the buffer holds";
        auto& values = m_keys.at(path);
        auto it = values.find(name);
        if (it == values.end()) {
            return ReadResult::Failed;
        }
        if (m_growing.count(path + "|" + name)) {
            *length += 1;
            return ReadResult::MoreData;
        }
        auto size = static_cast<std::uint32_t>(it->second.size() + 1);
        if (size > *length) {
            *length = size;
            return ReadResult::MoreData;
        }
        std::memcpy(buffer, it->second.c_str(), size);
        *length = size;
        return ReadResult::Ok;
    }

    void CloseKey(Key key) override {
        EXPECT_EQ(m_open.erase(key), 1u) << "closed a key that is not open";
    }

    std::size_t OpenKeys() const { return m_open.size(); }
    int ReadsOf(const std::string& path) const {
        return static_cast<int>(std::count_if(reads.begin(), reads.end(),
                                              [&](const Read& r) { return r.key == path; }));
    }

    std::vector<Read> reads;

  private:
    std::map<std::string, std::map<std::string, std::string>> m_keys;
    std::set<std::string> m_growing;
    std::map<Key, std::string> m_open;
    Key m_next = 1;
};

// ---- names and numbers ----------------------------------------------------------------

TEST(PortLookUpNames, SerialsKeysAndDeviceIds) {
    EXPECT_EQ(NtSerial("030A ab 1"), "030A_ab_1");
    EXPECT_EQ(LegacySerial("030A ab z-1{`@"), "030A_AB_Z-1{`@");  // only a to z change
    EXPECT_EQ(NtDeviceKeyName(0x10C4, 0xEA60, "030A_1", true),
              "Vid_10c4&Pid_ea60&Mi_00\\030A_1_00\\Device Parameters\\");
    EXPECT_EQ(NtDeviceKeyName(0xABCD, 0x00EF, "S", false),
              "Vid_abcd&Pid_00ef\\S\\Device Parameters\\");
    EXPECT_EQ(LegacyDeviceId(0x00ab, 0xEA60, "S"), "USB\\VID_00AB&PID_EA60&MI_00\\S_00");
    EXPECT_EQ(LegacyKeyName(0), "Enum\\SLABCR\\guid\\0000");
    EXPECT_EQ(LegacyKeyName(37), "Enum\\SLABCR\\guid\\0037");
}

TEST(PortLookUpNames, PortNameNumbers) {
    EXPECT_EQ(ParsePortName("COM3"), 3);
    EXPECT_EQ(ParsePortName("COM10"), 10);
    EXPECT_EQ(ParsePortName("XYZ7 extra"), 7);  // any three characters are skipped
    EXPECT_EQ(ParsePortName("COM4a5"), 4);
    EXPECT_EQ(ParsePortName("COM"), 0);
    EXPECT_EQ(ParsePortName("CO"), 0);
    EXPECT_EQ(ParsePortName("COMx"), 0);
    EXPECT_EQ(ParsePortName("COM2147483647"), 2147483647);
    EXPECT_EQ(ParsePortName("COM2147483648"), -1);
}

TEST(PortLookUpNames, LookUpFollowsTheSystemVersion) {
    EXPECT_EQ(ChooseLookUp(true, 5), PortLookUp::Nt);
    EXPECT_EQ(ChooseLookUp(true, 6), PortLookUp::Nt);
    EXPECT_EQ(ChooseLookUp(true, 10), PortLookUp::Nt);
    EXPECT_EQ(ChooseLookUp(true, 4), PortLookUp::None);
    EXPECT_EQ(ChooseLookUp(false, 4), PortLookUp::Legacy);
    EXPECT_EQ(ChooseLookUp(false, 5), PortLookUp::None);
}

TEST(BridgeIdentity, SerialPrefixSysfsIdsAndTtyNames) {
    EXPECT_TRUE(HasControllerSerial("030A 12"));
    EXPECT_FALSE(HasControllerSerial("030a12"));
    EXPECT_FALSE(HasControllerSerial("030112"));
    EXPECT_FALSE(HasControllerSerial("030"));

    EXPECT_EQ(ParseUsbId("10c4"), 0x10C4);
    EXPECT_EQ(ParseUsbId("EA60"), 0xEA60);
    EXPECT_FALSE(ParseUsbId(""));
    EXPECT_FALSE(ParseUsbId("10c45"));
    EXPECT_FALSE(ParseUsbId("10g4"));

    EXPECT_EQ(TtyUsbPortNumber("ttyUSB12"), 12);
    EXPECT_EQ(TtyUsbPortNumber("/dev/ttyUSB3"), 3);
    EXPECT_FALSE(TtyUsbPortNumber("ttyACM0"));
    EXPECT_FALSE(TtyUsbPortNumber("ttyUSB"));
    EXPECT_FALSE(TtyUsbPortNumber("ttyUSB1a"));
    EXPECT_FALSE(TtyUsbPortNumber("ttyUSB99999999999"));
}

// ---- NT layout ------------------------------------------------------------------------

constexpr const char* kUsbEnum = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";

class NtLookUpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_registry.AddKey("SYSTEM\\CurrentControlSet\\");
        m_registry.AddKey(kUsbEnum);
    }
    void TearDown() override { EXPECT_EQ(m_registry.OpenKeys(), 0u) << "a key was left open"; }

    static std::string Composite(const std::string& serial) {
        return std::string(kUsbEnum) + "Vid_10c4&Pid_ea60&Mi_00\\" + serial +
               "_00\\Device Parameters\\";
    }
    static std::string Plain(const std::string& serial) {
        return std::string(kUsbEnum) + "Vid_10c4&Pid_ea60\\" + serial + "\\Device Parameters\\";
    }
    int LookUp(const std::string& serial) {
        return LookUpPortNt(m_registry, kControllerVendorId, kControllerProductId, serial);
    }

    FakeRegistry m_registry;
};

TEST_F(NtLookUpTest, CompositeKeyFirstThenPlainKey) {
    EXPECT_EQ(LookUp("030A B C"), -1);
    m_registry.SetValue(Plain("030A_B_C"), "PortName", "COM10");
    EXPECT_EQ(LookUp("030A B C"), 10);
    m_registry.SetValue(Composite("030A_B_C"), "PortName", "COM3");
    EXPECT_EQ(LookUp("030A B C"), 3);
}

TEST_F(NtLookUpTest, UnreadableCompositeValueGivesMinusOne) {
    m_registry.SetValue(Plain("030A1"), "PortName", "COM5");
    m_registry.SetValue(Composite("030A1"), "Portname", "COM4");  // other case: not read
    EXPECT_EQ(LookUp("030A1"), -1);
    m_registry.SetValue(Composite("030A1"), "PortName", "COM7" + std::string(100, ' '));
    EXPECT_EQ(LookUp("030A1"), -1);  // longer than the buffer
}

TEST(NtLookUp, MissingParentKeysGiveMinusOneAndCloseWhatOpened) {
    FakeRegistry none;
    EXPECT_EQ(LookUpPortNt(none, kControllerVendorId, kControllerProductId, "030A"), -1);
    FakeRegistry noUsb;
    noUsb.AddKey("SYSTEM\\CurrentControlSet\\");
    EXPECT_EQ(LookUpPortNt(noUsb, kControllerVendorId, kControllerProductId, "030A"), -1);
    EXPECT_EQ(noUsb.OpenKeys(), 0u);
}

// ---- legacy layout --------------------------------------------------------------------

class LegacyLookUpTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(m_registry.OpenKeys(), 0u) << "a key was left open"; }

    void SetKey(int index, const std::string& deviceId, const std::string& portName = "") {
        std::string key = LegacyKeyName(index);
        m_registry.SetValue(key, "CRLowerDeviceID", deviceId);
        if (!portName.empty()) {
            m_registry.SetValue(key, "Portname", portName);
        }
    }
    int LookUp(const std::string& serial) {
        return LookUpPortLegacy(m_registry, kControllerVendorId, kControllerProductId, serial);
    }

    const std::string m_id = "USB\\VID_10C4&PID_EA60&MI_00\\030AB_C_00";
    FakeRegistry m_registry;
};

TEST_F(LegacyLookUpTest, MatchesUpperCasedSerialWithUnderscores) {
    SetKey(0, "USB\\VID_0403&PID_6001&MI_00\\A1_00", "COM1");
    SetKey(1, "Root\\Other", "COM2");
    SetKey(2, m_id, "COM12");
    EXPECT_EQ(LookUp("030Ab c"), 12);
}

TEST_F(LegacyLookUpTest, LastMatchWins) {
    SetKey(0, m_id, "COM4");
    SetKey(1, m_id, "COM6");
    SetKey(2, "Root\\Other", "COM9");
    EXPECT_EQ(LookUp("030AB C"), 6);
}

TEST_F(LegacyLookUpTest, GapInTheNumberingEndsTheSearch) {
    SetKey(0, "Root\\Other", "COM1");
    SetKey(1, "Root\\Other", "COM2");
    SetKey(3, m_id, "COM3");
    EXPECT_EQ(LookUp("030AB C"), -1);
    EXPECT_EQ(m_registry.ReadsOf(LegacyKeyName(3)), 0);
}

TEST_F(LegacyLookUpTest, ComparisonIsExact) {
    SetKey(0, "usb\\vid_10c4&pid_ea60&mi_00\\030AB_C_00", "COM1");
    SetKey(1, m_id + "X", "COM2");
    SetKey(2, m_id, "");  // no "Portname"
    m_registry.SetValue(LegacyKeyName(2), "PortName", "COM3");
    EXPECT_EQ(LookUp("030AB C"), -1);
}

TEST_F(LegacyLookUpTest, LongerValueIsReadAgainWithTheReportedLength) {
    // The first key's short value shrinks the length offered for the next key, whose value
    // is then refused once and read again in full.
    SetKey(0, "Root\\A", "COM1");
    SetKey(1, m_id, "COM8");
    EXPECT_EQ(LookUp("030AB C"), 8);
    std::vector<std::uint32_t> offered;
    for (const auto& read : m_registry.reads) {
        if (read.key == LegacyKeyName(1) && read.value == "CRLowerDeviceID") {
            offered.push_back(read.offered);
        }
    }
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_LT(offered[0], m_id.size() + 1);
    EXPECT_EQ(offered[1], m_id.size() + 1);
}

TEST_F(LegacyLookUpTest, ValueLongerThanTheBufferIsSkipped) {
    SetKey(0, std::string(150, 'L'), "COM1");
    SetKey(1, m_id, "COM5");
    EXPECT_EQ(LookUp("030AB C"), 5);
    EXPECT_EQ(m_registry.ReadsOf(LegacyKeyName(0)), 1);
}

TEST_F(LegacyLookUpTest, ValueThatKeepsGrowingIsReadAtMostTwice) {
    SetKey(0, "Root\\A");
    m_registry.SetGrowingValue(LegacyKeyName(1), "CRLowerDeviceID");
    SetKey(2, m_id, "COM2");
    EXPECT_EQ(LookUp("030AB C"), 2);
    EXPECT_EQ(m_registry.ReadsOf(LegacyKeyName(1)), 2);
}

}  // namespace
}  // namespace zentrik
