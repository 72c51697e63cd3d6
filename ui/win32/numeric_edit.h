#pragma once

#include <windows.h>

#include <string>

#include "editor/numeric_field.h"

namespace zentrik::win32 {

// The ids of the numeric edit's registered messages, each registered by its full string. The
// form answers only `changed` (NEN_CHANGED): wParam is the control's id, lParam the address of
// the new value (a double), and the answer is 1.
struct NumericEditMessages {
    UINT getPos;       // lParam: double* for the value
    UINT setPos;       // lParam: const double*; reported to the owner as a change
    UINT getRange;     // wParam, lParam: double* for the minimum and the maximum
    UINT setRange;     // the range is the field's, which only its owner sets: answers FALSE
    UINT getReadOnly;  // answers whether the control is read-only
    UINT setReadOnly;  // wParam: TRUE for read-only
    UINT changed;      // NEN_CHANGED, sent to the parent
};

// The form's edit control for one numeric field, registered under the window class
// "MFCNumericEditCtrl" (a superclass of EDIT, so that dialog templates create it by that name).
// It shows the NumericField its owner attaches: the format with unit while it has no focus, the
// plain format while it has (all selected when the focus arrives). What the user types stays
// here until Enter, leaving the control or a commit asked by the owner hands it over, once;
// then the text is parsed and the value sent to the parent with NEN_CHANGED (text that is no
// number brings the field's value back and sends nothing). Up/Down, PageUp/PageDown and the
// wheel while it has the focus send the stepped value (typed text first). Escape while typing
// puts the value back. The value, its range and formats live in the field, never here.
class CNumericEdit {
  public:
    static constexpr wchar_t kClassName[] = L"MFCNumericEditCtrl";
    // The control's own messages.
    static constexpr UINT kAttachField = WM_USER + 0x100;  // lParam: const NumericField*
    static constexpr UINT kShowField = WM_USER + 0x101;    // shows the field again
    // Hands typed text over as Enter does; answers TRUE when there was typed text.
    static constexpr UINT kCommitTyped = WM_USER + 0x102;

    // Registers the class once per process (later calls only check it); false on failure.
    static bool Register(HINSTANCE instance);
    static const NumericEditMessages& Messages();
    // Whether `hwnd` is a numeric edit holding text the user typed and has not confirmed.
    static bool IsTyping(HWND hwnd);

    CNumericEdit(const CNumericEdit&) = delete;
    CNumericEdit& operator=(const CNumericEdit&) = delete;

  private:
    explicit CNumericEdit(HWND hwnd) : m_hwnd(hwnd) {}

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    bool OnKeyDown(WPARAM key);
    UINT DialogCode(WPARAM wParam, LPARAM lParam);

    bool Typing() const;
    bool ReadOnly() const;
    void ShowField();
    bool CommitTyped();
    void Step(int steps);
    void Report(double value);
    std::wstring Text() const;

    static WNDPROC s_editProc;

    HWND m_hwnd;
    const NumericField* m_field = nullptr;
    WheelSteps m_wheel;
};

}  // namespace zentrik::win32
