#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "editor/curve_graph_model.h"

namespace Gdiplus {
class Graphics;
}  // namespace Gdiplus

namespace zentrik::win32 {

// The form's percent curve graph: it takes over the template's static control (subclassed),
// paints what the graph's behaviour (CurveGraphModel) holds and hands it the size, the mouse
// and the keys. It is its own off-screen buffer, with one memory bitmap per layer: the static
// layer (button-face fill, shadow, gradient plot area, border, grid) is rendered with GDI+ only
// while the model says it is dirty (a new range or size); every paint copies it into the frame
// bitmap, draws the curve (area, line, markers, the selection, the band being drawn) over it and
// copies the result to the screen, only within the stretch the model asks to repaint.
//
// The model works in logical pixels (96 per inch); the layers have the window's device pixels
// and GDI+ scales the drawing into them, so nothing is stretched at a higher resolution. The
// tooltip (common controls) shows the model's tip text while the mouse rests on a point.
class CCurveGraph {
  public:
    // Takes over `control` until it is destroyed; `afterInput` runs after every mouse or key
    // input the graph took, so that its owner shows what the input changed.
    CCurveGraph(HWND control, CurveGraphModel& model, std::function<void()> afterInput);
    ~CCurveGraph();
    CCurveGraph(const CCurveGraph&) = delete;
    CCurveGraph& operator=(const CCurveGraph&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    // The tooltip window; nullptr until the model allows tips and the graph made one.
    HWND Tip() const { return m_tip; }
    // Repaints, at once, what the model says changed.
    void Sync();

    // Device pixels per logical pixel.
    float Scale() const { return m_scale; }
    // A point's place in client pixels, for tests.
    POINT ClientPoint(int index) const;
    int BackgroundRenderCount() const { return m_backgroundRenders; }
    int PaintCount() const { return m_paints; }

  private:
    // A memory bitmap with its device context, in device pixels. GDI copies between the layers
    // and to the screen; GDI+ draws straight into the bits.
    struct Layer {
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        HGDIOBJ previous = nullptr;
        void* bits = nullptr;
        int width = 0;
        int height = 0;
        bool Fits(int w, int h) const { return dc != nullptr && width == w && height == h; }
        void Create(int w, int h);
        void Release();
    };

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnMouse(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnKey(WPARAM key);
    void OnSize();
    void AfterInput();
    void EnsureTip();
    void ShowTip();
    void RelayToTip(UINT message, WPARAM wParam, LPARAM lParam);
    void Detach();

    void Paint(HDC target, const RECT& area);
    void RenderBackground();
    void DrawBackground(Gdiplus::Graphics& graphics) const;
    // `left` and `right`: the stretch being painted, in logical pixels.
    void DrawForeground(Gdiplus::Graphics& graphics, float left, float right) const;
    // While the graph has the focus: a ring round the point the keys move.
    void DrawPickedRing(Gdiplus::Graphics& graphics) const;
    // The band being drawn to select points.
    void DrawBand(Gdiplus::Graphics& graphics) const;

    HWND m_hwnd;
    CurveGraphModel& m_model;
    std::function<void()> m_afterInput;
    HWND m_tip = nullptr;
    std::string m_shownTip;
    float m_scale = 1.0f;
    Layer m_background;
    Layer m_frame;
    int m_ringPoint = -1;  // the point the ring was last painted round
    int m_backgroundRenders = 0;
    int m_paints = 0;
    float m_lastX = 0.0f;  // the last mouse position, in logical pixels
    float m_lastY = 0.0f;
};

}  // namespace zentrik::win32
