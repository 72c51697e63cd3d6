// The value rules behind the numeric fields, and the unit switch.
#include "view_fixture.h"

namespace zentrik::test {
namespace {

using ValueRulesTest = ViewTest;
using PF = PressureField;

TEST_F(ValueRulesTest, RpmTriggerStaysBelowTheCutoff) {
    Build();
    Enter(1002, "3000");
    Enter(1003, "3000");
    EXPECT_EQ(RecordStage(0).RPM_Max, 3000);
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 2999);
    EXPECT_EQ(Shown(1002), "2999 RPM");
    EXPECT_EQ(Edit(1002)->Maximum(), 2999);

    // A stored trigger far above the limits.
    RecordStage(0).RPM_Trigger = 25000;
    RecordStage(0).RPM_Max = 6000;
    m_view->NormaliseRpmTrigger();
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 19999);
    EXPECT_EQ(RecordStage(0).RPM_Max, 20000);
    EXPECT_EQ(Shown(1003), "20000 RPM");
    // Showing the stage runs the cut-off's rule first, which keeps the stored cut-off.
    RecordStage(0).RPM_Trigger = 25000;
    RecordStage(0).RPM_Max = 6000;
    m_view->OnUpdate(1);
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 5999);
    EXPECT_EQ(RecordStage(0).RPM_Max, 6000);

    RecordStage(0).RPM_Trigger = 20000;
    RecordStage(0).RPM_Max = 20000;
    m_view->OnUpdate(1);
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 19999);
    EXPECT_EQ(RecordStage(0).RPM_Max, 20000);
    EXPECT_EQ(Shown(1002), "19999 RPM");
}

TEST_F(ValueRulesTest, ReportedValuesAreRoundedOrTruncatedAsStored) {
    Build();
    Enter(1033, "10.5");
    EXPECT_EQ(RecordStage(0).Frequency, 11);
    Enter(1010, "50.9");
    EXPECT_EQ(RecordStage(0).Percent[0], 50);
    Enter(1011, "0.99");
    EXPECT_EQ(RecordStage(0).Percent[19], 0);
    Pick(1067, 1);  // Stage 2 is time-based
    Enter(1009, "0.35");
    EXPECT_EQ(RecordStage(1).Delay_Time, 3);
    Enter(1008, "2.79");
    EXPECT_EQ(RecordStage(1).Ramp_Time, 27);
    EXPECT_EQ(Text(1061).toStdString(), "3.0 s");
    EXPECT_DOUBLE_EQ(m_view->Graph()->XEnd(), 30 * static_cast<double>(0.1f));
    // Pressures are stored as reported.
    Pick(1067, 0);
    Enter(1005, "20.37");
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_Max), 20.37);
}

TEST_F(ValueRulesTest, PressuresKeepTriggerEndAndCutoffInOrder) {
    Build();
    Enter(1006, "8");
    Enter(1005, "5");
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_Max), 5.0);
    EXPECT_NEAR(Pressure(0, PF::MAP_Trigger), 4.9, 1e-12);
    EXPECT_EQ(Shown(1006), "4.9 psi");
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_End), 5.0);
    EXPECT_EQ(Shown(1007), "5.0 psi");
    EXPECT_EQ(Text(1061).toStdString(), "5.0 psi");

    Enter(1005, "25");
    Enter(1007, "10");
    Enter(1006, "12");  // above the end: the end goes one whole unit above it
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_End), 13.0);
    EXPECT_EQ(Shown(1007), "13.0 psi");
    EXPECT_DOUBLE_EQ(m_view->Graph()->XStart(), 12.0);
    EXPECT_DOUBLE_EQ(m_view->Graph()->XEnd(), 13.0);
}

TEST_F(ValueRulesTest, ATriggerRaisedNextToTheCutoffNeverPutsTheEndAboveIt) {
    Build();
    Enter(1007, "10");
    Enter(1005, "12.5");
    Enter(1006, "12.4");
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_End), 12.5);
    EXPECT_LE(Pressure(0, PF::MAP_End), Edit(1007)->Maximum());
    EXPECT_EQ(Shown(1007), "12.5 psi");
    EXPECT_DOUBLE_EQ(m_view->Graph()->XEnd(), 12.5);
}

TEST_F(ValueRulesTest, ATimeBasedStageOnlyStoresPressures) {
    Build();
    Pick(1067, 1);
    const double timeEnd = m_view->Graph()->XEnd();
    m_view->OnValueChanged(1006, 20.0);
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_Trigger), 20.0);
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_End), 12.5);
    EXPECT_EQ(m_view->Graph()->XEnd(), timeEnd);
    EXPECT_EQ(Text(1060).toStdString(), "Time");

    // A cut-off lowered under a time-based stage's end leaves the end; once the stage turns
    // pressure-based the end comes down to the cut-off the field allows.
    m_view->OnValueChanged(1006, 3.0);
    Enter(1005, "10");
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_End), 12.5);
    Pick(1052, 0);
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_End), 10.0);
    EXPECT_EQ(Shown(1007), "10.0 psi");
    EXPECT_DOUBLE_EQ(m_view->Graph()->XEnd(), 10.0);
}

TEST_F(ValueRulesTest, UnitSwitchConvertsBothStagesOnceEachWay) {
    Pressure(0, PF::MAP_Trigger) = 10.0;
    Pressure(1, PF::MAP_Max) = 38.0;
    Build();
    Pick(1075, 1);
    EXPECT_TRUE(MAP_In_bar(m_doc.record));
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_Trigger), 0.6894744825494009);
    EXPECT_EQ(Shown(1006), "0.7 bar");
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_Max), 38.0 * kPsiToBar);
    EXPECT_DOUBLE_EQ(Edit(1005)->Minimum(), -0.9);
    EXPECT_DOUBLE_EQ(Edit(1005)->Maximum(), 6.0);
    EXPECT_EQ(Shown(1005), "1.8 bar");
    EXPECT_EQ(Text(1059).toStdString(), "0.7 bar");
    EXPECT_DOUBLE_EQ(m_view->Graph()->XStart(), 0.6894744825494009);

    // Picking the unit already in use converts nothing.
    Pick(1075, 1);
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_Trigger), 0.6894744825494009);

    Pick(1075, 0);
    EXPECT_FALSE(MAP_In_bar(m_doc.record));
    EXPECT_NEAR(Pressure(0, PF::MAP_Trigger), 10.0, 1e-12);
    EXPECT_NEAR(Pressure(1, PF::MAP_Max), 38.0, 1e-12);
    EXPECT_EQ(Shown(1006), "10.0 psi");
    EXPECT_DOUBLE_EQ(Edit(1005)->Minimum(), -14.6);
    Pick(1067, 1);
    EXPECT_EQ(Shown(1005), "38.0 psi");
}

}  // namespace
}  // namespace zentrik::test
