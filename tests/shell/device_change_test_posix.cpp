// Devices that come and go, and ports that hang up, with the simulator as the controller.
#include <gtest/gtest.h>

#include "fake_skin.h"
#include "link/serial/device_name.h"
#include "shell/shell_texts.h"
#include "support/simulator.h"
#include "support/switchable_bridges.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

namespace zentrik::test {
namespace {

namespace texts = shell_texts;

class DeviceChange : public ::testing::Test {
  protected:
    ~DeviceChange() override { UnsetVariable(kPortOverrideVariable); }

    // The frame's behaviour with the device as the controller's port, attached.
    void Start(const std::string& device) {
        SetVariable(kPortOverrideVariable, device);
        m_settings.SetPath(m_dir + "/Zentrik.ini");
        m_shell = std::make_unique<FrameShell>(m_skin, m_doc, m_settings,
                                               std::make_unique<SwitchableBridges>(m_attached));
        m_skin.shell = m_shell.get();
        m_shell->Create();
    }
    void ExpectConnected(bool connected) {
        EXPECT_EQ(m_shell->Link().IsPortOpen(), connected);
        EXPECT_EQ(m_shell->Command(texts::kIdConnection).text,
                  connected ? "Connected" : "Disconnected");
        for (const int id : {texts::kIdUpload, texts::kIdDownload, texts::kIdControllerInfo,
                             texts::kIdUpgradeFirmware}) {
            EXPECT_EQ(m_shell->Command(id).enabled, connected) << id;
        }
    }

    std::string m_dir = MakeTempDir();
    AppSettings m_settings;
    CQuarnelDoc m_doc{m_settings};
    std::shared_ptr<bool> m_attached = std::make_shared<bool>(true);
    FakeSkin m_skin;
    std::unique_ptr<FrameShell> m_shell;
};

TEST_F(DeviceChange, RemovalAndArrivalFollowTheBridgeAndOtherKindsAreIgnored) {
    Simulator sim;
    Start(sim.Device());
    ExpectConnected(true);

    *m_attached = false;              // a scan now would close the port
    m_shell->OnDeviceChange(0x0018);  // configuration changed
    m_shell->OnDeviceChange(0x0007);  // device nodes changed
    ExpectConnected(true);

    m_shell->OnDeviceChange(FrameShell::kDeviceRemoveComplete);
    ExpectConnected(false);
    *m_attached = true;
    m_shell->OnDeviceChanges({zentrik::DeviceChange::Removal, zentrik::DeviceChange::Arrival});
    ExpectConnected(true);
}

TEST_F(DeviceChange, AnUnrelatedDeviceDoesNotReopenAnOpenPortButTheUsersScanDoes) {
    Simulator sim;
    Start(sim.Device());
    const int opens = m_shell->Port().OpenCount();
    m_shell->OnDeviceChange(FrameShell::kDeviceArrival);
    m_shell->OnDeviceChange(FrameShell::kDeviceRemoveComplete);
    EXPECT_EQ(m_shell->Port().OpenCount(), opens);
    ExpectConnected(true);
    m_shell->OnCommand(texts::kIdScan);
    EXPECT_EQ(m_shell->Port().OpenCount(), opens + 1);
}

TEST_F(DeviceChange, AControllerThatVanishesIsDisconnectedAndReconnectsWhenItReturns) {
    // The device name stays the same across the restart, like a replugged bridge.
    const std::string link = m_dir + "/controller";
    auto sim = std::make_unique<Simulator>(std::vector<std::string>{"--link", link});
    Start(link);
    ExpectConnected(true);

    sim->Kill();
    // The port's hang-up closes it at once, before any device change is reported.
    EXPECT_TRUE(m_skin.DeliverUntil([&] { return !m_shell->Link().IsPortOpen(); }));
    ExpectConnected(false);

    sim = std::make_unique<Simulator>(std::vector<std::string>{"--link", link});
    m_shell->OnDeviceChange(FrameShell::kDeviceArrival);
    ExpectConnected(true);
    m_shell->OnCommand(texts::kIdControllerInfo);
    EXPECT_TRUE(m_skin.DeliverUntil([&] { return !m_skin.boxes.empty(); }));
    ASSERT_FALSE(m_skin.boxes.empty());
    EXPECT_EQ(m_skin.boxes.back().caption, "Controller Info");
}

TEST_F(DeviceChange, AStaleHandleToTheSameDeviceIsReplaced) {
    // Unplugged and plugged back in before the frame followed either change: the scan finds
    // the controller under the same name, but the open handle belongs to the old one. The
    // change is followed before the hang-up notice is delivered.
    const std::string link = m_dir + "/controller";
    auto sim = std::make_unique<Simulator>(std::vector<std::string>{"--link", link});
    Start(link);
    const int opens = m_shell->Port().OpenCount();
    sim->Kill();
    ASSERT_TRUE(m_skin.WaitForPosted());  // the event thread noted the hang-up, then posted
    ASSERT_TRUE(m_shell->Port().HungUp());
    sim = std::make_unique<Simulator>(std::vector<std::string>{"--link", link});
    ASSERT_TRUE(m_shell->Link().IsPortOpen());
    m_shell->OnDeviceChange(FrameShell::kDeviceArrival);
    EXPECT_EQ(m_shell->Port().OpenCount(), opens + 1);
    ExpectConnected(true);
}

TEST_F(DeviceChange, AChangeDuringABoxOfAnEarlierOneIsFollowedOnceItHasFinished) {
    Simulator sim;
    *m_attached = false;
    Start(sim.Device());
    ExpectConnected(false);
    // Arrival: the port can't be opened (a path that isn't there), so a box comes up; while
    // it is up the bridge goes and comes again.
    SetVariable(kPortOverrideVariable, m_dir + "/missing");
    *m_attached = true;
    int nested = 0;
    m_skin.duringBox = [&](const BoxRequest&) {
        if (nested++ == 0) {
            SetVariable(kPortOverrideVariable, sim.Device());
            m_shell->OnDeviceChange(FrameShell::kDeviceRemoveComplete);
            m_shell->OnDeviceChange(FrameShell::kDeviceArrival);
        }
    };
    m_shell->OnDeviceChange(FrameShell::kDeviceArrival);
    EXPECT_EQ(m_skin.boxes.size(), 1u);  // the later changes did not show a box inside it
    ExpectConnected(true);               // they were followed afterwards, with a fresh scan
}

}  // namespace
}  // namespace zentrik::test
