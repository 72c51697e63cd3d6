#include "sim/sim_session.h"

#include <gtest/gtest.h>

#include <bit>

#include "sim_test_util.h"

namespace zentrik {
namespace {

using namespace std::chrono_literals;
using simtest::Hex;
using simtest::kInfoReply;
using simtest::Request;

const SimTime kStart{};
const std::vector<std::uint8_t> kInfoRequest = Request(RequestType::ControllerInfo);

SessionSettings WithFaults(double drop, double corrupt, double noise, std::uint64_t seed = 42) {
    SessionSettings s;
    s.faults = {drop, corrupt, noise, false, seed};
    return s;
}

// Sends `count` info requests a second apart and returns what came back for each.
std::vector<std::vector<std::uint8_t>> Exchange(SimSession& session, int count) {
    std::vector<std::vector<std::uint8_t>> replies;
    for (int i = 0; i < count; ++i) {
        const SimTime now = kStart + i * 1s;
        session.Receive(kInfoRequest, now);
        replies.push_back(session.TakeOutput(now));
    }
    return replies;
}

TEST(LinePacer, BackToBackBytesKeepExactTimeOverLongRuns) {
    LinePacer line(19200);
    // 19200 bytes of ten bits take exactly ten seconds; per-byte rounding would drift.
    line.Push(std::vector<std::uint8_t>(19200, 0x55), kStart);
    const auto due = line.TakeDue(kStart + 10s);
    ASSERT_EQ(due.size(), 19200u);
    EXPECT_EQ(due[0].time, kStart + 520833ns);
    EXPECT_EQ(due[1].time, kStart + 1041666ns);
    EXPECT_EQ(due.back().time, kStart + 10s);
    // Bytes pushed while the line is busy queue behind; after a pause the clock restarts.
    line.Push(Hex("AA"), kStart + 9s);
    line.Push(Hex("BB"), kStart + 20s);
    EXPECT_EQ(line.NextDue(), kStart + 10s + 520833ns);
    line.TakeDue(kStart + 11s);
    EXPECT_EQ(line.NextDue(), kStart + 20s + 520833ns);
}

TEST(SimSessionTiming, LatencyDelaysEachReplyAndEcho) {
    SessionSettings settings;
    settings.latency = 30ms;
    SimSession session(settings);
    session.Receive(kInfoRequest, kStart);
    EXPECT_EQ(session.NextWakeup(), kStart + 30ms);
    EXPECT_TRUE(session.TakeOutput(kStart + 29ms).empty());
    EXPECT_EQ(session.TakeOutput(kStart + 30ms), kInfoReply);
    session.Receive(Request(RequestType::FlashPermission), kStart + 1s);
    session.TakeOutput(kStart + 2s);
    session.Receive(Hex("01 02"), kStart + 2s);
    EXPECT_TRUE(session.TakeOutput(kStart + 2s + 29ms).empty());
    EXPECT_EQ(session.TakeOutput(kStart + 2s + 30ms), Hex("01 02"));
    // A slow controller does not give up on a transfer it is itself holding up.
    session.Receive(Hex("03 04"), kStart + 3s + 20ms);
    EXPECT_EQ(session.TakeOutput(kStart + 4s), Hex("03 04"));
}

TEST(SimSessionTiming, PacedLineDeliversRequestThenReplyAtTheBaudRate) {
    SessionSettings settings;
    settings.baud = 19200;
    SimSession session(settings);
    const LinePacer reference(19200);
    const SimTime requestDone = kStart + reference.LineTime(8);
    const SimTime replyDone = requestDone + reference.LineTime(kInfoReply.size());
    session.Receive(kInfoRequest, kStart);
    // The controller has the request only once its eight bytes have crossed the line.
    EXPECT_EQ(session.NextWakeup(), requestDone + reference.LineTime(1));
    EXPECT_TRUE(session.TakeOutput(requestDone).empty());
    EXPECT_EQ(session.TakeOutput(requestDone + reference.LineTime(1)).size(), 1u);
    EXPECT_EQ(session.TakeOutput(replyDone - 1ns).size(), kInfoReply.size() - 2);
    EXPECT_EQ(session.TakeOutput(replyDone).size(), 1u);
    EXPECT_EQ(session.NextWakeup(), std::nullopt);
}

TEST(SimSessionFaults, ProbabilityZeroNeverAndOneAlways) {
    SimSession clean(WithFaults(0, 0, 0));
    for (const auto& reply : Exchange(clean, 50)) {
        EXPECT_EQ(reply, kInfoReply);
    }
    SimSession corrupt(WithFaults(0, 1, 0));
    for (const auto& reply : Exchange(corrupt, 50)) {
        ASSERT_EQ(reply.size(), kInfoReply.size());
        int flipped = 0;
        for (std::size_t i = 0; i < reply.size(); ++i) {
            flipped += std::popcount(static_cast<unsigned>(reply[i] ^ kInfoReply[i]));
        }
        EXPECT_EQ(flipped, 1);
    }
    SimSession noisy(WithFaults(0, 0, 1));
    for (const auto& reply : Exchange(noisy, 50)) {
        ASSERT_GT(reply.size(), kInfoReply.size());
        EXPECT_LE(reply.size(), kInfoReply.size() + kMaxNoiseBytes);
        EXPECT_TRUE(std::equal(kInfoReply.rbegin(), kInfoReply.rend(), reply.rbegin()));
    }
}

TEST(SimSessionFaults, DroppedAndSilentRepliesAreLostButRequestsAreCarriedOut) {
    SessionSettings silent;
    silent.faults.silent = true;
    for (SessionSettings settings : {WithFaults(1, 0, 0), silent}) {
        SimSession session(settings);
        auto image = simtest::DefaultWireImage();
        image[12] = 33;
        session.Receive(Request(RequestType::UploadConfig, image), kStart);
        EXPECT_TRUE(session.TakeOutput(kStart).empty());
        EXPECT_EQ(session.controller().config().stage[0].Frequency, 33);
        for (const auto& reply : Exchange(session, 20)) {
            EXPECT_TRUE(reply.empty());
        }
    }
}

TEST(SimSessionFaults, SameSeedReplaysTheSameFaults) {
    SimSession first(WithFaults(0.3, 0.3, 0.3, 9));
    SimSession second(WithFaults(0.3, 0.3, 0.3, 9));
    EXPECT_EQ(Exchange(first, 200), Exchange(second, 200));
    // Each kind of fault happened some of the time, not always.
    for (int count :
         {first.faults().dropped(), first.faults().corrupted(), first.faults().noisy()}) {
        EXPECT_GT(count, 20);
        EXPECT_LT(count, 120);
    }
}

TEST(SimSessionFaults, StatusAndFaultsApplyToEchoesAndReplies) {
    SessionSettings refusing = WithFaults(0, 0, 0);
    refusing.status = 2;
    SimSession session(refusing);
    EXPECT_EQ(Exchange(session, 1)[0], simtest::Reply(3, 2, Hex("03 0A 00 00 00 00 00 01 01 00")));
    SimSession corrupt(WithFaults(0, 1, 0));
    corrupt.Receive(Request(RequestType::FlashPermission), kStart);
    corrupt.TakeOutput(kStart);
    corrupt.Receive(Hex("00 00"), kStart);
    const auto echo = corrupt.TakeOutput(kStart);
    ASSERT_EQ(echo.size(), 2u);
    EXPECT_EQ(std::popcount(static_cast<unsigned>(echo[0] | echo[1])), 1);
}

}  // namespace
}  // namespace zentrik
