#include <gtest/gtest.h>

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

const Bytes kUploadAck = Hex("22 37 49 F2 02 00 9A D0");

Bytes InfoReply() {
    return ReplyFrame(3, 0, test::InfoPayload({1, 2, 3, 4, 5, 6, 7, 8}, 0x0102));
}

// Everything a stray reply must leave alone.
struct Snapshot {
    LinkCounters counters;
    std::size_t statusTexts;
    std::size_t writes;
    std::deque<RequestType> queue;
    bool inFlight;
    bool timerArmed;
    std::size_t boxes;
    std::size_t notices;
    std::size_t refreshes;

    static Snapshot Of(const LinkRig& rig) {
        return Snapshot{
            rig.link.Counters(),   rig.host.status.size(),     rig.port.writes.size(),
            rig.link.Queue(),      rig.link.requestInFlight(), rig.host.timerArmed,
            rig.host.boxes.size(), rig.host.notices.size(),    rig.host.refreshHints.size()};
    }
    // The same as `before`, apart from `strays` more stray replies.
    void ExpectUnchangedSince(const Snapshot& before, int strays) const {
        LinkCounters expected = before.counters;
        expected.strayReplyCount += strays;
        EXPECT_EQ(counters, expected);
        EXPECT_EQ(counters.strayReplyCount, expected.strayReplyCount);
        EXPECT_EQ(statusTexts, before.statusTexts);
        EXPECT_EQ(writes, before.writes);
        EXPECT_EQ(queue, before.queue);
        EXPECT_EQ(inFlight, before.inFlight);
        EXPECT_EQ(timerArmed, before.timerArmed);
        EXPECT_EQ(boxes, before.boxes);
        EXPECT_EQ(notices, before.notices);
        EXPECT_EQ(refreshes, before.refreshes);
    }
};

TEST(ReplyMatching, DuplicateDownloadReplyDuringTheNoticeLeavesTheQueuedUploadAlone) {
    // The download reply comes twice (a late answer to a first send and the answer to the
    // re-send); the second one arrives while "Config Downloaded" is up.
    LinkRig rig;
    rig.link.QueueRequest(RequestType::DownloadConfig);
    rig.link.QueueRequest(RequestType::UploadConfig);
    Bytes image(110, 0);
    image[8] = 0x17;  // stage 0 RPM_Max 6000
    image[9] = 0x70;
    const Bytes reply = ReplyFrame(1, 0, image);
    // The duplicate carries other values: a stray reply must not replace the document.
    Bytes other = image;
    other[8] = 0x0B;
    other[9] = 0xB8;
    const Bytes duplicate = ReplyFrame(1, 0, other);
    bool nested = false;
    rig.host.duringNotice = [&](NoticeKind kind) {
        if (kind != NoticeKind::Downloaded || nested) {
            return;
        }
        nested = true;
        const Snapshot before = Snapshot::Of(rig);
        rig.Deliver(duplicate);
        Snapshot::Of(rig).ExpectUnchangedSince(before, 1);
        EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1}));
    };
    rig.Deliver(reply);
    ASSERT_TRUE(nested);
    EXPECT_EQ(rig.host.document.record.stage[0].RPM_Max, 6000);
    // The upload went out once the notice closed, and is still waiting for its own reply.
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1, 2}));
    ASSERT_EQ(rig.link.QueueLength(), 1u);
    EXPECT_EQ(rig.link.Queue().front(), RequestType::UploadConfig);
    EXPECT_TRUE(rig.link.requestInFlight());
    EXPECT_EQ(rig.host.LastStatus(), texts::kStatusSending);
    rig.Deliver(kUploadAck);
    EXPECT_EQ(rig.link.QueueLength(), 0u);
    EXPECT_FALSE(rig.link.requestInFlight());
    EXPECT_EQ(rig.host.notices,
              (std::vector<NoticeKind>{NoticeKind::Downloaded, NoticeKind::Uploaded}));
    EXPECT_EQ(rig.host.refreshHints, (std::vector<int>{1}));
    EXPECT_EQ(rig.link.Counters().goodCount, 2);
    EXPECT_EQ(rig.link.Counters().strayReplyCount, 1);
}

TEST(ReplyMatching, ReplyOfAnotherTypeLeavesTheRequestInFlightToItsOwnEnd) {
    LinkRig rig;
    rig.link.QueueRequest(RequestType::UploadConfig);
    // A late controller-info reply, good and damaged: no info box, no retry, no counts.
    Snapshot before = Snapshot::Of(rig);
    rig.Deliver(InfoReply());
    rig.Deliver(DamagedReplyFrame(3, test::InfoPayload({}, 0)));
    Snapshot::Of(rig).ExpectUnchangedSince(before, 2);
    EXPECT_EQ(rig.host.LastStatus(), texts::kStatusSending);
    // The upload still ends by its own timer: one time-out, one automatic re-send.
    rig.host.Advance(1040);
    EXPECT_EQ(rig.link.Counters().timeoutCount, 1);
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{2, 2}));
    // A damaged reply of its own type is its checksum error and is retried as before.
    const std::size_t statusBefore = rig.host.status.size();
    rig.Deliver(DamagedReplyFrame(2));
    EXPECT_EQ(rig.link.Counters().crcErrorCount, 1);
    ASSERT_GT(rig.host.status.size(), statusBefore);
    EXPECT_EQ(rig.host.status[statusBefore], texts::kStatusCrcError);
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{2, 2, 2}));
    // And its own good reply completes it.
    rig.Deliver(kUploadAck);
    EXPECT_EQ(rig.link.QueueLength(), 0u);
    EXPECT_EQ(rig.link.Counters().goodCount, 1);
    EXPECT_EQ(rig.host.notices, (std::vector<NoticeKind>{NoticeKind::Uploaded}));
    EXPECT_TRUE(rig.host.boxes.empty());
    EXPECT_EQ(rig.link.Counters().strayReplyCount, 2);
}

TEST(ReplyMatching, DamagedStrayFrameDuringTheNoticeSendsNothing) {
    LinkRig rig;
    FakeController controller(rig.port);
    rig.link.QueueRequest(RequestType::DownloadConfig);
    rig.link.QueueRequest(RequestType::UploadConfig);
    bool nested = false;
    rig.host.duringNotice = [&](NoticeKind kind) {
        if (kind != NoticeKind::Downloaded || nested) {
            return;
        }
        nested = true;
        const Snapshot before = Snapshot::Of(rig);
        rig.Deliver(DamagedReplyFrame(1, Bytes(110, 0)));
        rig.Deliver(DamagedReplyFrame(2));
        Snapshot::Of(rig).ExpectUnchangedSince(before, 2);
    };
    rig.RunUntilIdle();
    ASSERT_TRUE(nested);
    // The upload went out once, after the notice, and its own reply completed it.
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(rig.link.Counters().crcErrorCount, 0);
    EXPECT_EQ(rig.link.Counters().goodCount, 2);
    EXPECT_EQ(rig.link.QueueLength(), 0u);
}

}  // namespace
}  // namespace zentrik
