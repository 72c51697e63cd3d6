#include "sim/sim_session.h"

#include <gtest/gtest.h>

#include <bit>

#include "sim/fault_injector.h"
#include "sim/line_pacer.h"
#include "sim_test_util.h"

namespace zentrik {
namespace {

using namespace std::chrono_literals;
using simtest::Hex;
using simtest::Reply;
using simtest::Request;

const SimTime kStart{};
const std::vector<std::uint8_t> kInfoRequest = Request(RequestType::ControllerInfo);
const std::vector<std::uint8_t> kInfoReply = Reply(3, 0, Hex("03 0A 00 00 00 00 00 01 01 00"));

SessionSettings WithFaults(double drop, double corrupt, double noise, std::uint64_t seed = 42) {
    SessionSettings s;
    s.faults.drop = drop;
    s.faults.corrupt = corrupt;
    s.faults.noise = noise;
    s.faults.seed = seed;
    return s;
}

// Sends `count` info requests, one at a time, and returns each reply as it came out.
std::vector<std::vector<std::uint8_t>> Exchange(SimSession& session, int count) {
    std::vector<std::vector<std::uint8_t>> replies;
    SimTime now = kStart;
    for (int i = 0; i < count; ++i) {
        session.Receive(kInfoRequest, now);
        replies.push_back(session.TakeOutput(now));
        now += 1s;
    }
    return replies;
}

TEST(LinePacer, UnpacedBytesAreDueWhenReady) {
    LinePacer line(0);
    line.Push(Hex("01 02 03"), kStart + 5ms);
    EXPECT_TRUE(line.TakeDue(kStart + 4ms).empty());
    EXPECT_EQ(line.TakeDue(kStart + 5ms).size(), 3u);
    EXPECT_TRUE(line.empty());
}

TEST(LinePacer, BackToBackBytesKeepExactTimeOverLongRuns) {
    LinePacer line(19200);
    // 19200 bytes of ten bits take exactly ten seconds; per-byte rounding would drift.
    line.Push(std::vector<std::uint8_t>(19200, 0x55), kStart);
    const auto due = line.TakeDue(kStart + 10s);
    ASSERT_EQ(due.size(), 19200u);
    EXPECT_EQ(due.back().time, kStart + 10s);
    EXPECT_EQ(due.front().time, kStart + 520833ns);
    EXPECT_EQ(due[1].time, kStart + 1041666ns);
    // Bytes pushed while the line is still busy queue behind the earlier ones.
    line.Push(Hex("AA"), kStart + 9s);  // the line was busy until 10 s
    line.Push(Hex("BB"), kStart + 20s);
    EXPECT_EQ(line.NextDue(), kStart + 10s + 520833ns);
    line.TakeDue(kStart + 11s);
    EXPECT_EQ(line.NextDue(), kStart + 20s + 520833ns);
}

TEST(SimSessionTiming, LatencyDelaysEachReply) {
    SessionSettings settings;
    settings.latency = 30ms;
    SimSession session(settings);
    session.Receive(kInfoRequest, kStart);
    EXPECT_EQ(session.NextWakeup(), kStart + 30ms);
    EXPECT_TRUE(session.TakeOutput(kStart + 29ms).empty());
    EXPECT_EQ(session.TakeOutput(kStart + 30ms), kInfoReply);
    EXPECT_EQ(session.NextWakeup(), std::nullopt);
}

TEST(SimSessionTiming, PacedLineDeliversRequestThenReplyAtTheBaudRate) {
    SessionSettings settings;
    settings.baud = 19200;
    SimSession session(settings);
    LinePacer reference(19200);
    const SimTime requestDone = kStart + reference.LineTime(8);
    const SimTime replyDone = requestDone + reference.LineTime(kInfoReply.size());

    session.Receive(kInfoRequest, kStart);
    // The controller has the request only once its eight bytes have crossed the line.
    EXPECT_EQ(session.NextWakeup(), kStart + reference.LineTime(1));
    EXPECT_TRUE(session.TakeOutput(requestDone - 1ns).empty());
    EXPECT_TRUE(session.TakeOutput(requestDone).empty());
    EXPECT_EQ(session.TakeOutput(requestDone + reference.LineTime(1)).size(), 1u);
    EXPECT_EQ(session.TakeOutput(replyDone - 1ns).size(), kInfoReply.size() - 2);
    EXPECT_EQ(session.TakeOutput(replyDone).size(), 1u);
    EXPECT_EQ(session.NextWakeup(), std::nullopt);
}

TEST(SimSessionTiming, LatencyAlsoKeepsTheFlashModeFromTimingOut) {
    SessionSettings settings;
    settings.latency = 2s;
    SimSession session(settings);
    SimTime now = kStart;
    session.Receive(Request(RequestType::FlashPermission), now);
    for (int i = 0; i < 3; ++i) {
        now += 2s + 100ms;  // the tool answers each echo as it arrives
        session.Receive(Hex("01 02"), now);
    }
    EXPECT_EQ(session.controller().mode(), SimController::Mode::FlashWords);
}

TEST(SimSessionFaults, ProbabilityZeroChangesNothing) {
    SimSession session(WithFaults(0, 0, 0));
    for (const auto& reply : Exchange(session, 50)) {
        EXPECT_EQ(reply, kInfoReply);
    }
}

TEST(SimSessionFaults, DropOneLosesEveryReplyButTheRequestIsCarriedOut) {
    SimSession session(WithFaults(1, 0, 0));
    auto image = simtest::DefaultWireImage();
    image[12] = 33;
    session.Receive(Request(RequestType::UploadConfig, image), kStart);
    EXPECT_TRUE(session.TakeOutput(kStart).empty());
    EXPECT_EQ(session.controller().config().stage[0].Frequency, 33);
    for (const auto& reply : Exchange(session, 20)) {
        EXPECT_TRUE(reply.empty());
    }
}

TEST(SimSessionFaults, CorruptOneFlipsExactlyOneBit) {
    SimSession session(WithFaults(0, 1, 0));
    int changedBytes = 0;
    for (const auto& reply : Exchange(session, 50)) {
        ASSERT_EQ(reply.size(), kInfoReply.size());
        int flipped = 0;
        for (std::size_t i = 0; i < reply.size(); ++i) {
            flipped += std::popcount(static_cast<unsigned>(reply[i] ^ kInfoReply[i]));
            changedBytes += reply[i] != kInfoReply[i] ? 1 : 0;
        }
        EXPECT_EQ(flipped, 1);
    }
    EXPECT_EQ(changedBytes, 50);
}

TEST(SimSessionFaults, NoiseOneAddsGarbageBeforeTheIntactReply) {
    SimSession session(WithFaults(0, 0, 1));
    for (const auto& reply : Exchange(session, 50)) {
        ASSERT_GT(reply.size(), kInfoReply.size());
        EXPECT_LE(reply.size(), kInfoReply.size() + kMaxNoiseBytes);
        EXPECT_TRUE(std::equal(kInfoReply.rbegin(), kInfoReply.rend(), reply.rbegin()));
    }
}

TEST(SimSessionFaults, SameSeedReplaysTheSameFaults) {
    SimSession first(WithFaults(0.3, 0.3, 0.3, 9));
    SimSession second(WithFaults(0.3, 0.3, 0.3, 9));
    const auto a = Exchange(first, 200);
    EXPECT_EQ(a, Exchange(second, 200));
    // Each kind of fault happened some of the time, not always.
    for (int count :
         {first.faults().dropped(), first.faults().corrupted(), first.faults().noisy()}) {
        EXPECT_GT(count, 20);
        EXPECT_LT(count, 120);
    }
}

TEST(SimSessionFaults, EchoesAreSubjectToFaultsToo) {
    SimSession session(WithFaults(0, 1, 0));
    session.Receive(Request(RequestType::FlashPermission), kStart);
    session.TakeOutput(kStart);
    session.Receive(Hex("00 00"), kStart);
    const auto echo = session.TakeOutput(kStart);
    ASSERT_EQ(echo.size(), 2u);
    EXPECT_EQ(std::popcount(static_cast<unsigned>(echo[0] | echo[1])), 1);
}

TEST(SimSessionFaults, SilentNeverAnswersAndStatusComesThroughTheSession) {
    SessionSettings silent;
    silent.faults.silent = true;
    SimSession quiet(silent);
    for (const auto& reply : Exchange(quiet, 5)) {
        EXPECT_TRUE(reply.empty());
    }
    SessionSettings refusing;
    refusing.status = 2;
    SimSession session(refusing);
    EXPECT_EQ(Exchange(session, 1)[0], Reply(3, 2, Hex("03 0A 00 00 00 00 00 01 01 00")));
}

}  // namespace
}  // namespace zentrik
