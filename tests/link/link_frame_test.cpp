#include "link/link_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/link_rig.h"

namespace zentrik {
namespace {

using test::Hex;

std::uint16_t Crc16Of(const std::string& s) {
    return Crc16(reinterpret_cast<const std::uint8_t*>(s.data()), static_cast<long>(s.size()));
}

TEST(Crc16, KnownVectorsAndTable) {
    EXPECT_EQ(Crc16Of("abc"), 0x3F17);
    EXPECT_EQ(Crc16Of("123456789"), 0x72A3);
    EXPECT_EQ(Crc16Of(""), 0);
    EXPECT_EQ(Crc16(nullptr, -5), 0);
    EXPECT_EQ(Crc16TableEntry(1), 0x080D);
    EXPECT_EQ(Crc16TableEntry(128), 0x26B4);
    EXPECT_EQ(Crc16TableEntry(255), 0xC4D8);
}

TEST(Crc32, StandardVectors) {
    const std::string digits = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()),
              0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    const std::string fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(fox.data()), fox.size()), 0x414FA339u);
}

TEST(LinkFrame, ShortRequestsAreExactBytes) {
    EXPECT_EQ(LinkFrame::Request(RequestType::DownloadConfig).bytes(),
              Hex("22 37 49 F2 01 0A 1D 1A"));
    EXPECT_EQ(LinkFrame::Request(RequestType::ControllerInfo).bytes(),
              Hex("22 37 49 F2 03 0A 87 CA"));
    EXPECT_EQ(LinkFrame::Request(RequestType::FlashPermission).bytes(),
              Hex("22 37 49 F2 EE 0A 26 74"));
}

TEST(LinkFrame, AcknowledgementsAndReplyChecks) {
    const auto ack = LinkFrame::Reply(2, 0);
    EXPECT_EQ(ack.bytes(), Hex("22 37 49 F2 02 00 9A D0"));
    EXPECT_EQ(LinkFrame::Reply(238, 0).bytes(), Hex("22 37 49 F2 EE 00 76 06"));
    EXPECT_TRUE(IsGoodReplyBody(ack.data() + 4, 4));

    // Correct checksum but status 1: not a success.
    const auto refused = LinkFrame::Reply(2, 1);
    EXPECT_FALSE(IsGoodReplyBody(refused.data() + 4, 4));

    auto damaged = ack.bytes();
    damaged[7] ^= 0x01;
    EXPECT_FALSE(IsGoodReplyBody(damaged.data() + 4, 4));
}

TEST(LinkFrame, UploadChecksumCoversTypeMarkerAndPayload) {
    std::vector<std::uint8_t> payload(110);
    for (std::size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    const auto frame = LinkFrame::Request(RequestType::UploadConfig, payload);
    ASSERT_EQ(frame.size(), 118u);
    EXPECT_EQ(frame.bytes()[0], 0x22);
    EXPECT_EQ(frame.bytes()[5], 0x0A);
    const std::uint16_t crc = Crc16(frame.data() + 4, 112);
    EXPECT_EQ(frame.bytes()[116], crc >> 8);
    EXPECT_EQ(frame.bytes()[117], crc & 0xFF);
}

TEST(ByteOrder, Swaps) {
    EXPECT_EQ(Swap16(0x1770), 0x7017);
    EXPECT_EQ(Swap32(0x11223344u), 0x44332211u);
    EXPECT_EQ(ReplyBodyLength(1), 114u);
    EXPECT_EQ(ReplyBodyLength(3), 14u);
    EXPECT_EQ(ReplyBodyLength(238), 4u);
    EXPECT_EQ(ReplyBodyLength(4), 0u);
}

}  // namespace
}  // namespace zentrik
