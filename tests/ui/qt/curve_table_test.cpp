// The table of the curve's points and the graph's selection in the Qt form: both show the same
// points at every moment, typed percents and selected rows reach the form.
#include <QLineEdit>

#include "editor/control_ids.h"
#include "ui/qt/curve_table.h"
#include "view_fixture.h"

namespace zentrik::test {
namespace {

using namespace control_ids;
using FormCurveTable = ViewTest;

TEST_F(FormCurveTable, TheTableFollowsTheGraphAndHandsTypedPercentsAndRowsToTheForm) {
    Build();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_view.get()));
    CCurveTable* table = m_view->Table();
    CCurveGraph* graph = m_view->Graph();
    const auto cell = [table](int row, int column) { return table->item(row, column)->text(); };
    // Keys go where the keyboard's focus is: the table, then the editor a key opened.
    const auto type = [](const QString& text) {
        for (const QChar c : text) {
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
        }
    };
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "MAP [PSI]");
    // Rows are numbered as the check and the comparison name the points: "Percent 3" is row 3.
    EXPECT_EQ(table->verticalHeaderItem(3)->text(), "3");
    EXPECT_EQ(cell(19, 0).toStdString(), graph->Model().PointXText(19));
    EXPECT_EQ(cell(19, 1), QString::number(CurveOf(0)[19]));

    // During a drag the dragged point's row follows it, before the record has it.
    const QPoint start = graph->PointPosition(7).toPoint();
    QTest::mousePress(graph, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(graph, QPoint(start.x(), 0));
    EXPECT_EQ(cell(7, 1), "100");
    QTest::mouseRelease(graph, Qt::LeftButton, Qt::NoModifier, QPoint(start.x(), 0));
    EXPECT_EQ(RecordStage(0).Percent[7], 100);

    // A percent typed: Enter commits it; Tab commits and goes on to the next point's percent;
    // what is not a number goes back to the point's value.
    table->setFocus(Qt::TabFocusReason);
    table->setCurrentCell(0, 1);
    type("42");
    ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();  // the item delegate commits from the event loop
    EXPECT_EQ(RecordStage(0).Percent[0], 42);
    EXPECT_EQ(Shown(kStart), "42%");
    EXPECT_EQ(graph->Model().GetPercents()[0], 42);
    type("x");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(cell(0, 1), "42");
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_EQ(table->currentColumn(), 1);
    QApplication::focusWidget()->clearFocus();

    // Rows selected in the table are the graph's selection, and Shift+click on the graph is
    // the table's.
    table->setFocus(Qt::TabFocusReason);
    table->setCurrentCell(4, 1);
    QTest::keyClick(table, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(table, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(m_view->Form().Graph().Selection(), PointSet{0b1110000});
    QTest::mouseClick(graph, Qt::LeftButton, Qt::ShiftModifier, graph->PointPosition(5).toPoint());
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), 2);
    EXPECT_FALSE(table->selectionModel()->isRowSelected(5, {}));
}

}  // namespace
}  // namespace zentrik::test
