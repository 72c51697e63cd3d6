#include "ui/win32/quarnel_app.h"

#include <commctrl.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>

#include <gdiplus.h>

#include "ui/win32/main_frame.h"

namespace {

// Messages after which the commands' states are brought up to date once the queue is empty.
bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEMOVE) ||
           message == WM_NCLBUTTONUP;
}

}  // namespace

CQuarnelApp::CQuarnelApp(HINSTANCE instance) : m_instance(instance) {}

CQuarnelApp::~CQuarnelApp() {
    ExitInstance();
    if (m_gdiplusToken != 0) {
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
    }
}

bool CQuarnelApp::InitInstance(std::unique_ptr<zentrik::BridgeList> bridges) {
    Gdiplus::GdiplusStartupInput input;  // version 1, everything else default
    if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
        m_gdiplusToken = 0;
        return false;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES |
                                                       ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const bool started = m_app.InitInstance(
        [this, &bridges](zentrik::CQuarnelDoc& doc,
                         zentrik::AppSettings& settings) -> std::unique_ptr<zentrik::FrameWindow> {
            if (bridges) {
                return std::make_unique<CMainFrame>(m_instance, doc, settings, std::move(bridges));
            }
            return std::make_unique<CMainFrame>(m_instance, doc, settings);
        });
    return started && MainFrame() != nullptr && MainFrame()->Hwnd() != nullptr;
}

CMainFrame* CQuarnelApp::MainFrame() const {
    return static_cast<CMainFrame*>(m_app.Frame());
}

void CQuarnelApp::Dispatch(MSG& msg) {
    CMainFrame* frame = MainFrame();
    if (frame != nullptr && frame->PreTranslate(msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int CQuarnelApp::Run() {
    bool idlePending = true;
    MSG msg{};
    for (;;) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // The queue is empty: once after input, every command's state again; then wait.
            if (idlePending) {
                idlePending = false;
                if (CMainFrame* frame = MainFrame()) {
                    frame->OnIdle();
                }
                continue;
            }
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == -1) {
                return 1;
            }
            if (got == 0) {
                break;
            }
        } else if (msg.message == WM_QUIT) {
            break;
        }
        if (IsInput(msg.message)) {
            idlePending = true;
        }
        Dispatch(msg);
    }
    return static_cast<int>(msg.wParam);
}
