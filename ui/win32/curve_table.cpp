#include "ui/win32/curve_table.h"

#include <commctrl.h>

#include <algorithm>

#include "editor/editor_texts.h"
#include "ui/win32/wide_text.h"

namespace zentrik::win32 {

namespace {

constexpr UINT_PTR kListSubclass = 1079;
constexpr UINT_PTR kEditorSubclass = 1080;
constexpr int kNumberColumn = 0;
constexpr int kXColumn = 1;
constexpr int kPercentColumn = 2;
// The number's and the percent's columns in dialog units (the list stands in dialog units
// beside the form); the x values' column takes the rest of the list's width.
constexpr int kNumberWidthDlu = 14;
constexpr int kPercentWidthDlu = 24;
// Posted to the list when the field loses the focus: the field is ended out of its own message.
constexpr UINT kEndEditMessage = WM_APP + 1;

std::wstring ItemText(HWND list, int row, int column) {
    wchar_t text[32] = {};
    ListView_GetItemText(list, row, column, text, static_cast<int>(std::size(text)));
    return text;
}

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

CCurveTable::CCurveTable(HWND list, const CurveGraphModel& model, TypedHandler typed,
                         SelectedHandler selected)
    : m_list(list), m_model(model), m_typed(std::move(typed)), m_selected(std::move(selected)) {
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT units{0, 0, kNumberWidthDlu, kPercentWidthDlu};
    MapDialogRect(GetParent(m_list), &units);
    RECT inside{};
    GetClientRect(m_list, &inside);
    const int numberWidth = units.right;
    const int percentWidth = units.bottom;
    const int widths[] = {numberWidth,
                          std::max(1, static_cast<int>(inside.right) - numberWidth - percentWidth),
                          percentWidth};
    // Filled without redrawing: the list otherwise lays out its header again for each column
    // and row. Ending that shows a hidden list by its style, which is put back.
    const LONG style = GetWindowLongW(m_list, GWL_STYLE);
    SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    const std::wstring headings[] = {L"", L"", Wide(editor_texts::kTablePercentHeader)};
    for (int column = kNumberColumn; column <= kPercentColumn; ++column) {
        std::wstring heading = headings[column];
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        info.fmt = column == kNumberColumn ? LVCFMT_LEFT : LVCFMT_RIGHT;
        info.cx = widths[column];
        info.pszText = heading.data();
        info.iSubItem = column;
        ListView_InsertColumn(m_list, column, &info);
    }
    for (int row = 0; row < kPercentPoints; ++row) {
        std::wstring number = std::to_wstring(row + editor_texts::kTableFirstRowNumber);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = number.data();
        ListView_InsertItem(m_list, &item);
        m_texts[static_cast<std::size_t>(row)][kNumberColumn] = number;
    }
    SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    if ((style & WS_VISIBLE) == 0) {
        SetWindowLongW(m_list, GWL_STYLE, GetWindowLongW(m_list, GWL_STYLE) & ~WS_VISIBLE);
    }
    SetWindowSubclass(m_list, ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
}

CCurveTable::~CCurveTable() {
    if (m_editor != nullptr) {
        RemoveWindowSubclass(m_editor, EditorProc, kEditorSubclass);
    }
    if (IsWindow(m_list)) {
        RemoveWindowSubclass(m_list, ListProc, kListSubclass);
    }
}

void CCurveTable::SetText(int row, int column, const std::wstring& text) {
    // Only what changed, so that a drag repaints a cell or two.
    std::wstring& shown = m_texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    if (shown != text) {
        shown = text;
        ListView_SetItemText(m_list, row, column, shown.data());
    }
}

void CCurveTable::Sync(const std::string& xName, bool force) {
    if (const std::wstring name = Wide(xName); name != m_xName) {
        m_xName = name;
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT;
        info.pszText = m_xName.data();
        ListView_SetColumn(m_list, kXColumn, &info);
    }
    if (m_shownOnce && m_model.Revision() == m_shownRevision && !force) {
        return;
    }
    m_shownOnce = true;
    m_shownRevision = m_model.Revision();
    m_showing = true;
    const Curve& percents = m_model.GetPercents();
    const PointSet& selection = m_model.Selection();
    for (int row = 0; row < kPercentPoints; ++row) {
        SetText(row, kXColumn, Wide(m_model.PointXText(row)));
        SetText(row, kPercentColumn, std::to_wstring(percents[static_cast<std::size_t>(row)]));
        const bool selected = selection.test(static_cast<std::size_t>(row));
        if ((ListView_GetItemState(m_list, row, LVIS_SELECTED) != 0) != selected) {
            ListView_SetItemState(m_list, row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
        }
    }
    m_showing = false;
}

bool CCurveTable::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != m_list) {
        return false;
    }
    switch (header.code) {
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if (m_showing || !(change.uChanged & LVIF_STATE) ||
                ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) == 0) {
                return true;
            }
            PointSet rows;
            for (int row = 0; row < kPercentPoints; ++row) {
                rows.set(static_cast<std::size_t>(row),
                         ListView_GetItemState(m_list, row, LVIS_SELECTED) != 0);
            }
            if (rows != m_model.Selection() && m_selected) {
                m_selected(rows);
            }
            return true;
        }
        case NM_CUSTOMDRAW: {
            // Selected rows in the highlight even while the list has no focus, as the graph
            // shows the selection all the time.
            auto& draw =
                const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
            LRESULT result = CDRF_DODEFAULT;
            if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
                result = CDRF_NOTIFYITEMDRAW;
            } else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
                       ListView_GetItemState(m_list, static_cast<int>(draw.nmcd.dwItemSpec),
                                             LVIS_SELECTED) != 0) {
                draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
                draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
                draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
            }
            SetWindowLongPtrW(GetParent(m_list), DWLP_MSGRESULT, result);
            return true;
        }
        case NM_DBLCLK: {
            const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
            if (click.iItem >= 0) {
                BeginEdit(click.iItem, nullptr);
            }
            return true;
        }
        default:
            return false;
    }
}

int CCurveTable::FocusedRow() const {
    const int row = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
    return row >= 0 ? row : 0;
}

void CCurveTable::BeginEdit(int row, const std::wstring* firstChar) {
    if (m_editor != nullptr || row < 0 || row >= kPercentPoints) {
        return;
    }
    ListView_EnsureVisible(m_list, row, FALSE);
    ListView_SetItemState(m_list, row, LVIS_FOCUSED, LVIS_FOCUSED);
    RECT cell{};
    ListView_GetSubItemRect(m_list, row, kPercentColumn, LVIR_LABEL, &cell);
    const std::wstring text =
        firstChar != nullptr ? *firstChar : ItemText(m_list, row, kPercentColumn);
    m_editor = CreateWindowExW(
        0, WC_EDITW, text.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_RIGHT | ES_AUTOHSCROLL,
        cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, m_list, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_list, GWLP_HINSTANCE)), nullptr);
    if (m_editor == nullptr) {
        return;
    }
    m_editRow = row;
    SendMessageW(m_editor, WM_SETFONT, SendMessageW(m_list, WM_GETFONT, 0, 0), FALSE);
    SetWindowSubclass(m_editor, EditorProc, kEditorSubclass, reinterpret_cast<DWORD_PTR>(this));
    SetFocus(m_editor);
    if (firstChar != nullptr) {
        SendMessageW(m_editor, EM_SETSEL, text.size(), text.size());
    } else {
        SendMessageW(m_editor, EM_SETSEL, 0, -1);
    }
}

void CCurveTable::EndEdit(bool commit, int next) {
    if (m_editor == nullptr || m_ending) {
        return;
    }
    m_ending = true;
    HWND editor = m_editor;
    const int row = m_editRow;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(editor)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(editor, text.data(), static_cast<int>(text.size()))));
    RemoveWindowSubclass(editor, EditorProc, kEditorSubclass);
    m_editor = nullptr;
    m_editRow = -1;
    if (GetFocus() == editor) {
        SetFocus(m_list);
    }
    DestroyWindow(editor);
    m_ending = false;
    if (commit && m_typed) {
        m_typed(row, Utf8(text));
    }
    if (next >= 0 && next < kPercentPoints) {
        BeginEdit(next, nullptr);
    }
}

LRESULT CALLBACK CCurveTable::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR /*id*/, DWORD_PTR self) {
    auto* table = reinterpret_cast<CCurveTable*>(self);
    switch (message) {
        case WM_GETDLGCODE: {
            // Enter opens a point's percent, rather than going to the dialog's default button.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            LRESULT code = DefSubclassProc(hwnd, message, wParam, lParam);
            if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_F2) {
                table->BeginEdit(table->FocusedRow(), nullptr);
                return 0;
            }
            break;
        case WM_CHAR: {
            const auto c = static_cast<wchar_t>(wParam);
            if ((c >= L'0' && c <= L'9') || c == L'-' || c == L'+' || c == L'.' || c == L',') {
                const std::wstring first(1, c);
                table->BeginEdit(table->FocusedRow(), &first);
                return 0;
            }
            if (c == L'\r') {
                return 0;  // the Enter that opened the field
            }
            break;
        }
        case kEndEditMessage:
            table->EndEdit(true, -1);
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, ListProc, kListSubclass);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CCurveTable::EditorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR /*id*/, DWORD_PTR self) {
    auto* table = reinterpret_cast<CCurveTable*>(self);
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, message, wParam, lParam);
        case WM_KEYDOWN: {
            const int row = table->m_editRow;
            switch (wParam) {
                case VK_RETURN:
                    table->EndEdit(true, -1);
                    return 0;
                case VK_ESCAPE:
                    table->EndEdit(false, -1);
                    return 0;
                case VK_TAB:
                    table->EndEdit(true, KeyDown(VK_SHIFT) ? row - 1 : row + 1);
                    return 0;
                case VK_DOWN:
                    table->EndEdit(true, row + 1);
                    return 0;
                case VK_UP:
                    table->EndEdit(true, row - 1);
                    return 0;
                default:
                    break;
            }
            break;
        }
        case WM_CHAR:
            if (wParam == L'\r' || wParam == L'\t' || wParam == 0x1B) {
                return 0;  // taken by the key itself: no beep
            }
            break;
        case WM_KILLFOCUS:
            PostMessageW(table->m_list, kEndEditMessage, 0, 0);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace zentrik::win32
