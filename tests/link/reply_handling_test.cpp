#include <gtest/gtest.h>

#include <cstdlib>

#include "link/controller_link.h"
#include "link/link_texts.h"
#include "link/serial/device_name.h"
#include "support/link_rig.h"
#include "support/test_environment.h"

namespace zentrik {
namespace {

using test::Bytes;
using test::FakeController;
using test::Hex;
using test::LinkRig;
using test::ReplyFrame;
namespace texts = link_texts;

TEST(ReplyHandling, DownloadReplacesTheDocumentAndRefreshesTheViews) {
    LinkRig rig;
    FakeController controller(rig.port);
    ConfigDocument source;
    source.record.flags = 0x03;  // RPM present, bar
    source.record.stage[1].RPM_Max = 6000;
    source.record.reserved94[0] = 0x5A;
    source.displayPressures[PressureIndex(0, PressureField::MAP_Max)] = 1.0;
    const auto image = ToWireImage(source);
    std::copy(image.begin(), image.end(), controller.configImage.begin());

    rig.link.QueueRequest(RequestType::DownloadConfig);
    rig.RunUntilIdle();

    const ConfigDocument& doc = rig.host.document;
    EXPECT_EQ(doc.record.flags, 0x03);
    EXPECT_EQ(doc.record.stage[1].RPM_Max, 6000);
    EXPECT_EQ(doc.record.reserved94[0], 0x5A);
    EXPECT_NEAR(doc.displayPressures[PressureIndex(0, PressureField::MAP_Max)], 0.999738, 1e-6);
    EXPECT_EQ(rig.host.refreshHints, (std::vector<int>{1}));
    EXPECT_EQ(rig.host.notices, (std::vector<NoticeKind>{NoticeKind::Downloaded}));
    EXPECT_EQ(rig.host.LastStatus(), texts::kStatusDownloaded);
}

TEST(ReplyHandling, DamagedDownloadLeavesTheDocumentAlone) {
    LinkRig rig;
    rig.host.document.record.stage[0].Frequency = 33;
    rig.link.QueueRequest(RequestType::DownloadConfig);
    rig.Deliver(test::DamagedReplyFrame(1, Bytes(110, 0xEE)));
    EXPECT_EQ(rig.host.document.record.stage[0].Frequency, 33);
    EXPECT_TRUE(rig.host.refreshHints.empty());
}

TEST(ReplyHandling, ControllerInfoBoxShowsSerialAndVersion) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::ControllerInfo);
    rig.Deliver(ReplyFrame(3, 0, Hex("01 23 45 67 89 AB CD EF 01 02")));
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].text, "Serial Number:0123456789ABCDEF\nFirmware Version:0102");
    EXPECT_EQ(rig.host.boxes[0].caption, texts::kControllerInfoCaption);
    EXPECT_EQ(rig.host.boxes[0].icon, MessageIcon::None);
    EXPECT_EQ(rig.host.boxes[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(rig.host.status.back(), texts::kStatusInfoDownloaded);
    EXPECT_FALSE(rig.link.requestInFlight());
}

TEST(ReplyHandling, NoiseSplitAndMergedRepliesThroughThePort) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::UploadConfig);
    rig.link.QueueRequest(RequestType::UploadConfig);
    const Bytes ack = Hex("22 37 49 F2 02 00 9A D0");
    rig.Deliver(Hex("FF 00 22 22"));
    rig.Deliver(Bytes(ack.begin() + 1, ack.begin() + 5));
    EXPECT_EQ(rig.link.Counters().goodCount, 0);
    rig.Deliver(Bytes(ack.begin() + 5, ack.end()));
    EXPECT_EQ(rig.link.Counters().goodCount, 1);
    // The second upload is in flight now; its ack arrives glued to a stray one, which is
    // taken apart from it and answers nothing.
    Bytes two = ack;
    two.insert(two.end(), ack.begin(), ack.end());
    rig.Deliver(two);
    EXPECT_EQ(rig.link.Counters().goodCount, 2);
    EXPECT_EQ(rig.link.Counters().strayReplyCount, 1);
    EXPECT_EQ(rig.link.QueueLength(), 0u);
}

TEST(ReplyHandling, ReceiveNotificationsWithoutTheReceiveBitAreIgnored) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::UploadConfig);
    rig.port.Inject(Hex("22 37 49 F2 02 00 9A D0"));
    rig.link.OnPortEvent(kEventError);
    EXPECT_EQ(rig.port.readCalls, 0);
    EXPECT_EQ(rig.link.Counters().goodCount, 0);
    // Line-error bits in the high half do not stop a receive notification.
    rig.link.OnPortEvent((0x0008u << 16) | kEventRxChar);
    EXPECT_EQ(rig.port.readCalls, 1);
    EXPECT_EQ(rig.link.Counters().goodCount, 1);
    // A notification whose read finds nothing still reads once and changes nothing.
    rig.link.OnPortEvent(kEventRxChar);
    EXPECT_EQ(rig.port.readCalls, 2);
    EXPECT_EQ(rig.link.GetReceiveState(), ReceiveState::HuntSync1);
}

TEST(ReplyHandling, OneNotificationTakesEverythingWaitingWithoutDroppingBytes) {
    // The port reports arrivals only, so a notification must not leave bytes behind in the
    // port, nor drop what does not fit in the ring: noise longer than the ring and a reply
    // delivered with one notification are all consumed, and the reply completes the request.
    for (std::size_t noise : {std::size_t{4095}, std::size_t{4096}, std::size_t{10000}}) {
        LinkRig rig;
        rig.link.QueueRequest(RequestType::UploadConfig);
        Bytes stream(noise, 0x00);
        const Bytes ack = Hex("22 37 49 F2 02 00 9A D0");
        stream.insert(stream.end(), ack.begin(), ack.end());
        rig.Deliver(stream);
        EXPECT_FALSE(rig.port.HasPending()) << noise;
        EXPECT_EQ(rig.link.Counters().goodCount, 1) << noise;
        EXPECT_EQ(rig.link.GetReceiver().Buffered(), 0u) << noise;
    }
}

TEST(ReplyHandling, StrayFlashGrantWithoutAnUpgradeStartsNoTransfer) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::FlashPermission);
    rig.Deliver(Hex("22 37 49 F2 EE 00 76 06"));
    EXPECT_EQ(rig.host.LastStatus(), texts::kStatusPermissionReceived);
    EXPECT_EQ(rig.host.upgradeDialogs, 0);
    EXPECT_EQ(rig.port.writes.size(), 1u);
    EXPECT_EQ(rig.link.GetReceiveState(), ReceiveState::HuntSync1);
}

TEST(PortOpening, FailureNamesTheDeviceAndTheSendTimesOut) {
    test::UnsetVariable(kPortOverrideVariable);
    LinkRig rig;
    rig.port.openResult = 2;
    rig.host.answers = {MessageAnswer::Abort};
    rig.link.QueueRequest(RequestType::ControllerInfo);
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].caption, texts::kPortUnavailableCaption);
    EXPECT_EQ(rig.host.boxes[0].text,
              PlatformDeviceName(3) + " is not available. Please choose a different serial port.");
    EXPECT_EQ(rig.host.boxes[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(rig.host.boxes[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(rig.link.IsPortOpen());
    EXPECT_TRUE(rig.port.writes.empty());
    EXPECT_TRUE(rig.host.timerArmed);
    // Each retry tries the port again and fails again; then the time-out box.
    rig.host.Advance(3 * 540);
    EXPECT_EQ(rig.port.openCalls, 3);
    EXPECT_EQ(rig.host.boxes.back().caption, texts::kTimeoutCaption);
}

TEST(PortOpening, SuccessAppliesTheLinkSettings) {
    test::SetVariable(kPortOverrideVariable, "/tmp/controller-pty");
    LinkRig rig;
    EXPECT_TRUE(rig.link.OpenControllerPort());
    test::UnsetVariable(kPortOverrideVariable);
    EXPECT_EQ(rig.port.openedDevice, "/tmp/controller-pty");
    EXPECT_EQ(rig.port.operations,
              (std::vector<std::string>{"Open 1025 0 0 0", "SetLineFormat 19200 8 0 0",
                                        "SetFlowControl 0", "SetEventMask 129", "SetReadMode 0",
                                        "Purge"}));
    // Opening again closes first.
    EXPECT_TRUE(rig.link.OpenControllerPort());
    EXPECT_EQ(rig.port.closeCalls, 1);
    EXPECT_TRUE(rig.link.IsPortOpen());
    EXPECT_TRUE(rig.link.CommandsEnabled());
}

}  // namespace
}  // namespace zentrik
