// The table of the curve's points and the graph's selection in the Windows form: both show
// the same points, percents typed in place and selected rows reach the form.
#include "ui/win32/curve_table.h"
#include "form_window.h"
#include "ui/win32/wide_text.h"

namespace zentrik::test {
namespace {

using namespace control_ids;

class TableWindow : public FormWindow {
  protected:
    std::wstring Cell(int row, int column) {
        wchar_t text[32] = {};
        ListView_GetItemText(Get(kCurveTable), row, column, text, 32);
        return text;
    }
    bool RowSelected(int row) {
        return ListView_GetItemState(Get(kCurveTable), row, LVIS_SELECTED) != 0;
    }
    HWND Editor() { return m_view->Table().Editor(); }
};

TEST_F(TableWindow, TheTableFollowsTheGraphAndHandsTypedPercentsAndRowsToTheForm) {
    Build();
    HWND list = Get(kCurveTable);
    ASSERT_EQ(ListView_GetItemCount(list), 20);
    EXPECT_EQ(Cell(19, 1), win32::Wide(m_view->Form().Graph().PointXText(19)));
    EXPECT_EQ(Cell(19, 2), std::to_wstring(CurveOf(0)[19]));
    wchar_t heading[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = heading;
    column.cchTextMax = 32;
    ListView_GetColumn(list, 1, &column);
    EXPECT_EQ(std::wstring(heading), L"MAP [PSI]");
    // Beside the stage frame, inside the form.
    RECT frame{7, 39, 7 + 340, 39 + 258};
    MapDialogRect(m_view->Hwnd(), &frame);
    const RECT place = PlaceOf(list);
    EXPECT_GT(place.left, frame.right);
    EXPECT_LE(place.right, m_view->FormSize().cx);

    // Shift+click on the graph selects a point, and the table shows it; rows selected in the
    // table are the graph's selection.
    const POINT p3 = Graph().ClientPoint(3);
    SendMessageW(Get(kGraph), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(p3.x, p3.y));
    SendMessageW(Get(kGraph), WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(p3.x, p3.y));
    EXPECT_TRUE(RowSelected(3));
    for (const int row : {4, 5}) {
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    EXPECT_EQ(m_view->Form().Graph().Selection(), PointSet{0b111000});

    // Enter opens the point's percent, Enter commits it; a digit opens it with that digit;
    // Tab commits and goes on to the next point; Escape drops what was typed.
    SetFocus(list);
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    Press(VK_RETURN);
    ASSERT_NE(Editor(), nullptr);
    SetWindowTextW(Editor(), L"42");
    Press(VK_RETURN);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(RecordStage(0).Percent[0], 42);
    EXPECT_EQ(Text(kStart), L"42%");
    EXPECT_EQ(Cell(0, 2), L"42");
    SendMessageW(list, WM_CHAR, L'7', 1);
    ASSERT_NE(Editor(), nullptr);
    Press(VK_TAB);
    EXPECT_EQ(RecordStage(0).Percent[0], 7);
    ASSERT_NE(Editor(), nullptr);
    const std::uint8_t second = RecordStage(0).Percent[1];
    SetWindowTextW(Editor(), L"x");
    Press(VK_ESCAPE);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(RecordStage(0).Percent[1], second);
    EXPECT_EQ(Cell(1, 2), std::to_wstring(second));
}

}  // namespace
}  // namespace zentrik::test
