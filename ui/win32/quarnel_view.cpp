#include "ui/win32/quarnel_view.h"

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config/controller_config.h"
#include "editor/control_ids.h"
#include "editor/editor_texts.h"
#include "editor/form_controls.h"
#include "ui/win32/curve_graph.h"
#include "ui/win32/curve_table.h"
#include "ui/win32/numeric_edit.h"
#include "ui/win32/res/resource_ids.h"
#include "ui/win32/res/resource_tables.h"
#include "ui/win32/wide_text.h"

using namespace zentrik;
using namespace zentrik::control_ids;
using zentrik::win32::CCurveGraph;
using zentrik::win32::CCurveTable;
using zentrik::win32::CNumericEdit;
using zentrik::win32::Wide;

// The resource script and the behaviour number the form's controls alike.
static_assert(IDC_MULTIPLIER == kMultiplier);
static_assert(IDC_RPM_TRIGGER == kRpmTrigger);
static_assert(IDC_RPM_CUTOFF == kRpmCutoff);
static_assert(IDC_MAP_CUTOFF == kMapCutoff);
static_assert(IDC_MAP_TRIGGER == kMapTrigger);
static_assert(IDC_MAP_END == kMapEnd);
static_assert(IDC_RAMP_TIME == kRampTime);
static_assert(IDC_DELAY == kDelay);
static_assert(IDC_START_PERCENT == kStart);
static_assert(IDC_FINAL_PERCENT == kFinal);
static_assert(IDC_STAGE_PRESENT == kStagePresent);
static_assert(IDC_RAMP_TIME_LABEL == kRampLabel);
static_assert(IDC_DELAY_LABEL == kDelayLabel);
static_assert(IDC_FREQUENCY == kFrequency);
static_assert(IDC_START_LABEL == kStartLabel);
static_assert(IDC_FREQUENCY_LABEL == kFrequencyLabel);
static_assert(IDC_FINAL_LABEL == kFinalLabel);
static_assert(IDC_INPUT2_WILL == kInput2Will);
static_assert(IDC_RPM_PRESENT == kRpmPresent);
static_assert(IDC_FIRST_GEAR_LOCKOUT == kLockout);
static_assert(IDC_TYPE == kType);
static_assert(IDC_RPM_TRIGGER_LABEL == kRpmTriggerLabel);
static_assert(IDC_MAP_TRIGGER_LABEL == kMapTriggerLabel);
static_assert(IDC_GRAPH == kGraph);
static_assert(IDC_PERCENT_LABEL == kPercentLabel);
static_assert(IDC_AXIS_START == kAxisStart);
static_assert(IDC_AXIS_NAME == kAxisName);
static_assert(IDC_AXIS_END == kAxisEnd);
static_assert(IDC_MAP_END_LABEL == kMapEndLabel);
static_assert(IDC_TYPE_LABEL == kTypeLabel);
static_assert(IDC_INPUT2_WILL_LABEL == kInput2WillLabel);
static_assert(IDC_THIS_STAGE_LABEL == kThisStageLabel);
static_assert(IDC_STAGE == kStage);
static_assert(IDC_SMOOTH_WHEN_DRAGGING == kSmoothWhenDragging);
static_assert(IDC_RESET_TO_STRAIGHT_LINE == kResetToStraightLine);
static_assert(IDC_SMOOTH_POINTS == kSmoothPoints);
static_assert(IDC_UNDO == kUndo);
static_assert(IDC_INPUT2 == kInput2);
static_assert(IDC_MAP_UNITS == kUnits);
static_assert(IDC_MAP_CUTOFF_LABEL == kMapCutoffLabel);
static_assert(IDC_RPM_CUTOFF_LABEL == kRpmCutoffLabel);
static_assert(std::wstring_view(CNumericEdit::kClassName) == L"" NUMERIC_EDIT_CLASS);

namespace {

// Redo is not in the template, and the row of curve commands has no gap a button with a
// caption fits in (7, 4, 12 and 20 dialog units). So Undo moves 8 units to the left, to stand
// 4 from Smooth Points as Smooth Points stands from Reset to Straight Line, and Redo takes the
// place this leaves beside it on the same row, up to 2 units from the stage frame's right edge:
// 22 units wide. No control is made smaller, and the places are in dialog units, so they grow
// with the font at every resolution.
constexpr int kUndoShiftDlu = 8;
constexpr int kButtonGapDlu = 4;
constexpr int kStageFrameRightDlu = 7 + 340;
constexpr int kFrameMarginDlu = 2;

// The table of the points stands right of the stage frame, from its top to its bottom, with the
// template's margin on either side; the form grows to hold it (MeasureExtent).
constexpr int kTableLeftDlu = kFormWidthDlu;
constexpr int kTableTopDlu = 43;
constexpr int kTableWidthDlu = 92;
constexpr int kTableBottomDlu = 39 + 258;

ControlKind KindOf(int id) {
    if (id == kRedo) {
        return ControlKind::Button;
    }
    if (id == kCurveTable) {
        return ControlKind::Graph;  // no state of its own to show but its place
    }
    const FormControlSpec* item = FindFormControl(id);
    return item != nullptr ? item->kind : ControlKind::GroupBox;
}

bool StyleShown(HWND control) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

// A list shows its entry, or a value no entry stands for ("7?") as one more item after them,
// selected; the form takes no choice of that item.
void ShowListState(HWND list, int id, const ControlState& state) {
    const auto entries = static_cast<LRESULT>(ListEntries(id).size());
    if (SendMessageW(list, CB_GETCOUNT, 0, 0) > entries) {
        SendMessageW(list, CB_DELETESTRING, static_cast<WPARAM>(entries), 0);
    }
    WPARAM selected = static_cast<WPARAM>(state.selected);
    if (!state.unlisted.empty()) {
        const std::wstring text = Wide(state.unlisted);
        selected = static_cast<WPARAM>(
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    SendMessageW(list, CB_SETCURSEL, selected, 0);
}

}  // namespace

CQuarnelView::CQuarnelView(ConfigDocument& doc, AppSettings& settings) : m_form(doc, settings) {}

CQuarnelView::~CQuarnelView() {
    m_table.reset();
    if (m_hwnd != nullptr) {
        DestroyWindow(m_hwnd);
    }
}

bool CQuarnelView::Create(HINSTANCE instance, HWND parent) {
    if (m_hwnd != nullptr || !CNumericEdit::Register(instance)) {
        return false;
    }
    // The graph's tooltip is a common control.
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    m_instance = instance;
    return CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_FORM), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CALLBACK CQuarnelView::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* view = reinterpret_cast<CQuarnelView*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        view->m_hwnd = hwnd;
        view->OnInitDialog();
        return FALSE;  // the frame decides where the focus goes
    }
    auto* view = reinterpret_cast<CQuarnelView*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (view == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        view->m_hwnd = nullptr;
        view->m_controls.clear();
        return FALSE;
    }
    return view->OnMessage(message, wParam, lParam);
}

void CQuarnelView::OnInitDialog() {
    // Tab from the frame's other windows goes into the form's controls.
    SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE,
                      GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    FillLists();
    for (const FormControlSpec& item : FormControls()) {
        if (item.kind == ControlKind::NumericEdit) {
            SendMessageW(Control(item.id), CNumericEdit::kAttachField, 0,
                         reinterpret_cast<LPARAM>(&m_form.Field(item.id)));
        }
    }
    m_graph = std::make_unique<CCurveGraph>(Control(kGraph), m_form.Graph(), [this] { Sync(); });
    CreateRedoButton();
    CreateTable();
    FitLabelsToTheirTexts();
    MeasureExtent();
    m_marks.Create(m_instance, m_hwnd);
}

void CQuarnelView::CreateTable() {
    RECT place{kTableLeftDlu, kTableTopDlu, kTableLeftDlu + kTableWidthDlu, kTableBottomDlu};
    MapDialogRect(m_hwnd, &place);
    const std::wstring name = Wide(editor_texts::kTableName);
    HWND list = CreateWindowExW(
        0, WC_LISTVIEWW, name.c_str(),
        WS_CHILD | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
        place.left, place.top, place.right - place.left, place.bottom - place.top, m_hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCurveTable)), m_instance, nullptr);
    SendMessageW(list, WM_SETFONT, SendMessageW(m_hwnd, WM_GETFONT, 0, 0), FALSE);
    // After the graph in the tab order.
    SetWindowPos(list, Control(kGraph), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_table = std::make_unique<CCurveTable>(
        list, m_form.Graph(),
        [this](int point, const std::string& text) {
            m_form.OnPointTyped(point, text);
            Sync();
        },
        [this](const PointSet& rows) {
            m_form.OnTableSelected(rows);
            Sync();
        });
}

void CQuarnelView::FitLabelsToTheirTexts() {
    // The template's labels fit their texts in the font it was laid out for. Where the system
    // gives that font other proportions (another face standing in for it, at a high DPI), a
    // label that would cut its text grows to the left, as far as no control stands, shown now
    // or later (other labels don't count: the ones that share a place are never shown
    // together).
    HDC dc = GetDC(m_hwnd);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    std::vector<HWND> children;
    for (HWND child = GetWindow(m_hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    const auto placeOf = [this](HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    for (HWND label : children) {
        wchar_t className[16] = {};
        GetClassNameW(label, className, 16);
        const LONG style = GetWindowLongW(label, GWL_STYLE);
        if (_wcsicmp(className, L"Static") != 0 || (style & SS_TYPEMASK) > SS_RIGHT) {
            continue;  // not a text label (the graph's area, a picture)
        }
        const int length = GetWindowTextLengthW(label);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        GetWindowTextW(label, text.data(), length + 1);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
        RECT place = placeOf(label);
        const int missing = extent.cx - (place.right - place.left);
        if (missing <= 0) {
            continue;
        }
        RECT wanted = place;
        wanted.left -= missing;
        for (HWND other : children) {
            RECT otherPlace = placeOf(other);
            RECT overlap;
            wchar_t otherClass[16] = {};
            GetClassNameW(other, otherClass, 16);
            const bool groupBox = _wcsicmp(otherClass, L"Button") == 0 &&
                                  (GetWindowLongW(other, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
            const bool otherLabel = _wcsicmp(otherClass, L"Static") == 0 &&
                                    (GetWindowLongW(other, GWL_STYLE) & SS_TYPEMASK) <= SS_RIGHT;
            if (other != label && !groupBox && !otherLabel &&
                IntersectRect(&overlap, &wanted, &otherPlace)) {
                wanted.left = std::max(wanted.left, otherPlace.right);
            }
        }
        SetWindowPos(label, nullptr, wanted.left, wanted.top, wanted.right - wanted.left,
                     wanted.bottom - wanted.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SelectObject(dc, previous);
    ReleaseDC(m_hwnd, dc);
}

void CQuarnelView::FillLists() {
    const auto fill = [this](int id, const auto& entries) {
        HWND list = Control(id);
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const auto& entry : entries) {
            const std::wstring text = Wide(entry);
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
    };
    for (const win32_res::FormList& list : win32_res::kFormLists) {
        fill(list.id, list.entries);
    }
    std::vector<std::string_view> multipliers;
    for (const RpmMultiplierChoice& choice : RpmMultiplierChoices()) {
        multipliers.push_back(choice.text);
    }
    fill(win32_res::kMultiplierList, multipliers);
}

void CQuarnelView::CreateRedoButton() {
    const auto pixels = [this](const RECT& dialogUnits) {
        RECT place = dialogUnits;
        MapDialogRect(m_hwnd, &place);
        return place;
    };
    const FormControlSpec& undo = *FindFormControl(kUndo);
    const int undoLeft = undo.x - kUndoShiftDlu;
    const RECT undoPlace =
        pixels(RECT{undoLeft, undo.y, undoLeft + undo.width, undo.y + undo.height});
    SetWindowPos(Control(kUndo), nullptr, undoPlace.left, undoPlace.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    const RECT place = pixels(RECT{undoLeft + undo.width + kButtonGapDlu, undo.y,
                                   kStageFrameRightDlu - kFrameMarginDlu, undo.y + undo.height});
    HWND redo = CreateWindowExW(
        0, L"BUTTON", Wide(editor_texts::kRedo).c_str(), WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON,
        place.left, place.top, place.right - place.left, place.bottom - place.top, m_hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRedo)), m_instance, nullptr);
    SendMessageW(redo, WM_SETFONT, SendMessageW(m_hwnd, WM_GETFONT, 0, 0), FALSE);
    // Right after Undo in the tab order.
    SetWindowPos(redo, Control(kUndo), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

INT_PTR CQuarnelView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CNumericEdit::Messages().changed) {
        m_form.OnFieldChanged(static_cast<int>(wParam), *reinterpret_cast<const double*>(lParam));
        Sync();
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, 1);
        return TRUE;
    }
    switch (message) {
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_NOTIFY:
            return m_table && m_table->OnNotify(*reinterpret_cast<const NMHDR*>(lParam)) ? TRUE
                                                                                         : FALSE;
        case WM_DRAWITEM:
            return m_marks.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
        case WM_SYSCOLORCHANGE:
            // Children hear of new system colours only from their parent.
            SendMessageW(Control(kGraph), message, wParam, lParam);
            return FALSE;
        default:
            return FALSE;
    }
}

bool CQuarnelView::OnCommand(int id, int code) {
    HWND control = Control(id);
    if (control == nullptr) {
        return id == IDOK || id == IDCANCEL;  // Enter and Escape: the form has no default button
    }
    switch (KindOf(id)) {
        case ControlKind::List:
            if (code != CBN_SELCHANGE) {
                return false;
            }
            m_form.OnListSelected(id, static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
            break;
        case ControlKind::CheckBox:
            if (code != BN_CLICKED) {
                return false;
            }
            m_form.OnCheckClicked(id, SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
            break;
        case ControlKind::Button:
            if (code != BN_CLICKED) {
                return false;
            }
            m_form.OnButtonClicked(id);
            break;
        default:
            return false;
    }
    Sync();
    return true;
}

void CQuarnelView::Sync() {
    const std::set<int> changes = m_form.TakeChanges();
    for (const int id : changes) {
        SyncControl(id);
    }
    if (m_graph) {
        m_graph->Sync();
    }
    if (m_table) {
        m_table->Sync(m_form.Control(kAxisName).text, changes.count(kCurveTable) != 0);
    }
    if (!changes.empty()) {
        // Another stage, or a label shown or hidden.
        m_marks.Show(m_markers, m_form.CurrentStage());
    }
    // Also without a control's state changing: a curve point dragged changes only the graph.
    if (m_changed) {
        m_changed();
    }
}

void CQuarnelView::ShowMarkers(const UploadMarkers& markers) {
    m_markers = markers;
    m_marks.Show(m_markers, m_form.CurrentStage());
}

void CQuarnelView::SyncControl(int id) {
    HWND control = Control(id);
    if (control == nullptr) {
        return;
    }
    const ControlState& state = m_form.Control(id);
    switch (KindOf(id)) {
        case ControlKind::List:
            ShowListState(control, id, state);
            break;
        case ControlKind::CheckBox:
            SendMessageW(control, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case ControlKind::Label:
            if (const std::wstring text = Wide(state.text); text != WindowText(control)) {
                SetWindowTextW(control, text.c_str());
            }
            break;
        case ControlKind::NumericEdit:
            SendMessageW(control, CNumericEdit::kShowField, 0, 0);
            break;
        default:
            break;
    }
    // A control hidden with the focus gives it to the form, whose dialog procedure passes it
    // on to a control still shown.
    if (StyleShown(control) != state.shown) {
        ShowWindow(control, state.shown ? SW_SHOWNA : SW_HIDE);
    }
}

void CQuarnelView::OnInitialUpdate() {
    m_form.OnInitialUpdate();
    // Every control from the form's state once, whether or not it changed (a list with no
    // entry selected, say, which a new list does not show either).
    m_form.TakeChanges();
    for (const FormControlSpec& item : FormControls()) {
        if (item.id >= 0) {
            SyncControl(item.id);
        }
    }
    SyncControl(kRedo);
    SyncControl(kCurveTable);
    if (m_graph) {
        m_graph->Sync();
    }
    if (m_table) {
        m_table->Sync(m_form.Control(kAxisName).text, true);
    }
    m_marks.Show(m_markers, m_form.CurrentStage());
}

void CQuarnelView::OnUpdate(int hint) {
    m_form.OnUpdate(hint);
    Sync();
}

void CQuarnelView::CommitPendingEdit() {
    for (const FormControlSpec& item : FormControls()) {
        if (item.kind == ControlKind::NumericEdit) {
            SendMessageW(Control(item.id), CNumericEdit::kCommitTyped, 0, 0);
        }
    }
}

SIZE CQuarnelView::FormSize() const {
    return m_extent;
}

void CQuarnelView::MeasureExtent() {
    // The template's size, or more where controls reach further, with the template's margin
    // beyond the farthest. The controls keep their places once the form is made, so this is
    // measured once.
    RECT form{0, 0, kFormWidthDlu, kFormHeightDlu};
    RECT margin{0, 0, kFormWidthDlu - kStageFrameRightDlu, kFormWidthDlu - kStageFrameRightDlu};
    if (!MapDialogRect(m_hwnd, &form) || !MapDialogRect(m_hwnd, &margin)) {
        return;
    }
    m_extent = SIZE{form.right, form.bottom};
    for (HWND child = GetWindow(m_hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(HWND_DESKTOP, m_hwnd, reinterpret_cast<POINT*>(&place), 2);
        m_extent.cx = std::max(m_extent.cx, place.right + margin.right);
        m_extent.cy = std::max(m_extent.cy, place.bottom + margin.bottom);
    }
    // The form holds what reaches beyond its template (the table beside the stage).
    SetWindowPos(m_hwnd, nullptr, 0, 0, m_extent.cx, m_extent.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CQuarnelView::Control(int id) const {
    if (m_hwnd == nullptr) {
        return nullptr;
    }
    if (const auto known = m_controls.find(id); known != m_controls.end()) {
        return known->second;
    }
    HWND control = GetDlgItem(m_hwnd, id);
    if (control != nullptr) {
        m_controls.emplace(id, control);
    }
    return control;
}

bool CQuarnelView::PreTranslate(MSG& msg) {
    if (m_hwnd == nullptr || (msg.hwnd != m_hwnd && !IsChild(m_hwnd, msg.hwnd))) {
        return false;
    }
    if (msg.message == WM_KEYDOWN && KeyDown(VK_CONTROL) && !KeyDown(VK_MENU) &&
        !CNumericEdit::IsTyping(GetFocus())) {
        // Undo and Redo of the curve; a field being typed in keeps these keys for its text.
        const bool shift = KeyDown(VK_SHIFT);
        if (msg.wParam == 'Z') {
            if (shift) {
                m_form.RedoFromKeyboard();
            } else {
                m_form.UndoFromKeyboard();
            }
            Sync();
            return true;
        }
        if (msg.wParam == 'Y' && !shift) {
            m_form.RedoFromKeyboard();
            Sync();
            return true;
        }
    }
    // Tab, the arrows between buttons, Enter and Escape, as in any dialog.
    return IsDialogMessageW(m_hwnd, &msg) != FALSE;
}
