#include "sim/sim_controller.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "sim_test_util.h"

namespace zentrik {
namespace {

using namespace std::chrono_literals;
using simtest::Bytes;
using simtest::Hex;
using simtest::Reply;
using simtest::Request;

const SimTime kStart{};

class SimControllerTest : public ::testing::Test {
  protected:
    SimControllerTest() {
        sim.SetReceiveObserver([this](ReceivedKind kind, std::span<const std::uint8_t> bytes) {
            received.emplace_back(kind, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        });
    }

    std::vector<OutputChunk> Feed(const std::vector<std::uint8_t>& bytes) {
        return sim.Receive(bytes, now);
    }
    std::vector<std::uint8_t> FeedBytes(const std::vector<std::uint8_t>& bytes) {
        return Bytes(Feed(bytes));
    }
    std::vector<std::uint8_t> Download() { return FeedBytes(Request(RequestType::DownloadConfig)); }

    // Sends every word of the image and checks each echo; returns the checksum echo chunk.
    std::vector<OutputChunk> Flash(const std::vector<std::uint8_t>& image, std::uint16_t sum) {
        EXPECT_EQ(FeedBytes(Request(RequestType::FlashPermission)), Hex("22 37 49 F2 EE 00 76 06"));
        int echoed = 0;
        for (std::size_t i = 0; i < image.size(); i += 2) {
            const std::vector<std::uint8_t> unit(image.begin() + i, image.begin() + i + 2);
            const auto out = Feed(unit);
            if (out.size() == 1 && out[0].kind == ChunkKind::WordEcho && out[0].bytes == unit) {
                ++echoed;
            }
        }
        EXPECT_EQ(echoed, static_cast<int>(kFirmwareWordCount));
        EXPECT_EQ(sim.mode(), SimController::Mode::FlashChecksum);
        return Feed({static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum)});
    }

    SimController sim;
    SimTime now = kStart;
    std::vector<std::pair<ReceivedKind, std::vector<std::uint8_t>>> received;
};

TEST_F(SimControllerTest, AnswersEachRequestTypeWithItsExactReply) {
    const auto download = Feed(Request(RequestType::DownloadConfig));
    ASSERT_EQ(download.size(), 1u);
    EXPECT_EQ(download[0].kind, ChunkKind::Reply);
    EXPECT_EQ(download[0].bytes, Reply(1, 0, simtest::DefaultWireImage()));
    EXPECT_EQ(download[0].bytes.size(), 118u);

    EXPECT_EQ(FeedBytes(Request(RequestType::ControllerInfo)),
              Reply(3, 0, Hex("03 0A 00 00 00 00 00 01  01 00")));
    EXPECT_EQ(FeedBytes(Request(RequestType::UploadConfig, simtest::DefaultWireImage())),
              Hex("22 37 49 F2 02 00 9A D0"));
    EXPECT_EQ(FeedBytes(Request(RequestType::FlashPermission)), Hex("22 37 49 F2 EE 00 76 06"));
    EXPECT_EQ(sim.mode(), SimController::Mode::FlashWords);
}

TEST(SimControllerIdentity, ReportsItsSerialNumberAndVersion) {
    SimIdentity identity;
    identity.serial = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    identity.version = 0x0102;
    SimController sim(identity);
    EXPECT_EQ(Bytes(sim.Receive(Request(RequestType::ControllerInfo), kStart)),
              Reply(3, 0, Hex("01 23 45 67 89 AB CD EF 01 02")));
}

TEST_F(SimControllerTest, UploadedConfigurationIsStoredAndDownloadedUnchanged) {
    std::vector<std::uint8_t> image = simtest::DefaultWireImage();
    image[8] = 0x17;  // stage 1 RPM max 6000
    image[9] = 0x70;
    image[40] = 0xF1;  // stage 1 MAP end -14.7 psi (-3763)
    image[41] = 0x4D;
    image[100] = 0x5A;  // reserved bytes travel as they are
    EXPECT_EQ(FeedBytes(Request(RequestType::UploadConfig, image)), Hex("22 37 49 F2 02 00 9A D0"));
    EXPECT_EQ(sim.config().stage[0].RPM_Max, 6000);
    EXPECT_EQ(sim.config().stage[0].MAP_End, -3763);
    EXPECT_EQ(Download(), Reply(1, 0, image));
}

TEST_F(SimControllerTest, UpgradeEchoesEveryUnitAndAdoptsTheImageVersion) {
    std::vector<std::uint8_t> flashed;
    sim.SetFlashObserver(
        [&](std::span<const std::uint8_t> image) { flashed.assign(image.begin(), image.end()); });
    const auto image = simtest::FirmwareImage(0x0207);
    const std::uint16_t sum = FirmwareChecksum(image);
    const auto out = Flash(image, sum);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].kind, ChunkKind::ChecksumEcho);
    EXPECT_EQ(out[0].bytes, (std::vector<std::uint8_t>{static_cast<std::uint8_t>(sum >> 8),
                                                       static_cast<std::uint8_t>(sum)}));
    EXPECT_EQ(sim.firmwareVersion(), 0x0207);
    EXPECT_EQ(sim.completedUpgrades(), 1);
    EXPECT_EQ(flashed, image);
    // Back to frames: the new version is reported.
    EXPECT_EQ(sim.mode(), SimController::Mode::Frames);
    EXPECT_EQ(FeedBytes(Request(RequestType::ControllerInfo)),
              Reply(3, 0, Hex("03 0A 00 00 00 00 00 01 02 07")));
    // The record holds the permission request, 15360 words and the checksum.
    ASSERT_EQ(received.size(), 1 + kFirmwareWordCount + 1 + 1);
    EXPECT_EQ(received[1], std::make_pair(ReceivedKind::Word, Hex("02 07")));
    EXPECT_EQ(received[kFirmwareWordCount + 1].first, ReceivedKind::Checksum);
}

TEST_F(SimControllerTest, UpgradeWithAWrongChecksumKeepsTheOldVersion) {
    bool flashed = false;
    sim.SetFlashObserver([&](std::span<const std::uint8_t>) { flashed = true; });
    const auto image = simtest::FirmwareImage(0x0300);
    const std::uint16_t wrong = static_cast<std::uint16_t>(FirmwareChecksum(image) ^ 0x0100);
    const auto out = Flash(image, wrong);
    // The echo is still what arrived: the tool compares it with what it sent.
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].bytes[0], static_cast<std::uint8_t>(wrong >> 8));
    EXPECT_EQ(sim.firmwareVersion(), 0x0100);
    EXPECT_EQ(sim.rejectedUpgrades(), 1);
    EXPECT_FALSE(flashed);
    EXPECT_EQ(Download(), Reply(1, 0, simtest::DefaultWireImage()));
}

TEST(FirmwareChecksum, SumsBigEndianWordsModulo65536) {
    const std::vector<std::uint8_t> allOnes(kFirmwareImageSize, 0xFF);
    EXPECT_EQ(FirmwareChecksum(allOnes), 0xC400);
    EXPECT_EQ(FirmwareChecksum(Hex("01 02 03 04")), 0x0406);
}

TEST_F(SimControllerTest, UnitsSplitAcrossReadsAreEchoedWhole) {
    Feed(Request(RequestType::FlashPermission));
    EXPECT_TRUE(Feed(Hex("12")).empty());
    EXPECT_EQ(FeedBytes(Hex("34 56")), Hex("12 34"));
    EXPECT_EQ(FeedBytes(Hex("78")), Hex("56 78"));
}

TEST_F(SimControllerTest, AbandonedTransferTimesOutBackToFrames) {
    Feed(Request(RequestType::FlashPermission));
    for (int i = 0; i < 100; ++i) {
        Feed(Hex("AB CD"));
    }
    // Shortly after, the controller still takes bytes as firmware units.
    now += kFlashIdleTimeout / 2;
    EXPECT_EQ(FeedBytes(Hex("11 22")), Hex("11 22"));
    // After a long silence it has given up and answers frames again.
    now += kFlashIdleTimeout + 1ms;
    EXPECT_EQ(Download(), Reply(1, 0, simtest::DefaultWireImage()));
    EXPECT_EQ(sim.abandonedUpgrades(), 1);
    EXPECT_EQ(sim.firmwareVersion(), 0x0100);
}

TEST_F(SimControllerTest, FrameWithBadChecksumGetsNoAnswer) {
    auto frame = Request(RequestType::DownloadConfig);
    frame.back() ^= 0x01;
    EXPECT_TRUE(Feed(frame).empty());
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], std::make_pair(ReceivedKind::BadFrame, frame));
    // A corrupted payload byte of an upload: not stored either.
    auto upload = Request(RequestType::UploadConfig, Hex(std::string(220, 'F')));
    upload[50] ^= 0x40;
    EXPECT_TRUE(Feed(upload).empty());
    EXPECT_EQ(Download(), Reply(1, 0, simtest::DefaultWireImage()));
}

TEST_F(SimControllerTest, NoiseAndBrokenSyncWordsDoNotHideAFrame) {
    const auto info = Reply(3, 0, Hex("03 0A 00 00 00 00 00 01 01 00"));
    const auto body = Hex("03 0A 87 CA");
    for (const char* prefix : {"00 FF 13", "22", "22 37", "22 37 49", "22 22 37 49 F2",
                               "22 37 22 37 49 F2", "22 37 49 22 37 49 F2"}) {
        auto bytes = Hex(prefix);
        if (bytes.size() < 4 || bytes[bytes.size() - 1] != 0xF2) {
            const auto sync = Hex("22 37 49 F2");
            bytes.insert(bytes.end(), sync.begin(), sync.end());
        }
        bytes.insert(bytes.end(), body.begin(), body.end());
        EXPECT_EQ(FeedBytes(bytes), info) << prefix;
    }
}

TEST_F(SimControllerTest, UnknownTypesAndWrongMarkersAreIgnored) {
    EXPECT_TRUE(Feed(Hex("22 37 49 F2 05 0A 00 00")).empty());
    EXPECT_TRUE(Feed(Hex("22 37 49 F2 00")).empty());
    // Correct checksum over a marker other than 0x0A: not a request.
    std::vector<std::uint8_t> marked = Hex("22 37 49 F2 01 0B");
    const std::uint16_t crc = Crc16(marked.data() + 4, 2);
    marked.push_back(static_cast<std::uint8_t>(crc >> 8));
    marked.push_back(static_cast<std::uint8_t>(crc));
    EXPECT_TRUE(Feed(marked).empty());
    // An unknown type that is itself a sync byte starts the next frame.
    EXPECT_EQ(FeedBytes(Hex("22 37 49 F2 22 37 49 F2 01 0A 1D 1A")),
              Reply(1, 0, simtest::DefaultWireImage()));
}

TEST_F(SimControllerTest, TruncatedFramesDoNotSwallowTheNextRequest) {
    // A short request cut off and sent again at once: found again in the failed frame.
    auto frame = Request(RequestType::ControllerInfo);
    std::vector<std::uint8_t> bytes(frame.begin(), frame.end() - 1);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    EXPECT_EQ(Feed(bytes).size(), 1u);

    // An upload cut off after 50 bytes, then, after the tool's time-out, a short request:
    // the controller has dropped the stale upload instead of taking the request as its body.
    const auto upload = Request(RequestType::UploadConfig, simtest::DefaultWireImage());
    EXPECT_TRUE(Feed(std::vector<std::uint8_t>(upload.begin(), upload.begin() + 50)).empty());
    now += kFrameGapTimeout + 1ms;
    EXPECT_EQ(FeedBytes(Request(RequestType::ControllerInfo)),
              Reply(3, 0, Hex("03 0A 00 00 00 00 00 01 01 00")));
    // The same after a whole upload was cut off and sent again.
    EXPECT_TRUE(Feed(std::vector<std::uint8_t>(upload.begin(), upload.begin() + 117)).empty());
    now += kFrameGapTimeout + 1ms;
    EXPECT_EQ(FeedBytes(upload), Hex("22 37 49 F2 02 00 9A D0"));
}

TEST_F(SimControllerTest, SeveralFramesInOneReadAreAnsweredInOrder) {
    auto bytes = Request(RequestType::ControllerInfo);
    const auto download = Request(RequestType::DownloadConfig);
    bytes.insert(bytes.end(), download.begin(), download.end());
    const auto out = Feed(bytes);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].bytes[4], 3);
    EXPECT_EQ(out[1].bytes[4], 1);
}

TEST_F(SimControllerTest, RandomGarbageThenAPauseLeavesTheControllerAnswering) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> garbage(20000);
    for (auto& b : garbage) {
        b = static_cast<std::uint8_t>(random());
    }
    // Sync words sprinkled in, so that the body states see garbage too.
    for (std::size_t i = 0; i + 6 < garbage.size(); i += 997) {
        const auto sync = Hex("22 37 49 F2 02 0A");
        std::copy(sync.begin(), sync.end(), garbage.begin() + static_cast<long>(i));
    }
    Feed(garbage);
    now += kFlashIdleTimeout + 1ms;
    EXPECT_EQ(Download(), Reply(1, 0, simtest::DefaultWireImage()));
}

TEST(SimControllerStatus, NonZeroStatusRefusesEveryRequest) {
    SimController sim;
    sim.SetReplyStatus(5);
    auto upload = simtest::DefaultWireImage();
    upload[12] = 40;  // stage 1 frequency
    EXPECT_EQ(Bytes(sim.Receive(Request(RequestType::UploadConfig, upload), kStart)), Reply(2, 5));
    const auto download = Bytes(sim.Receive(Request(RequestType::DownloadConfig), kStart));
    EXPECT_EQ(download, Reply(1, 5, simtest::DefaultWireImage()));
    EXPECT_FALSE(IsGoodReplyBody(download.data() + 4, 114));
    EXPECT_EQ(Bytes(sim.Receive(Request(RequestType::FlashPermission), kStart)), Reply(238, 5));
    EXPECT_EQ(sim.mode(), SimController::Mode::Frames);
}

}  // namespace
}  // namespace zentrik
