// The value rules behind the numeric fields, and the unit switch.
#include "editor/control_ids.h"
#include "form_fixture.h"

namespace zentrik::test {
namespace {

using namespace control_ids;

using ValueRulesTest = FormTest;
using PF = PressureField;

TEST_F(ValueRulesTest, RpmTriggerStaysBelowTheCutoff) {
    Build();
    Enter(kRpmTrigger, "3000");
    Enter(kRpmCutoff, "3000");
    EXPECT_EQ(RecordStage(0).RPM_Max, 3000);
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 2999);
    EXPECT_EQ(Shown(kRpmTrigger), "2999 RPM");
    EXPECT_EQ(m_form->Field(kRpmTrigger).Maximum(), 2999);

    // A stored trigger far above the limits.
    RecordStage(0).RPM_Trigger = 25000;
    RecordStage(0).RPM_Max = 6000;
    m_form->NormaliseRpmTrigger();
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 19999);
    EXPECT_EQ(RecordStage(0).RPM_Max, 20000);
    EXPECT_EQ(Shown(kRpmCutoff), "20000 RPM");
    // Showing the stage changes nothing: it shows what is stored, and the trigger's field
    // allows what the stored cut-off leaves it.
    RecordStage(0).RPM_Trigger = 25000;
    RecordStage(0).RPM_Max = 6000;
    m_form->OnUpdate(1);
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 25000);
    EXPECT_EQ(RecordStage(0).RPM_Max, 6000);
    EXPECT_EQ(Shown(kRpmTrigger), "25000 RPM");
    EXPECT_EQ(m_form->Field(kRpmTrigger).Maximum(), 5999);
    // A cut-off beyond its field's range leaves the trigger the range up to the field's end.
    RecordStage(0).RPM_Max = -31073;
    m_form->OnUpdate(1);
    EXPECT_EQ(Shown(kRpmCutoff), "-31073 RPM");
    EXPECT_EQ(m_form->Field(kRpmTrigger).Maximum(), 999);
    Enter(kRpmTrigger, "25000");
    EXPECT_EQ(RecordStage(0).RPM_Trigger, 999);
    EXPECT_EQ(RecordStage(0).RPM_Max, -31073);
}

TEST_F(ValueRulesTest, ReportedValuesAreRoundedOrTruncatedAsStored) {
    Build();
    Enter(kFrequency, "10.5");
    EXPECT_EQ(RecordStage(0).Frequency, 11);
    Enter(kStart, "50.9");
    EXPECT_EQ(RecordStage(0).Percent[0], 50);
    Enter(kFinal, "0.99");
    EXPECT_EQ(RecordStage(0).Percent[19], 0);
    Pick(kStage, 1);  // Stage 2 is time-based
    Enter(kDelay, "0.35");
    EXPECT_EQ(RecordStage(1).Delay_Time, 3);
    Enter(kRampTime, "2.79");
    EXPECT_EQ(RecordStage(1).Ramp_Time, 27);
    EXPECT_EQ(Text(kAxisEnd), "3.0 s");
    EXPECT_DOUBLE_EQ(Graph().XEnd(), 30 * static_cast<double>(0.1f));
    // Pressures are stored as reported.
    Pick(kStage, 0);
    Enter(kMapCutoff, "20.37");
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_Max), 20.37);
}

TEST_F(ValueRulesTest, PressuresKeepTriggerEndAndCutoffInOrder) {
    Build();
    Enter(kMapTrigger, "8");
    Enter(kMapCutoff, "5");
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_Max), 5.0);
    EXPECT_NEAR(Pressure(0, PF::MAP_Trigger), 4.9, 1e-12);
    EXPECT_EQ(Shown(kMapTrigger), "4.9 psi");
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_End), 5.0);
    EXPECT_EQ(Shown(kMapEnd), "5.0 psi");
    EXPECT_EQ(Text(kAxisEnd), "5.0 psi");

    Enter(kMapCutoff, "25");
    Enter(kMapEnd, "10");
    Enter(kMapTrigger, "12");  // above the end: the end goes one whole unit above it
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_End), 13.0);
    EXPECT_EQ(Shown(kMapEnd), "13.0 psi");
    EXPECT_DOUBLE_EQ(Graph().XStart(), 12.0);
    EXPECT_DOUBLE_EQ(Graph().XEnd(), 13.0);
}

TEST_F(ValueRulesTest, ATriggerRaisedNextToTheCutoffNeverPutsTheEndAboveIt) {
    Build();
    Enter(kMapEnd, "10");
    Enter(kMapCutoff, "12.5");
    Enter(kMapTrigger, "12.4");
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_End), 12.5);
    EXPECT_LE(Pressure(0, PF::MAP_End), m_form->Field(kMapEnd).Maximum());
    EXPECT_EQ(Shown(kMapEnd), "12.5 psi");
    EXPECT_DOUBLE_EQ(Graph().XEnd(), 12.5);
}

TEST_F(ValueRulesTest, ATimeBasedStageOnlyStoresPressures) {
    Build();
    Pick(kStage, 1);
    const double timeEnd = Graph().XEnd();
    m_form->OnValueChanged(kMapTrigger, 20.0);
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_Trigger), 20.0);
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_End), 12.5);
    EXPECT_EQ(Graph().XEnd(), timeEnd);
    EXPECT_EQ(Text(kAxisName), "Time");

    // A cut-off lowered under a time-based stage's end leaves the end; once the stage turns
    // pressure-based the end comes down to the cut-off the field allows.
    m_form->OnValueChanged(kMapTrigger, 3.0);
    Enter(kMapCutoff, "10");
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_End), 12.5);
    Pick(kType, 0);
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_End), 10.0);
    EXPECT_EQ(Shown(kMapEnd), "10.0 psi");
    EXPECT_DOUBLE_EQ(Graph().XEnd(), 10.0);
}

TEST_F(ValueRulesTest, UnitSwitchConvertsBothStagesOnceEachWay) {
    Pressure(0, PF::MAP_Trigger) = 10.0;
    Pressure(1, PF::MAP_Max) = 38.0;
    Build();
    Pick(kUnits, 1);
    EXPECT_TRUE(MAP_In_bar(m_doc.record));
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_Trigger), 0.6894744825494009);
    EXPECT_EQ(Shown(kMapTrigger), "0.7 bar");
    EXPECT_DOUBLE_EQ(Pressure(1, PF::MAP_Max), 38.0 * kPsiToBar);
    EXPECT_DOUBLE_EQ(m_form->Field(kMapCutoff).Minimum(), -0.9);
    EXPECT_DOUBLE_EQ(m_form->Field(kMapCutoff).Maximum(), 6.0);
    EXPECT_EQ(Shown(kMapCutoff), "1.8 bar");
    EXPECT_EQ(Text(kAxisStart), "0.7 bar");
    EXPECT_DOUBLE_EQ(Graph().XStart(), 0.6894744825494009);

    // Picking the unit already in use converts nothing.
    Pick(kUnits, 1);
    EXPECT_DOUBLE_EQ(Pressure(0, PF::MAP_Trigger), 0.6894744825494009);

    Pick(kUnits, 0);
    EXPECT_FALSE(MAP_In_bar(m_doc.record));
    EXPECT_NEAR(Pressure(0, PF::MAP_Trigger), 10.0, 1e-12);
    EXPECT_NEAR(Pressure(1, PF::MAP_Max), 38.0, 1e-12);
    EXPECT_EQ(Shown(kMapTrigger), "10.0 psi");
    EXPECT_DOUBLE_EQ(m_form->Field(kMapCutoff).Minimum(), -14.6);
    Pick(kStage, 1);
    EXPECT_EQ(Shown(kMapCutoff), "38.0 psi");
}

}  // namespace
}  // namespace zentrik::test
