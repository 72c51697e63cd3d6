// A numeric field's value, steps and typed text, and how the form takes what the user gives.
#include "editor/numeric_field.h"
#include "editor/control_ids.h"

#include <gtest/gtest.h>

#include <cmath>

#include "form_fixture.h"

namespace zentrik::test {
namespace {

using namespace control_ids;

TEST(NumericField, StepsLandOnTheDecimalTheyShow) {
    NumericField field;
    field.Initialize(0.0, 10.0, 0.1, "%.1f sec", "%.1f");
    // Adding 0.1 again and again drifts below n/10 after a few steps; a tenths field that
    // truncates v x 10 would then store one tenth too few.
    for (int n = 1; n <= 100; ++n) {
        field.SetValue(field.Stepped(1));
        ASSERT_EQ(static_cast<int>(std::trunc(field.Value() * 10)), n) << field.Value();
    }
    EXPECT_DOUBLE_EQ(field.Stepped(1), 10.0);  // the top of the range
    EXPECT_DOUBLE_EQ(field.Stepped(NumericField::StepsFor(FieldKey::PageDown)), 9.0);
    EXPECT_EQ(field.Text(true), "10.0 sec");
    EXPECT_EQ(field.Text(false), "10.0");
}

TEST(NumericField, TypedTextIsANumberOrNothing) {
    EXPECT_EQ(NumericField::Parse(" 42 "), 42.0);
    EXPECT_EQ(NumericField::Parse("0.35"), 0.35);
    EXPECT_EQ(NumericField::Parse("1,5"), 1.5);
    EXPECT_EQ(NumericField::Parse("-14.7"), -14.7);
    EXPECT_EQ(NumericField::Parse("+3"), 3.0);
    for (const char* garbage : {"", " ", "x", "12x", "1.2.3", "nan", "inf", "1e3"}) {
        EXPECT_FALSE(NumericField::Parse(garbage).has_value()) << garbage;
    }
}

TEST(WheelSteps, HalfANotchWaitsForTheOtherHalf) {
    WheelSteps wheel;
    EXPECT_EQ(wheel.Take(240), 2);
    EXPECT_EQ(wheel.Take(60), 0);
    EXPECT_EQ(wheel.Take(60), 1);
    EXPECT_EQ(wheel.Take(-120), -1);
}

using FieldInputTest = FormTest;

TEST_F(FieldInputTest, TypedValuesAreBroughtIntoRangeAndOnlyAChangeReachesTheRules) {
    Build();
    Enter(kStart, "142");  // Start: 0..100 %
    EXPECT_EQ(RecordStage(0).Percent[0], 100);
    EXPECT_EQ(Shown(kStart), "100%");
    ASSERT_TRUE(m_form->UndoAvailable());  // a Start change takes a snapshot
    Click(kUndo);
    ASSERT_FALSE(m_form->UndoAvailable());
    ASSERT_EQ(Shown(kStart), "0%");

    // The value it already holds, or garbage, reaches no rule: no snapshot.
    Enter(kStart, "0");
    EXPECT_FALSE(m_form->OnFieldTyped(kStart, "x"));
    EXPECT_FALSE(m_form->UndoAvailable());
    EXPECT_EQ(Shown(kStart), "0%");

    // Steps from the keys go through the same rules.
    m_form->OnFieldStepped(kStart, NumericField::StepsFor(FieldKey::PageUp));
    EXPECT_EQ(RecordStage(0).Percent[0], 10);
    EXPECT_TRUE(m_form->UndoAvailable());
}

}  // namespace
}  // namespace zentrik::test
