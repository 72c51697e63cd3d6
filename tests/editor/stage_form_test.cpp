// The form: its controls, what it shows for a document, and its lists and check boxes.
#include <map>

#include "editor/control_ids.h"
#include "editor/form_controls.h"
#include "form_fixture.h"

namespace zentrik::test {
namespace {

using namespace control_ids;

TEST_F(FormTest, EveryControlCarriesItsIdCaptionAndListEntries) {
    Build();
    const std::map<int, const char*> captions = {
        {kRpmPresent, "Present:"},
        {kStagePresent, "Present"},
        {kTypeLabel, "Type:"},
        {kLockout, "Enable First-Gear Lockout"},
        {kInput2WillLabel, "Input #2 Will"},
        {kThisStageLabel, "This Stage"},
        {kRpmCutoffLabel, "RPM Cutoff:"},
        {kFrequencyLabel, "Solenoid Frequency:"},
        {kMapCutoffLabel, "MAP Cutoff:"},
        {kRpmTriggerLabel, "RPM Trigger:"},
        {kMapTriggerLabel, "MAP Trigger:"},
        {kMapEndLabel, "MAP End:"},
        {kStartLabel, "Start:"},
        {kFinalLabel, "Final:"},
        {kSmoothWhenDragging, "Smooth When Dragging"},
        {kResetToStraightLine, "Reset to Straight Line"},
        {kSmoothPoints, "Smooth Points"},
        {kUndo, "Undo"},
        {kPercentLabel, "%"},
        {kDelayLabel, "Delay:"},
        {kRampLabel, "Ramp Time:"},
    };
    for (const auto& [id, caption] : captions) {
        ASSERT_NE(FindFormControl(id), nullptr) << id;
        EXPECT_STREQ(FindFormControl(id)->caption, caption) << id;
        EXPECT_EQ(Text(id), caption) << id;
    }
    for (int id : {kRpmCutoff, kFrequency, kMapCutoff, kRpmTrigger, kMapTrigger, kMapEnd, kStart,
                   kFinal, kDelay, kRampTime}) {
        EXPECT_EQ(FindFormControl(id)->kind, ControlKind::NumericEdit) << id;
        EXPECT_TRUE(m_form->IsField(id)) << id;
    }
    EXPECT_EQ(FindFormControl(kGraph)->kind, ControlKind::Graph);

    const auto entries = [](int id) {
        std::string joined;
        for (const std::string& entry : ListEntries(id)) {
            joined += (joined.empty() ? "" : "|") + entry;
        }
        return joined;
    };
    EXPECT_EQ(entries(kInput2), "Activate with 12 Volts|Activate with Ground");
    EXPECT_EQ(entries(kUnits), "psi|bar");
    EXPECT_EQ(entries(kStage), "Stage 1|Stage 2");
    EXPECT_EQ(entries(kType), "MAP-Based|Time-Based");
    EXPECT_EQ(entries(kInput2Will), "Be Ignored By|Enable|Disable");
    EXPECT_EQ(entries(kMultiplier),
              "\u00f712|\u00f711|\u00f710|\u00f79|\u00f78|\u00f77|\u00f76|\u00f75.5|\u00f75|"
              "\u00f74.5|\u00f74|\u00f73.5|\u00f73|\u00f72.5|\u00f72|\u00f71.5|x1|x2|x3|x4|x5|x6|"
              "x7|x8|x9|x10|x11|x12");
}

TEST_F(FormTest, VisibilityFollowsPresentRpmPresentAndTimeBased) {
    const std::vector<int> always = {kUnits, kRpmPresent,   kMultiplier,     kInput2,
                                     kStage, kStagePresent, kMapCutoffLabel, kMapCutoff};
    const std::vector<int> present = {kInput2Will,
                                      kInput2WillLabel,
                                      kThisStageLabel,
                                      kFrequencyLabel,
                                      kFrequency,
                                      kStartLabel,
                                      kStart,
                                      kFinalLabel,
                                      kFinal,
                                      kPercentLabel,
                                      kAxisStart,
                                      kAxisName,
                                      kAxisEnd,
                                      kGraph,
                                      kSmoothWhenDragging,
                                      kResetToStraightLine,
                                      kSmoothPoints,
                                      kUndo,
                                      kTypeLabel,
                                      kType};
    const std::vector<int> withRpm = {kLockout, kRpmCutoffLabel, kRpmCutoff, kRpmTriggerLabel,
                                      kRpmTrigger};
    const std::vector<int> timeBased = {kDelayLabel, kDelay, kRampLabel, kRampTime};
    const std::vector<int> mapBased = {kMapTriggerLabel, kMapTrigger, kMapEndLabel, kMapEnd};
    Build();
    for (int combination = 0; combination < 8; ++combination) {
        const bool isPresent = combination & 1;
        const bool rpm = combination & 2;
        const bool time = combination & 4;
        SetPresent(RecordStage(0), isPresent);
        SetRPM_Present(m_doc.record, rpm);
        SetTIME_Based(RecordStage(0), time);
        m_form->OnUpdate(1);
        SCOPED_TRACE(combination);
        const auto expect = [this](const std::vector<int>& ids, bool shown) {
            for (int id : ids) {
                EXPECT_EQ(Hidden(id), !shown) << id;
            }
        };
        expect(always, true);
        expect(present, isPresent);
        expect(withRpm, isPresent && rpm);
        expect(timeBased, isPresent && time);
        expect(mapBased, isPresent && !time);
        EXPECT_TRUE(Hidden(kRedo));  // Redo: nothing to redo
    }
}

TEST_F(FormTest, TypeSwapsTheTimeAndPressureFieldsAndTheAxis) {
    Build();
    EXPECT_EQ(Text(kAxisName), "MAP [PSI]");
    EXPECT_EQ(Text(kAxisStart), "1.5 psi");
    EXPECT_EQ(Text(kAxisEnd), "10.3 psi");

    Pick(kType, 1);
    EXPECT_TRUE(TIME_Based(RecordStage(0)));
    EXPECT_EQ(Text(kAxisName), "Time");
    EXPECT_EQ(Text(kAxisStart), "0.5 s");  // delay 5 tenths
    EXPECT_EQ(Text(kAxisEnd), "8.5 s");    // plus ramp 80 tenths
    EXPECT_FALSE(Hidden(kDelay));
    EXPECT_TRUE(Hidden(kMapTrigger));
    EXPECT_EQ(Graph().XEnd(), 85 * static_cast<double>(0.1f));

    Pick(kType, 0);
    EXPECT_EQ(Text(kAxisName), "MAP [PSI]");
    EXPECT_EQ(Text(kAxisStart), "1.5 psi");
    EXPECT_TRUE(Hidden(kDelay));
    EXPECT_FALSE(Hidden(kMapEnd));
    EXPECT_EQ(Graph().XStart(), 1.5);

    Pick(kUnits, 1);
    EXPECT_EQ(Text(kAxisName), "MAP [BAR]");
    EXPECT_EQ(Text(kAxisStart), "0.1 bar");
    EXPECT_EQ(Text(kAxisEnd), "0.7 bar");
}

TEST_F(FormTest, OnlyANonZeroHintRefreshesAndTheStageStays) {
    Build();
    Pick(kStage, 1);
    ASSERT_EQ(m_form->CurrentStage(), 1);
    RecordStage(1).Frequency = 40;
    RecordStage(1).Percent[0] = 77;
    m_doc.record.Input_Type2 = 1;
    m_form->OnUpdate(0);
    EXPECT_EQ(Shown(kFrequency), "13 Hz");
    EXPECT_EQ(m_form->Control(kInput2).selected, 1);
    m_form->OnUpdate(1);
    EXPECT_EQ(m_form->CurrentStage(), 1);
    EXPECT_EQ(m_form->Control(kStage).selected, 1);
    EXPECT_EQ(Shown(kFrequency), "40 Hz");
    EXPECT_EQ(Shown(kStart), "77%");
    EXPECT_EQ(Graph().GetPercents()[0], 77);
    EXPECT_EQ(m_form->Control(kInput2).selected, 0);
    EXPECT_FALSE(m_form->UndoAvailable());  // showing values takes no snapshot
}

TEST_F(FormTest, ListsShowOddCodesAsTheyAreWithoutChangingThem) {
    m_doc.record.RPM_Multiplier = -25;
    m_doc.record.Input_Type2 = 7;
    SetTrig_Sx2_Config(RecordStage(0), 3);
    Build();
    // No entry is selected; the list shows the value itself in its place.
    EXPECT_EQ(m_form->Control(kInput2Will).selected, -1);
    EXPECT_EQ(m_form->Control(kInput2Will).unlisted, "3?");
    EXPECT_EQ(m_form->Control(kInput2).unlisted, "7?");
    EXPECT_EQ(m_form->Control(kMultiplier).selected, -1);
    EXPECT_EQ(m_form->Control(kMultiplier).unlisted, "-25?");
    EXPECT_EQ(m_doc.record.RPM_Multiplier, -25);
    EXPECT_EQ(Trig_Sx2_Config(RecordStage(0)), 3);
    // Only an entry counts as a choice: a window that lists the value itself as one more
    // entry reports nothing by it.
    Pick(kInput2, 2);
    EXPECT_EQ(m_doc.record.Input_Type2, 7);

    const std::uint8_t otherBits = RecordStage(0).flags & ~kTrigSx2Mask;
    Pick(kInput2Will, 2);
    EXPECT_EQ(Trig_Sx2_Config(RecordStage(0)), 2);
    EXPECT_EQ(RecordStage(0).flags & ~kTrigSx2Mask, otherBits);
    EXPECT_EQ(m_form->Control(kInput2Will).unlisted, "");
    Pick(kMultiplier, 7);
    EXPECT_EQ(m_doc.record.RPM_Multiplier, -26);  // "÷5.5"
    Pick(kInput2, 1);
    EXPECT_EQ(m_doc.record.Input_Type2, 2);
}

TEST_F(FormTest, ClearingRpmPresentClearsOnlyTheShownStagesLockout) {
    SetFirst_Gear_Lockout(RecordStage(0), true);
    SetFirst_Gear_Lockout(RecordStage(1), true);
    Build();
    Pick(kStage, 1);
    Click(kRpmPresent);
    EXPECT_FALSE(RPM_Present(m_doc.record));
    EXPECT_FALSE(First_Gear_Lockout(RecordStage(1)));
    EXPECT_TRUE(First_Gear_Lockout(RecordStage(0)));
    EXPECT_TRUE(Hidden(kLockout));
    Pick(kStage, 0);
    EXPECT_TRUE(Hidden(kLockout));
    EXPECT_TRUE(Hidden(kRpmCutoff));

    Click(kStagePresent);  // Stage 1 no longer present: only the top row, the stage list and MAP
                           // Cutoff
    EXPECT_FALSE(Present(RecordStage(0)));
    EXPECT_TRUE(Hidden(kGraph));
    EXPECT_TRUE(Hidden(kType));
    EXPECT_FALSE(Hidden(kMapCutoff));
}

}  // namespace
}  // namespace zentrik::test
