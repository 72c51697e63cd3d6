// One window per settings file over the real local socket: a later start's file reaches the
// running window and is opened there; a start with other settings runs a window of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <QTest>

#include "config/config_file.h"
#include "shell/single_instance.h"
#include "support/sample_config.h"
#include "ui/qt/instance_channel.h"
#include "window_rig.h"

namespace zentrik::apptest {
namespace {

using Start = SingleInstance::Start;

TEST(SingleInstanceWindow, ALaterStartHandsItsFileOverAndOtherSettingsStaySeparate) {
    LocalInstanceChannel channel;
    SingleInstance single(channel);
    WindowRig rig;
    ASSERT_EQ(single.Begin(rig.IniPath(), false, {}, rig.Dir()), Start::Run);
    rig.Start(false);
    channel.SetWindow(&rig.Frame());
    single.Attach(rig.Frame().Shell(), {});

    ConfigDocument tune = test::SampleConfigDocument();
    tune.record.stage[0].RPM_Max = 6100;
    ASSERT_TRUE(WriteConfigFile(rig.Path("tune.zcfg"), tune, false));
    // The later start blocks until the window has confirmed, as its own process would: it
    // runs beside this thread's event loop.
    std::atomic<int> outcome{-1};
    std::thread later([&] {
        LocalInstanceChannel laterChannel;
        SingleInstance laterStart(laterChannel);
        outcome =
            static_cast<int>(laterStart.Begin(rig.IniPath(), false, {"tune.zcfg"}, rig.Dir()));
    });
    const bool opened = QTest::qWaitFor(
        [&] { return outcome != -1 && rig.Frame().Document().record.stage[0].RPM_Max == 6100; },
        20000);
    later.join();
    EXPECT_TRUE(opened);
    EXPECT_EQ(outcome, static_cast<int>(Start::HandedOver));

    LocalInstanceChannel otherChannel;
    SingleInstance other(otherChannel);
    EXPECT_EQ(other.Begin(rig.Path("other/Zentrik.ini"), false, {}, rig.Dir()), Start::Run);
    rig.Exit();
}

}  // namespace
}  // namespace zentrik::apptest
