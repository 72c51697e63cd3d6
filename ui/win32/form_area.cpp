#include "ui/win32/form_area.h"

#include <algorithm>

namespace {

constexpr wchar_t kClassName[] = L"ZentrikFormArea";
// One step of an arrow of a scroll bar, and of a notch of the wheel, in pixels.
constexpr int kLinePixels = 16;

}  // namespace

bool CFormArea::Create(HINSTANCE instance, HWND parent) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        if (RegisterClassExW(&windowClass) == 0) {
            return false;
        }
    }
    // A control parent: Tab from the frame goes on into the form's controls.
    m_hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL, 0,
                             0, 0, 0, parent, nullptr, instance, this);
    return m_hwnd != nullptr;
}

void CFormArea::SetForm(HWND form, SIZE size) {
    m_form = form;
    m_size = size;
    UpdateScrollBars();
}

void CFormArea::UpdateScrollBars() {
    if (m_hwnd == nullptr) {
        return;
    }
    // Twice: a bar that comes takes room from the other direction.
    for (int pass = 0; pass < 2; ++pass) {
        RECT client{};
        GetClientRect(m_hwnd, &client);
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMax = m_size.cx - 1;
        info.nPage = static_cast<UINT>(std::max<LONG>(0, client.right));
        SetScrollInfo(m_hwnd, SB_HORZ, &info, TRUE);
        info.nMax = m_size.cy - 1;
        info.nPage = static_cast<UINT>(std::max<LONG>(0, client.bottom));
        SetScrollInfo(m_hwnd, SB_VERT, &info, TRUE);
    }
    ScrollTo(m_offset.x, m_offset.y);
}

void CFormArea::ScrollTo(int x, int y) {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    m_offset.x = std::clamp(x, 0, std::max<int>(0, m_size.cx - client.right));
    m_offset.y = std::clamp(y, 0, std::max<int>(0, m_size.cy - client.bottom));
    SetScrollPos(m_hwnd, SB_HORZ, m_offset.x, TRUE);
    SetScrollPos(m_hwnd, SB_VERT, m_offset.y, TRUE);
    if (m_form != nullptr) {
        // The form keeps its own size; a window larger than it lets the form fill it.
        const int width = std::max<int>(m_size.cx, client.right);
        const int height = std::max<int>(m_size.cy, client.bottom);
        SetWindowPos(m_form, nullptr, -m_offset.x, -m_offset.y, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CFormArea::ScrollIntoView(HWND control) {
    if (m_hwnd == nullptr || m_form == nullptr || control == nullptr || !IsChild(m_form, control)) {
        return;
    }
    RECT client{};
    GetClientRect(m_hwnd, &client);
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
    // Each direction: move by what sticks out past the far edge, but never so far that the
    // near edge leaves.
    const auto shift = [](LONG nearEdge, LONG farEdge, LONG extent) {
        if (nearEdge < 0) {
            return nearEdge;
        }
        return std::min<LONG>(nearEdge, std::max<LONG>(0, farEdge - extent));
    };
    ScrollTo(m_offset.x + shift(rect.left, rect.right, client.right),
             m_offset.y + shift(rect.top, rect.bottom, client.bottom));
}

void CFormArea::OnScroll(int bar, int code) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(m_hwnd, bar, &info);
    int position = info.nPos;
    switch (code) {
        case SB_LINEUP:
            position -= kLinePixels;
            break;
        case SB_LINEDOWN:
            position += kLinePixels;
            break;
        case SB_PAGEUP:
            position -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            position += static_cast<int>(info.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = info.nTrackPos;
            break;
        case SB_TOP:
            position = 0;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        default:
            return;
    }
    if (bar == SB_HORZ) {
        ScrollTo(position, m_offset.y);
    } else {
        ScrollTo(m_offset.x, position);
    }
}

LRESULT CALLBACK CFormArea::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<CFormArea*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_hwnd = hwnd;
    }
    auto* self = reinterpret_cast<CFormArea*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CFormArea::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            UpdateScrollBars();
            return 0;
        case WM_HSCROLL:
            OnScroll(SB_HORZ, LOWORD(wParam));
            return 0;
        case WM_VSCROLL:
            OnScroll(SB_VERT, LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL: {
            const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
            ScrollTo(m_offset.x, m_offset.y - notches * 3 * kLinePixels);
            return 0;
        }
        default:
            return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}
