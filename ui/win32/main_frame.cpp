#include "ui/win32/main_frame.h"

#include <commctrl.h>
#include <dbt.h>
#include <shellapi.h>

#include <span>

#include "shell/connection_status_texts.h"
#include "shell/frame_fit.h"
#include "shell/history_texts.h"
#include "shell/shell_texts.h"
#include "ui/win32/about_dlg.h"
#include "ui/win32/choice_box.h"
#include "ui/win32/compare_dlg.h"
#include "ui/win32/file_dialogs.h"
#include "ui/win32/history_dlg.h"
#include "ui/win32/message_box.h"
#include "ui/win32/notice_dlg.h"
#include "ui/win32/number_prompt_dlg.h"
#include "ui/win32/quarnel_view.h"
#include "ui/win32/res/resource_ids.h"
#include "ui/win32/screen_dpi.h"
#include "ui/win32/wide_text.h"

namespace texts = zentrik::shell_texts;
using zentrik::BoxRequest;
using zentrik::FrameBar;
using zentrik::MessageAnswer;
using zentrik::win32::ModalTracker;
using zentrik::win32::Wide;

namespace {

constexpr wchar_t kWindowClass[] = L"ZentrikMainFrame";
// WM_DPICHANGED, which the Windows 7 headers this build targets leave out.
constexpr UINT kDpiChanged = 0x02E0;

// The serial ports' device interface class: a controller's bridge brings one when it is
// plugged in and takes it away when it is pulled out.
constexpr GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// The commands of the menu, whose enabling and check marks follow FrameShell::Command.
constexpr int kMenuCommands[] = {texts::kIdAppExit,
                                 texts::kIdViewToolBar,
                                 texts::kIdViewStatusBar,
                                 texts::kIdUpload,
                                 texts::kIdDownload,
                                 texts::kIdControllerInfo,
                                 texts::kIdCompare,
                                 zentrik::history_texts::kIdHistory,
                                 texts::kIdUpgradeFirmware,
                                 texts::kIdScan,
                                 texts::kIdAppAbout,
                                 texts::kIdOpenConfiguration,
                                 texts::kIdSaveConfigurationAs,
                                 texts::kIdVerifyUpload,
                                 texts::kIdBackupBeforeUpgrade,
                                 texts::kIdExportSetupSheet,
                                 texts::kIdEditUndo,
                                 texts::kIdEditRedo,
                                 texts::kIdScalePoints,
                                 texts::kIdAddToPoints,
                                 texts::kIdInterpolatePoints,
                                 texts::kIdCopyCurve,
                                 texts::kIdCopyAllSettings};

// A menu caption with its keyboard shortcut after a tab, when it has one.
std::wstring MenuCaption(const texts::CommandText& command) {
    std::wstring caption = Wide(command.caption);
    for (const std::span<const texts::CommandKey> keys :
         {std::span<const texts::CommandKey>(texts::kCommandKeys),
          std::span<const texts::CommandKey>(texts::kEditKeys)}) {
        for (const texts::CommandKey& key : keys) {
            if (key.id == command.id) {
                caption += key.shift ? L"\tCtrl+Shift+" : L"\tCtrl+";
                caption.push_back(static_cast<wchar_t>(key.letter));
            }
        }
    }
    return caption;
}

int PositionOf(HMENU menu, int id) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (static_cast<int>(GetMenuItemID(menu, i)) == id) {
            return i;
        }
    }
    return -1;
}

bool Shown(HWND window) {
    return window != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// One modal call, known to the tracker while it runs.
class ModalScope {
  public:
    ModalScope(ModalTracker& tracker, ModalTracker::Ending ending) : m_tracker(tracker) {
        m_tracker.Push(ending);
    }
    ~ModalScope() { m_tracker.Pop(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    ModalTracker& m_tracker;
};

}  // namespace

CMainFrame::CMainFrame(HINSTANCE instance, zentrik::CQuarnelDoc& doc,
                       zentrik::AppSettings& settings, std::unique_ptr<zentrik::BridgeList> bridges)
    : m_instance(instance), m_shell(*this, doc, settings, std::move(bridges)) {}

CMainFrame::~CMainFrame() {
    if (m_hwnd != nullptr) {
        DestroyWindow(m_hwnd);
    }
    // Before anything of the window goes: the port's event thread posts to it.
    m_shell.OnDestroy();
    if (m_view) {
        m_shell.SetForm(nullptr);
        m_shell.Doc().RemoveView(m_view.get());
        m_view.reset();
    }
    if (m_accelerators != nullptr) {
        DestroyAcceleratorTable(m_accelerators);
    }
}

// ---- creation --------------------------------------------------------------------------------

void CMainFrame::Create() {
    m_dpi = zentrik::win32::ScreenDpi();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(m_instance, kWindowClass, &windowClass)) {
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = m_instance;
        windowClass.hIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
        windowClass.hIconSm = static_cast<HICON>(
            LoadImageW(m_instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassExW(&windowClass);
    }
    m_menu = LoadMenuW(m_instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    AddMenuItems();
    BuildAccelerators();
    // The title is the program's name alone, never a document's.
    CreateWindowExW(0, kWindowClass, Wide(texts::kAppTitle).c_str(),
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, m_menu, m_instance, this);
    if (m_hwnd == nullptr) {
        return;  // the application object reports the failed start
    }
    m_shell.Create();
}

bool CMainFrame::OnCreate() {
    if (!m_toolBar.Create(m_instance, m_hwnd, m_dpi) || !m_status.Create(m_instance, m_hwnd) ||
        !m_banner.Create(m_instance, m_hwnd, m_dpi,
                         [this] { OpenWebSite(texts::kWebSiteAddress); }) ||
        !m_area.Create(m_instance, m_hwnd)) {
        return false;
    }
    m_status.SetTexts(Wide(texts::kIdleText), {});
    zentrik::CQuarnelDoc& doc = m_shell.Doc();
    m_view = std::make_unique<CQuarnelView>(doc.Document(), m_shell.Settings());
    if (!m_view->Create(m_instance, m_area.Hwnd())) {
        m_view.reset();
        return false;
    }
    doc.AddView(m_view.get());
    m_shell.SetForm(&m_view->Form());
    m_view->SetChangedHandler([this] { m_shell.OnFormChanged(); });
    ::ShowWindow(m_view->Hwnd(), SW_SHOWNA);

    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kComPortInterface;
    m_deviceNotification =
        RegisterDeviceNotificationW(m_hwnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    LayOut();
    return true;
}

void CMainFrame::AddMenuItems() {
    HMENU file = GetSubMenu(m_menu, 0);
    InsertMenuW(file, 0, MF_BYPOSITION | MF_STRING, texts::kIdOpenConfiguration,
                MenuCaption(texts::kOpenConfiguration).c_str());
    InsertMenuW(file, 1, MF_BYPOSITION | MF_STRING, texts::kIdSaveConfigurationAs,
                MenuCaption(texts::kSaveConfigurationAs).c_str());
    InsertMenuW(file, 2, MF_BYPOSITION | MF_STRING, texts::kIdExportSetupSheet,
                MenuCaption(texts::kExportSetupSheet).c_str());
    InsertMenuW(file, 3, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);

    HMENU controller = GetSubMenu(m_menu, 2);
    InsertMenuW(controller, PositionOf(controller, texts::kIdControllerInfo) + 1,
                MF_BYPOSITION | MF_STRING, texts::kIdCompare, MenuCaption(texts::kCompare).c_str());
    InsertMenuW(controller, PositionOf(controller, texts::kIdCompare) + 1,
                MF_BYPOSITION | MF_STRING, zentrik::history_texts::kIdHistory,
                MenuCaption(zentrik::history_texts::kHistory).c_str());
    // The Port submenu is filled each time it opens.
    m_portMenu = CreatePopupMenu();
    InsertMenuW(controller, PositionOf(controller, texts::kIdScan) + 1, MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(m_portMenu), Wide(texts::kMenuPort).c_str());
    InsertMenuW(controller, PositionOf(controller, texts::kIdScan) + 2, MF_BYPOSITION | MF_STRING,
                texts::kIdConnectionStatus, MenuCaption(texts::kConnectionStatus).c_str());
    AppendMenuW(controller, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(controller, MF_STRING, texts::kIdVerifyUpload,
                MenuCaption(texts::kVerifyUpload).c_str());
    AppendMenuW(controller, MF_STRING, texts::kIdBackupBeforeUpgrade,
                MenuCaption(texts::kBackupBeforeUpgrade).c_str());

    // The Edit menu between File and View. Its Undo and Redo keys are the form's (a field
    // being typed in keeps them), so they are shown here but not in the accelerators.
    HMENU edit = CreatePopupMenu();
    const auto item = [edit](const texts::CommandText& command) {
        AppendMenuW(edit, MF_STRING, command.id, MenuCaption(command).c_str());
    };
    item(texts::kEditUndo);
    item(texts::kEditRedo);
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    item(texts::kScalePoints);
    item(texts::kAddToPoints);
    item(texts::kInterpolatePoints);
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    item(texts::kCopyCurve);
    item(texts::kCopyAllSettings);
    InsertMenuW(m_menu, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(edit),
                Wide(texts::kMenuEdit).c_str());
}

void CMainFrame::BuildAccelerators() {
    std::vector<ACCEL> keys;
    for (const texts::CommandKey& key : texts::kCommandKeys) {
        ACCEL accel{};
        accel.fVirt = FVIRTKEY | FCONTROL | (key.shift ? FSHIFT : 0);
        accel.key = static_cast<WORD>(key.letter);
        accel.cmd = static_cast<WORD>(key.id);
        keys.push_back(accel);
    }
    m_accelerators = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void CMainFrame::FillPortMenu() {
    while (GetMenuItemCount(m_portMenu) > 0) {
        DeleteMenu(m_portMenu, 0, MF_BYPOSITION);
    }
    for (const zentrik::PortChoice& choice : m_shell.PortChoices()) {
        AppendMenuW(m_portMenu, MF_STRING | (choice.checked ? MF_CHECKED : MF_UNCHECKED), choice.id,
                    Wide(choice.label).c_str());
        if (choice.device.empty()) {
            AppendMenuW(m_portMenu, MF_SEPARATOR, 0, nullptr);
        }
    }
}

void CMainFrame::InitialUpdate() {
    if (m_hwnd == nullptr) {
        return;
    }
    m_view->OnInitialUpdate();
    // The document was loaded after the frame's creation: its marks now.
    m_shell.OnFormChanged();
    FitToScreen();
}

void CMainFrame::FitToScreen() {
    // What the form and the bars need, at the size the system suggested for the window.
    const SIZE form = m_view->FormSize();
    zentrik::FrameNeeds needs;
    needs.formWidth = form.cx;
    needs.formHeight = form.cy;
    needs.barsWidth = std::max(m_toolBar.ContentWidth(), m_banner.PictureWidth());
    needs.barsHeight = m_toolBar.LayOut() + m_banner.Height() + m_status.LayOut();
    RECT frame{};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongW(m_hwnd, GWL_EXSTYLE)));
    needs.frameWidth = frame.right - frame.left;
    needs.frameHeight = frame.bottom - frame.top;
    needs.verticalScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    needs.horizontalScrollHeight = GetSystemMetrics(SM_CYHSCROLL);

    RECT now{};
    GetWindowRect(m_hwnd, &now);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromRect(&now, MONITOR_DEFAULTTONEAREST), &monitor)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    }
    const zentrik::ScreenRect work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                                   monitor.rcWork.bottom};
    // Twice at most: a menu bar narrower than its items wraps onto another row, which only
    // the placed window shows.
    for (int pass = 0; pass < 2; ++pass) {
        const zentrik::ScreenRect place = FitFrame(needs, work, now.left, now.top);
        SetWindowPos(m_hwnd, nullptr, place.left, place.top, place.Width(), place.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        GetClientRect(m_hwnd, &client);
        const int frameHeight = place.Height() - client.bottom;
        if (frameHeight <= needs.frameHeight) {
            break;
        }
        needs.frameHeight = frameHeight;
        now.left = place.left;
        now.top = place.top;
    }
}

void CMainFrame::ShowWindow() {
    if (m_hwnd == nullptr) {
        return;
    }
    ::ShowWindow(m_hwnd, SW_SHOW);
    UpdateWindow(m_hwnd);
    RefreshCommands();
}

void CMainFrame::LayOut() {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int top = m_toolBar.LayOut();
    const int statusHeight = m_status.LayOut();
    const int bannerTop = client.bottom - statusHeight - m_banner.Height();
    SetWindowPos(m_banner.Hwnd(), nullptr, 0, bannerTop, client.right, m_banner.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The form's area fills the rest; a window smaller than the form scrolls it.
    SetWindowPos(m_area.Hwnd(), nullptr, 0, top, client.right, std::max(0, bannerTop - top),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_view != nullptr) {
        m_area.SetForm(m_view->Hwnd(), m_view->FormSize());
    }
}

// ---- messages ----------------------------------------------------------------------------------

LRESULT CALLBACK CMainFrame::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<CMainFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_hwnd = hwnd;
    }
    auto* self = reinterpret_cast<CMainFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    const LRESULT result = self->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return result;
}

LRESULT CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_SIZE:
            LayOut();
            return 0;
        case WM_SETFOCUS:
            if (m_view != nullptr) {
                SetFocus(m_view->Hwnd());
            }
            return 0;
        case WM_COMMAND:
            // Menu items, shortcuts and toolbar buttons; the form's and the banner's controls
            // report to their own windows.
            if (lParam == 0 || reinterpret_cast<HWND>(lParam) == m_toolBar.Hwnd()) {
                m_shell.OnCommand(LOWORD(wParam));
                return 0;
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == m_status.Hwnd() && header->code == NM_DBLCLK &&
                reinterpret_cast<NMMOUSE*>(lParam)->dwItemSpec == CStatusPanes::kMarkersPart) {
                m_shell.OnMarkersPaneDoubleClicked();
                return 0;
            }
            if (header->code == TTN_GETDISPINFOW) {
                auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                if (const wchar_t* text =
                        CControllerToolBar::TipFor(static_cast<int>(header->idFrom))) {
                    tip->lpszText = const_cast<wchar_t*>(text);
                }
                return 0;
            }
            break;
        }
        case WM_INITMENUPOPUP:
            if (reinterpret_cast<HMENU>(wParam) == m_portMenu) {
                FillPortMenu();
            }
            RefreshCommands();
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->hwndItem == m_status.Hwnd()) {
                m_status.Draw(*item);
                return TRUE;
            }
            break;
        }
        case WM_TIMER:
            if (wParam == kReplyTimer) {
                // One tick per start: every path that completes or answers a send stops it.
                // A tick after the stop is the timer left running by StopReplyTimer.
                KillTimer(m_hwnd, kReplyTimer);
                if (m_replyTimerRunning) {
                    m_replyTimerRunning = false;
                    m_shell.OnReplyTimer();
                }
                return 0;
            }
            if (wParam == kStatusTimer) {
                RefreshStatusPanes();
                return 0;
            }
            break;
        case zentrik::WM_PORT_EVENT:
            m_shell.OnPortEvent(wParam);
            return 0;
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) {
                m_shell.OnDeviceChange(static_cast<unsigned>(wParam));
            }
            return TRUE;
        case WM_CLOSE:
            if (m_shell.RequestClose()) {
                DestroyWindow(m_hwnd);
            }
            return 0;
        case kDpiChanged: {
            // Moved to a screen of another resolution: the size Windows suggests for it.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends without a close: what the close would save is saved here.
            if (wParam) {
                m_shell.SaveOnExit();
                m_shell.OnDestroy();
            }
            return 0;
        case WM_DESTROY:
            OnDestroy();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

void CMainFrame::OnDestroy() {
    m_replyTimerRunning = false;
    KillTimer(m_hwnd, kReplyTimer);
    KillTimer(m_hwnd, kStatusTimer);
    if (m_deviceNotification != nullptr) {
        UnregisterDeviceNotification(m_deviceNotification);
        m_deviceNotification = nullptr;
    }
    // Settings saved, then the port closed with its event thread ended.
    m_shell.OnDestroy();
}

bool CMainFrame::PreTranslate(MSG& msg) {
    if (m_hwnd == nullptr) {
        return false;
    }
    if (m_accelerators != nullptr && TranslateAcceleratorW(m_hwnd, m_accelerators, &msg)) {
        return true;
    }
    if (m_view == nullptr || !m_view->PreTranslate(msg)) {
        return false;
    }
    // Tab or a mnemonic may have moved the focus to a control scrolled out of sight.
    m_area.ScrollIntoView(GetFocus());
    return true;
}

// ---- commands and status -----------------------------------------------------------------------

void CMainFrame::RefreshCommands() {
    if (m_hwnd == nullptr) {
        return;
    }
    for (const int id : kMenuCommands) {
        const zentrik::CommandState state = m_shell.Command(id);
        const auto shown = m_menuShown.find(id);
        if (shown != m_menuShown.end() &&
            shown->second == std::pair(state.enabled, state.checked)) {
            continue;
        }
        EnableMenuItem(m_menu, id, MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(m_menu, id, MF_BYCOMMAND | (state.checked ? MF_CHECKED : MF_UNCHECKED));
        m_menuShown[id] = {state.enabled, state.checked};
    }
    m_toolBar.Refresh(m_shell);
}

void CMainFrame::ShowMarkers(const zentrik::UploadMarkers& markers) {
    if (m_view != nullptr) {
        m_view->ShowMarkers(markers);
    }
    m_status.SetMarkersText(Wide(markers.paneText));
}

void CMainFrame::ShowStatus() {
    if (m_hwnd == nullptr) {
        return;
    }
    // During the word transfer the panes are shown at most every kRepaintMs.
    if (!m_shell.Transferring()) {
        RefreshStatusPanes();
        return;
    }
    if (m_statusRefreshPending) {
        return;
    }
    const ULONGLONG elapsed = GetTickCount64() - m_lastStatusRefresh;
    if (elapsed >= kRepaintMs) {
        RefreshStatusPanes();
    } else {
        m_statusRefreshPending = true;
        SetTimer(m_hwnd, kStatusTimer, static_cast<UINT>(kRepaintMs - elapsed), nullptr);
    }
}

void CMainFrame::RefreshStatusPanes() {
    if (m_statusRefreshPending) {
        KillTimer(m_hwnd, kStatusTimer);
        m_statusRefreshPending = false;
    }
    m_status.SetTexts(Wide(m_shell.StatusText()), Wide(m_shell.StatisticsText()));
    m_lastStatusRefresh = GetTickCount64();
}

void CMainFrame::CommitPendingInput() {
    if (m_view != nullptr && IsWindow(m_view->Hwnd())) {
        m_view->CommitPendingEdit();
    }
}

bool CMainFrame::IsBarVisible(FrameBar bar) const {
    return Shown(bar == FrameBar::ToolBar ? m_toolBar.Hwnd() : m_status.Hwnd());
}

void CMainFrame::SetBarVisible(FrameBar bar, bool visible) {
    ::ShowWindow(bar == FrameBar::ToolBar ? m_toolBar.Hwnd() : m_status.Hwnd(),
                 visible ? SW_SHOWNA : SW_HIDE);
    LayOut();
}

void CMainFrame::OpenWebSite(std::string_view address) {
    const std::wstring wide = Wide(address);
    if (m_openWebSite) {
        m_openWebSite(wide);
        return;
    }
    ShellExecuteW(m_hwnd, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CMainFrame::OpenInBrowser(const std::string& path) {
    // The file's own program for .html pages: the default browser.
    OpenWebSite(path);
}

// ---- port notifications and timers ------------------------------------------------------------

void CMainFrame::PostPortEvent(std::uintptr_t wParam) {
    // On the port's event thread: the window exists from before the port opens until after
    // the thread has been joined (OnDestroy).
    PostMessageW(m_hwnd, zentrik::WM_PORT_EVENT, wParam, 0);
}

void CMainFrame::StartReplyTimer(unsigned milliseconds) {
    // Setting the timer again restarts its interval.
    SetTimer(m_hwnd, kReplyTimer, milliseconds, nullptr);
    m_replyTimerRunning = true;
}

void CMainFrame::StopReplyTimer() {
    // The window timer itself is left to tick once more and is killed then: during a firmware
    // transfer every echo stops the timer and the next word starts it again at once, and one
    // call to the system per word instead of two keeps the window's transfer as quick as the
    // command-line tool's.
    m_replyTimerRunning = false;
}

// ---- closing -----------------------------------------------------------------------------------

void CMainFrame::EndModalsForClose() {
    m_modals.EndAll();
}

void CMainFrame::PostClose() {
    PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
}

// ---- boxes and dialogs -------------------------------------------------------------------------

std::optional<MessageAnswer> CMainFrame::ShowBox(const BoxRequest& request) {
    const HWND owner = ModalOwner();
    ModalScope scope(m_modals, ModalTracker::Ending::EndDialog);
    if (!request.acceptButton.empty()) {
        return zentrik::win32::CChoiceBox(request).DoModal(m_instance, owner);
    }
    return zentrik::win32::RunMessageBox(owner, request);
}

void CMainFrame::RunNotice(zentrik::NoticeCountdown& countdown) {
    const HWND owner = ModalOwner();
    ModalScope scope(m_modals, ModalTracker::Ending::EndDialog);
    CNoticeDlg notice(countdown);
    notice.ShowNotice(m_instance, owner, m_noticeTickMs);
}

void CMainFrame::RunProgress(zentrik::UpgradeProgress& progress,
                             zentrik::FirmwareUnitSource& source) {
    const HWND owner = ModalOwner();
    ModalScope scope(m_modals, ModalTracker::Ending::Never);
    m_progressDlg.RunUpgrade(m_instance, owner, progress, source);
}

void CMainFrame::ShowProgress() {
    m_progressDlg.ShowProgress();
}

void CMainFrame::RunAbout() {
    const HWND owner = ModalOwner();
    ModalScope scope(m_modals, ModalTracker::Ending::EndDialog);
    CAboutDlg about([this] { OpenWebSite(texts::kWebSiteAddress); });
    about.DoModal(m_instance, owner, m_dpi);
}

std::optional<std::string> CMainFrame::ChooseFileToOpen(std::string_view title,
                                                        std::string_view filterName,
                                                        std::string_view pattern) {
    const HWND owner = ModalOwner();
    ModalScope scope(m_modals, ModalTracker::Ending::Cancel);
    return zentrik::win32::ChooseExistingFile(owner, title, filterName, pattern);
}

std::optional<std::string> CMainFrame::ChooseFileToSave(std::string_view title,
                                                        std::string_view filterName,
                                                        std::string_view pattern,
                                                        std::string_view suggestedName) {
    const HWND owner = ModalOwner();
    ModalScope scope(m_modals, ModalTracker::Ending::Cancel);
    return zentrik::win32::ChooseFileToWrite(owner, title, filterName, pattern, suggestedName);
}

std::optional<std::string> CMainFrame::AskNumber(const zentrik::NumberPrompt& prompt) {
    const HWND owner = ModalOwner();
    ModalScope scope(m_modals, ModalTracker::Ending::EndDialog);
    CNumberPromptDlg dialog(prompt);
    return dialog.DoModal(m_instance, owner);
}

zentrik::HistoryChoice CMainFrame::RunHistory(zentrik::HistoryList& list) {
    const HWND owner = ModalOwner();
    ModalScope scope(m_modals, ModalTracker::Ending::EndDialog);
    CHistoryDlg dialog(list);
    return dialog.DoModal(m_instance, owner);
}

zentrik::CompareChoice CMainFrame::RunCompare(const std::vector<zentrik::ConfigDifference>& rows,
                                              std::vector<bool>* ticked) {
    const HWND owner = ModalOwner();
    ModalScope scope(m_modals, ModalTracker::Ending::EndDialog);
    CCompareDlg dialog(rows);
    const zentrik::CompareChoice choice = dialog.DoModal(m_instance, owner);
    *ticked = dialog.Ticked();
    return choice;
}
