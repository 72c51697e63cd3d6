#include "firmware/firmware_image.h"

#include <gtest/gtest.h>

#include "firmware_files.h"
#include "link/link_frame.h"

namespace zentrik {
namespace {

using test::MakeFirmwareFile;
using test::WriteTempFile;

TEST(FirmwareImage, AcceptsAGoodFileAndReadsItsVersion) {
    FirmwareImage image;
    const auto file = MakeFirmwareFile(0x0103);
    ASSERT_EQ(image.Load(WriteTempFile(file, "good.eep")), FirmwareLoadResult::Ok);
    EXPECT_EQ(image.Version(), 0x0103);
    EXPECT_EQ(image.ProductCode(), 0x0A);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), image.Bytes().begin()));
}

TEST(FirmwareImage, RefusesBadFiles) {
    FirmwareImage image;
    EXPECT_EQ(image.Load("/nonexistent/folder/file.eep"), FirmwareLoadResult::OpenFailed);

    auto corrupt = MakeFirmwareFile(0x0103);
    corrupt[1000] ^= 0x10;
    EXPECT_EQ(image.Load(WriteTempFile(corrupt, "corrupt.eep")), FirmwareLoadResult::Corrupt);

    // The trailer is checked big-endian: the right value little-endian is refused.
    auto swapped = MakeFirmwareFile(0x0103);
    std::reverse(swapped.end() - 4, swapped.end());
    EXPECT_EQ(image.Load(WriteTempFile(swapped, "swapped.eep")), FirmwareLoadResult::Corrupt);

    EXPECT_EQ(image.Load(WriteTempFile(MakeFirmwareFile(0x0103, 0x0B), "other.eep")),
              FirmwareLoadResult::WrongProduct);
}

TEST(FirmwareImage, ShortFileNeverBorrowsAnEarlierImage) {
    FirmwareImage image;
    const auto good = MakeFirmwareFile(0x0200);
    ASSERT_EQ(image.Load(WriteTempFile(good, "good.eep")), FirmwareLoadResult::Ok);
    // The same file cut short: with the earlier bytes still in the buffer it would pass.
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + 20000);
    EXPECT_EQ(image.Load(WriteTempFile(cut, "cut.eep")), FirmwareLoadResult::Corrupt);
    EXPECT_EQ(image.Bytes()[25000], 0);
}

TEST(FirmwareImage, ExtraBytesAfterTheTrailerAreNotRead) {
    FirmwareImage image;
    auto file = MakeFirmwareFile(0x0103);
    file.insert(file.end(), {1, 2, 3});
    EXPECT_EQ(image.Load(WriteTempFile(file, "long.eep")), FirmwareLoadResult::Ok);
}

TEST(FirmwareImage, ChecksumIsTheSumOfBigEndianWords) {
    std::vector<std::uint8_t> file(30724, 0xFF);
    const std::uint32_t crc = Crc32(file.data(), 30720);
    for (int b = 0; b < 4; ++b) {
        file[30720 + b] = static_cast<std::uint8_t>(crc >> (24 - 8 * b));
    }
    FirmwareImage image;
    // Its product byte is 0xFF, so it is refused, but the buffer holds it.
    EXPECT_EQ(image.Load(WriteTempFile(file, "ff.eep")), FirmwareLoadResult::WrongProduct);
    EXPECT_EQ(image.ImageChecksum(), 0xC400);

    std::vector<std::uint8_t> small(30724, 0);
    small[0] = 0x01;  // word 0x0100
    small[3] = 0x02;  // word 0x0002
    small[30719] = 0x03;
    FirmwareImage other;
    other.Load(WriteTempFile(small, "small.eep"));
    EXPECT_EQ(other.ImageChecksum(), 0x0105);
}

}  // namespace
}  // namespace zentrik
