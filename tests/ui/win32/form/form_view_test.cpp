// The Windows form bound to the form's behaviour: every control shows its state, the lists and
// check boxes reach the form, the keyboard goes where it should, and the controls keep their
// places (Redo among them).
#include <vector>

#include "editor/form_controls.h"
#include "editor/stage_form.h"
#include "form_window.h"
#include "ui/win32/wide_text.h"

namespace zentrik::test {
namespace {

using namespace control_ids;
using win32::Wide;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

class FormView : public FormWindow {
  protected:
    // Every window against its control's state in the form.
    void ExpectWindowsShowTheState() {
        const StageForm& form = m_view->Form();
        for (const FormControlSpec& item : FormControls()) {
            if (item.id < 0) {
                continue;
            }
            SCOPED_TRACE(item.id);
            const ControlState& state = form.Control(item.id);
            EXPECT_EQ(Shown(item.id), state.shown);
            HWND control = Get(item.id);
            switch (item.kind) {
                case ControlKind::List:
                    // A value no entry stands for shows as one more item after the entries.
                    EXPECT_EQ(SendMessageW(control, CB_GETCURSEL, 0, 0),
                              state.unlisted.empty()
                                  ? state.selected
                                  : static_cast<LRESULT>(ListEntries(item.id).size()));
                    EXPECT_EQ(SendMessageW(control, CB_GETCOUNT, 0, 0),
                              static_cast<LRESULT>(ListEntries(item.id).size() +
                                                   (state.unlisted.empty() ? 0 : 1)));
                    if (!state.unlisted.empty()) {
                        EXPECT_EQ(TextOf(control), Wide(state.unlisted));
                    }
                    break;
                case ControlKind::CheckBox:
                    EXPECT_EQ(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED,
                              state.checked);
                    break;
                case ControlKind::Label:
                    EXPECT_EQ(TextOf(control), Wide(state.text));
                    break;
                case ControlKind::NumericEdit:
                    if (GetFocus() != control) {
                        EXPECT_EQ(TextOf(control), Wide(form.Field(item.id).Text(true)));
                    }
                    break;
                default:
                    break;
            }
        }
        EXPECT_EQ(Shown(kRedo), form.Control(kRedo).shown);
    }
};

TEST_F(FormView, EveryControlShowsItsStateAndAListWithoutAnEntryShowsTheValue) {
    SetTrig_Sx2_Config(RecordStage(0), 3);  // no entry of "Input #2 Will"
    m_doc.record.Input_Type2 = 0;           // nor of "Input #2"
    Build();
    ExpectWindowsShowTheState();
    EXPECT_EQ(TextOf(Get(kInput2Will)), L"3?");
    EXPECT_EQ(TextOf(Get(kInput2)), L"0?");
    // The value's own item is no choice.
    Pick(kInput2, 2);
    EXPECT_EQ(m_doc.record.Input_Type2, 0);
    EXPECT_FALSE(Shown(kRedo));
    EXPECT_EQ(Text(kRedo), L"Redo");
    EXPECT_EQ(Text(kAxisName), L"MAP [PSI]");
    EXPECT_EQ(Text(kAxisStart), L"1.5 psi");

    // Each list holds the behaviour's entries in its order, for an entry's place is its value.
    for (const FormControlSpec& item : FormControls()) {
        if (item.kind != ControlKind::List) {
            continue;
        }
        SCOPED_TRACE(item.id);
        HWND list = Get(item.id);
        const std::vector<std::string> entries = ListEntries(item.id);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            wchar_t text[64] = {};
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(std::wstring(text), Wide(entries[i]));
        }
    }

    // A download brings entries, then values that are none of them again.
    m_doc.record.Input_Type2 = 2;
    SetTrig_Sx2_Config(RecordStage(0), 1);
    m_view->OnUpdate(1);
    EXPECT_EQ(SendMessageW(Get(kInput2), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(Get(kInput2Will), CB_GETCURSEL, 0, 0), 1);
    m_doc.record.Input_Type2 = 7;
    SetTrig_Sx2_Config(RecordStage(0), 3);
    m_view->OnUpdate(1);
    EXPECT_EQ(TextOf(Get(kInput2)), L"7?");
    ExpectWindowsShowTheState();
}

TEST_F(FormView, ListsAndCheckBoxesShowAndHideTheStagesControls) {
    Build();
    // Time-based: the time pair in the pressure pair's place, the axis in seconds.
    const RECT mapTrigger = PlaceOf(Get(kMapTrigger));
    const RECT mapEnd = PlaceOf(Get(kMapEnd));
    Pick(kType, 1);
    EXPECT_TRUE(TIME_Based(RecordStage(0)));
    EXPECT_FALSE(Shown(kMapTrigger));
    EXPECT_FALSE(Shown(kMapEndLabel));
    EXPECT_TRUE(Shown(kDelay));
    EXPECT_TRUE(Shown(kRampLabel));
    const RECT delay = PlaceOf(Get(kDelay));
    const RECT rampTime = PlaceOf(Get(kRampTime));
    EXPECT_TRUE(EqualRect(&mapTrigger, &delay));
    EXPECT_TRUE(EqualRect(&mapEnd, &rampTime));
    EXPECT_EQ(Text(kAxisName), L"Time");
    EXPECT_EQ(Text(kAxisStart), L"0.5 s");
    ExpectWindowsShowTheState();

    // Without RPM the RPM limits and the lockout go; the stage's other controls stay.
    Click(kRpmPresent);
    EXPECT_FALSE(RPM_Present(m_doc.record));
    EXPECT_FALSE(Shown(kRpmCutoff));
    EXPECT_FALSE(Shown(kLockout));
    EXPECT_TRUE(Shown(kGraph));
    ExpectWindowsShowTheState();

    // A stage that is not present keeps only its Present box and MAP Cutoff.
    Click(kStagePresent);
    EXPECT_FALSE(Present(RecordStage(0)));
    EXPECT_FALSE(Shown(kGraph));
    EXPECT_FALSE(Shown(kDelay));
    EXPECT_FALSE(Shown(kUndo));
    EXPECT_TRUE(Shown(kMapCutoff));
    ExpectWindowsShowTheState();

    // Stage 2 (time-based, present) shows itself; back on Stage 1 the hidden state returns.
    Pick(kStage, 1);
    EXPECT_EQ(m_view->Form().CurrentStage(), 1);
    EXPECT_TRUE(Shown(kGraph));
    ExpectWindowsShowTheState();
    Pick(kStage, 0);
    EXPECT_FALSE(Shown(kGraph));
    Click(kStagePresent);
    Pick(kType, 0);
    EXPECT_TRUE(Shown(kMapTrigger));
    EXPECT_EQ(Text(kAxisName), L"MAP [PSI]");
    ExpectWindowsShowTheState();
}

TEST_F(FormView, AMarkedControlHasADotBesideItsLabelWithTheTipAndTheStageListSaysWhich) {
    Build();
    UploadMarkers markers;
    markers.controls[0][kRpmCutoff] = {MarkerKind::Differs, "RPM Cutoff on the controller: 6500"};
    markers.stages = {MarkerKind::Differs, MarkerKind::None};
    m_view->ShowMarkers(markers);
    HWND dot = m_view->Markers().Dot(kRpmCutoff);
    ASSERT_NE(dot, nullptr);
    EXPECT_NE(GetWindowLongPtrW(dot, GWL_STYLE) & WS_VISIBLE, 0);
    const RECT place = PlaceOf(dot);
    const RECT label = PlaceOf(Get(kRpmCutoffLabel));
    EXPECT_GT(place.right, place.left);
    EXPECT_LT(place.right, label.right);  // left of the label's text, on its line
    EXPECT_GE(place.top, label.top);
    EXPECT_LE(place.bottom, label.bottom);
    EXPECT_EQ(m_view->Markers().Tip(kRpmCutoff), L"RPM Cutoff on the controller: 6500");
    wchar_t entry[32] = {};
    SendMessageW(Get(kStage), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ(entry, L"Stage 1 \u2022");

    Pick(kStage, 1);  // Stage 2 has no mark
    EXPECT_EQ(GetWindowLongPtrW(dot, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(SendMessageW(Get(kStage), CB_GETCURSEL, 0, 0), 1);
}

TEST_F(FormView, TabFollowsTheTemplateAndReachesRedoAndTheGraph) {
    Build();
    // Tab from the first control visits every shown control that takes the focus, in the
    // template's order, Redo after Undo and the graph among them, the table of its points last.
    Click(kSmoothPoints);
    Click(kSmoothPoints);
    Click(kUndo);  // one undo left: both Undo and Redo shown
    ASSERT_TRUE(Shown(kUndo));
    ASSERT_TRUE(Shown(kRedo));
    SetFocus(Get(kInput2));
    std::vector<int> visited;
    for (int i = 0; i < 40; ++i) {
        const int id = GetDlgCtrlID(GetFocus());
        if (!visited.empty() && id == visited.front()) {
            break;
        }
        visited.push_back(id);
        Press(VK_TAB);
    }
    const std::vector<int> expected = {kInput2,
                                       kRpmPresent,
                                       kMultiplier,
                                       kUnits,
                                       kStage,
                                       kStagePresent,
                                       kType,
                                       kLockout,
                                       kInput2Will,
                                       kRpmCutoff,
                                       kFrequency,
                                       kMapCutoff,
                                       kRpmTrigger,
                                       kMapTrigger,
                                       kMapEnd,
                                       kStart,
                                       kFinal,
                                       kSmoothWhenDragging,
                                       kResetToStraightLine,
                                       kSmoothPoints,
                                       kUndo,
                                       kRedo,
                                       kGraph,
                                       kCurveTable};
    EXPECT_EQ(visited, expected);
    // The graph shows that it has the focus.
    SetFocus(Get(kGraph));
    EXPECT_TRUE(m_view->Form().Graph().Focused());
    SetFocus(Get(kStart));
    EXPECT_FALSE(m_view->Form().Graph().Focused());
}

TEST_F(FormView, UndoAndRedoComeFromTheButtonsAndTheKeys) {
    RecordStage(0).Percent[2] = 90;  // a spike for Smooth Points to flatten
    Build();
    const Curve before = CurveOf(0);
    Click(kSmoothPoints);
    const Curve smoothed = CurveOf(0);
    ASSERT_NE(smoothed, before);
    Click(kUndo);
    EXPECT_EQ(CurveOf(0), before);
    EXPECT_TRUE(Shown(kRedo));

    SetFocus(Get(kGraph));
    SetKeys({VK_CONTROL});
    Press('Y');
    EXPECT_EQ(CurveOf(0), smoothed);
    EXPECT_FALSE(Shown(kRedo));
    Press('Z');
    EXPECT_EQ(CurveOf(0), before);
    SetKeys({VK_CONTROL, VK_SHIFT});
    Press('Z');
    EXPECT_EQ(CurveOf(0), smoothed);

    // In a field being typed in, the keys are the field's own.
    SetKeys({});
    Type(kStart, L"7");
    SetKeys({VK_CONTROL});
    Press('Z');
    EXPECT_EQ(CurveOf(0), smoothed);
    EXPECT_EQ(GetFocus(), Get(kStart));
    // Messages of windows outside the form are not its business.
    MSG elsewhere{FormHost(), WM_KEYDOWN, 'Z', 1, 0, {}};
    EXPECT_FALSE(m_view->PreTranslate(elsewhere));
    EXPECT_EQ(CurveOf(0), smoothed);
}

TEST_F(FormView, ShownControlsNeverOverlapAndRedoFitsBesideUndo) {
    Build();
    Click(kSmoothPoints);
    Click(kSmoothPoints);
    Click(kUndo);  // Undo and Redo shown side by side
    ASSERT_TRUE(Shown(kUndo));
    ASSERT_TRUE(Shown(kRedo));
    const auto expectNoOverlap = [this] {
        std::vector<HWND> shown;
        for (HWND c = GetWindow(m_view->Hwnd(), GW_CHILD); c != nullptr;
             c = GetWindow(c, GW_HWNDNEXT)) {
            // Group boxes frame others; the Stage list sits on its frame's edge by design.
            const bool groupBox = ClassOf(c) == L"Button" &&
                                  (GetWindowLongPtrW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
            if (IsWindowVisible(c) && !groupBox && GetDlgCtrlID(c) != kStage) {
                shown.push_back(c);
            }
        }
        for (std::size_t i = 0; i < shown.size(); ++i) {
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                const RECT a = PlaceOf(shown[i]);
                const RECT b = PlaceOf(shown[j]);
                RECT both{};
                EXPECT_FALSE(IntersectRect(&both, &a, &b))
                    << GetDlgCtrlID(shown[i]) << " and " << GetDlgCtrlID(shown[j]);
            }
        }
    };
    expectNoOverlap();
    Pick(kType, 1);
    expectNoOverlap();

    // Redo stands right of Undo on its row, inside the stage frame, with room for its caption.
    const RECT undo = PlaceOf(Get(kUndo));
    const RECT redo = PlaceOf(Get(kRedo));
    RECT frame{7, 39, 7 + 340, 39 + 258};
    MapDialogRect(m_view->Hwnd(), &frame);
    EXPECT_EQ(redo.top, undo.top);
    EXPECT_EQ(redo.bottom, undo.bottom);
    EXPECT_GT(redo.left, undo.right);
    EXPECT_LT(redo.right, frame.right);
    HDC dc = GetDC(Get(kRedo));
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Get(kRedo), WM_GETFONT, 0, 0)));
    SIZE caption{};
    GetTextExtentPoint32W(dc, L"Redo", 4, &caption);
    ReleaseDC(Get(kRedo), dc);
    const int edges = 2 * 2 * GetSystemMetrics(SM_CXEDGE);
    EXPECT_LE(caption.cx + edges, redo.right - redo.left);

    // The form is the template's size.
    RECT client{};
    GetClientRect(m_view->Hwnd(), &client);
    const SIZE size = m_view->FormSize();
    EXPECT_EQ(size.cx, client.right);
    EXPECT_EQ(size.cy, client.bottom);
}

}  // namespace
}  // namespace zentrik::test
