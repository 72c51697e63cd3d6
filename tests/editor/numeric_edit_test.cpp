#include "editor/numeric_edit.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

namespace zentrik {
namespace {

class NumericEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_edit.Initialize(15, 0.0, 10.0, 0.1, QStringLiteral("%.1f sec"), QStringLiteral("%.1f"));
        m_edit.SetValue(0.0, false);
        m_edit.show();
        m_edit.activateWindow();
        QApplication::setActiveWindow(&m_edit);
        m_edit.clearFocus();  // activation focuses the window's only field
    }
    void Focus() {
        m_edit.setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(m_edit.hasFocus());
    }
    CNumericEdit m_edit{1009};
    QSignalSpy m_spy{&m_edit, &CNumericEdit::valueChanged};
};

TEST_F(NumericEditTest, StepsLandOnTheDecimalTheyShow) {
    Focus();
    // Adding 0.1 again and again drifts below n/10 after a few steps; a tenths field that
    // truncates v x 10 would then store one tenth too few.
    for (int n = 1; n <= 100; ++n) {
        QTest::keyClick(&m_edit, Qt::Key_Up);
        ASSERT_EQ(m_spy.count(), n);
        const double v = m_spy.last().at(1).toDouble();
        ASSERT_EQ(static_cast<int>(std::trunc(v * 10)), n) << v;
    }
    // At the top of the range a step changes nothing and reports nothing.
    QTest::keyClick(&m_edit, Qt::Key_Up);
    EXPECT_EQ(m_spy.count(), 100);
    QTest::keyClick(&m_edit, Qt::Key_PageDown);
    EXPECT_DOUBLE_EQ(m_edit.Value(), 9.0);
    EXPECT_EQ(m_spy.last().at(0).toInt(), 1009);
}

TEST_F(NumericEditTest, TypedValuesAreBroughtIntoRangeAndEscapeRestores) {
    Focus();
    EXPECT_EQ(m_edit.text().toStdString(), "0.0");  // plain format while focused
    m_edit.selectAll();
    QTest::keyClicks(&m_edit, QStringLiteral("0.35"));
    QTest::keyClick(&m_edit, Qt::Key_Return);
    ASSERT_EQ(m_spy.count(), 1);
    EXPECT_DOUBLE_EQ(m_spy.last().at(1).toDouble(), 0.35);  // reported as typed

    m_edit.selectAll();
    QTest::keyClicks(&m_edit, QStringLiteral("42"));
    QTest::keyClick(&m_edit, Qt::Key_Return);
    ASSERT_EQ(m_spy.count(), 2);
    EXPECT_DOUBLE_EQ(m_edit.Value(), 10.0);

    m_edit.selectAll();
    QTest::keyClicks(&m_edit, QStringLiteral("3"));
    QTest::keyClick(&m_edit, Qt::Key_Escape);
    EXPECT_EQ(m_edit.text().toStdString(), "10.0");
    m_edit.clearFocus();  // leaving the field takes nothing after Escape
    EXPECT_EQ(m_spy.count(), 2);
    EXPECT_EQ(m_edit.text().toStdString(), "10.0 sec");

    // Typing the value it already holds, or garbage, reports nothing.
    Focus();
    m_edit.selectAll();
    QTest::keyClicks(&m_edit, QStringLiteral("10"));
    QTest::keyClick(&m_edit, Qt::Key_Return);
    m_edit.selectAll();
    QTest::keyClicks(&m_edit, QStringLiteral("x"));
    m_edit.clearFocus();
    EXPECT_EQ(m_spy.count(), 2);
    EXPECT_DOUBLE_EQ(m_edit.Value(), 10.0);
}

TEST_F(NumericEditTest, SetValueReportsOnlyWithNotifyAndThenWithinTheRange) {
    m_edit.SetValue(25.5, false);
    EXPECT_EQ(m_spy.count(), 0);
    EXPECT_EQ(m_edit.text().toStdString(), "25.5 sec");  // shown as held, not clamped
    m_edit.SetValue(25.5, true);
    ASSERT_EQ(m_spy.count(), 1);
    EXPECT_DOUBLE_EQ(m_spy.last().at(1).toDouble(), 10.0);
    m_edit.SetValue(10.0, true);  // the same value again is still reported
    EXPECT_EQ(m_spy.count(), 2);
}

TEST_F(NumericEditTest, WheelStepsOnlyAFocusedField) {
    const auto wheel = [this](int delta) {
        QWheelEvent event(QPointF(5, 5), m_edit.mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&m_edit, &event);
    };
    wheel(120);
    EXPECT_EQ(m_spy.count(), 0);
    Focus();
    wheel(240);
    EXPECT_DOUBLE_EQ(m_edit.Value(), 0.2);
    wheel(60);  // half a notch waits for the other half
    EXPECT_DOUBLE_EQ(m_edit.Value(), 0.2);
    wheel(60);
    EXPECT_DOUBLE_EQ(m_edit.Value(), 0.3);
}

}  // namespace
}  // namespace zentrik
