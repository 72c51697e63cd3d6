#include "ui/win32/status_panes.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/res/resource_ids.h"

namespace {

// Room between the two texts, in average characters.
constexpr int kGapChars = 3;
// Statistics narrower than this many characters say nothing useful and are left out.
constexpr int kShortestStatisticsChars = 8;

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

CStatusPanes::~CStatusPanes() {
    if (m_hwnd != nullptr && IsWindow(m_hwnd)) {
        DestroyWindow(m_hwnd);
    }
}

bool CStatusPanes::Create(HINSTANCE instance, HWND parent) {
    m_hwnd = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP, 0, 0, 0, 0,
                             parent, reinterpret_cast<HMENU>(IDW_STATUS_BAR), instance, nullptr);
    if (m_hwnd == nullptr) {
        return false;
    }
    int right = -1;  // one pane, to the right edge
    SendMessageW(m_hwnd, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
    SendMessageW(m_hwnd, SB_SETTEXTW, SBT_OWNERDRAW, 0);
    return true;
}

int CStatusPanes::LayOut() {
    if (m_hwnd == nullptr || !(GetWindowLongW(m_hwnd, GWL_STYLE) & WS_VISIBLE)) {
        return 0;
    }
    SendMessageW(m_hwnd, WM_SIZE, 0, 0);
    m_parts = 0;
    SetParts();
    // The bar repaints only what a new width uncovers, but the statistics stand at its right
    // edge and move with it: the whole pane is drawn again, or their old copy stays behind.
    InvalidateRect(m_hwnd, nullptr, TRUE);
    RECT rect{};
    GetWindowRect(m_hwnd, &rect);
    return rect.bottom - rect.top;
}

void CStatusPanes::SetTexts(const std::wstring& status, const std::wstring& statistics) {
    if (status == m_status && statistics == m_statistics) {
        return;
    }
    const bool statusChanged = status != m_status;
    m_status = status;
    m_statistics = statistics;
    if (statusChanged && !m_markers.empty()) {
        SetParts();
    }
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CStatusPanes::SetMarkersText(const std::wstring& text) {
    if (text == m_markers || m_hwnd == nullptr) {
        return;
    }
    m_markers = text;
    m_parts = 0;  // the markers' part shows the new text
    SetParts();
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void CStatusPanes::SetParts() {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    int width = 0;
    if (!m_markers.empty()) {
        HDC dc = GetDC(m_hwnd);
        const HGDIOBJ previous =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const int grip = (GetWindowLongW(m_hwnd, GWL_STYLE) & SBARS_SIZEGRIP) != 0
                             ? GetSystemMetrics(SM_CXVSCROLL)
                             : 0;
        const int wanted = TextWidth(dc, m_markers) + 2 * metrics.tmAveCharWidth + grip;
        // The status text keeps its room; the markers' pane takes what is left, up to what it
        // wants, and is left out where too little is left for it to say anything.
        const int left = static_cast<int>(client.right) - TextWidth(dc, m_status) -
                         kGapChars * metrics.tmAveCharWidth;
        width = std::min(wanted, left);
        if (width < kShortestStatisticsChars * metrics.tmAveCharWidth + grip) {
            width = 0;
        }
        SelectObject(dc, previous);
        ReleaseDC(m_hwnd, dc);
    }
    int rights[2] = {static_cast<int>(client.right) - width, -1};
    const int parts = width > 0 ? 2 : 1;
    if (parts == 1) {
        rights[0] = -1;
    }
    if (parts == m_parts && rights[0] == m_firstPartRight) {
        return;
    }
    m_parts = parts;
    m_firstPartRight = rights[0];
    SendMessageW(m_hwnd, SB_SETPARTS, static_cast<WPARAM>(parts), reinterpret_cast<LPARAM>(rights));
    SendMessageW(m_hwnd, SB_SETTEXTW, SBT_OWNERDRAW, 0);
    if (parts == 2) {
        SendMessageW(m_hwnd, SB_SETTEXTW, kMarkersPart,
                     reinterpret_cast<LPARAM>(m_markers.c_str()));
    }
}

void CStatusPanes::Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT area = item.rcItem;
    InflateRect(&area, -2, 0);
    // Clear of the size grip in the bar's corner, when this pane reaches it.
    if (m_parts < 2 && (GetWindowLongW(m_hwnd, GWL_STYLE) & SBARS_SIZEGRIP) != 0) {
        area.right -= GetSystemMetrics(SM_CXVSCROLL);
    }
    const int saved = SaveDC(dc);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));

    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int total = area.right - area.left;
    const int gap = kGapChars * metrics.tmAveCharWidth;
    const int statusWidth = std::min(total, TextWidth(dc, m_status));
    const int rest = total - statusWidth - gap;
    m_statisticsShown =
        !m_statistics.empty() && rest >= kShortestStatisticsChars * metrics.tmAveCharWidth;
    RECT statusArea = area;
    if (m_statisticsShown) {
        const int statisticsWidth = std::min(rest, TextWidth(dc, m_statistics));
        RECT statisticsArea = area;
        statisticsArea.left = area.right - statisticsWidth;
        DrawTextW(dc, m_statistics.c_str(), static_cast<int>(m_statistics.size()), &statisticsArea,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        statusArea.right = statisticsArea.left - gap;
    }
    DrawTextW(dc, m_status.c_str(), static_cast<int>(m_status.size()), &statusArea,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    RestoreDC(dc, saved);
}
