#include "ui/win32/curve_graph.h"

#include <commctrl.h>
#include <windowsx.h>

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out of windows.h.
#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "ui/win32/wide_text.h"

namespace zentrik::win32 {

namespace {

namespace gp = Gdiplus;

constexpr UINT_PTR kSubclassId = 1057;
constexpr int kLast = kPercentPoints - 1;
constexpr float kMarkerSize = CurveGraphModel::kMarkerSize;
constexpr float kShadowOffset = 4.0f;
constexpr float kLogicalDpi = 96.0f;
// WM_DPICHANGED_AFTERPARENT, which the headers declare only for Windows 10 builds.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// Colours as (alpha, red, green, blue).
const gp::Color kShadowCentre(150, 0, 0, 0);
const gp::Color kShadowSurround(50, 120, 120, 120);
const gp::Color kPlotLight(255, 240, 240, 240);
const gp::Color kPlotDark(255, 180, 180, 180);
const gp::Color kBorder(255, 0, 0, 0);
const gp::Color kGrid(220, 150, 150, 150);
const gp::Color kArea(190, 100, 220, 100);
const gp::Color kLine(255, 0, 0, 0);
const gp::Color kMarkerCentre(255, 240, 240, 240);
const gp::Color kMarkerSurround(255, 90, 190, 220);
// A point whose value lies above the plot: on its top edge, in red.
const gp::Color kOutOfRangeSurround(255, 220, 40, 40);
constexpr BYTE kBandAlpha = 60;
// A selected point's marker is ringed this far out.
constexpr float kSelectedRing = 2.5f;

gp::Color SystemColour(int index, BYTE alpha = 255) {
    const COLORREF c = GetSysColor(index);
    return gp::Color(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
}

// The window's resolution: per window where Windows knows it (10, 1607 and later), else the
// screen's.
UINT WindowDpi(HWND hwnd) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow != nullptr) {
        if (const UINT dpi = dpiForWindow(hwnd); dpi != 0) {
            return dpi;
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// Anti-aliasing and high-quality interpolation within a container of its own.
class QualityContainer {
  public:
    explicit QualityContainer(gp::Graphics& graphics)
        : m_graphics(graphics), m_container(graphics.BeginContainer()) {
        graphics.SetSmoothingMode(gp::SmoothingModeAntiAlias);
        graphics.SetInterpolationMode(gp::InterpolationModeHighQualityBicubic);
    }
    ~QualityContainer() { m_graphics.EndContainer(m_container); }
    QualityContainer(const QualityContainer&) = delete;
    QualityContainer& operator=(const QualityContainer&) = delete;

  private:
    gp::Graphics& m_graphics;
    gp::GraphicsContainer m_container;
};

std::optional<GraphKey> KeyFor(WPARAM key) {
    switch (key) {
        case VK_LEFT:
            return GraphKey::Left;
        case VK_RIGHT:
            return GraphKey::Right;
        case VK_HOME:
            return GraphKey::Home;
        case VK_END:
            return GraphKey::End;
        case VK_UP:
            return GraphKey::Up;
        case VK_DOWN:
            return GraphKey::Down;
        case VK_PRIOR:
            return GraphKey::PageUp;
        case VK_NEXT:
            return GraphKey::PageDown;
        case VK_ESCAPE:
            return GraphKey::Escape;
        default:
            return std::nullopt;
    }
}

}  // namespace

// ---- layers ---------------------------------------------------------------------------------

void CCurveGraph::Layer::Create(int w, int h) {
    Release();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous = SelectObject(dc, bitmap);
    width = w;
    height = h;
}

void CCurveGraph::Layer::Release() {
    if (dc != nullptr) {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    *this = Layer{};
}

// ---- the window -----------------------------------------------------------------------------

CCurveGraph::CCurveGraph(HWND control, CurveGraphModel& model, std::function<void()> afterInput)
    : m_hwnd(control), m_model(model), m_afterInput(std::move(afterInput)) {
    // The template makes it a static control that reports clicks; here it also takes the focus
    // by Tab and the keys of its own (see WM_GETDLGCODE).
    SetWindowLongPtrW(m_hwnd, GWL_STYLE, GetWindowLongPtrW(m_hwnd, GWL_STYLE) | WS_TABSTOP);
    SetWindowSubclass(m_hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    OnSize();
}

CCurveGraph::~CCurveGraph() {
    if (m_hwnd != nullptr) {
        Detach();
    }
    m_background.Release();
    m_frame.Release();
}

void CCurveGraph::Detach() {
    if (m_tip != nullptr) {
        // The tip is a popup owned by the top-level window, so it does not go with the graph.
        DestroyWindow(m_tip);
        m_tip = nullptr;
    }
    RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
    m_hwnd = nullptr;
}

LRESULT CALLBACK CCurveGraph::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR /*id*/, DWORD_PTR self) {
    auto* graph = reinterpret_cast<CCurveGraph*>(self);
    if (message == WM_NCDESTROY) {
        graph->Detach();
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return graph->OnMessage(message, wParam, lParam);
}

LRESULT CCurveGraph::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(m_hwnd, &paint);
            Paint(dc, paint.rcPaint);
            EndPaint(m_hwnd, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // every paint covers its area
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_GETDLGCODE: {
            // Escape empties the selection when there is one, rather than going to the dialog.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            const bool escape = msg != nullptr && msg->message == WM_KEYDOWN &&
                                msg->wParam == VK_ESCAPE && m_model.Selection().any();
            return DLGC_WANTARROWS | (escape ? DLGC_WANTMESSAGE : 0);
        }
        case WM_KEYDOWN:
            if (OnKey(wParam)) {
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            m_model.SetFocused(message == WM_SETFOCUS);
            Sync();
            break;
        case WM_CAPTURECHANGED:
            // Capture taken away in the middle of a drag (another window, a box): the drag ends
            // where the mouse was last seen, as if the button had been released there.
            if (m_model.HasMouse() && reinterpret_cast<HWND>(lParam) != m_hwnd) {
                m_model.MouseUp(m_lastX, m_lastY);
                AfterInput();
            }
            break;
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            m_model.bufferClean();  // the button-face fill follows the system's colours
            Sync();
            break;
        case kDpiChangedAfterParent:
            OnSize();
            break;
        default:
            if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) {
                OnMouse(message, wParam, lParam);
                RelayToTip(message, wParam, lParam);
            }
            break;
    }
    return DefSubclassProc(m_hwnd, message, wParam, lParam);
}

// ---- input ----------------------------------------------------------------------------------

bool CCurveGraph::OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const float x = static_cast<float>(GET_X_LPARAM(lParam)) / m_scale;
    const float y = static_cast<float>(GET_Y_LPARAM(lParam)) / m_scale;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (GetFocus() != m_hwnd) {
                SetFocus(m_hwnd);
            }
            if (m_model.MouseDown(x, y, (wParam & MK_SHIFT) != 0)) {
                SetCapture(m_hwnd);
            }
            break;
        case WM_MOUSEMOVE:
            m_model.MouseMove(x, y);
            break;
        case WM_LBUTTONUP:
            if (!m_model.HasMouse()) {
                return false;
            }
            // The drag ends first, so the capture's release below is no longer taken as a
            // drag cut short.
            m_model.MouseUp(x, y);
            ReleaseCapture();
            break;
        default:
            return false;
    }
    m_lastX = x;
    m_lastY = y;
    AfterInput();
    return true;
}

bool CCurveGraph::OnKey(WPARAM key) {
    const std::optional<GraphKey> graphKey = KeyFor(key);
    if (!graphKey || !m_model.Key(*graphKey, (GetKeyState(VK_SHIFT) & 0x8000) != 0)) {
        return false;
    }
    AfterInput();
    return true;
}

void CCurveGraph::OnSize() {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    m_scale = static_cast<float>(WindowDpi(m_hwnd)) / kLogicalDpi;
    m_model.Resize(static_cast<int>(std::lround(client.right / m_scale)),
                   static_cast<int>(std::lround(client.bottom / m_scale)));
    if (m_tip != nullptr) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = m_hwnd;
        tool.uId = 0;
        tool.rect = client;
        SendMessageW(m_tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    Sync();
}

void CCurveGraph::AfterInput() {
    EnsureTip();
    ShowTip();
    Sync();
    if (m_afterInput) {
        m_afterInput();
    }
}

// ---- tooltip --------------------------------------------------------------------------------

void CCurveGraph::EnsureTip() {
    if (m_tip != nullptr || !m_model.TipCreated()) {
        return;
    }
    m_tip = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_hwnd, GWLP_HINSTANCE)), nullptr);
    if (m_tip == nullptr) {
        return;
    }
    // One tool, the whole control, whose text follows the point under the mouse.
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hwnd;
    tool.uId = 0;
    GetClientRect(m_hwnd, &tool.rect);
    wchar_t empty[] = L"";
    tool.lpszText = empty;
    SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Shown at once. Not as TTDT_AUTOMATIC 0: comctl32s differ on that (wine's takes 0 for its
    // default of 500 ms), so the initial and reshow delays are set one by one, and the tip
    // stays up for the system's usual time.
    SendMessageW(m_tip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(0, 0));
    SendMessageW(m_tip, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(0, 0));
    SendMessageW(m_tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, -1);
    SendMessageW(m_tip, TTM_ACTIVATE, TRUE, 0);
    m_shownTip.clear();
}

void CCurveGraph::ShowTip() {
    if (m_tip == nullptr || m_model.TipText() == m_shownTip) {
        return;
    }
    m_shownTip = m_model.TipText();
    if (m_shownTip.empty()) {
        SendMessageW(m_tip, TTM_POP, 0, 0);
        return;
    }
    std::wstring text = Wide(m_shownTip);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hwnd;
    tool.uId = 0;
    tool.lpszText = text.data();
    SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CCurveGraph::RelayToTip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_tip == nullptr || m_model.TipText().empty()) {
        return;
    }
    MSG msg{};
    msg.hwnd = m_hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(GetMessageTime());
    const DWORD pos = GetMessagePos();
    msg.pt = POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    SendMessageW(m_tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

// ---- painting -------------------------------------------------------------------------------

void CCurveGraph::Sync() {
    EnsureTip();
    const GraphRepaint repaint = m_model.TakeRepaint();
    if (m_hwnd == nullptr) {
        return;
    }
    constexpr UINT kNow = RDW_INVALIDATE | RDW_UPDATENOW;
    // A click that picks another point moves the focus cue's ring away from the last one,
    // outside the stretch the model asks for.
    const int ring = m_model.Focused() ? m_model.SelectedIndex() : -1;
    if (repaint.whole || m_model.BackgroundDirty() || ring != m_ringPoint) {
        RedrawWindow(m_hwnd, nullptr, nullptr, kNow);
    } else if (!repaint.Empty()) {
        RECT client{};
        GetClientRect(m_hwnd, &client);
        RECT stretch = client;
        stretch.left = std::max(0L, static_cast<LONG>(std::floor(repaint.left * m_scale)));
        stretch.right =
            std::min(client.right, static_cast<LONG>(std::ceil(repaint.right * m_scale)));
        if (stretch.left < stretch.right) {
            RedrawWindow(m_hwnd, &stretch, nullptr, kNow);
        }
    }
}

POINT CCurveGraph::ClientPoint(int index) const {
    const GraphPoint p = m_model.PointPosition(index);
    return POINT{static_cast<LONG>(std::lround(p.x * m_scale)),
                 static_cast<LONG>(std::lround(p.y * m_scale))};
}

void CCurveGraph::Paint(HDC target, const RECT& area) {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0) {
        return;
    }
    if (!m_background.Fits(client.right, client.bottom)) {
        m_background.Create(client.right, client.bottom);
        m_frame.Create(client.right, client.bottom);
        m_model.bufferClean();
    }
    if (m_model.BackgroundDirty()) {
        RenderBackground();
    }
    ++m_paints;
    const int x = area.left;
    const int y = area.top;
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    BitBlt(m_frame.dc, x, y, w, h, m_background.dc, x, y, SRCCOPY);
    {
        GdiFlush();  // the copy above is in the bits before GDI+ draws on them
        gp::Bitmap target(m_frame.width, m_frame.height, m_frame.width * 4, PixelFormat32bppRGB,
                          static_cast<BYTE*>(m_frame.bits));
        gp::Graphics graphics(&target);
        graphics.SetClip(gp::Rect(x, y, w, h));
        graphics.ScaleTransform(m_scale, m_scale);
        DrawForeground(graphics, x / m_scale, (x + w) / m_scale);
        if (m_model.IsBanding()) {
            DrawBand(graphics);
        }
        if (m_model.Focused()) {
            DrawPickedRing(graphics);
        }
        m_ringPoint = m_model.Focused() ? m_model.SelectedIndex() : -1;
    }
    if (m_model.Focused()) {
        // The system's dotted focus frame round the control. It inverts what lies under it, and
        // the stretch was copied fresh from the static layer, so it is drawn within that only.
        const int saved = SaveDC(m_frame.dc);
        IntersectClipRect(m_frame.dc, area.left, area.top, area.right, area.bottom);
        DrawFocusRect(m_frame.dc, &client);
        RestoreDC(m_frame.dc, saved);
    }
    BitBlt(target, x, y, w, h, m_frame.dc, x, y, SRCCOPY);
}

void CCurveGraph::RenderBackground() {
    gp::Bitmap target(m_background.width, m_background.height, m_background.width * 4,
                      PixelFormat32bppRGB, static_cast<BYTE*>(m_background.bits));
    gp::Graphics graphics(&target);
    graphics.ScaleTransform(m_scale, m_scale);
    DrawBackground(graphics);
    m_model.BackgroundDrawn();
    ++m_backgroundRenders;
}

void CCurveGraph::DrawBackground(gp::Graphics& graphics) const {
    const QualityContainer quality(graphics);
    const gp::SolidBrush face(SystemColour(COLOR_BTNFACE));
    graphics.FillRectangle(&face, gp::RectF(0.0f, 0.0f, m_background.width / m_scale + 1.0f,
                                            m_background.height / m_scale + 1.0f));

    const PlotRect& p = m_model.Plot();
    if (p.width <= 0 || p.height <= 0) {
        return;
    }
    const gp::RectF plot(p.left, p.top, p.width, p.height);

    // Shadow, offset down and right, darkest in the middle.
    gp::GraphicsPath outline;
    outline.AddRectangle(plot);
    gp::PathGradientBrush shadow(&outline);
    shadow.SetCenterColor(kShadowCentre);
    gp::Color surround = kShadowSurround;
    int surroundCount = 1;
    shadow.SetSurroundColors(&surround, &surroundCount);
    graphics.TranslateTransform(kShadowOffset, kShadowOffset);
    graphics.FillRectangle(&shadow, plot);
    graphics.TranslateTransform(-kShadowOffset, -kShadowOffset);

    // Plot area: light at the top left, darker toward the bottom right.
    const gp::LinearGradientBrush gradient(plot, kPlotLight, kPlotDark, 45.0f, TRUE);
    graphics.FillRectangle(&gradient, plot);

    const gp::Pen border(kBorder, 1.0f);
    graphics.DrawRectangle(&border, plot);

    const gp::Pen grid(kGrid, 1.0f);
    for (const double x : m_model.VerticalGridX()) {
        const auto gx = static_cast<float>(x);
        graphics.DrawLine(&grid, gx, p.top, gx, p.Bottom());
    }
    for (const double y : m_model.HorizontalGridY()) {
        const auto gy = static_cast<float>(y);
        graphics.DrawLine(&grid, p.left, gy, p.Right(), gy);
    }
}

void CCurveGraph::DrawForeground(gp::Graphics& graphics, float left, float right) const {
    const QualityContainer quality(graphics);
    const PlotRect& p = m_model.Plot();
    const auto& points = m_model.Points();
    const auto at = [&points](int i) {
        const GraphPoint& point = points[static_cast<std::size_t>(i)];
        return gp::PointF(point.x, point.y);
    };

    // Only the part of the curve over the stretch being painted, from the last point left of
    // it to the first point right of it, so that a drag does not draw the whole curve again.
    constexpr float kPenReach = 2.0f;
    int first = 0;
    int last = kLast;
    for (int i = 0; i < kPercentPoints; ++i) {
        if (at(i).X <= left - kPenReach) {
            first = i;
        }
    }
    for (int i = kLast; i >= 0; --i) {
        if (at(i).X >= right + kPenReach) {
            last = i;
        }
    }

    // The area under the curve: up from the bottom to point 0, along the points, across to the
    // right edge at point 19's height and down. The line follows every edge of it but the
    // bottom and the right one.
    std::array<gp::PointF, kPercentPoints + 3> outline;
    int count = 0;
    outline[count++] = gp::PointF(at(first).X, p.Bottom());
    const int lineStart = first == 0 ? 0 : 1;
    for (int i = first; i <= last; ++i) {
        outline[count++] = at(i);
    }
    int lineCount = count - lineStart;
    if (last == kLast) {
        outline[count++] = gp::PointF(p.Right(), at(kLast).Y);
        ++lineCount;
        outline[count++] = gp::PointF(p.Right(), p.Bottom());
    } else {
        outline[count++] = gp::PointF(at(last).X, p.Bottom());
    }
    const gp::SolidBrush fill(kArea);
    graphics.FillPolygon(&fill, outline.data(), count, gp::FillModeAlternate);
    const gp::Pen line(kLine, 1.0f);
    graphics.DrawLines(&line, outline.data() + lineStart, lineCount);

    const float radius = kMarkerSize / 2.0f;
    const PointSet& selection = m_model.Selection();
    const gp::Color highlight = SystemColour(COLOR_HIGHLIGHT);
    const gp::Pen selectedRing(highlight, 2.0f);
    for (int i = 0; i < kPercentPoints; ++i) {
        const GraphPoint& point = points[static_cast<std::size_t>(i)];
        const bool selected = selection.test(static_cast<std::size_t>(i));
        const float reach = radius + 1.0f + (selected ? kSelectedRing + 1.0f : 0.0f);
        // Only the markers in the stretch being painted: a drag repaints a few of them.
        if (point.x + reach < left || point.x - reach > right) {
            continue;
        }
        const QualityContainer markerQuality(graphics);
        const gp::RectF circle(point.x - radius, point.y - radius, kMarkerSize, kMarkerSize);
        gp::GraphicsPath path;
        path.AddEllipse(circle);
        gp::PathGradientBrush marker(&path);
        marker.SetCenterPoint(gp::PointF(point.x - 3.0f, point.y - 3.0f));
        marker.SetCenterColor(kMarkerCentre);
        // A selected point's marker in the system's highlight, ringed with it; a point whose value
        // lies above the plot in red.
        gp::Color surround =
            selected ? highlight : (m_model.OutOfRange(i) ? kOutOfRangeSurround : kMarkerSurround);
        int surroundCount = 1;
        marker.SetSurroundColors(&surround, &surroundCount);
        graphics.FillEllipse(&marker, circle);
        graphics.DrawEllipse(&line, circle);
        if (selected) {
            const float ring = radius + kSelectedRing;
            graphics.DrawEllipse(&selectedRing, point.x - ring, point.y - ring, 2 * ring, 2 * ring);
        }
    }
}

void CCurveGraph::DrawBand(gp::Graphics& graphics) const {
    const PlotRect band = m_model.Band();
    const gp::SolidBrush fill(SystemColour(COLOR_HIGHLIGHT, kBandAlpha));
    const gp::Pen outline(SystemColour(COLOR_HIGHLIGHT), 1.0f);
    graphics.FillRectangle(&fill, band.left, band.top, band.width, band.height);
    graphics.DrawRectangle(&outline, band.left, band.top, band.width, band.height);
}

void CCurveGraph::DrawPickedRing(gp::Graphics& graphics) const {
    const int picked = m_model.SelectedIndex();
    if (picked < 0) {
        return;
    }
    const QualityContainer quality(graphics);
    const GraphPoint point = m_model.PointPosition(picked);
    const float ring = kMarkerSize / 2.0f + 3.0f;
    const gp::Pen pen(SystemColour(COLOR_HIGHLIGHT), 2.0f);
    graphics.DrawEllipse(&pen, point.x - ring, point.y - ring, 2 * ring, 2 * ring);
}

}  // namespace zentrik::win32
