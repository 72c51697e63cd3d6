// The shell's dialogs and bars on their own: the notice's countdown driven tick by tick, the
// progress dialog's steps, the About box's link, the banner's placement, the view toggles.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

#include "build_version.h"
#include "editor/control_ids.h"
#include "shell/notice_countdown.h"
#include "shell/shell_texts.h"
#include "shell/upgrade_progress.h"
#include "ui/qt/about_dlg.h"
#include "ui/qt/banner_bar.h"
#include "ui/qt/controller_tool_bar.h"
#include "ui/qt/history_dlg.h"
#include "ui/qt/notice_dlg.h"
#include "ui/qt/quarnel_view.h"
#include "ui/qt/svg_picture.h"
#include "ui/qt/upgrade_progress_dlg.h"
#include "window_rig.h"

namespace zentrik::apptest {
namespace {

using namespace control_ids;

using uitest::ModalAnswerer;

TEST(HistoryDialog, OpenAndCompareActOnlyOnASelectedEntryAndAnEmptyHistorySaysSo) {
    HistoryList none({}, ConfigDocument{});
    CHistoryDlg empty(none);
    EXPECT_TRUE(empty.EmptyLabel()->isVisibleTo(&empty));
    EXPECT_FALSE(empty.Table()->isVisibleTo(&empty));
    EXPECT_FALSE(empty.OpenButton()->isEnabled());
    EXPECT_FALSE(empty.CompareButton()->isEnabled());

    HistoryList two({{"/nowhere/a.zcfg", "2026-12-09 12:00:01", HistoryEvent::Upload, ""},
                     {"/nowhere/b.zcfg", "2026-12-09 12:00:00", HistoryEvent::Backup, "030A"}},
                    ConfigDocument{});
    CHistoryDlg dialog(two);
    EXPECT_EQ(dialog.Table()->item(1, 1)->text(), "Backup");
    EXPECT_EQ(dialog.Table()->currentRow(), 0);
    dialog.Table()->clearSelection();
    EXPECT_EQ(two.Selected(), -1);
    EXPECT_FALSE(dialog.CompareButton()->isEnabled());
    dialog.Table()->selectRow(1);
    ASSERT_TRUE(dialog.CompareButton()->isEnabled());
    dialog.CompareButton()->click();
    EXPECT_EQ(dialog.Choice(), HistoryChoice::Compare);
    EXPECT_EQ(two.SelectedEntry()->path, "/nowhere/b.zcfg");
}

TEST(Notice, ShowsItsCountdownAndClosesItselfWhenItRunsOut) {
    ModalAnswerer answers;
    NoticeCountdown countdown;
    countdown.Start(static_cast<int>(NoticeKind::Uploaded));
    CNoticeDlg notice(countdown);
    notice.SetTickInterval(3'600'000);  // the test gives the ticks
    QString first;
    bool visibleAfter14 = false;
    answers.Then([&](QWidget*) {
        first = notice.OkButton()->text();
        for (int i = 0; i < 14; ++i) {
            notice.Tick();
            if (i == 4) {
                // The window restored from minimised shows the dialog again: the count goes on.
                QShowEvent shown;
                QApplication::sendEvent(&notice, &shown);
                EXPECT_EQ(notice.OkButton()->text(), "OK [10 sec]");
            }
        }
        EXPECT_EQ(notice.OkButton()->text(), "OK [1 sec]");
        visibleAfter14 = notice.isVisible();
        notice.Tick();
    });
    EXPECT_EQ(notice.ShowNotice(), QDialog::Accepted);
    EXPECT_EQ(answers.Seen().at(0).caption, "Config Uploaded");
    EXPECT_EQ(first, "OK [15 sec]");
    EXPECT_TRUE(visibleAfter14);
    EXPECT_EQ(notice.findChild<QLabel*>("control1040")->text(),
              "The config was uploaded to the controller successfully.");
}

TEST(Notice, OkOrEscapeCloseItAtOnce) {
    ModalAnswerer answers;
    answers.Press("OK [15 sec]");
    answers.Then([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    NoticeCountdown countdown;
    countdown.Start(static_cast<int>(NoticeKind::Downloaded));
    CNoticeDlg first(countdown);
    EXPECT_EQ(first.ShowNotice(), QDialog::Accepted);
    countdown.Start(static_cast<int>(NoticeKind::Downloaded));
    CNoticeDlg second(countdown);
    EXPECT_EQ(second.ShowNotice(), QDialog::Rejected);
    EXPECT_EQ(answers.Captions(), (QStringList{"Config Downloaded", "Config Downloaded"}));
    EXPECT_GT(second.SecondsLeft(), 0);
}

// A transfer that sends nothing: the test drives the progress.
class NoUnits : public FirmwareUnitSource {
  public:
    void SendNextFirmwareUnit() override {}
};

TEST(ProgressDialog, ShowsStepsAndResultAndClosesOnlyWithOkAfterTheResult) {
    ModalAnswerer answers;
    UpgradeProgress progress;
    progress.Begin(15360);
    CUpgradeProgressDlg dialog;
    NoUnits source;
    bool stillOpen = false;
    answers.Then([&](QWidget*) {
        EXPECT_EQ(dialog.TextLine()->text(), "Beginning Firmware Upgrade.");
        EXPECT_TRUE(dialog.OkButton()->isHidden());
        EXPECT_EQ(dialog.Bar()->maximum(), 15360);
        progress.ShowStep(15359);
        progress.ShowStep(-1);
        dialog.ShowProgress();
        EXPECT_EQ(dialog.Bar()->value(), 15359);
        EXPECT_EQ(dialog.TextLine()->text(), "Checking Firmware Checksum");
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        stillOpen = dialog.isVisible();
        progress.FinishWithText("There was a checksum mismatch, please try again.");
        dialog.ShowProgress();
        EXPECT_TRUE(dialog.Bar()->isHidden());
        EXPECT_FALSE(dialog.OkButton()->isHidden());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        dialog.OkButton()->click();
    });
    dialog.RunUpgrade(progress, source);
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(dialog.isVisible());
}

// Records the addresses the desktop is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    explicit UrlRecorder(const QString& scheme = "https") : m_scheme(scheme) {
        QDesktopServices::setUrlHandler(m_scheme, this, "Open");
    }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(m_scheme); }
    QStringList opened;
  public slots:
    void Open(const QUrl& url) { opened << url.toString(); }

  private:
    QString m_scheme;
};

TEST(AboutBox, ThePictureOpensTheWebSiteAndTheBoxStaysOpen) {
    UrlRecorder urls;
    WindowRig rig;
    rig.Start(false);
    bool openAfterClick = false;
    QString version;
    rig.Answers().Then([&](QWidget* modal) {
        auto* about = qobject_cast<CAboutDlg*>(modal);
        ASSERT_NE(about, nullptr);
        version = about->VersionField()->text();
        QTest::mouseClick(about->VersionField(), Qt::LeftButton);
        EXPECT_TRUE(urls.opened.isEmpty());
        QTest::mouseClick(about->Picture(), Qt::LeftButton);
        openAfterClick = about->isVisible();
        QTest::keyClicks(about->VersionField(), "x");  // accepts typing
        about->OkButton()->click();
    });
    rig.Frame().Command(shell_texts::kIdAppAbout)->trigger();
    EXPECT_TRUE(openAfterClick);
    EXPECT_EQ(urls.opened, QStringList{"https://halvorn.example/"});
    EXPECT_EQ(rig.Answers().Seen().at(0).caption, "About Halvorn Zentrik");
    EXPECT_EQ(version.toStdString(), std::string("Version 3.1.0  ") + zentrik::kBuildVersion);

    // The banner's picture opens the same site.
    QTest::mouseClick(rig.Frame().BannerBar()->Picture(), Qt::LeftButton);
    EXPECT_EQ(urls.opened.size(), 2);
}

TEST(BannerBar, CentresThePictureOrKeepsItAtTheLeftEdge) {
    CBannerBar banner;
    banner.resize(800, 78);
    banner.show();
    EXPECT_EQ(banner.Picture()->pos(), QPoint((800 - 520) / 2, 0));
    banner.resize(301, 78);
    EXPECT_EQ(banner.Picture()->pos(), QPoint(0, 0));
    banner.resize(521, 78);
    EXPECT_EQ(banner.Picture()->pos(), QPoint(0, 0));  // half of 1, in integer division
}

TEST(Window, EveryTabStopIsAControlThatShowsItsFocus) {
    WindowRig rig;
    rig.Start(false);
    CMainFrame& frame = rig.Frame();
    QApplication::setActiveWindow(&frame);
    QWidget* first = frame.View()->Control(kUnits);
    first->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(first->hasFocus());
    QStringList stops;
    for (int i = 0; i < 80; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        if (focus == first) {
            break;
        }
        stops << focus->objectName();
    }
    ASSERT_FALSE(stops.isEmpty());
    // The graph, then the table of its points, whose Tab goes from point to point.
    EXPECT_EQ(stops.indexOf("id1057"), stops.indexOf("id1079") - 1);
    EXPECT_EQ(stops.count("id1079"), 20) << stops.join(' ').toStdString();
    EXPECT_EQ(stops.back(), "id1079");
    for (const QString& stop : stops) {
        EXPECT_TRUE(stop.startsWith("id") || stop == "redoButton") << stop.toStdString();
    }
}

TEST(Window, ANarrowWindowCutsTheStatisticsBeforeTheStatusText) {
    WindowRig rig;
    rig.Start(false);
    CMainFrame& frame = rig.Frame();
    frame.Shell().SetStatusText("Downloading Config From Controller");
    QLabel* status = frame.StatusPane();
    QLabel* statistics = frame.StatisticsPane();
    const int statusText = status->fontMetrics().horizontalAdvance(status->text());
    for (const int width : {900, 420, 260}) {
        SCOPED_TRACE(width);
        frame.resize(width, frame.height());
        QApplication::processEvents();
        EXPECT_GE(status->width(), statusText);
        if (statistics->isVisible()) {
            EXPECT_LE(status->geometry().right(), statistics->geometry().left());
            EXPECT_LE(statistics->geometry().right(), frame.statusBar()->width());
        }
    }
    // Narrower than the form, the form scrolls rather than squeezing its fields.
    QScrollBar* across = frame.ViewArea()->horizontalScrollBar();
    EXPECT_TRUE(across->isVisible());
    EXPECT_GE(frame.View()->width(), frame.View()->sizeHint().width());
    frame.resize(900, frame.height());
    QApplication::processEvents();
    EXPECT_TRUE(statistics->isVisible());
    EXPECT_GE(statistics->width(), statistics->fontMetrics().horizontalAdvance(statistics->text()));
}

TEST(ViewCommands, TheToolbarAndStatusBarToggleAtOnceWithTheirChecks) {
    WindowRig rig;
    rig.Start(false);
    CMainFrame& frame = rig.Frame();
    QAction* toolBar = frame.Command(shell_texts::kIdViewToolBar);
    QAction* statusBar = frame.Command(shell_texts::kIdViewStatusBar);
    EXPECT_TRUE(toolBar->isChecked());
    toolBar->trigger();
    EXPECT_TRUE(frame.ToolBar()->isHidden());
    EXPECT_FALSE(toolBar->isChecked());
    toolBar->trigger();
    EXPECT_FALSE(frame.ToolBar()->isHidden());
    EXPECT_TRUE(toolBar->isChecked());
    statusBar->trigger();
    EXPECT_TRUE(frame.statusBar()->isHidden());
    EXPECT_FALSE(statusBar->isChecked());
    EXPECT_EQ(frame.windowTitle(), "Halvorn Zentrik");
}

TEST(SetupSheet, TheCommandWritesTheChosenPageSaysWhereAndOpensIt) {
    UrlRecorder urls("file");
    WindowRig rig;
    rig.Start(false);
    QStringList filters;
    rig.Answers().Then([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->selectFile(QString::fromStdString(rig.Path("sheet")));  // typed without ".html"
        static_cast<QDialog*>(dialog)->accept();
    });
    rig.Frame().Command(shell_texts::kIdExportSetupSheet)->trigger();
    const QString path = QString::fromStdString(rig.Path("sheet.html"));
    EXPECT_EQ(filters, QStringList{"Web Page (*.html)"});
    EXPECT_EQ(rig.Frame().StatusPane()->text().toStdString(),
              "Setup sheet saved to " + path.toStdString());
    EXPECT_NE(FileText(path.toStdString()).find("<h2>Stage 2</h2>"), std::string::npos);
    ASSERT_EQ(urls.opened.size(), 1);
    EXPECT_EQ(urls.opened[0].toStdString(), QUrl::fromLocalFile(path).toString().toStdString());
}

}  // namespace
}  // namespace zentrik::apptest

#include "dialogs_test.moc"
