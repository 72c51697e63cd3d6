#include "editor/upload_markers.h"

#include <gtest/gtest.h>

#include "editor/control_ids.h"
#include "support/sample_config.h"

namespace zentrik {
namespace {

using namespace control_ids;
using K = MarkerKind;

TEST(UploadMarkers, EachDifferenceMarksItsControlOnTheStagePagesItShowsOn) {
    const ConfigDocument held = test::SampleConfigDocument();
    ConfigDocument here = held;
    here.record.stage[0].Percent[7] = 60;  // a point of Stage 1's graph
    here.record.stage[1].RPM_Max = 7000;   // a Stage 2 field
    SetRPM_Present(here.record, false);    // on both pages
    const UploadMarkers m = ComputeUploadMarkers(here, &held, {});
    EXPECT_EQ(m.paneText, "3 settings not uploaded");
    EXPECT_EQ(m.Marker(kGraph, 0), (ControlMarker{K::Differs, "Percent 7 on the controller: 35%"}));
    EXPECT_EQ(m.Marker(kGraph, 1).kind, K::None);
    EXPECT_EQ(m.Marker(kRpmCutoff, 1),
              (ControlMarker{K::Differs, "RPM Cutoff on the controller: 6750"}));
    EXPECT_EQ(m.Marker(kRpmCutoff, 0).kind, K::None);
    EXPECT_EQ(m.Marker(kRpmPresent, 0).kind, K::Differs);
    EXPECT_EQ(m.Marker(kRpmPresent, 1).kind, K::Differs);
    EXPECT_EQ(m.stages, (std::array{K::Differs, K::Differs}));

    here.record.stage[0].Percent[7] = 35;
    SetRPM_Present(here.record, true);
    const UploadMarkers one = ComputeUploadMarkers(here, &held, {});
    EXPECT_EQ(one.paneText, "1 setting not uploaded");
    EXPECT_EQ(one.stages, (std::array{K::None, K::Differs}));
    EXPECT_EQ(ComputeUploadMarkers(held, &held, {}).paneText, "All settings uploaded");
}

TEST(UploadMarkers, PressuresCompareAsHeldAndValuesOutOfRangeAreMarkedWithoutAHeldRecord) {
    const ConfigDocument held = test::SampleConfigDocument();  // psi
    ConfigDocument here = held;
    SetMAP_In_bar(here.record, true);
    for (double& pressure : here.displayPressures) {
        pressure *= kPsiToBar;
    }
    UploadMarkers m = ComputeUploadMarkers(here, &held, {});
    EXPECT_EQ(m.paneText, "1 setting not uploaded");  // the unit alone
    EXPECT_EQ(m.Marker(kUnits, 1).kind, K::Differs);
    EXPECT_EQ(m.Marker(kMapTrigger, 0).kind, K::None);
    here.displayPressures[PressureIndex(0, PressureField::MAP_Trigger)] = 0.2;
    m = ComputeUploadMarkers(here, &held, {});
    EXPECT_EQ(m.Marker(kMapTrigger, 0).tip, "MAP Trigger on the controller: 0.1 bar");  // 1.5 psi

    here.record.stage[0].Percent[3] = 250;
    m = ComputeUploadMarkers(here, nullptr, CheckConfiguration(here));
    EXPECT_EQ(m.paneText, "Controller's settings unknown");
    EXPECT_EQ(m.Marker(kGraph, 0),
              (ControlMarker{K::OutOfRange, "Stage 1 Percent 3 is 250%; it must be 0 to 100%."}));
    EXPECT_EQ(m.stages, (std::array{K::OutOfRange, K::None}));
    // Out of range outweighs a difference on the same control, and both are told.
    m = ComputeUploadMarkers(here, &held, CheckConfiguration(here));
    EXPECT_EQ(m.Marker(kGraph, 0).kind, K::OutOfRange);
    EXPECT_NE(m.Marker(kGraph, 0).tip.find("\nPercent 3 on the controller: 15%"),
              std::string::npos);
}

}  // namespace
}  // namespace zentrik
