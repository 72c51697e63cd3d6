#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <string>

#include "editor/upload_markers.h"

// The marks on the form's controls whose values the controller does not hold: a small dot
// beside the control's label (the highlight colour for a value not uploaded, red for one out
// of range) whose tip, and the label's, name the controller's value; and in the stage list a
// dot after the name of a stage that has such controls.
class CFormMarkers {
  public:
    CFormMarkers() = default;
    ~CFormMarkers();
    CFormMarkers(const CFormMarkers&) = delete;
    CFormMarkers& operator=(const CFormMarkers&) = delete;

    // Makes the dots (hidden) and the tip window as children of the form `form`.
    void Create(HINSTANCE instance, HWND form);
    // Shows `markers` for the page of stage `stage`, changing only what differs from what is
    // shown; a control hidden since keeps no dot.
    void Show(const zentrik::UploadMarkers& markers, int stage);
    // The form's WM_DRAWITEM; true when it was a dot.
    bool Draw(const DRAWITEMSTRUCT& item);

    // The dot of control `id` and the tip it shows, for tests.
    HWND Dot(int id) const;
    std::wstring Tip(int id) const;

  private:
    struct Shown {
        zentrik::ControlMarker marker;
        bool visible = false;
        RECT place{};
    };
    HWND PlaceOf(int id) const;
    void FitToText(HWND label) const;
    RECT DotPlace(HWND place) const;
    void SetTip(HWND window, const std::wstring& text);

    HWND m_form = nullptr;
    HWND m_tip = nullptr;
    std::map<int, HWND> m_dots;
    std::map<HWND, zentrik::MarkerKind> m_kinds;
    std::map<int, Shown> m_shown;
    std::array<zentrik::MarkerKind, 2> m_stages{};
};
