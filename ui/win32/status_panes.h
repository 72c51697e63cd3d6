#pragma once

#include <windows.h>

#include <string>

// The frame's status bar: one stretching pane that shows the status text at its left and the
// link's statistics at its right, and a pane at the right end that counts the settings not
// uploaded (double-clicking it sends the parent NM_DBLCLK for part kMarkersPart). When the
// window narrows the statistics give way first: they are cut, then left out, before the status
// text is cut.
class CStatusPanes {
  public:
    CStatusPanes() = default;
    ~CStatusPanes();
    CStatusPanes(const CStatusPanes&) = delete;
    CStatusPanes& operator=(const CStatusPanes&) = delete;

    bool Create(HINSTANCE instance, HWND parent);
    HWND Hwnd() const { return m_hwnd; }
    // Its height once laid out at the bottom of the parent's client area; 0 when hidden.
    int LayOut();
    void SetTexts(const std::wstring& status, const std::wstring& statistics);
    void SetMarkersText(const std::wstring& text);
    static constexpr int kMarkersPart = 1;
    // The parent's WM_DRAWITEM for the bar's pane.
    void Draw(const DRAWITEMSTRUCT& item);

    const std::wstring& Status() const { return m_status; }
    const std::wstring& Statistics() const { return m_statistics; }
    const std::wstring& MarkersText() const { return m_markers; }
    // Whether the last drawing had room for the statistics (tests, and the curious).
    bool StatisticsShown() const { return m_statisticsShown; }

  private:
    // The parts: the stretching one, and the markers' as wide as their text.
    void SetParts();

    HWND m_hwnd = nullptr;
    std::wstring m_markers;
    int m_parts = 0;  // as last set; 0: set them again
    int m_firstPartRight = 0;
    std::wstring m_status;
    std::wstring m_statistics;
    bool m_statisticsShown = false;
};
