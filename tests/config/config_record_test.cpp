#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <set>

#include "config/config_document.h"
#include "config/controller_config.h"

namespace zentrik {
namespace {

// Record offsets of the stage fields (stage 1 block starts at 6, stage 2 at 50).
constexpr std::size_t kStage1 = 6;
constexpr std::size_t kStage2 = 50;

std::uint16_t BigEndianAt(const std::array<std::uint8_t, kConfigSize>& image, std::size_t at) {
    return static_cast<std::uint16_t>(image[at] << 8 | image[at + 1]);
}

TEST(WireImage, UploadConvertsPressuresToPsiFixedPointBigEndian) {
    ConfigDocument doc;
    SetMAP_In_bar(doc.record, true);
    doc.displayPressures[PressureIndex(0, PressureField::MAP_End)] = 1.0;  // bar
    auto image = ToWireImage(doc);
    // trunc(14.5038 x 256) = 3712
    EXPECT_EQ(image[kStage1 + 34], 0x0E);
    EXPECT_EQ(image[kStage1 + 35], 0x80);

    SetMAP_In_bar(doc.record, false);
    doc.displayPressures[PressureIndex(0, PressureField::MAP_Trigger)] = -14.7;  // psi
    doc.displayPressures[PressureIndex(1, PressureField::MAP_Max)] = 85.0;
    image = ToWireImage(doc);
    // trunc(-3763.2) = -3763 toward zero, not -3764
    EXPECT_EQ(image[kStage1 + 32], 0xF1);
    EXPECT_EQ(image[kStage1 + 33], 0x4D);
    EXPECT_EQ(BigEndianAt(image, kStage2 + 4), 85 * 256);
}

TEST(WireImage, UploadSwapsOnlyTheSixteenBitFields) {
    ConfigDocument doc;
    doc.record.stage[0].RPM_Max = 6000;
    doc.record.stage[1].RPM_Max = 6000;
    doc.record.stage[0].RPM_Trigger = 0x1234;
    doc.record.stage[0].Frequency = 37;
    for (int i = 0; i < kPercentPoints; ++i) {
        doc.record.stage[1].Percent[i] = static_cast<std::uint8_t>(5 * i);
    }
    doc.record.RPM_Multiplier = -26;
    doc.record.reserved94[3] = 0xA5;
    const auto image = ToWireImage(doc);
    EXPECT_EQ(image[kStage1 + 2], 0x17);
    EXPECT_EQ(image[kStage1 + 3], 0x70);
    EXPECT_EQ(image[kStage2 + 2], 0x17);
    EXPECT_EQ(image[kStage2 + 3], 0x70);
    EXPECT_EQ(image[kStage1 + 28], 0x12);
    EXPECT_EQ(image[kStage1 + 29], 0x34);
    EXPECT_EQ(image[kStage1 + 6], 37);
    for (int i = 0; i < kPercentPoints; ++i) {
        EXPECT_EQ(image[kStage2 + 8 + i], 5 * i) << "point " << i;
    }
    EXPECT_EQ(static_cast<std::int8_t>(image[2]), -26);
    EXPECT_EQ(image[94 + 3], 0xA5);
}

TEST(WireImage, DownloadInBarConvertsToBarAndTakesTheRecordAsSent) {
    std::array<std::uint8_t, kConfigSize> payload{};
    payload[0] = kMapInBarBit | kRpmPresentBit;
    payload[kStage1 + 4] = 0x0E;  // MAP_Max 3712 = 14.5 psi
    payload[kStage1 + 5] = 0x80;
    payload[kStage2 + 32] = 0xF1;  // MAP_Trigger -3763
    payload[kStage2 + 33] = 0x4D;
    payload[kStage2 + 2] = 0x17;  // RPM_Max 6000
    payload[kStage2 + 3] = 0x70;
    payload[1] = 0x11;  // reserved bytes travel with the record
    payload[kStage1 + 36] = 0x22;
    payload[109] = 0x33;

    ConfigDocument doc;
    doc.displayPressures.fill(99.0);
    FromWireImage(doc, payload.data());
    EXPECT_TRUE(MAP_In_bar(doc.record));
    EXPECT_NEAR(doc.displayPressures[PressureIndex(0, PressureField::MAP_Max)], 0.999738, 1e-6);
    EXPECT_NEAR(doc.displayPressures[PressureIndex(1, PressureField::MAP_Trigger)],
                -3763 / 256.0 * kPsiToBar, 1e-12);
    EXPECT_EQ(doc.displayPressures[PressureIndex(0, PressureField::MAP_End)], 0.0);
    EXPECT_EQ(doc.record.stage[0].MAP_Max, 3712);
    EXPECT_EQ(doc.record.stage[1].RPM_Max, 6000);
    EXPECT_EQ(doc.record.reserved1, 0x11);
    EXPECT_EQ(doc.record.stage[0].reserved36[0], 0x22);
    EXPECT_EQ(doc.record.reserved94[15], 0x33);

    // An upload of what was downloaded gives the same bytes back.
    EXPECT_EQ(ToWireImage(doc), payload);
}

TEST(WireImage, PsiPressuresSurviveARoundTripWithinOneStep) {
    ConfigDocument doc;
    const double values[6] = {-14.7, 84.9, 85.0, -14.6, 0.0, 20.04};
    for (int i = 0; i < 6; ++i) {
        doc.displayPressures[i] = values[i];
    }
    const auto image = ToWireImage(doc);
    ConfigDocument back;
    FromWireImage(back, image.data());
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(back.displayPressures[i], values[i], 1.0 / 256) << "pressure " << i;
    }
}

TEST(PressureToFixed, TruncatesTowardZeroAndKeepsTheLowSixteenBits) {
    EXPECT_EQ(PressureToFixed(9.99), 2557);
    EXPECT_EQ(PressureToFixed(-9.99), -2557);
    EXPECT_EQ(PressureToFixed(128.0), -32768);  // 32768 wraps
    EXPECT_EQ(PressureToFixed(256.0), 0);       // 65536 wraps to zero
    EXPECT_EQ(PressureToFixed(1e300), 0);       // no undefined conversion
    EXPECT_EQ(PressureToFixed(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(RpmMultiplier, TableMapsBothWaysAndUnknownValuesShowAsFirstChoice) {
    const auto& choices = RpmMultiplierChoices();
    std::set<int> seen;
    for (int i = 0; i < kRpmMultiplierChoiceCount; ++i) {
        const std::int8_t value = RpmMultiplierValue(i);
        EXPECT_EQ(value, choices[i].value);
        EXPECT_EQ(RpmMultiplierIndex(value), i) << choices[i].text;
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kRpmMultiplierChoiceCount));
    EXPECT_EQ(RpmMultiplierValue(0), -11);
    EXPECT_EQ(RpmMultiplierValue(7), -26);   // divide by 5.5
    EXPECT_EQ(RpmMultiplierValue(15), -18);  // divide by 1.5
    EXPECT_EQ(RpmMultiplierValue(16), 0);    // x1
    EXPECT_EQ(RpmMultiplierValue(27), 11);   // x12
    EXPECT_EQ(choices[16].text, "x1");
    EXPECT_EQ(choices[7].text, "\u00f75.5");
    EXPECT_EQ(RpmMultiplierIndex(12), 0);
    EXPECT_EQ(RpmMultiplierIndex(-12), 0);
    EXPECT_EQ(RpmMultiplierIndex(-127), 0);
    EXPECT_EQ(RpmMultiplierValue(28), -11);
    EXPECT_EQ(RpmMultiplierValue(-1), -11);
}

TEST(RecordFlags, SettersReplaceOnlyTheirOwnBits) {
    StageConfig stage{};
    stage.flags = 0x80;  // reserved bit stays
    SetPresent(stage, true);
    SetTrig_Sx1_Config(stage, 7);  // keeps the low two bits
    SetTrig_Sx2_Config(stage, 6);
    SetTIME_Based(stage, true);
    SetFirst_Gear_Lockout(stage, true);
    EXPECT_EQ(stage.flags, 0x80 | 0x01 | (3 << 1) | (2 << 3) | 0x20 | 0x40);
    SetTrig_Sx1_Config(stage, 0);
    SetTIME_Based(stage, false);
    EXPECT_EQ(Trig_Sx1_Config(stage), 0);
    EXPECT_EQ(Trig_Sx2_Config(stage), 2);
    EXPECT_FALSE(TIME_Based(stage));
    EXPECT_TRUE(First_Gear_Lockout(stage));
    EXPECT_TRUE(Present(stage));

    ControllerConfig config{};
    SetMAP_In_bar(config, true);
    EXPECT_FALSE(RPM_Present(config));
    SetRPM_Present(config, true);
    SetMAP_In_bar(config, false);
    EXPECT_EQ(config.flags, kRpmPresentBit);
}

}  // namespace
}  // namespace zentrik
