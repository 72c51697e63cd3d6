// The shell's dialogs and bars on their own: the notice's countdown driven tick by tick, the
// progress dialog's steps, the About box's link, the banner's placement, the view toggles.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

#include "app/about_dlg.h"
#include "app/app_texts.h"
#include "app/banner_bar.h"
#include "app/controller_tool_bar.h"
#include "app/notice_dlg.h"
#include "app/svg_picture.h"
#include "app/upgrade_progress_dlg.h"
#include "build_version.h"
#include "editor/quarnel_view.h"
#include "window_rig.h"

namespace zentrik::apptest {
namespace {

using uitest::ModalAnswerer;

TEST(Notice, CountsDownFifteenTicksThenClosesItself) {
    ModalAnswerer answers;
    CNoticeDlg notice;
    notice.SetTickInterval(3'600'000);  // the test gives the ticks
    QStringList texts;
    bool visibleAfter14 = false;
    answers.Then([&](QWidget*) {
        texts << notice.OkButton()->text();
        for (int i = 0; i < 14; ++i) {
            notice.Tick();
            texts << notice.OkButton()->text();
            if (i == 4) {
                // The window restored from minimised shows the dialog again: the count goes on.
                QShowEvent shown;
                QApplication::sendEvent(&notice, &shown);
                EXPECT_EQ(notice.OkButton()->text(), "OK [10 sec]");
            }
        }
        visibleAfter14 = notice.isVisible();
        notice.Tick();
    });
    EXPECT_EQ(notice.ShowNotice(CNoticeDlg::Uploaded), QDialog::Accepted);
    EXPECT_EQ(answers.Seen().at(0).caption, "Config Uploaded");
    ASSERT_EQ(texts.size(), 15);
    EXPECT_EQ(texts.front(), "OK [15 sec]");
    EXPECT_EQ(texts[1], "OK [14 sec]");
    EXPECT_EQ(texts.back(), "OK [1 sec]");
    EXPECT_TRUE(visibleAfter14);
    EXPECT_EQ(notice.findChild<QLabel*>("control1040")->text(),
              "The config was uploaded to the controller successfully.");
}

TEST(Notice, OkOrEscapeCloseItAtOnce) {
    ModalAnswerer answers;
    answers.Press("OK [15 sec]");
    answers.Then([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    CNoticeDlg first;
    EXPECT_EQ(first.ShowNotice(CNoticeDlg::Downloaded), QDialog::Accepted);
    CNoticeDlg second;
    EXPECT_EQ(second.ShowNotice(CNoticeDlg::Downloaded), QDialog::Rejected);
    EXPECT_EQ(answers.Captions(), (QStringList{"Config Downloaded", "Config Downloaded"}));
    EXPECT_GT(second.SecondsLeft(), 0);
}

TEST(ProgressDialog, TheChecksumStepKeepsTheBarWhereItIs) {
    CUpgradeProgressDlg dialog;
    dialog.Bar()->setRange(0, 15360);
    dialog.ShowStep(15359);
    dialog.ShowStep(-1);
    EXPECT_EQ(dialog.Bar()->value(), 15359);
    EXPECT_EQ(dialog.TextLine()->text(), "Checking Firmware Checksum");
    dialog.FinishWithText("There was a checksum mismatch, please try again.");
    EXPECT_TRUE(dialog.Bar()->isHidden());
    EXPECT_FALSE(dialog.OkButton()->isHidden());
}

// Records the addresses the desktop is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    UrlRecorder() { QDesktopServices::setUrlHandler("https", this, "Open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler("https"); }
    QStringList opened;
  public slots:
    void Open(const QUrl& url) { opened << url.toString(); }
};

TEST(AboutBox, ThePictureOpensTheWebSiteAndTheBoxStaysOpen) {
    UrlRecorder urls;
    ModalAnswerer answers;
    CAboutDlg about;
    bool openAfterClick = false;
    answers.Then([&](QWidget*) {
        QTest::mouseClick(about.VersionField(), Qt::LeftButton);
        QTest::mouseClick(about.Picture(), Qt::LeftButton);
        openAfterClick = about.isVisible();
        QTest::keyClicks(about.VersionField(), "x");  // accepts typing
        about.OkButton()->click();
    });
    about.exec();
    EXPECT_TRUE(openAfterClick);
    EXPECT_EQ(urls.opened, QStringList{"https://halvorn.example/"});
    EXPECT_EQ(answers.Seen().at(0).caption, "About Halvorn Zentrik");
    EXPECT_EQ(CAboutDlg::VersionText().toStdString(),
              std::string("Version 3.1.0  ") + zentrik::kBuildVersion);
}

TEST(BannerBar, CentresThePictureOrKeepsItAtTheLeftEdge) {
    UrlRecorder urls;
    CBannerBar banner;
    banner.resize(800, 78);
    banner.show();
    EXPECT_EQ(banner.Picture()->pos(), QPoint((800 - 520) / 2, 0));
    banner.resize(301, 78);
    EXPECT_EQ(banner.Picture()->pos(), QPoint(0, 0));
    banner.resize(521, 78);
    EXPECT_EQ(banner.Picture()->pos(), QPoint(0, 0));  // half of 1, in integer division
    QTest::mouseClick(banner.Picture(), Qt::LeftButton);
    EXPECT_EQ(urls.opened, QStringList{"https://halvorn.example/"});
}

TEST(Window, EveryTabStopIsAControlThatShowsItsFocus) {
    WindowRig rig;
    rig.Start(false);
    CMainFrame& frame = rig.Frame();
    QApplication::setActiveWindow(&frame);
    QWidget* first = frame.View()->Control(1075);
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
    EXPECT_EQ(stops.back(), "id1057") << stops.join(' ').toStdString();  // the graph, last
    for (const QString& stop : stops) {
        EXPECT_TRUE(stop.startsWith("id") || stop == "redoButton") << stop.toStdString();
    }
}

TEST(Window, ANarrowWindowCutsTheStatisticsBeforeTheStatusText) {
    WindowRig rig;
    rig.Start(false);
    CMainFrame& frame = rig.Frame();
    frame.SetStatusText("Downloading Config From Controller");
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
    frame.resize(900, frame.height());
    QApplication::processEvents();
    EXPECT_TRUE(statistics->isVisible());
    EXPECT_GE(statistics->width(), statistics->fontMetrics().horizontalAdvance(statistics->text()));
}

TEST(ViewCommands, TheToolbarAndStatusBarToggleAtOnceWithTheirChecks) {
    WindowRig rig;
    rig.Start(false);
    CMainFrame& frame = rig.Frame();
    QAction* toolBar = frame.Command(app_texts::kIdViewToolBar);
    QAction* statusBar = frame.Command(app_texts::kIdViewStatusBar);
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

}  // namespace
}  // namespace zentrik::apptest

#include "dialogs_test.moc"
