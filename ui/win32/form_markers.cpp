#include "ui/win32/form_markers.h"

#include <commctrl.h>

#include <algorithm>

#include "editor/control_ids.h"
#include "editor/form_controls.h"
#include "ui/win32/wide_text.h"

using namespace zentrik;
using zentrik::win32::Wide;

namespace {

// The colour of a value the controller must not be given.
constexpr COLORREF kOutOfRangeColour = RGB(0xD0, 0x1C, 0x1C);
// After a stage's name in the stage list.
constexpr wchar_t kStageDot[] = L" \u2022";
// Widest tip, in average characters: the graph's lists one point a line.
constexpr int kTipChars = 60;

bool Visible(HWND window) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

TEXTMETRICW Metrics(HWND window, const std::wstring& text, SIZE* extent) {
    HDC dc = GetDC(window);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), extent);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return metrics;
}

}  // namespace

CFormMarkers::~CFormMarkers() {
    if (m_tip != nullptr && IsWindow(m_tip)) {
        DestroyWindow(m_tip);
    }
}

void CFormMarkers::Create(HINSTANCE instance, HWND form) {
    m_form = form;
    m_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, instance, nullptr);
    TEXTMETRICW metrics{};
    SIZE unused{};
    metrics = Metrics(form, L"", &unused);
    // Lines break at '\n' only once the tip has a width.
    SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, kTipChars * metrics.tmAveCharWidth);
    for (const int id : MarkableControls()) {
        HWND dot = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | SS_OWNERDRAW | SS_NOTIFY, 0, 0,
                                   0, 0, form, nullptr, instance, nullptr);
        m_dots[id] = dot;
        HWND place = PlaceOf(id);
        if (place != nullptr && place != GetDlgItem(form, id)) {
            // A label passes the mouse to the form unless it notifies; the tip needs it.
            SetWindowLongPtrW(place, GWL_STYLE, GetWindowLongPtrW(place, GWL_STYLE) | SS_NOTIFY);
            FitToText(place);
        }
        for (HWND window : {dot, place}) {
            if (window == nullptr) {
                continue;
            }
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = form;
            tool.uId = reinterpret_cast<UINT_PTR>(window);
            tool.lpszText = const_cast<wchar_t*>(L"");
            SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

HWND CFormMarkers::PlaceOf(int id) const {
    const MarkerPlace place = MarkerPlaceOf(id);
    if (place.name == nullptr) {
        return GetDlgItem(m_form, place.id);
    }
    // The fixed labels have no id of their own: they are found by their captions.
    for (const FormControlSpec& item : FormControls()) {
        if (item.name == nullptr || std::string_view(item.name) != place.name) {
            continue;
        }
        const std::wstring caption = Wide(item.caption);
        for (HWND child = GetWindow(m_form, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (WindowText(child) == caption) {
                return child;
            }
        }
    }
    return nullptr;
}

void CFormMarkers::FitToText(HWND label) const {
    // A label reaches beyond its text; a dot standing there would be painted over. It keeps
    // only its text's width, its text where it was.
    wchar_t className[16] = {};
    GetClassNameW(label, className, 16);
    const LONG type = GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK;
    if (_wcsicmp(className, L"Static") != 0 || (type != SS_RIGHT && type != SS_LEFT)) {
        return;
    }
    RECT r{};
    GetWindowRect(label, &r);
    MapWindowPoints(HWND_DESKTOP, m_form, reinterpret_cast<POINT*>(&r), 2);
    SIZE extent{};
    Metrics(label, WindowText(label), &extent);
    const int width = std::min<int>(r.right - r.left, extent.cx + 1);
    const int left =
        type == SS_RIGHT ? static_cast<int>(r.right) - width : static_cast<int>(r.left);
    SetWindowPos(label, nullptr, left, r.top, width, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT CFormMarkers::DotPlace(HWND place) const {
    RECT r{};
    GetWindowRect(place, &r);
    MapWindowPoints(HWND_DESKTOP, m_form, reinterpret_cast<POINT*>(&r), 2);
    wchar_t className[16] = {};
    GetClassNameW(place, className, 16);
    const std::wstring text = WindowText(place);
    SIZE extent{};
    const TEXTMETRICW metrics = Metrics(place, text, &extent);
    const int line = std::min<int>(metrics.tmHeight, r.bottom - r.top);
    const int size = std::max<int>(4, metrics.tmHeight / 2);
    const int gap = std::max<int>(1, size / 3);
    // Left of the text: a right-aligned label's text ends at its right edge, the others'
    // start at their left.
    const bool right = _wcsicmp(className, L"Static") == 0 &&
                       (GetWindowLongW(place, GWL_STYLE) & SS_TYPEMASK) == SS_RIGHT;
    const int textLeft = right ? static_cast<int>(r.right - extent.cx) : static_cast<int>(r.left);
    int left = textLeft - gap - size;
    const int top = r.top + (line - size) / 2;
    // Where a group's frame runs there (the graph's "%"), after the text instead.
    for (HWND child = GetWindow(m_form, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t otherClass[16] = {};
        GetClassNameW(child, otherClass, 16);
        if (_wcsicmp(otherClass, L"Button") != 0 ||
            (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
            continue;
        }
        RECT group{};
        GetWindowRect(child, &group);
        MapWindowPoints(HWND_DESKTOP, m_form, reinterpret_cast<POINT*>(&group), 2);
        if (group.left <= r.left && r.right <= group.right && left <= group.left + gap) {
            left = textLeft + extent.cx + gap;
        }
    }
    return RECT{left, top, left + size, top + size};
}

void CFormMarkers::SetTip(HWND window, const std::wstring& text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_form;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    std::wstring copy = text;
    tool.lpszText = copy.data();
    SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CFormMarkers::Show(const UploadMarkers& markers, int stage) {
    if (m_form == nullptr) {
        return;
    }
    for (const auto& [id, dot] : m_dots) {
        const ControlMarker& marker = markers.Marker(id, stage);
        HWND place = PlaceOf(id);
        const bool visible = marker.kind != MarkerKind::None && place != nullptr && Visible(place);
        const RECT where = visible ? DotPlace(place) : RECT{};
        Shown& shown = m_shown[id];
        if (shown.marker == marker && shown.visible == visible && EqualRect(&shown.place, &where)) {
            continue;
        }
        const bool redraw = shown.marker.kind != marker.kind;
        shown = {marker, visible, where};
        m_kinds[dot] = marker.kind;
        const std::wstring tip = Wide(marker.tip);
        SetTip(dot, tip);
        if (place != nullptr) {
            SetTip(place, tip);
        }
        if (visible) {
            SetWindowPos(dot, HWND_TOP, where.left, where.top, where.right - where.left,
                         where.bottom - where.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
            if (redraw) {
                InvalidateRect(dot, nullptr, TRUE);
            }
        } else {
            ShowWindow(dot, SW_HIDE);
        }
    }
    // The stage list's entries, with a dot after a stage that has marks.
    HWND list = GetDlgItem(m_form, control_ids::kStage);
    const std::vector<std::string> names = ListEntries(control_ids::kStage);
    for (std::size_t s = 0; s < m_stages.size() && s < names.size(); ++s) {
        const MarkerKind kind = markers.stages[s];
        if (kind == m_stages[s]) {
            continue;
        }
        m_stages[s] = kind;
        const std::wstring text = Wide(names[s]) + (kind == MarkerKind::None ? L"" : kStageDot);
        const LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
        SendMessageW(list, CB_DELETESTRING, s, 0);
        SendMessageW(list, CB_INSERTSTRING, s, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    }
}

bool CFormMarkers::Draw(const DRAWITEMSTRUCT& item) {
    const auto it = m_kinds.find(item.hwndItem);
    if (it == m_kinds.end()) {
        return false;
    }
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const COLORREF colour =
        it->second == MarkerKind::OutOfRange ? kOutOfRangeColour : GetSysColor(COLOR_HIGHLIGHT);
    HBRUSH brush = CreateSolidBrush(colour);
    const HGDIOBJ oldBrush = SelectObject(item.hDC, brush);
    const HGDIOBJ oldPen = SelectObject(item.hDC, GetStockObject(NULL_PEN));
    // A null pen leaves the last row and column out.
    Ellipse(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right + 1,
            item.rcItem.bottom + 1);
    SelectObject(item.hDC, oldPen);
    SelectObject(item.hDC, oldBrush);
    DeleteObject(brush);
    return true;
}

HWND CFormMarkers::Dot(int id) const {
    const auto it = m_dots.find(id);
    return it == m_dots.end() ? nullptr : it->second;
}

std::wstring CFormMarkers::Tip(int id) const {
    wchar_t text[1024] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_form;
    tool.uId = reinterpret_cast<UINT_PTR>(Dot(id));
    tool.lpszText = text;
    SendMessageW(m_tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    return text;
}
