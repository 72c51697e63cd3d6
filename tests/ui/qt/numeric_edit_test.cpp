// The Qt edit control of a numeric field: what it shows, and what it hands to the form.
#include "ui/qt/numeric_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace zentrik {
namespace {

class NumericEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_field.Initialize(0.0, 10.0, 0.1, "%.1f sec", "%.1f");
        m_field.SetValue(2.5);
        m_edit.ShowField();
        m_edit.show();
        m_edit.activateWindow();
        QApplication::setActiveWindow(&m_edit);
        m_edit.clearFocus();  // activation focuses the window's only field
    }
    void Focus() {
        m_edit.setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(m_edit.hasFocus());
    }
    void Wheel(int delta) {
        QWheelEvent event(QPointF(5, 5), m_edit.mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&m_edit, &event);
    }

    NumericField m_field;
    CNumericEdit m_edit{1009, m_field};
    QSignalSpy m_typed{&m_edit, &CNumericEdit::typed};
    QSignalSpy m_stepped{&m_edit, &CNumericEdit::stepped};
};

TEST_F(NumericEditTest, ShowsTheUnitOnlyWhileNotEditedAndHandsOverTypedTextOnce) {
    EXPECT_EQ(m_edit.text().toStdString(), "2.5 sec");
    Focus();
    EXPECT_EQ(m_edit.text().toStdString(), "2.5");  // plain while focused
    m_edit.CommitTyped();                           // nothing typed: nothing handed over
    EXPECT_EQ(m_typed.count(), 0);

    m_edit.selectAll();
    QTest::keyClicks(&m_edit, QStringLiteral("0.35"));
    EXPECT_EQ(m_typed.count(), 0);  // typing alone hands over nothing
    QTest::keyClick(&m_edit, Qt::Key_Return);
    ASSERT_EQ(m_typed.count(), 1);
    EXPECT_EQ(m_typed.last().at(0).toInt(), 1009);
    EXPECT_EQ(m_typed.last().at(1).toString(), "0.35");

    // Leaving the field hands over what was typed; Escape puts the value back first.
    m_edit.selectAll();
    QTest::keyClicks(&m_edit, QStringLiteral("7"));
    m_edit.clearFocus();
    ASSERT_EQ(m_typed.count(), 2);
    EXPECT_EQ(m_edit.text().toStdString(), "2.5 sec");  // the field shows what the form holds
    Focus();
    m_edit.selectAll();
    QTest::keyClicks(&m_edit, QStringLiteral("3"));
    QTest::keyClick(&m_edit, Qt::Key_Escape);
    EXPECT_EQ(m_edit.text().toStdString(), "2.5");
    m_edit.clearFocus();
    EXPECT_EQ(m_typed.count(), 2);
}

TEST_F(NumericEditTest, KeysAndTheWheelStepOnlyAFocusedField) {
    Wheel(120);
    EXPECT_EQ(m_stepped.count(), 0);
    Focus();
    QTest::keyClick(&m_edit, Qt::Key_Up);
    QTest::keyClick(&m_edit, Qt::Key_PageDown);
    Wheel(240);
    Wheel(60);  // half a notch waits for the other half
    ASSERT_EQ(m_stepped.count(), 3);
    EXPECT_EQ(m_stepped[0].at(1).toInt(), 1);
    EXPECT_EQ(m_stepped[1].at(1).toInt(), -10);
    EXPECT_EQ(m_stepped[2].at(1).toInt(), 2);
    Wheel(60);
    EXPECT_EQ(m_stepped.count(), 4);

    // Typed text goes first, so a step starts from the typed value.
    m_edit.selectAll();
    QTest::keyClicks(&m_edit, QStringLiteral("4"));
    QTest::keyClick(&m_edit, Qt::Key_Up);
    EXPECT_EQ(m_typed.count(), 1);
    EXPECT_EQ(m_stepped.count(), 5);
}

}  // namespace
}  // namespace zentrik
