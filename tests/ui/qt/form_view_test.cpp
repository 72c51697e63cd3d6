// The Qt form bound to the form's behaviour: every widget shows its control's state, and what
// the user does with the mouse and the keys reaches the behaviour.
#include <QWheelEvent>

#include "editor/control_ids.h"
#include "editor/form_controls.h"
#include "view_fixture.h"

namespace zentrik::test {
namespace {

using namespace control_ids;
using FormViewTest = ViewTest;

TEST_F(FormViewTest, EveryWidgetShowsItsControlsCaptionEntriesAndState) {
    Build();
    const StageForm& form = m_view->Form();
    for (const FormControlSpec& item : FormControls()) {
        if (item.id < 0) {
            continue;
        }
        SCOPED_TRACE(item.id);
        QWidget* w = m_view->Control(item.id);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), QStringLiteral("id%1").arg(item.id));
        EXPECT_EQ(w->isHidden(), !form.Control(item.id).shown);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(label->text().toStdString(), form.Control(item.id).text);
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            EXPECT_EQ(box->text().toStdString(), item.caption);
            EXPECT_EQ(box->isChecked(), form.Control(item.id).checked);
        } else if (auto* list = qobject_cast<QComboBox*>(w)) {
            const std::vector<std::string> entries = ListEntries(item.id);
            ASSERT_EQ(list->count(), static_cast<int>(entries.size()));
            for (int i = 0; i < list->count(); ++i) {
                EXPECT_EQ(list->itemText(i).toStdString(), entries[static_cast<std::size_t>(i)]);
            }
            EXPECT_EQ(list->currentIndex(), form.Control(item.id).selected);
        } else if (auto* edit = qobject_cast<CNumericEdit*>(w)) {
            EXPECT_EQ(edit->text().toStdString(), form.Field(item.id).Text(true));
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->text().toStdString(), item.caption);
        } else {
            EXPECT_EQ(w, static_cast<QWidget*>(m_view->Graph()));
        }
    }
}

TEST_F(FormViewTest, WhatTheUserDoesReachesTheFormAndTheWidgetsFollow) {
    Curve spike{};
    spike[2] = 90;
    SetCurveOf(0, spike);
    Build();
    Pick(kType, 1);  // Stage 1 becomes time-based: the pressure pair gives way to the times
    EXPECT_TRUE(TIME_Based(RecordStage(0)));
    EXPECT_TRUE(Hidden(kMapTrigger));
    EXPECT_FALSE(Hidden(kDelay));
    EXPECT_EQ(Text(kAxisName).toStdString(), "Time");

    Enter(kDelay, "1.5");
    EXPECT_EQ(RecordStage(0).Delay_Time, 15);
    EXPECT_EQ(Text(kAxisStart).toStdString(), "1.5 s");
    EXPECT_EQ(Shown(kDelay), "1.5 sec");

    Click(kRpmPresent);
    EXPECT_FALSE(RPM_Present(m_doc.record));
    EXPECT_TRUE(Hidden(kRpmCutoff));

    auto* redo = Get<QPushButton>(kRedo);
    Click(kSmoothPoints);
    Click(kUndo);
    EXPECT_FALSE(redo->isHidden());
    // Undo and Redo from the keyboard while the form has the focus.
    m_view->Graph()->setFocus(Qt::TabFocusReason);
    const Curve undone = CurveOf(0);
    QTest::keyClick(m_view->Graph(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_NE(CurveOf(0), undone);
    QTest::keyClick(m_view->Graph(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CurveOf(0), undone);
    QTest::keyClick(m_view->Graph(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_NE(CurveOf(0), undone);
    EXPECT_TRUE(redo->isHidden());
}

TEST_F(FormViewTest, ADragOnTheGraphReachesTheRecordAtItsEndAndRedrawsOnlyTheCurve) {
    Build();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_view.get()));
    CCurveGraph* graph = m_view->Graph();
    graph->repaint();
    const int rendered = graph->BackgroundRenderCount();
    ASSERT_GE(rendered, 1);
    const Curve before = CurveOf(0);
    const QPoint start = graph->PointPosition(0).toPoint();
    QTest::mousePress(graph, Qt::LeftButton, Qt::NoModifier, start);
    for (int y = start.y(); y > 0; y -= 5) {
        QTest::mouseMove(graph, QPoint(start.x(), y));
        graph->repaint();
        EXPECT_EQ(CurveOf(0), before);  // nothing reaches the record during the drag
    }
    QTest::mouseRelease(graph, Qt::LeftButton, Qt::NoModifier, QPoint(start.x(), 0));
    graph->repaint();
    EXPECT_EQ(RecordStage(0).Percent[0], 100);
    EXPECT_EQ(Shown(kStart), "100%");
    EXPECT_EQ(graph->BackgroundRenderCount(), rendered);

    // A key picks and moves a point as a one-step drag; a resize renders the layer again.
    graph->setFocus(Qt::TabFocusReason);
    QTest::keyClick(graph, Qt::Key_End);
    QTest::keyClick(graph, Qt::Key_PageDown);
    EXPECT_EQ(RecordStage(0).Percent[19], before[19] - 10);
    EXPECT_EQ(Shown(kFinal), std::to_string(before[19] - 10) + "%");
    graph->resize(graph->width() - 20, graph->height());
    graph->repaint();
    EXPECT_EQ(graph->BackgroundRenderCount(), rendered + 1);
}

TEST_F(FormViewTest, TheWheelChangesOnlyAListTheUserIsIn) {
    Build();
    auto* units = Get<QComboBox>(kUnits);
    const auto wheel = [units] {
        QWheelEvent event(QPointF(5, 5), units->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(units, &event);
    };
    Get(kStage)->setFocus(Qt::TabFocusReason);  // the window gave its first list the focus
    wheel();
    EXPECT_EQ(units->currentIndex(), 0);
    EXPECT_FALSE(MAP_In_bar(m_doc.record));
    EXPECT_DOUBLE_EQ(Pressure(0, PressureField::MAP_End), 10.25);
    units->setFocus(Qt::TabFocusReason);
    wheel();
    EXPECT_EQ(units->currentIndex(), 1);
    EXPECT_TRUE(MAP_In_bar(m_doc.record));
}

TEST_F(FormViewTest, AMarkedControlsLabelIsBoldWithTheTipAndTheMarksFollowTheStage) {
    Build();
    UploadMarkers markers;
    markers.controls[0][kRpmCutoff] = {MarkerKind::Differs, "RPM Cutoff on the controller: 6500"};
    markers.controls[1][kRpmCutoff] = {MarkerKind::OutOfRange, "RPM Cutoff is 90000"};
    markers.controls[0][kUnits] = {MarkerKind::Differs, "MAP Units on the controller: bar"};
    markers.stages = {MarkerKind::Differs, MarkerKind::None};
    m_view->ShowMarkers(markers);
    auto* label = Get<QLabel>(kRpmCutoffLabel);
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->toolTip(), "RPM Cutoff on the controller: 6500");
    EXPECT_EQ(label->palette().color(QPalette::WindowText),
              m_view->palette().color(QPalette::WindowText));
    EXPECT_FALSE(Get<QComboBox>(kStage)->itemIcon(0).isNull());
    EXPECT_TRUE(Get<QComboBox>(kStage)->itemIcon(1).isNull());
    // The unit's group title is marked, its list not.
    EXPECT_TRUE(m_view->MarkerWidget(kUnits)->font().bold());
    EXPECT_FALSE(Get(kUnits)->font().bold());

    Pick(kStage, 1);
    EXPECT_EQ(label->toolTip(), "RPM Cutoff is 90000");
    EXPECT_NE(label->palette().color(QPalette::WindowText),
              m_view->palette().color(QPalette::WindowText));
    m_view->ShowMarkers({});
    EXPECT_FALSE(label->font().bold());
    EXPECT_TRUE(label->toolTip().isEmpty());
    EXPECT_TRUE(Get<QComboBox>(kStage)->itemIcon(0).isNull());
}

TEST_F(FormViewTest, EveryControlIsNamedAndReachedByTabInReadingOrder) {
    SetTIME_Based(RecordStage(0), false);
    Build();
    std::vector<QWidget*> chain;
    QWidget* first = Get(kUnits);
    QWidget* w = first;
    do {
        if (w->isVisibleTo(m_view.get()) && w->focusPolicy() & Qt::TabFocus) {
            chain.push_back(w);
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
        w = w->nextInFocusChain();
    } while (w != first && chain.size() < 100);
    std::vector<std::string> names;
    for (QWidget* c : chain) {
        names.push_back(c->objectName().toStdString());
    }
    const std::vector<std::string> expected = {
        "id1075", "id1050", "id1001", "id1073", "id1067", "id1028", "id1052", "id1051",
        "id1045", "id1003", "id1033", "id1005", "id1002", "id1006", "id1010", "id1007",
        "id1011", "id1068", "id1069", "id1070", "id1071", "id1057", "id1079"};
    EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace zentrik::test
