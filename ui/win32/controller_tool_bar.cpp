#include "ui/win32/controller_tool_bar.h"

#include "shell/frame_shell.h"
#include "shell/shell_texts.h"
#include "ui/win32/res/resource_ids.h"
#include "ui/win32/res/resource_tables.h"
#include "ui/win32/screen_dpi.h"
#include "ui/win32/wide_text.h"

namespace texts = zentrik::shell_texts;
namespace res = zentrik::win32_res;

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Images added to an image list at a time beyond the first four.
constexpr int kImageListGrowth = 5;

const texts::CommandText* ButtonCommand(int id) {
    for (const texts::CommandText* command :
         {&texts::kConnection, &texts::kUpload, &texts::kDownload, &texts::kControllerInfo}) {
        if (command->id == id) {
            return command;
        }
    }
    return nullptr;
}

HIMAGELIST LoadStrip(HINSTANCE instance, int id, int dpi) {
    const bool twice = zentrik::win32::UsesDoubleSize(dpi);
    const int width = res::kToolbarImageWidth * (twice ? res::kDoubleSizeScale : 1);
    const int bitmap = twice ? id + IDB_DOUBLE_SIZE_OFFSET : id;
    const COLORREF mask = RGB(res::kToolbarMaskColour.red, res::kToolbarMaskColour.green,
                              res::kToolbarMaskColour.blue);
    return ImageList_LoadImageW(instance, MAKEINTRESOURCEW(bitmap), width, kImageListGrowth, mask,
                                IMAGE_BITMAP, LR_CREATEDIBSECTION);
}

}  // namespace

CControllerToolBar::~CControllerToolBar() {
    if (m_hwnd != nullptr && IsWindow(m_hwnd)) {
        DestroyWindow(m_hwnd);
    }
    if (m_images != nullptr) {
        ImageList_Destroy(m_images);
    }
    if (m_disabledImages != nullptr) {
        ImageList_Destroy(m_disabledImages);
    }
}

bool CControllerToolBar::Create(HINSTANCE instance, HWND parent, int dpi) {
    m_hwnd = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT |
                                 TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDW_CONTROLLER_TOOLBAR),
                             instance, nullptr);
    if (m_hwnd == nullptr) {
        return false;
    }
    SetWindowSubclass(m_hwnd, SubclassProc, kSubclassId, 0);
    SendMessageW(m_hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    // The images: their failure leaves buttons with text only.
    m_images = LoadStrip(instance, IDB_TOOLBAR, dpi);
    m_disabledImages = LoadStrip(instance, IDB_TOOLBAR_DISABLED, dpi);
    const int scale = zentrik::win32::UsesDoubleSize(dpi) ? res::kDoubleSizeScale : 1;
    SendMessageW(m_hwnd, TB_SETBITMAPSIZE, 0,
                 MAKELPARAM(res::kToolbarImageWidth * scale, res::kToolbarImageHeight * scale));
    SendMessageW(m_hwnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    SendMessageW(m_hwnd, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(m_disabledImages));

    std::vector<std::wstring> labels;
    for (const int id : res::kToolbarButtons) {
        labels.push_back(zentrik::win32::Wide(ButtonCommand(id)->buttonText));
    }
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (std::size_t i = 0; i < res::kToolbarButtons.size(); ++i) {
        TBBUTTON button{};
        button.iBitmap = image++;
        button.idCommand = res::kToolbarButtons[i];
        // Disabled until the shell says otherwise: nothing is connected before the first scan.
        button.fsState = 0;
        button.fsStyle = BTNS_BUTTON;
        button.iString = reinterpret_cast<INT_PTR>(labels[i].c_str());
        buttons.push_back(button);
        m_shown.push_back({button.idCommand, false, labels[i]});
    }
    SendMessageW(m_hwnd, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    // Every button as large as the connection button with its longest text.
    RECT first{};
    SendMessageW(m_hwnd, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(m_hwnd, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(first.right - first.left, first.bottom - first.top));
    SendMessageW(m_hwnd, TB_AUTOSIZE, 0, 0);
    return true;
}

int CControllerToolBar::LayOut() {
    if (m_hwnd == nullptr || !(GetWindowLongW(m_hwnd, GWL_STYLE) & WS_VISIBLE)) {
        return 0;
    }
    SendMessageW(m_hwnd, TB_AUTOSIZE, 0, 0);
    RECT rect{};
    GetWindowRect(m_hwnd, &rect);
    return rect.bottom - rect.top;
}

int CControllerToolBar::ContentWidth() const {
    if (m_hwnd == nullptr || !(GetWindowLongW(m_hwnd, GWL_STYLE) & WS_VISIBLE)) {
        return 0;
    }
    SIZE size{};
    SendMessageW(m_hwnd, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    return size.cx;
}

void CControllerToolBar::Refresh(const zentrik::FrameShell& shell) {
    for (Shown& shown : m_shown) {
        const zentrik::CommandState state = shell.Command(shown.id);
        if (state.enabled != shown.enabled) {
            SendMessageW(m_hwnd, TB_ENABLEBUTTON, shown.id, MAKELPARAM(state.enabled, 0));
            shown.enabled = state.enabled;
        }
        if (!state.text.empty()) {
            std::wstring text = zentrik::win32::Wide(state.text);
            if (text != shown.text) {
                TBBUTTONINFOW info{};
                info.cbSize = sizeof info;
                info.dwMask = TBIF_TEXT;
                info.pszText = text.data();
                SendMessageW(m_hwnd, TB_SETBUTTONINFOW, shown.id, reinterpret_cast<LPARAM>(&info));
                shown.text = std::move(text);
            }
        }
    }
}

const wchar_t* CControllerToolBar::TipFor(int id) {
    static std::wstring tips[res::kToolbarButtons.size()];
    for (std::size_t i = 0; i < res::kToolbarButtons.size(); ++i) {
        if (res::kToolbarButtons[i] == id) {
            if (tips[i].empty()) {
                tips[i] = zentrik::win32::Wide(ButtonCommand(id)->tip);
            }
            return tips[i].c_str();
        }
    }
    return nullptr;
}

LRESULT CALLBACK CControllerToolBar::SubclassProc(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR /*id*/,
                                                  DWORD_PTR /*data*/) {
    switch (message) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            return 0;  // no customising, no context menu
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}
