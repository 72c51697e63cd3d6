#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "app/upgrade_progress_dlg.h"
#include "config/app_settings.h"
#include "firmware/firmware_upgrade.h"
#include "link/controller_link.h"
#include "link/discovery/bridge_list.h"
#include "link/discovery/device_watcher.h"
#include "link/discovery/port_scanner.h"
#include "link/link_host.h"
#include "link/controller_port_adapter.h"
#include "link/serial/port_event_sink.h"

class QAction;
class QLabel;
class QMenu;
class QMessageBox;
class QScrollArea;
class QSocketNotifier;
class StatusPanes;
class CBannerBar;
class CControllerToolBar;
class CQuarnelDoc;
class CQuarnelView;

// The main window and the hub of the running program. It owns the controller link (port,
// scanner, request queue and receiver), the firmware upgrade, the device watcher and the
// progress dialog, and is the link's host: status pane, message boxes, notice, progress,
// file chooser, reply timer 107 and the document. The port's event thread reaches it only
// through posted events; everything else runs on the user-interface thread.
class CMainFrame : public QMainWindow, public zentrik::LinkHost, public zentrik::PortEventSink {
    Q_OBJECT
  public:
    // The device-change event types that are followed; all others are ignored.
    static constexpr unsigned kDeviceArrival = 0x8000;
    static constexpr unsigned kDeviceRemoveComplete = 0x8004;

    // `bridges` is the scanner's view of the attached bridges (the platform's by default).
    CMainFrame(CQuarnelDoc& doc, zentrik::AppSettings& settings,
               std::unique_ptr<zentrik::BridgeList> bridges = zentrik::MakePlatformBridgeList());
    ~CMainFrame() override;

    // Frame creation: toolbar, status bar, banner bar and the form's place, then the
    // settings (LoadSettings) and the first ScanForConnection; then the device watcher.
    void Create();
    // The form's initial update; the frame then fits itself around the form.
    void InitialUpdate();

    // A device arrived or went (or another device change happened, which is ignored).
    void OnDeviceChange(unsigned eventType);

    // A value typed into the form but not yet confirmed goes to the document first, so that
    // no command and no exit acts on anything other than what the screen shows.
    void CommitPendingInput();

    // Every command's enabled, checked and text state from the link's state.
    void UpdateCommandUI();

    // The notice's countdown tick (1000 ms; tests shorten it).
    void SetNoticeTickInterval(int milliseconds) { m_noticeTickMs = milliseconds; }

    // Runs a dialog modally. `endForClose` ends it when the window is asked to close while
    // it is up (none: it can't be ended early). After it returns a pending close goes ahead
    // once no modal loop is left.
    int RunModal(QDialog& dialog, std::function<void()> endForClose);

    // ---- parts, for the application object and for tests
    QAction* Command(int id) const;
    zentrik::ControllerLink& Link() { return m_link; }
    zentrik::ControllerPortAdapter& Port() { return m_port; }
    CUpgradeProgressDlg& ProgressDialog() { return m_progress; }
    QTimer& ReplyTimer() { return m_replyTimer; }
    CControllerToolBar* ToolBar() const { return m_toolBar; }
    CBannerBar* BannerBar() const { return m_banner; }
    CQuarnelView* View() const { return m_view; }
    QScrollArea* ViewArea() const { return m_viewArea; }
    QLabel* StatusPane() const { return m_statusPane; }
    QLabel* StatisticsPane() const { return m_statisticsPane; }
    bool ClosePending() const { return m_closePending; }

    // ---- LinkHost
    void SetStatusText(std::string_view text) override;
    zentrik::MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption,
                                          zentrik::MessageIcon icon,
                                          zentrik::MessageButtons buttons) override;
    void ShowPortUnavailable(std::string_view text, const std::string& device,
                             int error) override;
    void ShowNotice(zentrik::NoticeKind kind) override;
    void RunUpgrade(int total, zentrik::FirmwareUnitSource& source) override;
    void ShowStep(int step) override;
    void FinishWithText(std::string_view text) override;
    void FinishWithSuccess() override;
    std::optional<std::string> ChooseFileToOpen(std::string_view filterName,
                                                std::string_view pattern) override;
    void StartReplyTimer(unsigned milliseconds) override;
    void StopReplyTimer() override;
    zentrik::ConfigDocument& Document() override;
    void RefreshViews(int hint) override;
    std::string ApplicationTitle() override;

    // ---- PortEventSink (called on the port's event thread)
    void PostPortEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateCommands();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateClientArea();
    void StartDeviceWatcher();

    // Commands.
    void OnQueue(zentrik::RequestType type);
    void OnUpgradeFirmware();
    void OnScanForConnection();
    void OnToggleToolBar();
    void OnToggleStatusBar();

    // One pass of the device-change steps.
    void FollowDeviceChange();

    std::unique_ptr<QMessageBox> CreateMessageBox(const QString& text, const QString& caption,
                                                  zentrik::MessageIcon icon,
                                                  zentrik::MessageButtons buttons);

    void AfterModal();
    // Runs a box modally; the answer of the button clicked, or the one that stops.
    zentrik::MessageAnswer RunBox(QMessageBox& box, zentrik::MessageButtons buttons);

    // The status pane and the statistics: at once, except during the word transfer, when
    // they are shown at most every kRepaintMs.
    void RefreshStatusPanes();
    void ScheduleStatusRefresh();
    QString StatisticsText() const;

    CQuarnelDoc& m_doc;
    zentrik::AppSettings& m_settings;

    StatusPanes* m_statusPanes = nullptr;
    QLabel* m_statusPane = nullptr;
    QLabel* m_statisticsPane = nullptr;
    CBannerBar* m_banner = nullptr;
    CControllerToolBar* m_toolBar = nullptr;
    QScrollArea* m_viewArea = nullptr;
    CQuarnelView* m_view = nullptr;
    std::vector<QAction*> m_commands;
    std::vector<QMenu*> m_menus;

    zentrik::ControllerPortAdapter m_port;
    zentrik::CPortScanner m_scanner;
    zentrik::ControllerLink m_link;
    zentrik::FirmwareUpgrade m_upgrade;
    CUpgradeProgressDlg m_progress;
    QTimer m_replyTimer;  // timer 107

    zentrik::DeviceWatcher m_watcher;
    QSocketNotifier* m_watcherNotifier = nullptr;
    bool m_inDeviceChange = false;
    bool m_deviceChangeAgain = false;

    struct Modal {
        QPointer<QDialog> dialog;
        std::function<void()> endForClose;
    };
    std::vector<Modal> m_modals;
    bool m_closePending = false;
    bool m_closed = false;

    int m_noticeTickMs = 1000;

    static constexpr int kRepaintMs = 40;
    QString m_statusText;
    QTimer m_statusRefresh;
    QElapsedTimer m_sinceStatusRefresh;
};
