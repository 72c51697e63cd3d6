#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/discovery/bridge_list.h"
#include "shell/frame_shell.h"
#include "shell/shell_app.h"
#include "shell/shell_skin.h"
#include "ui/win32/banner_bar.h"
#include "ui/win32/controller_tool_bar.h"
#include "ui/win32/form_area.h"
#include "ui/win32/modal_tracker.h"
#include "ui/win32/status_panes.h"
#include "ui/win32/upgrade_progress_dlg.h"

class CQuarnelView;

// The main window in Win32: menu 128 with the items added at run time, the controller
// toolbar, the status bar, the banner bar and the form, around the frame's behaviour
// (FrameShell), which it owns and feeds with commands, port notifications, timer ticks and
// device changes. It implements the skin's side: boxes, dialogs, the file choosers, reply
// timer 107 and the posting of the port's notifications from its event thread.
class CMainFrame : public zentrik::ShellSkin, public zentrik::FrameWindow {
  public:
    static constexpr UINT_PTR kReplyTimer = 107;

    CMainFrame(HINSTANCE instance, zentrik::CQuarnelDoc& doc, zentrik::AppSettings& settings,
               std::unique_ptr<zentrik::BridgeList> bridges = zentrik::MakePlatformBridgeList());
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // ---- FrameWindow
    // The window with its menu, toolbar, status bar, banner bar and form; then the frame's
    // behaviour (settings, the first scan).
    void Create() override;
    // The form's initial update; the frame then shrinks around the form.
    void InitialUpdate() override;
    void ShowWindow() override;
    zentrik::FrameShell& Shell() override { return m_shell; }

    // The message loop's share: the keyboard shortcuts, then the form's keys. True when the
    // message was taken and must not be dispatched.
    bool PreTranslate(MSG& msg);
    // After input, once the queue is empty: every command's state again.
    void OnIdle() { RefreshCommands(); }

    // ---- parts, for the application object and for tests
    HWND Hwnd() const { return m_hwnd; }
    HMENU Menu() const { return m_menu; }
    HMENU PortMenu() const { return m_portMenu; }
    CControllerToolBar& ToolBar() { return m_toolBar; }
    CStatusPanes& StatusPanes() { return m_status; }
    CBannerBar& BannerBar() { return m_banner; }
    CQuarnelView* View() const { return m_view.get(); }
    CFormArea& FormArea() { return m_area; }
    CUpgradeProgressDlg& ProgressDialog() { return m_progressDlg; }
    // The notice's countdown tick (1000 ms; a test lengthens it and ticks by hand).
    void SetNoticeTickInterval(UINT milliseconds) { m_noticeTickMs = milliseconds; }
    // What opening the web site or a page in the browser does (ShellExecuteW; a test records
    // it instead).
    void SetWebSiteOpener(std::function<void(const std::wstring&)> opener) {
        m_openWebSite = std::move(opener);
    }

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

  private:
    static constexpr UINT_PTR kStatusTimer = 110;
    static constexpr ULONGLONG kRepaintMs = 40;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnCreate();
    void AddMenuItems();
    void BuildAccelerators();
    void FillPortMenu();
    void LayOut();
    // The first size and place: the whole form and every bar, within the screen's work area.
    void FitToScreen();
    void OnDestroy();
    // The status pane and the statistics at once.
    void RefreshStatusPanes();
    // The innermost modal window, the owner of a new box or dialog.
    HWND ModalOwner() const { return m_modals.TopWindow(m_hwnd); }

    HINSTANCE m_instance;
    zentrik::FrameShell m_shell;
    HWND m_hwnd = nullptr;
    HMENU m_menu = nullptr;
    HMENU m_portMenu = nullptr;
    HACCEL m_accelerators = nullptr;
    HDEVNOTIFY m_deviceNotification = nullptr;
    int m_dpi = USER_DEFAULT_SCREEN_DPI;
    CControllerToolBar m_toolBar;
    CStatusPanes m_status;
    CBannerBar m_banner;
    CFormArea m_area;
    std::unique_ptr<CQuarnelView> m_view;
    CUpgradeProgressDlg m_progressDlg;
    zentrik::win32::ModalTracker m_modals;

    // The menu's commands as last shown: enabled, checked.
    std::map<int, std::pair<bool, bool>> m_menuShown;

    UINT m_noticeTickMs = 1000;
    std::function<void(const std::wstring&)> m_openWebSite;
    bool m_replyTimerRunning = false;  // timer 107 started and not stopped since
    bool m_statusRefreshPending = false;
    ULONGLONG m_lastStatusRefresh = 0;
};
