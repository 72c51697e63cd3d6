// The form: its controls, what it shows for a document, and its lists and check boxes.
#include <QWheelEvent>
#include <map>

#include "view_fixture.h"

namespace zentrik::test {
namespace {

using FormTest = ViewTest;

TEST_F(FormTest, EveryControlCarriesItsIdCaptionAndListEntries) {
    Build();
    const std::map<int, const char*> captions = {
        {1050, "Present:"},
        {1028, "Present"},
        {1063, "Type:"},
        {1051, "Enable First-Gear Lockout"},
        {1064, "Input #2 Will"},
        {1065, "This Stage"},
        {1077, "RPM Cutoff:"},
        {1035, "Solenoid Frequency:"},
        {1076, "MAP Cutoff:"},
        {1054, "RPM Trigger:"},
        {1056, "MAP Trigger:"},
        {1062, "MAP End:"},
        {1034, "Start:"},
        {1036, "Final:"},
        {1068, "Smooth When Dragging"},
        {1069, "Reset to Straight Line"},
        {1070, "Smooth Points"},
        {1071, "Undo"},
        {1058, "%"},
        {1032, "Delay:"},
        {1031, "Ramp Time:"},
    };
    for (const auto& [id, caption] : captions) {
        QWidget* w = m_view->Control(id);
        ASSERT_NE(w, nullptr) << id;
        const QString text = qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text()
                                                      : qobject_cast<QAbstractButton*>(w)->text();
        EXPECT_EQ(text.toStdString(), caption) << id;
    }
    for (int id : {1003, 1033, 1005, 1002, 1006, 1007, 1010, 1011, 1009, 1008}) {
        ASSERT_NE(Edit(id), nullptr) << id;
        EXPECT_EQ(Edit(id)->Id(), id);
    }
    EXPECT_EQ(m_view->Control(1057), static_cast<QWidget*>(m_view->Graph()));

    const auto entries = [this](int id) {
        QStringList items;
        auto* combo = Get<QComboBox>(id);
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
        return items.join(QLatin1Char('|')).toStdString();
    };
    EXPECT_EQ(entries(1073), "Activate with 12 Volts|Activate with Ground");
    EXPECT_EQ(entries(1075), "psi|bar");
    EXPECT_EQ(entries(1067), "Stage 1|Stage 2");
    EXPECT_EQ(entries(1052), "MAP-Based|Time-Based");
    EXPECT_EQ(entries(1045), "Be Ignored By|Enable|Disable");
    EXPECT_EQ(entries(1001),
              "\u00f712|\u00f711|\u00f710|\u00f79|\u00f78|\u00f77|\u00f76|\u00f75.5|\u00f75|"
              "\u00f74.5|\u00f74|\u00f73.5|\u00f73|\u00f72.5|\u00f72|\u00f71.5|x1|x2|x3|x4|x5|x6|"
              "x7|x8|x9|x10|x11|x12");
}

TEST_F(FormTest, VisibilityFollowsPresentRpmPresentAndTimeBased) {
    const std::vector<int> always = {1075, 1050, 1001, 1073, 1067, 1028, 1076, 1005};
    const std::vector<int> present = {1045, 1064, 1065, 1035, 1033, 1034, 1010, 1036, 1011, 1058,
                                      1059, 1060, 1061, 1057, 1068, 1069, 1070, 1071, 1063, 1052};
    const std::vector<int> withRpm = {1051, 1077, 1003, 1054, 1002};
    const std::vector<int> timeBased = {1032, 1009, 1031, 1008};
    const std::vector<int> mapBased = {1056, 1006, 1062, 1007};
    Build();
    for (int combination = 0; combination < 8; ++combination) {
        const bool isPresent = combination & 1;
        const bool rpm = combination & 2;
        const bool time = combination & 4;
        SetPresent(RecordStage(0), isPresent);
        SetRPM_Present(m_doc.record, rpm);
        SetTIME_Based(RecordStage(0), time);
        m_view->OnUpdate(1);
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
        EXPECT_TRUE(m_view->findChild<QPushButton*>(QStringLiteral("redoButton"))->isHidden());
    }
}

TEST_F(FormTest, TypeSwapsTheTimeAndPressureFieldsAndTheAxis) {
    Build();
    EXPECT_EQ(Text(1060).toStdString(), "MAP [PSI]");
    EXPECT_EQ(Text(1059).toStdString(), "1.5 psi");
    EXPECT_EQ(Text(1061).toStdString(), "10.3 psi");

    Pick(1052, 1);
    EXPECT_TRUE(TIME_Based(RecordStage(0)));
    EXPECT_EQ(Text(1060).toStdString(), "Time");
    EXPECT_EQ(Text(1059).toStdString(), "0.5 s");  // delay 5 tenths
    EXPECT_EQ(Text(1061).toStdString(), "8.5 s");  // plus ramp 80 tenths
    EXPECT_FALSE(Hidden(1009));
    EXPECT_TRUE(Hidden(1006));
    EXPECT_EQ(m_view->Graph()->XEnd(), 85 * static_cast<double>(0.1f));

    Pick(1052, 0);
    EXPECT_EQ(Text(1060).toStdString(), "MAP [PSI]");
    EXPECT_EQ(Text(1059).toStdString(), "1.5 psi");
    EXPECT_TRUE(Hidden(1009));
    EXPECT_FALSE(Hidden(1007));
    EXPECT_EQ(m_view->Graph()->XStart(), 1.5);

    Pick(1075, 1);
    EXPECT_EQ(Text(1060).toStdString(), "MAP [BAR]");
    EXPECT_EQ(Text(1059).toStdString(), "0.1 bar");
    EXPECT_EQ(Text(1061).toStdString(), "0.7 bar");
}

TEST_F(FormTest, OnlyANonZeroHintRefreshesAndTheStageStays) {
    Build();
    Pick(1067, 1);
    ASSERT_EQ(m_view->CurrentStage(), 1);
    RecordStage(1).Frequency = 40;
    RecordStage(1).Percent[0] = 77;
    m_doc.record.Input_Type2 = 1;
    m_view->OnUpdate(0);
    EXPECT_EQ(Shown(1033), "13 Hz");
    EXPECT_EQ(Get<QComboBox>(1073)->currentIndex(), 1);
    m_view->OnUpdate(1);
    EXPECT_EQ(m_view->CurrentStage(), 1);
    EXPECT_EQ(Get<QComboBox>(1067)->currentIndex(), 1);
    EXPECT_EQ(Shown(1033), "40 Hz");
    EXPECT_EQ(Shown(1010), "77%");
    EXPECT_EQ(m_view->Graph()->GetPercents()[0], 77);
    EXPECT_EQ(Get<QComboBox>(1073)->currentIndex(), 0);
    EXPECT_FALSE(m_view->UndoAvailable());  // showing values takes no snapshot
}

TEST_F(FormTest, ListsShowOddCodesWithoutChangingThem) {
    m_doc.record.RPM_Multiplier = -25;
    m_doc.record.Input_Type2 = 7;
    Build();
    // Stage 1 of the sample holds Trig_Sx2_Config 3: no entry is selected.
    EXPECT_EQ(Get<QComboBox>(1045)->currentIndex(), -1);
    EXPECT_EQ(Get<QComboBox>(1073)->currentIndex(), -1);
    EXPECT_EQ(Get<QComboBox>(1001)->currentText().toStdString(), "\u00f712");
    EXPECT_EQ(m_doc.record.RPM_Multiplier, -25);
    EXPECT_EQ(Trig_Sx2_Config(RecordStage(0)), 3);

    const std::uint8_t otherBits = RecordStage(0).flags & ~kTrigSx2Mask;
    Pick(1045, 2);
    EXPECT_EQ(Trig_Sx2_Config(RecordStage(0)), 2);
    EXPECT_EQ(RecordStage(0).flags & ~kTrigSx2Mask, otherBits);
    Pick(1001, 7);
    EXPECT_EQ(m_doc.record.RPM_Multiplier, -26);  // "÷5.5"
    Pick(1073, 1);
    EXPECT_EQ(m_doc.record.Input_Type2, 2);
}

TEST_F(FormTest, ClearingRpmPresentClearsOnlyTheShownStagesLockout) {
    SetFirst_Gear_Lockout(RecordStage(0), true);
    SetFirst_Gear_Lockout(RecordStage(1), true);
    Build();
    Pick(1067, 1);
    Click(1050);
    EXPECT_FALSE(RPM_Present(m_doc.record));
    EXPECT_FALSE(First_Gear_Lockout(RecordStage(1)));
    EXPECT_TRUE(First_Gear_Lockout(RecordStage(0)));
    EXPECT_TRUE(Hidden(1051));
    Pick(1067, 0);
    EXPECT_TRUE(Hidden(1051));
    EXPECT_TRUE(Hidden(1003));

    Click(1028);  // Stage 1 no longer present: only the top row, the stage list and MAP Cutoff
    EXPECT_FALSE(Present(RecordStage(0)));
    EXPECT_TRUE(Hidden(1057));
    EXPECT_TRUE(Hidden(1052));
    EXPECT_FALSE(Hidden(1005));
}

TEST_F(FormTest, TheWheelChangesOnlyAListTheUserIsIn) {
    Build();
    auto* units = Get<QComboBox>(1075);
    const auto wheel = [units] {
        QWheelEvent event(QPointF(5, 5), units->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(units, &event);
    };
    Get(1067)->setFocus(Qt::TabFocusReason);  // the window gave its first list the focus
    wheel();
    EXPECT_EQ(units->currentIndex(), 0);
    EXPECT_FALSE(MAP_In_bar(m_doc.record));
    EXPECT_DOUBLE_EQ(Pressure(0, PressureField::MAP_End), 10.25);
    units->setFocus(Qt::TabFocusReason);
    wheel();
    EXPECT_EQ(units->currentIndex(), 1);
    EXPECT_TRUE(MAP_In_bar(m_doc.record));
}

TEST_F(FormTest, EveryControlIsNamedAndReachedByTabInReadingOrder) {
    SetTIME_Based(RecordStage(0), false);
    Build();
    std::vector<QWidget*> chain;
    QWidget* first = Get(1075);
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
        "id1011", "id1068", "id1069", "id1070", "id1071", "id1057"};
    EXPECT_EQ(names, expected);
}

}  // namespace
}  // namespace zentrik::test
