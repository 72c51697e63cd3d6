#include "sim/sim_controller.h"

#include <gtest/gtest.h>

#include <random>

#include "sim_test_util.h"

namespace zentrik {
namespace {

using namespace std::chrono_literals;
using simtest::Hex;
using simtest::kInfoReply;
using simtest::Reply;
using simtest::Request;

const std::vector<std::uint8_t> kAck = Hex("22 37 49 F2 02 00 9A D0");
const std::vector<std::uint8_t> kGrant = Hex("22 37 49 F2 EE 00 76 06");

class SimControllerTest : public ::testing::Test {
  protected:
    SimControllerTest() {
        sim.SetReceiveObserver([this](ReceivedKind kind, std::span<const std::uint8_t> bytes) {
            received.emplace_back(kind, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        });
        sim.SetFlashObserver([this](std::span<const std::uint8_t> image) {
            flashed.assign(image.begin(), image.end());
        });
    }

    // All replies and echoes for the bytes, concatenated.
    std::vector<std::uint8_t> Feed(const std::vector<std::uint8_t>& bytes) {
        std::vector<std::uint8_t> out;
        for (const OutputChunk& c : sim.Receive(bytes, now)) {
            out.insert(out.end(), c.bytes.begin(), c.bytes.end());
        }
        return out;
    }
    std::vector<std::uint8_t> Download() { return Feed(Request(RequestType::DownloadConfig)); }

    // Flashes the image word by word and returns the echo of the checksum unit.
    std::vector<std::uint8_t> Flash(const std::vector<std::uint8_t>& image, std::uint16_t sum) {
        EXPECT_EQ(Feed(Request(RequestType::FlashPermission)), kGrant);
        std::size_t echoed = 0;
        for (std::size_t i = 0; i < image.size(); i += 2) {
            const std::vector<std::uint8_t> unit(image.begin() + i, image.begin() + i + 2);
            echoed += Feed(unit) == unit ? 1 : 0;
        }
        EXPECT_EQ(echoed, kFirmwareWordCount);
        return Feed({static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum)});
    }

    SimController sim;
    SimTime now{};
    std::vector<std::pair<ReceivedKind, std::vector<std::uint8_t>>> received;
    std::vector<std::uint8_t> flashed;
};

TEST_F(SimControllerTest, AnswersEachRequestTypeWithItsExactReply) {
    const auto download = sim.Receive(Request(RequestType::DownloadConfig), now);
    ASSERT_EQ(download.size(), 1u);
    EXPECT_EQ(download[0].kind, ChunkKind::Reply);
    EXPECT_EQ(download[0].bytes, Reply(1, 0, simtest::DefaultWireImage()));
    EXPECT_EQ(Feed(Request(RequestType::ControllerInfo)), kInfoReply);
    EXPECT_EQ(Feed(Request(RequestType::UploadConfig, simtest::DefaultWireImage())), kAck);
    EXPECT_EQ(Feed(Request(RequestType::FlashPermission)), kGrant);
    EXPECT_EQ(sim.mode(), SimController::Mode::FlashWords);
    EXPECT_EQ(received.size(), 4u);
}

TEST_F(SimControllerTest, UploadedConfigurationIsStoredAndDownloadedUnchanged) {
    std::vector<std::uint8_t> image = simtest::DefaultWireImage();
    image[8] = 0x17;  // stage 1 RPM max 6000
    image[9] = 0x70;
    image[40] = 0xF1;  // stage 1 MAP end -14.7 psi (-3763)
    image[41] = 0x4D;
    image[100] = 0x5A;  // reserved bytes travel as they are
    EXPECT_EQ(Feed(Request(RequestType::UploadConfig, image)), kAck);
    EXPECT_EQ(sim.config().stage[0].RPM_Max, 6000);
    EXPECT_EQ(sim.config().stage[0].MAP_End, -3763);
    EXPECT_EQ(Download(), Reply(1, 0, image));

    // With a store fault the reply still acknowledges, but one byte is kept changed.
    sim.SetStoreFault(9);
    EXPECT_EQ(Feed(Request(RequestType::UploadConfig, image)), kAck);
    EXPECT_EQ(sim.config().stage[0].RPM_Max, 6001);
    image[9] = 0x71;
    EXPECT_EQ(Download(), Reply(1, 0, image));
}

TEST_F(SimControllerTest, UpgradeEchoesEveryUnitAndAdoptsTheImageVersion) {
    const auto image = simtest::FirmwareImage(0x0207);
    const std::uint16_t sum = FirmwareChecksum(image);
    const std::vector<std::uint8_t> unit{static_cast<std::uint8_t>(sum >> 8),
                                         static_cast<std::uint8_t>(sum)};
    EXPECT_EQ(Flash(image, sum), unit);
    EXPECT_EQ(sim.firmwareVersion(), 0x0207);
    EXPECT_EQ(flashed, image);
    EXPECT_EQ(Feed(Request(RequestType::ControllerInfo)),
              Reply(3, 0, Hex("03 0A 00 00 00 00 00 01 02 07")));
    // Recorded: the permission request, every word, the checksum, the info request.
    ASSERT_EQ(received.size(), kFirmwareWordCount + 3);
    EXPECT_EQ(received[1], std::make_pair(ReceivedKind::Word, Hex("02 07")));
    EXPECT_EQ(received[kFirmwareWordCount + 1].first, ReceivedKind::Checksum);
}

TEST_F(SimControllerTest, UpgradeWithAWrongChecksumKeepsTheOldVersion) {
    const auto image = simtest::FirmwareImage(0x0300);
    const auto wrong = static_cast<std::uint16_t>(FirmwareChecksum(image) ^ 0x0100);
    // The echo is still what arrived: the tool compares it with what it sent.
    EXPECT_EQ(Flash(image, wrong)[0], wrong >> 8);
    EXPECT_EQ(sim.firmwareVersion(), 0x0100);
    EXPECT_EQ(sim.rejectedUpgrades(), 1);
    EXPECT_TRUE(flashed.empty());
    EXPECT_EQ(Download(), Reply(1, 0, simtest::DefaultWireImage()));
}

TEST(FirmwareChecksum, SumsBigEndianWordsModulo65536) {
    EXPECT_EQ(FirmwareChecksum(std::vector<std::uint8_t>(kFirmwareImageSize, 0xFF)), 0xC400);
    EXPECT_EQ(FirmwareChecksum(Hex("01 02 03 04")), 0x0406);
}

TEST_F(SimControllerTest, UnitsSplitAcrossReadsAreEchoedWhole) {
    Feed(Request(RequestType::FlashPermission));
    EXPECT_TRUE(Feed(Hex("12")).empty());
    EXPECT_EQ(Feed(Hex("34 56")), Hex("12 34"));
    EXPECT_EQ(Feed(Hex("78")), Hex("56 78"));
}

TEST_F(SimControllerTest, AbandonedTransferTimesOutBackToFrames) {
    Feed(Request(RequestType::FlashPermission));
    Feed(std::vector<std::uint8_t>(200, 0xAB));
    // Shortly after, bytes are still firmware units...
    now += kFlashIdleTimeout / 2;
    EXPECT_EQ(Feed(Hex("11 22")), Hex("11 22"));
    // ...after a long silence the controller has given up and answers frames again.
    now += kFlashIdleTimeout + 1ms;
    EXPECT_EQ(Download(), Reply(1, 0, simtest::DefaultWireImage()));
    EXPECT_EQ(sim.abandonedUpgrades(), 1);
    EXPECT_EQ(sim.firmwareVersion(), 0x0100);
}

TEST_F(SimControllerTest, FramesWithBadChecksumsGetNoAnswerAndChangeNothing) {
    auto frame = Request(RequestType::DownloadConfig);
    frame.back() ^= 0x01;
    EXPECT_TRUE(Feed(frame).empty());
    EXPECT_EQ(received.at(0), std::make_pair(ReceivedKind::BadFrame, frame));
    auto upload = Request(RequestType::UploadConfig, std::vector<std::uint8_t>(110, 0xFF));
    upload[50] ^= 0x40;
    EXPECT_TRUE(Feed(upload).empty());
    EXPECT_EQ(Download(), Reply(1, 0, simtest::DefaultWireImage()));
}

TEST_F(SimControllerTest, NoiseBrokenSyncUnknownTypesAndWrongMarkersAreSkipped) {
    // Each prefix is followed by a controller-info request, which must be answered once.
    for (const char* prefix :
         {"00 FF 13", "22", "22 37", "22 37 49", "22 22", "22 37 22", "22 37 49 22",
          "22 37 49 F2 05 0A 00 00", "22 37 49 F2 00", "22 37 49 F2", "22 37 49 F2 01 0B 15 17"}) {
        auto bytes = Hex(prefix);
        const auto info = Request(RequestType::ControllerInfo);
        bytes.insert(bytes.end(), info.begin(), info.end());
        EXPECT_EQ(Feed(bytes), kInfoReply) << prefix;
    }
}

TEST_F(SimControllerTest, TruncatedFramesDoNotSwallowTheNextRequest) {
    // Cut off by one byte and sent again at once: found again inside the failed frame.
    const auto info = Request(RequestType::ControllerInfo);
    std::vector<std::uint8_t> bytes(info.begin(), info.end() - 1);
    bytes.insert(bytes.end(), info.begin(), info.end());
    EXPECT_EQ(Feed(bytes), kInfoReply);
    // An upload cut off, then after the tool's time-out a short request: the stale upload
    // has been dropped rather than completed with the request's bytes.
    const auto upload = Request(RequestType::UploadConfig, simtest::DefaultWireImage());
    EXPECT_TRUE(Feed(std::vector<std::uint8_t>(upload.begin(), upload.begin() + 50)).empty());
    now += kFrameGapTimeout + 1ms;
    EXPECT_EQ(Feed(info), kInfoReply);
}

TEST_F(SimControllerTest, RandomGarbageThenAPauseLeavesTheControllerAnswering) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> garbage(20000);
    for (std::size_t i = 0; i < garbage.size(); ++i) {
        // Sync words and an upload header sprinkled in, so the body states see garbage too.
        garbage[i] =
            i % 997 < 6 ? Hex("22 37 49 F2 02 0A")[i % 997] : static_cast<std::uint8_t>(random());
    }
    Feed(garbage);
    now += kFlashIdleTimeout + 1ms;
    EXPECT_EQ(Download(), Reply(1, 0, simtest::DefaultWireImage()));
}

TEST_F(SimControllerTest, NonZeroStatusRefusesEveryRequest) {
    sim.SetReplyStatus(5);
    auto image = simtest::DefaultWireImage();
    image[12] = 40;  // stage 1 frequency
    EXPECT_EQ(Feed(Request(RequestType::UploadConfig, image)), Reply(2, 5));
    const auto download = Download();
    EXPECT_EQ(download, Reply(1, 5, simtest::DefaultWireImage()));
    EXPECT_FALSE(IsGoodReplyBody(download.data() + 4, 114));
    EXPECT_EQ(Feed(Request(RequestType::FlashPermission)), Reply(238, 5));
    EXPECT_EQ(sim.mode(), SimController::Mode::Frames);
}

}  // namespace
}  // namespace zentrik
