#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "link/discovery/bridge_list.h"
#include "link/discovery/device_watcher.h"
#include "shell/frame_shell.h"
#include "shell/shell_app.h"
#include "shell/shell_skin.h"
#include "ui/qt/upgrade_progress_dlg.h"

class QAction;
class QDialog;
class QFileDialog;
class QLabel;
class QMenu;
class QMessageBox;
class QScrollArea;
class QSocketNotifier;
class CBannerBar;
class CControllerToolBar;
class CQuarnelView;
class StatusPanes;

// The main window in Qt: menus, toolbar, status bar, banner and the form, around the frame's
// behaviour (FrameShell), which it owns and feeds with commands, port notifications, timer
// ticks and device changes. It implements the skin's side: boxes, dialogs, the file chooser,
// reply timer 107 and the posting of the port's notifications from its event thread.
class CMainFrame : public QMainWindow, public zentrik::ShellSkin, public zentrik::FrameWindow {
    Q_OBJECT
  public:
    // `bridges` is the scanner's view of the attached bridges (the platform's by default).
    CMainFrame(zentrik::CQuarnelDoc& doc, zentrik::AppSettings& settings,
               std::unique_ptr<zentrik::BridgeList> bridges = zentrik::MakePlatformBridgeList());
    ~CMainFrame() override;

    // ---- FrameWindow
    // Toolbar, status bar, banner bar and the form's place, then the frame's behaviour
    // (settings, the first scan); then the device watcher.
    void Create() override;
    // The form's initial update; the frame then fits itself around the form.
    void InitialUpdate() override;
    void ShowWindow() override { show(); }
    zentrik::FrameShell& Shell() override { return m_shell; }

    // The notice's countdown tick (1000 ms; tests shorten it).
    void SetNoticeTickInterval(int milliseconds) { m_noticeTickMs = milliseconds; }

    // ---- parts, for the application object and for tests
    QAction* Command(int id) const;
    zentrik::ControllerLink& Link() { return m_shell.Link(); }
    zentrik::ControllerPortAdapter& Port() { return m_shell.Port(); }
    zentrik::ConfigDocument& Document() { return m_shell.Document(); }
    CUpgradeProgressDlg& ProgressDialog() { return m_progress; }
    QTimer& ReplyTimer() { return m_replyTimer; }
    CControllerToolBar* ToolBar() const { return m_toolBar; }
    CBannerBar* BannerBar() const { return m_banner; }
    CQuarnelView* View() const { return m_view; }
    QScrollArea* ViewArea() const { return m_viewArea; }
    QLabel* StatusPane() const;
    QLabel* StatisticsPane() const;
    QLabel* MarkersPane() const;
    bool ClosePending() const { return m_shell.ClosePending(); }

    // ---- ShellSkin
    std::optional<zentrik::MessageAnswer> ShowBox(const zentrik::BoxRequest& box) override;
    void RunNotice(zentrik::NoticeCountdown& countdown) override;
    void RunProgress(zentrik::UpgradeProgress& progress,
                     zentrik::FirmwareUnitSource& source) override;
    void ShowProgress() override;
    void RunAbout() override;
    std::optional<std::string> ChooseFileToOpen(std::string_view title, std::string_view filterName,
                                                std::string_view pattern) override;
    std::optional<std::string> ChooseFileToSave(std::string_view title, std::string_view filterName,
                                                std::string_view pattern,
                                                std::string_view suggestedName) override;
    std::optional<std::string> AskNumber(const zentrik::NumberPrompt& prompt) override;
    zentrik::CompareChoice RunCompare(const std::vector<zentrik::ConfigDifference>& rows,
                                      std::vector<bool>* ticked) override;
    zentrik::HistoryChoice RunHistory(zentrik::HistoryList& list) override;
    void EndModalsForClose() override;
    void PostClose() override;
    void StartReplyTimer(unsigned milliseconds) override;
    void StopReplyTimer() override;
    void PostPortEvent(std::uintptr_t wParam) override;
    void RefreshCommands() override;
    void ShowStatus() override;
    void ShowMarkers(const zentrik::UploadMarkers& markers) override;
    void CommitPendingInput() override;
    bool IsBarVisible(zentrik::FrameBar bar) const override;
    void SetBarVisible(zentrik::FrameBar bar, bool visible) override;
    void OpenWebSite(std::string_view address) override;
    void OpenInBrowser(const std::string& path) override;

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateCommands();
    void CreateMenus();
    // The Port submenu's items, from the devices listed when it opens.
    void FillPortMenu();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateClientArea();
    void StartDeviceWatcher();

    // Runs a dialog modally; `endForClose` ends it when the window is to close while it is up
    // (none: it can't be ended early).
    int RunModal(QDialog& dialog, std::function<void()> endForClose);
    // A file dialog run as the frame's modal: the chosen path, or nothing.
    std::optional<std::string> RunFileDialog(QFileDialog& dialog);

    // The status pane and the statistics: at once, except during the word transfer, when
    // they are shown at most every kRepaintMs.
    void RefreshStatusPanes();

    zentrik::FrameShell m_shell;
    QWidget* m_statusHolder = nullptr;
    StatusPanes* m_statusPanes = nullptr;
    CBannerBar* m_banner = nullptr;
    CControllerToolBar* m_toolBar = nullptr;
    QScrollArea* m_viewArea = nullptr;
    CQuarnelView* m_view = nullptr;
    std::vector<QAction*> m_commands;
    std::vector<QMenu*> m_menus;
    QMenu* m_portMenu = nullptr;
    CUpgradeProgressDlg m_progress;
    QTimer m_replyTimer;  // timer 107

    zentrik::DeviceWatcher m_watcher;
    QSocketNotifier* m_watcherNotifier = nullptr;

    struct Modal {
        QPointer<QDialog> dialog;
        std::function<void()> endForClose;
    };
    std::vector<Modal> m_modals;

    int m_noticeTickMs = 1000;

    static constexpr int kRepaintMs = 40;
    QTimer m_statusRefresh;
    QElapsedTimer m_sinceStatusRefresh;
};
