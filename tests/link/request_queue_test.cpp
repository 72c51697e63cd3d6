#include <gtest/gtest.h>

#include <limits>

#include "link/controller_link.h"
#include "link/link_texts.h"
#include "support/link_rig.h"

namespace zentrik {
namespace {

using test::Bytes;
using test::DamagedReplyFrame;
using test::FakeController;
using test::Hex;
using test::LinkRig;
using test::ReplyFrame;
namespace texts = link_texts;

constexpr std::uint8_t kInfo = 3;
const Bytes kInfoPayload = Hex("01 23 45 67 89 AB CD EF 01 02");

TEST(Requests, FramesStatusTextsAndReplyIntervals) {
    LinkRig rig;
    struct Case {
        RequestType type;
        const char* status;
        std::size_t length;
        unsigned interval;
    };
    const Case cases[] = {
        {RequestType::DownloadConfig, texts::kStatusDownloading, 8, 540},
        {RequestType::UploadConfig, texts::kStatusSending, 118, 1040},
        {RequestType::ControllerInfo, texts::kStatusRequestingInfo, 8, 540},
        {RequestType::FlashPermission, texts::kStatusRequestingPermission, 8, 5040},
    };
    for (const Case& c : cases) {
        rig.link.SendRequest(c.type);
        EXPECT_EQ(rig.host.LastStatus(), c.status);
        ASSERT_FALSE(rig.port.writes.empty());
        EXPECT_EQ(rig.port.writes.back().size(), c.length);
        EXPECT_EQ(rig.port.writes.back()[4], static_cast<std::uint8_t>(c.type));
        EXPECT_EQ(rig.host.timerStarts.back(), c.interval);
        EXPECT_TRUE(rig.link.requestInFlight());
    }
    EXPECT_EQ(rig.port.writes[0], Hex("22 37 49 F2 01 0A 1D 1A"));
    // A two-byte unit gets exactly Timeout; so does a long sequence of no known type.
    const Bytes unit = Hex("01 02");
    rig.link.SendBytes(unit.data(), unit.size());
    EXPECT_EQ(rig.host.timerStarts.back(), 40u);
    const Bytes odd = Hex("22 37 49 F2 55 0A 00 00");
    rig.link.SendBytes(odd.data(), odd.size());
    EXPECT_EQ(rig.host.timerStarts.back(), 40u);
    EXPECT_EQ(rig.link.Counters().sentCount, 6);
}

TEST(Requests, HugeTimeoutIsCappedInsteadOfWrapping) {
    constexpr unsigned kCap = ControllerLink::kMaxReplyIntervalMs;
    struct Case {
        int timeout;
        RequestType type;
        unsigned interval;
    };
    const Case cases[] = {
        {std::numeric_limits<int>::max(), RequestType::FlashPermission, kCap},
        {std::numeric_limits<int>::max() - 400, RequestType::DownloadConfig, kCap},
        {std::numeric_limits<int>::max() - 900, RequestType::UploadConfig, kCap},
        // Near the cap: the allowance is added, then the sum is capped.
        {static_cast<int>(kCap) - 1000, RequestType::ControllerInfo, kCap - 500},
        {static_cast<int>(kCap) - 1000, RequestType::FlashPermission, kCap},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.timeout);
        LinkRig rig;
        rig.settings.Timeout = c.timeout;
        rig.link.QueueRequest(c.type);
        ASSERT_EQ(rig.host.timerStarts.size(), 1u);
        EXPECT_EQ(rig.host.timerStarts[0], c.interval);
        // A long wait, not an early time-out.
        rig.host.Advance(c.interval - 1);
        EXPECT_EQ(rig.link.Counters().timeoutCount, 0);
    }
    // A firmware unit waits exactly Timeout, capped alike.
    LinkRig rig;
    rig.settings.Timeout = std::numeric_limits<int>::max();
    const Bytes unit = Hex("01 02");
    rig.link.SendBytes(unit.data(), unit.size());
    EXPECT_EQ(rig.host.timerStarts.back(), kCap);
}

TEST(Requests, UploadCarriesTheDocumentAtTheMomentOfSending) {
    LinkRig rig;
    rig.host.document.record.stage[0].RPM_Max = 6000;
    rig.host.document.displayPressures[PressureIndex(0, PressureField::MAP_Trigger)] = -14.7;
    rig.link.QueueRequest(RequestType::UploadConfig);
    ASSERT_EQ(rig.port.writes.size(), 1u);
    const Bytes& frame = rig.port.writes[0];
    const auto image = ToWireImage(rig.host.document);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), frame.begin() + 6));
    EXPECT_EQ(frame[6 + 8], 0x17);  // RPM_Max big-endian
    EXPECT_EQ(frame[6 + 9], 0x70);
    EXPECT_EQ(Crc16(frame.data() + 4, 112), ReadBigEndian16(frame.data() + 116));
}

TEST(Queue, SecondCommandIsSentOnlyAfterTheFirstCompletes) {
    LinkRig rig;
    FakeController controller(rig.port);
    std::size_t writesDuringNotice = 0;
    rig.host.duringNotice = [&](NoticeKind) { writesDuringNotice = rig.port.writes.size(); };
    rig.link.QueueRequest(RequestType::DownloadConfig);
    rig.link.QueueRequest(RequestType::ControllerInfo);
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1}));
    EXPECT_EQ(rig.link.QueueLength(), 2u);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1, 3}));
    // The next request waited for the notice to close.
    EXPECT_EQ(writesDuringNotice, 1u);
    EXPECT_EQ(rig.link.QueueLength(), 0u);
    EXPECT_FALSE(rig.link.requestInFlight());
    EXPECT_EQ(rig.link.Counters().goodCount, 2);
    ASSERT_EQ(rig.host.boxes.size(), 1u);  // the info box
}

TEST(Timeouts, SilentControllerIsAskedThreeTimesThenTheUserDecides) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::ControllerInfo);
    rig.host.answers = {MessageAnswer::Abort};
    rig.host.Advance(539);
    EXPECT_EQ(rig.port.writes.size(), 1u);
    rig.host.Advance(1);
    EXPECT_EQ(rig.port.writes.size(), 2u);
    rig.host.Advance(2 * 540);
    ASSERT_EQ(rig.port.writes.size(), 3u);
    EXPECT_EQ(rig.port.writeTimes, (std::vector<std::int64_t>{0, 540, 1080}));
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].text, texts::kTimeoutText);
    EXPECT_EQ(rig.host.boxes[0].caption, texts::kTimeoutCaption);
    EXPECT_EQ(rig.host.boxes[0].buttons, MessageButtons::AbortRetryIgnore);
    EXPECT_EQ(rig.host.LastStatus(), texts::kStatusTimedOut);
    EXPECT_EQ(rig.link.Counters().timeoutCount, 3);
    EXPECT_EQ(rig.link.QueueLength(), 0u);
    EXPECT_FALSE(rig.link.ReplyTimerRunning());
    rig.host.Advance(10000);
    EXPECT_EQ(rig.port.writes.size(), 3u);  // nothing more
}

TEST(Timeouts, RetrySettingOfZeroOrOneAsksAtTheFirstTimeout) {
    for (int retries : {0, 1}) {
        LinkRig rig;
        rig.settings.TimeoutRetry = retries;
        rig.host.answers = {MessageAnswer::Abort};
        rig.link.QueueRequest(RequestType::DownloadConfig);
        rig.host.Advance(540);
        EXPECT_EQ(rig.port.writes.size(), 1u);
        EXPECT_EQ(rig.host.boxes.size(), 1u);
    }
}

TEST(Timeouts, RetryGivesAFreshSetOfAttempts) {
    LinkRig rig;
    rig.host.answers = {MessageAnswer::Retry, MessageAnswer::Abort};
    rig.link.QueueRequest(RequestType::DownloadConfig);
    rig.host.Advance(3 * 540);
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.link.ConsecutiveTimeouts(), 0);
    EXPECT_EQ(rig.port.writes.size(), 4u);  // the Retry sent it again at once
    rig.host.Advance(3 * 540);
    EXPECT_EQ(rig.host.boxes.size(), 2u);
    EXPECT_EQ(rig.port.writes.size(), 6u);
    EXPECT_EQ(rig.link.Counters().timeoutCount, 6);
}

TEST(Timeouts, IgnoreDropsOnlyTheFailedRequestAndAbortDropsAll) {
    {
        LinkRig rig;
        rig.host.answers = {MessageAnswer::Ignore};
        rig.link.QueueRequest(RequestType::DownloadConfig);
        rig.link.QueueRequest(RequestType::UploadConfig);
        rig.link.QueueRequest(RequestType::ControllerInfo);
        rig.host.Advance(3 * 540);
        EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1, 1, 1, 2}));
        EXPECT_EQ(rig.link.QueueLength(), 2u);
        EXPECT_EQ(rig.link.currentType(), 2);
        EXPECT_TRUE(rig.link.requestInFlight());
    }
    {
        LinkRig rig;
        rig.host.answers = {MessageAnswer::Abort};
        rig.link.QueueRequest(RequestType::DownloadConfig);
        rig.link.QueueRequest(RequestType::UploadConfig);
        rig.host.Advance(3 * 540);
        EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1, 1, 1}));
        EXPECT_EQ(rig.link.QueueLength(), 0u);
        EXPECT_FALSE(rig.link.requestInFlight());
    }
}

TEST(ChecksumErrors, RetriedThenPutToTheUser) {
    LinkRig rig;
    rig.host.answers = {MessageAnswer::Ignore};
    rig.link.QueueRequest(RequestType::UploadConfig);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rig.port.writes.size(), static_cast<std::size_t>(i + 1));
        const std::size_t before = rig.host.status.size();
        rig.Deliver(DamagedReplyFrame(2));
        ASSERT_GT(rig.host.status.size(), before);
        EXPECT_EQ(rig.host.status[before], texts::kStatusCrcError);
    }
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].text, texts::kCrcErrorText);
    EXPECT_EQ(rig.host.boxes[0].caption, texts::kCrcErrorCaption);
    EXPECT_EQ(rig.link.Counters().crcErrorCount, 3);
    EXPECT_EQ(rig.link.Counters().timeoutCount, 0);
    EXPECT_EQ(rig.port.writes.size(), 3u);
    EXPECT_EQ(rig.link.QueueLength(), 0u);
    EXPECT_FALSE(rig.host.timerArmed);
}

TEST(ChecksumErrors, NonZeroStatusCountsAsAChecksumError) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::UploadConfig);
    rig.Deliver(ReplyFrame(2, 1));
    EXPECT_EQ(rig.link.Counters().crcErrorCount, 1);
    EXPECT_EQ(rig.link.Counters().goodCount, 0);
    EXPECT_EQ(rig.port.writes.size(), 2u);  // sent again
    rig.Deliver(Hex("22 37 49 F2 02 00 9A D0"));
    EXPECT_EQ(rig.link.Counters().goodCount, 1);
    EXPECT_EQ(rig.host.notices, (std::vector<NoticeKind>{NoticeKind::Uploaded}));
    EXPECT_EQ(rig.host.LastStatus(), texts::kStatusUploaded);
}

TEST(ChecksumErrors, ConsecutiveCountersAreIndependent) {
    LinkRig rig;
    rig.host.answers = {MessageAnswer::Abort};
    rig.link.QueueRequest(RequestType::ControllerInfo);
    // timeout, crc, timeout, crc: neither count clears the other.
    rig.host.Advance(540);
    rig.Deliver(DamagedReplyFrame(kInfo, kInfoPayload));
    rig.host.Advance(540);
    rig.Deliver(DamagedReplyFrame(kInfo, kInfoPayload));
    EXPECT_EQ(rig.link.ConsecutiveTimeouts(), 2);
    EXPECT_EQ(rig.link.ConsecutiveCrcErrors(), 2);
    EXPECT_TRUE(rig.host.boxes.empty());
    rig.host.Advance(540);  // third time-out
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].caption, texts::kTimeoutCaption);
    // The answer reset both.
    EXPECT_EQ(rig.link.ConsecutiveCrcErrors(), 0);
    EXPECT_EQ(rig.link.ConsecutiveTimeouts(), 0);
}

TEST(GoodReplies, GoodReplyResetsTheConsecutiveCounters) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::UploadConfig);
    rig.host.Advance(1040);
    rig.Deliver(DamagedReplyFrame(2));
    rig.Deliver(ReplyFrame(2, 0));
    EXPECT_EQ(rig.link.ConsecutiveTimeouts(), 0);
    EXPECT_EQ(rig.link.ConsecutiveCrcErrors(), 0);
    // Another request now gets its full three attempts.
    rig.host.answers = {MessageAnswer::Abort};
    rig.link.QueueRequest(RequestType::UploadConfig);
    rig.host.Advance(2 * 1040);
    EXPECT_TRUE(rig.host.boxes.empty());
    rig.host.Advance(1040);
    EXPECT_EQ(rig.host.boxes.size(), 1u);
}

TEST(Timer, ALeftoverTickAfterAReplyDoesNothing) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::UploadConfig);
    rig.Deliver(ReplyFrame(2, 0));
    rig.link.OnReplyTimer();
    EXPECT_EQ(rig.link.Counters().timeoutCount, 0);
    EXPECT_EQ(rig.port.writes.size(), 1u);
}

TEST(Reentry, LateReplyDuringTheTimeoutBoxCompletesTheRequestOnce) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::DownloadConfig);
    rig.link.QueueRequest(RequestType::ControllerInfo);
    // The answer comes in while the box is up, through the box's own event loop.
    rig.host.duringBox = [&](const test::BoxRecord& box) {
        if (box.caption == texts::kTimeoutCaption) {
            EXPECT_TRUE(rig.link.requestInFlight());
            EXPECT_FALSE(rig.link.ReplyTimerRunning());
            rig.Deliver(ReplyFrame(1, 0, Bytes(110, 0)));
        }
    };
    rig.host.answers = {MessageAnswer::Ignore};
    rig.host.Advance(3 * 540);
    // The download completed inside the box and the info request went out; the stale Ignore
    // did not drop the info request, which is still in flight.
    EXPECT_EQ(rig.host.notices.size(), 1u);
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1, 1, 1, 3}));
    ASSERT_EQ(rig.link.QueueLength(), 1u);
    EXPECT_EQ(rig.link.Queue().front(), RequestType::ControllerInfo);
    EXPECT_TRUE(rig.link.requestInFlight());
    EXPECT_TRUE(rig.link.ReplyTimerRunning());
    rig.Deliver(ReplyFrame(3, 0, test::InfoPayload({}, 0x0102)));
    EXPECT_EQ(rig.link.QueueLength(), 0u);
}

TEST(Reentry, AbortStillStopsEverythingAfterADamagedReplyDuringTheBox) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::DownloadConfig);
    rig.link.QueueRequest(RequestType::ControllerInfo);
    // A damaged late reply arrives while the box is up and sends the request again.
    rig.host.duringBox = [&](const test::BoxRecord& box) {
        if (box.caption == texts::kTimeoutCaption && rig.host.boxes.size() == 1) {
            rig.Deliver(test::DamagedReplyFrame(1, Bytes(110, 0)));
        }
    };
    rig.host.answers = {MessageAnswer::Abort};
    rig.host.Advance(3 * 540);
    EXPECT_EQ(rig.link.Counters().crcErrorCount, 1);
    EXPECT_EQ(rig.link.QueueLength(), 0u);
    EXPECT_FALSE(rig.link.requestInFlight());
    EXPECT_FALSE(rig.link.ReplyTimerRunning());
    // Nothing is left to time out: no second box, nothing more sent.
    const std::size_t sent = rig.port.writes.size();
    rig.RunUntilIdle();
    EXPECT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.port.writes.size(), sent);
}

TEST(Reentry, BytesDuringTheNoticeFindASettledQueue) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::DownloadConfig);
    rig.link.QueueRequest(RequestType::UploadConfig);
    bool nested = false;
    rig.host.duringNotice = [&](NoticeKind kind) {
        if (kind == NoticeKind::Downloaded && !nested) {
            nested = true;
            EXPECT_EQ(rig.link.QueueLength(), 1u);
            EXPECT_FALSE(rig.link.requestInFlight());
            rig.Deliver(Hex("00 22 37"));  // noise and a partial sync, nothing to act on
        }
    };
    rig.Deliver(ReplyFrame(1, 0, Bytes(110, 0)));
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1, 2}));
    rig.Deliver(Hex("49 F2 02 00 9A D0"));  // completes the sync started during the notice
    EXPECT_EQ(rig.link.QueueLength(), 0u);
    EXPECT_EQ(rig.host.notices.size(), 2u);
}

TEST(Queue, ValuesThatAreNotRequestTypesAreRefused) {
    LinkRig rig;
    EXPECT_FALSE(rig.link.QueueRequest(static_cast<RequestType>(7)));
    EXPECT_EQ(rig.link.QueueLength(), 0u);
    EXPECT_TRUE(rig.port.writes.empty());
}

}  // namespace
}  // namespace zentrik
