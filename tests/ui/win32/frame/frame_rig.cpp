#include "frame_rig.h"

#include <windows.h>

#include <commctrl.h>

#include <filesystem>

#include "link/discovery/bridge_list.h"
#include "support/test_paths.h"

namespace zentrik::test {

namespace {

// No bridge attached.
class NoBridges : public BridgeList {
  public:
    std::uint32_t Count() override { return 0; }
    bool Open(std::uint32_t, BridgeHandle*) override { return false; }
    bool VendorId(BridgeHandle, std::uint16_t*) override { return false; }
    bool ProductId(BridgeHandle, std::uint16_t*) override { return false; }
    void SerialNumber(BridgeHandle, char*, std::uint8_t*) override {}
    void Close(BridgeHandle) override {}
    int PortNumber(std::uint16_t, std::uint16_t, std::string_view) override { return -1; }
};

struct Waiting {
    std::wstring caption;
    std::function<void(HWND)> action;
    int triesLeft = 0;
    UINT_PTR timer = 0;
};
Waiting g_waiting;

// Polls briefly for the window: it appears within the modal call that runs this timer.
constexpr UINT kPollMs = 20;
constexpr int kTries = 500;

void CALLBACK OnWaitTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = FindDialog(g_waiting.caption);
    if (window == nullptr && --g_waiting.triesLeft > 0) {
        return;
    }
    KillTimer(nullptr, g_waiting.timer);
    g_waiting.timer = 0;
    std::function<void(HWND)> action = std::move(g_waiting.action);
    g_waiting.action = nullptr;
    if (window == nullptr) {
        ADD_FAILURE() << "no window \""
                      << std::string(g_waiting.caption.begin(), g_waiting.caption.end())
                      << "\" came up";
        return;
    }
    action(window);
}

}  // namespace

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

bool Shown(HWND window) {
    return window != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

HWND FindDialog(const std::wstring& caption) {
    struct Search {
        const std::wstring* caption;
        HWND found;
    } search{&caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (IsWindowVisible(window) && TextOf(window) == *s->caption) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WhenShown(const std::wstring& caption, std::function<void(HWND)> action) {
    g_waiting.caption = caption;
    g_waiting.action = std::move(action);
    g_waiting.triesLeft = kTries;
    g_waiting.timer = SetTimer(nullptr, 0, kPollMs, OnWaitTimer);
    ASSERT_NE(g_waiting.timer, 0u);
}

void FrameRig::SetUp() {
    m_iniPath = (std::filesystem::path(MakeTempDir()) / "Zentrik.ini").string();
    m_app = std::make_unique<CQuarnelApp>(GetModuleHandleW(nullptr));
    m_app->Settings().SetPath(m_iniPath);
    ASSERT_TRUE(m_app->InitInstance(std::make_unique<NoBridges>())) << "is DISPLAY set?";
    // A notice counts down only when the test ticks it.
    Frame().SetNoticeTickInterval(USER_TIMER_MAXIMUM);
}

void FrameRig::TearDown() {
    if (g_waiting.timer != 0) {
        KillTimer(nullptr, g_waiting.timer);
        g_waiting = {};
    }
    m_app.reset();
    // What the frame's end left in the queue (its WM_QUIT) must not end the next test's loops.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

void FrameRig::RunUntilClosed() {
    m_app->Run();
}

std::wstring FrameRig::ButtonText(int id) {
    wchar_t text[64] = {};
    SendMessageW(Frame().ToolBar().Hwnd(), TB_GETBUTTONTEXTW, id, reinterpret_cast<LPARAM>(text));
    return text;
}

bool FrameRig::ButtonEnabled(int id) {
    return SendMessageW(Frame().ToolBar().Hwnd(), TB_ISBUTTONENABLED, id, 0) != 0;
}

UINT FrameRig::MenuState(int id) {
    HMENU menu = GetMenu(Hwnd());
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        SendMessageW(Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, i)), i);
    }
    return GetMenuState(menu, id, MF_BYCOMMAND);
}

std::vector<std::wstring> FrameRig::MenuCaptions(HMENU menu) {
    std::vector<std::wstring> captions;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        captions.push_back((info.fType & MFT_SEPARATOR) != 0 ? L"-" : text);
    }
    return captions;
}

}  // namespace zentrik::test
