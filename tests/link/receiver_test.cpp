#include "link/receiver.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "support/link_rig.h"

namespace zentrik {
namespace {

using test::Bytes;
using test::Hex;
using test::ReplyFrame;

struct Taken {
    std::uint8_t type;
    Bytes body;
};

// Records what the receiver hands on; optionally runs a hook inside, as a modal box would.
class RecordingSink : public ReceiverSink {
  public:
    std::vector<Taken> bodies;
    std::vector<std::pair<ReceiveState, Bytes>> echoes;
    std::function<void()> inside;

    void OnReplyBody(std::uint8_t type, std::span<const std::uint8_t> body) override {
        bodies.push_back({type, Bytes(body.begin(), body.end())});
        if (inside) {
            auto hook = std::move(inside);
            hook();
        }
    }
    void OnEcho(ReceiveState state, std::uint8_t first, std::uint8_t second) override {
        echoes.push_back({state, Bytes{first, second}});
    }
};

void Feed(Receiver& receiver, RecordingSink& sink, const Bytes& bytes) {
    receiver.Append(bytes.data(), bytes.size());
    receiver.Run(sink);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

const Bytes kUploadAck = Hex("22 37 49 F2 02 00 9A D0");

TEST(ReceiverSync, BrokenSyncSequencesStillFindTheFrame) {
    for (const char* prefix : {"22", "22 37", "22 37 49", "00 FF 13", "22 37 22 37 49 F2 22"}) {
        SCOPED_TRACE(prefix);
        Receiver receiver;
        RecordingSink sink;
        Feed(receiver, sink, Concat({Hex(prefix), kUploadAck}));
        ASSERT_EQ(sink.bodies.size(), 1u);
        EXPECT_EQ(sink.bodies[0].type, 2);
        EXPECT_EQ(sink.bodies[0].body, Hex("02 00 9A D0"));
        EXPECT_EQ(receiver.State(), ReceiveState::HuntSync1);
        EXPECT_EQ(receiver.Buffered(), 0u);
    }
}

TEST(ReceiverSync, UnknownTypeIsDroppedWithoutStalling) {
    Receiver receiver;
    RecordingSink sink;
    // 0x55 is no reply type; the following ack must still be found.
    Feed(receiver, sink, Concat({Hex("22 37 49 F2 55"), kUploadAck}));
    ASSERT_EQ(sink.bodies.size(), 1u);
    EXPECT_EQ(sink.bodies[0].type, 2);
    EXPECT_TRUE(receiver.IsWaitingForInput());
}

TEST(ReceiverSync, UnknownTypeByte22StartsANewSync) {
    Receiver receiver;
    RecordingSink sink;
    // After the first sync word the "type" 0x22 is the start of the real frame.
    Feed(receiver, sink, Concat({Hex("22 37 49 F2"), kUploadAck}));
    ASSERT_EQ(sink.bodies.size(), 1u);
    EXPECT_EQ(sink.bodies[0].body, Hex("02 00 9A D0"));
}

TEST(ReceiverBodies, SplitReplyIsHandledOnceWhenItsLastByteArrives) {
    Bytes config(110);
    for (std::size_t i = 0; i < config.size(); ++i) {
        config[i] = static_cast<std::uint8_t>(i * 7);
    }
    const Bytes frame = ReplyFrame(1, 0, config);
    ASSERT_EQ(frame.size(), 118u);
    std::mt19937 random(12345);
    for (int trial = 0; trial < 50; ++trial) {
        Receiver receiver;
        RecordingSink sink;
        std::size_t at = 0;
        while (at < frame.size()) {
            const std::size_t n =
                std::min<std::size_t>(frame.size() - at, 1 + random() % (trial < 5 ? 1 : 40));
            EXPECT_TRUE(sink.bodies.empty());
            Feed(receiver, sink, Bytes(frame.begin() + at, frame.begin() + at + n));
            at += n;
        }
        ASSERT_EQ(sink.bodies.size(), 1u);
        EXPECT_EQ(sink.bodies[0].body, Bytes(frame.begin() + 4, frame.end()));
    }
}

TEST(ReceiverBodies, TwoRepliesInOneReadAreBothHandledInOrder) {
    Receiver receiver;
    RecordingSink sink;
    const Bytes info = ReplyFrame(3, 0, test::InfoPayload({1, 2, 3, 4, 5, 6, 7, 8}, 0x0102));
    Feed(receiver, sink, Concat({info, Hex("00 00"), kUploadAck}));
    ASSERT_EQ(sink.bodies.size(), 2u);
    EXPECT_EQ(sink.bodies[0].type, 3);
    EXPECT_EQ(sink.bodies[0].body.size(), 14u);
    EXPECT_EQ(sink.bodies[1].type, 2);
}

TEST(ReceiverBodies, ShortReplyTakesTheNextFrameAsItsRest) {
    Receiver receiver;
    RecordingSink sink;
    // An info reply that lost its last 6 bytes, then a complete upload ack: the ack's bytes
    // make up the info body (which then fails its checksum) and hunting resumes after it.
    const Bytes info = ReplyFrame(3, 0, test::InfoPayload({1, 2, 3, 4, 5, 6, 7, 8}, 0x0102));
    Feed(receiver, sink, Bytes(info.begin(), info.end() - 6));
    EXPECT_TRUE(sink.bodies.empty());
    EXPECT_EQ(receiver.State(), ReceiveState::ReadBody);
    Feed(receiver, sink, Concat({kUploadAck, kUploadAck}));
    ASSERT_EQ(sink.bodies.size(), 2u);
    EXPECT_EQ(sink.bodies[0].type, 3);
    EXPECT_FALSE(IsGoodReplyBody(sink.bodies[0].body.data(), sink.bodies[0].body.size()));
    EXPECT_EQ(sink.bodies[1].type, 2);
}

TEST(ReceiverEchoes, EchoStatesTakeBarePairsWithoutSync) {
    Receiver receiver;
    RecordingSink sink;
    receiver.SetState(ReceiveState::WordEcho);
    Feed(receiver, sink, Hex("22"));
    EXPECT_TRUE(sink.echoes.empty());  // waits for the second byte
    EXPECT_TRUE(receiver.IsWaitingForInput());
    Feed(receiver, sink, Hex("37"));
    ASSERT_EQ(sink.echoes.size(), 1u);
    EXPECT_EQ(sink.echoes[0].first, ReceiveState::WordEcho);
    EXPECT_EQ(sink.echoes[0].second, Hex("22 37"));
    // The sink did not choose a next state, so the machine stays and takes the next pair.
    receiver.SetState(ReceiveState::ChecksumEcho);
    Feed(receiver, sink, Hex("C4 00"));
    ASSERT_EQ(sink.echoes.size(), 2u);
    EXPECT_EQ(sink.echoes[1].first, ReceiveState::ChecksumEcho);
    EXPECT_EQ(receiver.NeededBytes(), 1);
}

TEST(ReceiverEchoes, EchoStateIsNotHeldBackByAHalfReadFrame) {
    Receiver receiver;
    RecordingSink sink;
    // A download reply's header leaves the machine waiting for a 114-byte body.
    Feed(receiver, sink, Hex("22 37 49 F2 01 00"));
    ASSERT_EQ(receiver.State(), ReceiveState::ReadBody);
    receiver.SetState(ReceiveState::WordEcho);
    Feed(receiver, sink, Hex("AB"));
    // The frame's two buffered bytes (type and status) go as the first pair.
    ASSERT_EQ(sink.echoes.size(), 1u);
    EXPECT_EQ(sink.echoes[0].second, Hex("01 00"));
    EXPECT_TRUE(receiver.IsWaitingForInput());
    Feed(receiver, sink, Hex("CD"));
    ASSERT_EQ(sink.echoes.size(), 2u);
    EXPECT_EQ(sink.echoes[1].second, Hex("AB CD"));
}

TEST(ReceiverReentry, NestedRunInsideTheSinkContinuesCleanly) {
    Receiver receiver;
    RecordingSink sink;
    // While the first body is being acted on, a nested event loop delivers the next reply;
    // the partial "22 37" buffered before the nesting then runs into it, and the nested run
    // finds the second frame. The outer run must not take anything twice.
    sink.inside = [&] { Feed(receiver, sink, kUploadAck); };
    Feed(receiver, sink, Concat({kUploadAck, Hex("22 37")}));
    ASSERT_EQ(sink.bodies.size(), 2u);
    EXPECT_EQ(sink.bodies[1].body, Hex("02 00 9A D0"));
    EXPECT_EQ(receiver.State(), ReceiveState::HuntSync1);
    EXPECT_EQ(receiver.Buffered(), 0u);
}

TEST(ReceiverReset, ResetKeepsBufferedBytes) {
    Receiver receiver;
    RecordingSink sink;
    Feed(receiver, sink, Hex("22 37 49 F2 01 00"));
    EXPECT_EQ(receiver.State(), ReceiveState::ReadBody);
    EXPECT_EQ(receiver.NeededBytes(), 114);
    receiver.Reset();
    EXPECT_EQ(receiver.State(), ReceiveState::HuntSync1);
    EXPECT_EQ(receiver.NeededBytes(), 1);
    EXPECT_EQ(receiver.Buffered(), 2u);
}

}  // namespace
}  // namespace zentrik
