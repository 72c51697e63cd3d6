// What the form writes is what the next run shows.
#include <QTemporaryDir>

#include "config/config_persistence.h"
#include "view_fixture.h"

namespace zentrik::test {
namespace {

using DocumentRoundTripTest = ViewTest;

// Everything the form shows, control by control.
std::vector<std::string> Snapshot(CQuarnelView& view) {
    std::vector<std::string> shown;
    for (auto* e : view.findChildren<CNumericEdit*>()) {
        shown.push_back(e->objectName().toStdString() + "=" + e->text().toStdString());
    }
    for (auto* c : view.findChildren<QComboBox*>()) {
        shown.push_back(c->objectName().toStdString() + "=" + c->currentText().toStdString());
    }
    for (auto* b : view.findChildren<QCheckBox*>()) {
        shown.push_back(b->objectName().toStdString() + (b->isChecked() ? "=on" : "=off") +
                        (b->isHidden() ? " hidden" : ""));
    }
    for (auto* l : view.findChildren<QLabel*>()) {
        shown.push_back(l->objectName().toStdString() + "=" + l->text().toStdString());
    }
    const Curve points = view.Graph()->GetPercents();
    shown.emplace_back(points.begin(), points.end());
    return shown;
}

TEST_F(DocumentRoundTripTest, EditsSurviveSaveAndLoadIntoAFreshForm) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    m_settings.SetPath(dir.filePath(QStringLiteral("Zentrik.ini")).toStdString());
    Build();
    Pick(1075, 1);  // bar
    Pick(1001, 9);  // "÷4.5"
    Pick(1073, 0);
    Click(1051);
    Enter(1003, "7200");
    Enter(1002, "3100");
    Enter(1033, "33");
    Enter(1005, "4.5");
    Enter(1006, "0.5");
    Enter(1007, "3.25");
    Enter(1010, "12");
    Enter(1011, "88");
    Click(1069);
    Pick(1067, 1);
    Pick(1045, 1);
    Enter(1009, "1.5");
    Enter(1008, "4.2");
    Pick(1067, 0);
    const std::vector<std::string> entered = Snapshot(*m_view);

    ASSERT_TRUE(SaveDocument(m_settings, m_doc));
    ConfigDocument loaded;
    LoadDocument(m_settings, loaded);
    CQuarnelView fresh(loaded, m_settings);
    fresh.OnInitialUpdate();
    EXPECT_EQ(Snapshot(fresh), entered);
    EXPECT_EQ(loaded.record.RPM_Multiplier, -24);
    EXPECT_EQ(loaded.record.stage[1].Delay_Time, 15);
    EXPECT_EQ(loaded.record.stage[1].Ramp_Time, 42);
}

}  // namespace
}  // namespace zentrik::test
