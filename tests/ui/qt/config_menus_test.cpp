// The configuration menus in the Qt window: files through the file dialogs, the comparison's
// dialog, the Port submenu and the two check items, against the simulator.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "config/config_persistence.h"
#include "editor/control_ids.h"
#include "shell/shell_texts.h"
#include "support/sample_config.h"
#include "support/test_paths.h"
#include "ui/qt/choice_box.h"
#include "ui/qt/compare_dlg.h"
#include "ui/qt/numeric_edit.h"
#include "ui/qt/quarnel_view.h"
#include "window_rig.h"

namespace zentrik::apptest {
namespace {

namespace texts = shell_texts;
using uitest::WaitUntil;

TEST(ConfigMenus, FilesTheComparisonAndThePortMenuWorkThroughTheWindow) {
    const std::string dir = test::MakeTempDir();
    const std::string source = dir + "/controller.ini";
    {
        AppSettings controller;
        controller.SetPath(source);
        ConfigDocument doc = test::SampleConfigDocument();
        ASSERT_TRUE(SaveDocument(controller, doc));
    }
    Simulator sim({"--config", source});
    WindowRig rig;
    {
        AppSettings ini;  // this computer holds what the controller holds
        ini.SetPath(rig.IniPath());
        ConfigDocument doc = test::SampleConfigDocument();
        ASSERT_TRUE(SaveDocument(ini, doc));
    }
    rig.UsePort(sim.Device());
    rig.Start(true);
    CMainFrame& frame = rig.Frame();

    // The menus hold the new commands where a user looks for them.
    const auto captions = [&frame](const char* menu) {
        QStringList items;
        for (QAction* action : frame.findChild<QMenu*>(menu)->actions()) {
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return items;
    };
    EXPECT_EQ(captions("menuFile"),
              (QStringList{"&Open Configuration...", "&Save Configuration As...",
                           "&Export Setup Sheet...", "-", "E&xit"}));
    EXPECT_EQ(
        captions("menuController"),
        (QStringList{"&Upload Config To Controller", "&Download Config From Controller",
                     "Get Controller &Info", "&Compare With Controller", "&History...", "-",
                     "&Upgrade Firmware", "Scan For Connection", "&Port", "Connection &Status...",
                     "-", "&Verify After Upload", "&Back Up Before Upgrade"}));
    EXPECT_EQ(captions("menuEdit"),
              (QStringList{"&Undo", "&Redo", "-", "&Scale Points...", "A&dd to Points...",
                           "&Interpolate Points", "-", "Copy &Curve to the Other Stage",
                           "Copy &All Settings to the Other Stage"}));
    EXPECT_EQ(frame.menuBar()->actions().at(1)->text(), "&Edit");  // between File and View
    EXPECT_EQ(frame.Command(texts::kIdEditUndo)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(frame.Command(texts::kIdEditRedo)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(frame.Command(texts::kIdOpenConfiguration)->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(frame.Command(texts::kIdSaveConfigurationAs)->shortcut(),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));

    // Compare: this computer's RPM Cutoff differs; the dialog lists it, "Use Controller's".
    CQuarnelView& view = *frame.View();
    view.Form().OnFieldTyped(control_ids::kRpmCutoff, "6100");
    view.Sync();
    // Its row unticked with Space, Use Controller's takes nothing.
    rig.Answers().Then([&](QWidget* modal) {
        auto* dialog = qobject_cast<CCompareDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->Table()->setCurrentCell(0, 2);  // any cell of the row
        QTest::keyClick(dialog->Table(), Qt::Key_Space);
        dialog->UseControllersButton()->click();
    });
    frame.Command(texts::kIdCompare)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return rig.Answers().Remaining() == 0; }));
    EXPECT_EQ(frame.StatusPane()->text(), "No setting was ticked; nothing was changed");
    EXPECT_EQ(view.Edit(control_ids::kRpmCutoff)->text(), "6100 RPM");
    QStringList row;
    int rows = -1;
    rig.Answers().Then([&](QWidget* modal) {
        auto* dialog = qobject_cast<CCompareDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Compare With Controller");
        rows = dialog->Table()->rowCount();
        for (int column = 0; column < 3 && rows > 0; ++column) {
            row << dialog->Table()->item(0, column)->text();
        }
        dialog->UseControllersButton()->click();
    });
    frame.Command(texts::kIdCompare)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return rig.Answers().Remaining() == 0; }));
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(row, (QStringList{"Stage 1 RPM Cutoff", "6100", "6500"}));
    EXPECT_EQ(view.Edit(control_ids::kRpmCutoff)->text(), "6500 RPM");

    // Save, change, open: the form shows the file's values again.
    const QString file = QString::fromStdString(dir + "/tune.zcfg");
    const auto chooseFile = [file](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Zentrik Configuration (*.zcfg)"});
        dialog->selectFile(file);
        static_cast<QDialog*>(dialog)->accept();
    };
    rig.Answers().Then(chooseFile);
    frame.Command(texts::kIdSaveConfigurationAs)->trigger();
    view.Form().OnFieldTyped(control_ids::kRpmCutoff, "7000");
    view.Sync();
    rig.Answers().Then(chooseFile);
    frame.Command(texts::kIdOpenConfiguration)->trigger();
    EXPECT_EQ(view.Edit(control_ids::kRpmCutoff)->text(), "6500 RPM");
    EXPECT_EQ(frame.StatusPane()->text(), "Configuration opened from " + file);

    // The Port submenu lists Automatic, checked; the check items follow the settings.
    QMenu* port = frame.findChild<QMenu*>("menuPort");
    emit port->aboutToShow();
    ASSERT_FALSE(port->actions().isEmpty());
    EXPECT_EQ(port->actions()[0]->text(), "&Automatic");
    EXPECT_TRUE(port->actions()[0]->isChecked());
    frame.Command(texts::kIdVerifyUpload)->trigger();
    emit frame.findChild<QMenu*>("menuController")->aboutToShow();
    EXPECT_TRUE(frame.Command(texts::kIdVerifyUpload)->isChecked());
    EXPECT_TRUE(rig.App().Settings().VerifyUpload);
}

TEST(ConfigMenus, TheCheckBeforeAnUploadListsTheProblemsAndCorrectsOnlyWhenAsked) {
    Simulator sim;
    WindowRig rig(std::string(kPatientSettings) +
                  "[Zentrik Config]\nInput_Type2=7\nStage 1 Percent 3=250\n");
    rig.UsePort(sim.Device());
    rig.Start(true);
    CMainFrame& frame = rig.Frame();
    auto* input2 = frame.View()->findChild<QComboBox*>("id1073");
    ASSERT_NE(input2, nullptr);
    EXPECT_EQ(input2->placeholderText(), "7?");
    EXPECT_EQ(input2->currentIndex(), -1);

    QStringList items, buttons;
    for (const char* press : {"Cancel", "Correct and Upload"}) {
        rig.Answers().Then([&, press](QWidget* modal) {
            auto* box = qobject_cast<CChoiceBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), "Check Before Upload");
            items.clear();
            for (int i = 0; i < box->Items()->count(); ++i) {
                items << box->Items()->item(i)->text();
            }
            buttons = {box->AcceptButton()->text(), box->CancelButton()->text()};
            EXPECT_TRUE(box->CancelButton()->isDefault());
            uitest::ModalAnswerer::ClickButton(modal, press);
        });
        frame.Command(texts::kIdUpload)->trigger();
        ASSERT_TRUE(WaitUntil([&] { return rig.Answers().Remaining() == 0; }));
    }
    EXPECT_EQ(items, (QStringList{"Input #2 is 7; it must be one of its list's entries.",
                                  "Stage 1 Percent 3 is 250%; it must be 0 to 100%."}));
    EXPECT_EQ(buttons, (QStringList{"&Correct and Upload", "Cancel"}));
    // Corrected, shown so and sent.
    EXPECT_EQ(input2->currentText(), "Activate with 12 Volts");
    rig.Answers().Press("OK [15 sec]");
    ASSERT_TRUE(WaitUntil([&] { return rig.Answers().Remaining() == 0; }));
    EXPECT_EQ(rig.Answers().Captions().back(), "Config Uploaded");
}

}  // namespace
}  // namespace zentrik::apptest
