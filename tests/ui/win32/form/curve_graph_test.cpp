// The form's graph: the mouse and the keys reach the curve, the record hears of a drag only at
// its end, a drag repaints the curve but never the static layer, and the tooltip shows the
// point under the mouse.
#include "form_window.h"
#include "ui/win32/wide_text.h"

namespace zentrik::test {
namespace {

using namespace control_ids;

class GraphWindow : public FormWindow {
  protected:
    void Mouse(UINT message, POINT at) {
        SendMessageW(Get(kGraph), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(at.x, at.y));
    }
    void Hover(POINT at) { SendMessageW(Get(kGraph), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y)); }
    std::wstring ToolText() {
        wchar_t text[80] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = Get(kGraph);
        tool.uId = 0;
        tool.lpszText = text;
        SendMessageW(Graph().Tip(), TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
        return text;
    }
};

TEST_F(GraphWindow, ADragReachesTheRecordAtItsEndAndRepaintsOnlyTheCurve) {
    Build();
    win32::CCurveGraph& graph = Graph();
    const int rendered = graph.BackgroundRenderCount();
    ASSERT_GE(rendered, 1);
    const Curve before = CurveOf(0);
    const POINT start = graph.ClientPoint(0);
    Mouse(WM_LBUTTONDOWN, start);
    EXPECT_EQ(GetCapture(), Get(kGraph));
    EXPECT_EQ(GetFocus(), Get(kGraph));
    const int paints = graph.PaintCount();
    for (int y = start.y; y > 0; y -= 5) {
        Mouse(WM_MOUSEMOVE, POINT{start.x, y});
        EXPECT_EQ(CurveOf(0), before);  // nothing reaches the record during the drag
    }
    EXPECT_GT(graph.PaintCount(), paints);  // the curve followed the mouse on screen
    Mouse(WM_LBUTTONUP, POINT{start.x, 0});
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(RecordStage(0).Percent[0], 100);
    EXPECT_EQ(Text(kStart), L"100%");
    EXPECT_EQ(graph.BackgroundRenderCount(), rendered);

    // A key picks and moves a point as a one-step drag.
    Mouse(WM_LBUTTONDOWN, POINT{1, 1});  // beside every point: only the focus
    Mouse(WM_LBUTTONUP, POINT{1, 1});
    SendMessageW(Get(kGraph), WM_KEYDOWN, VK_END, 1);
    SendMessageW(Get(kGraph), WM_KEYDOWN, VK_NEXT, 1);
    EXPECT_EQ(RecordStage(0).Percent[19], before[19] - 10);
    EXPECT_EQ(Text(kFinal), std::to_wstring(before[19] - 10) + L"%");
    EXPECT_EQ(graph.BackgroundRenderCount(), rendered);

    // A new size, a new resolution or new system colours (which the form passes on) render
    // the static layer again, once each.
    RECT place = PlaceOf(Get(kGraph));
    SetWindowPos(Get(kGraph), nullptr, 0, 0, place.right - place.left - 20,
                 place.bottom - place.top, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(Get(kGraph));
    EXPECT_EQ(graph.BackgroundRenderCount(), rendered + 1);
    constexpr UINT kDpiChangedAfterParent = 0x02E3;
    SendMessageW(Get(kGraph), kDpiChangedAfterParent, 0, 0);
    EXPECT_EQ(graph.BackgroundRenderCount(), rendered + 2);
    SendMessageW(m_view->Hwnd(), WM_SYSCOLORCHANGE, 0, 0);
    UpdateWindow(Get(kGraph));
    EXPECT_EQ(graph.BackgroundRenderCount(), rendered + 3);
}

TEST_F(GraphWindow, ACaptureTakenAwayEndsTheDragWhereTheMouseWasLast) {
    Build();
    const POINT start = Graph().ClientPoint(19);
    Mouse(WM_LBUTTONDOWN, start);
    Mouse(WM_MOUSEMOVE, POINT{start.x, start.y + 200});  // below the plot: 0 %
    ASSERT_EQ(CurveOf(0)[19], 95);
    SetCapture(FormHost());
    EXPECT_FALSE(m_view->Form().Graph().IsDragging());
    EXPECT_EQ(RecordStage(0).Percent[19], 0);
    EXPECT_EQ(Text(kFinal), L"0%");
    ReleaseCapture();
}

TEST_F(GraphWindow, TheTipShowsThePointUnderTheMouse) {
    Build();
    ASSERT_NE(Graph().Tip(), nullptr);
    // One tool over the whole graph, shown without delay.
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Get(kGraph);
    tool.uId = 0;
    ASSERT_TRUE(SendMessageW(Graph().Tip(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
    RECT client{};
    GetClientRect(Get(kGraph), &client);
    EXPECT_TRUE(EqualRect(&tool.rect, &client));
    EXPECT_EQ(SendMessageW(Graph().Tip(), TTM_GETDELAYTIME, TTDT_INITIAL, 0), 0);
    EXPECT_EQ(SendMessageW(Graph().Tip(), TTM_GETDELAYTIME, TTDT_RESHOW, 0), 0);

    Hover(Graph().ClientPoint(5));
    const std::string tip = m_view->Form().Graph().TipText();
    EXPECT_EQ(tip.rfind("MAP:", 0), 0u) << tip;
    EXPECT_EQ(ToolText(), win32::Wide(tip));
    Pick(kType, 1);
    Hover(Graph().ClientPoint(19));
    EXPECT_EQ(ToolText(), L"Time:8.5s 95%");
    // Off the points the tip goes; its text waits for the next point.
    Hover(POINT{1, 1});
    EXPECT_TRUE(m_view->Form().Graph().TipText().empty());
    EXPECT_FALSE(IsWindowVisible(Graph().Tip()));
}

}  // namespace
}  // namespace zentrik::test
