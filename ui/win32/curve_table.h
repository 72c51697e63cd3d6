#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "editor/curve_graph_model.h"

namespace zentrik::win32 {

// The table of the curve's points beside the form's stage: a list view with one row per point
// (its number, its x value as the graph's tooltip gives it, its percent). It shows what the
// graph's model holds, the selection included, and reports the user's input; the form holds
// every rule.
//
// The percent is typed in place: Enter, F2, a double click or a digit opens a field over the
// point's percent; Enter or leaving the field commits it, Escape drops it, Tab and Up (Shift+Tab
// and Down) commit it and go on to the next (previous) point's percent. Rows are selected as in
// any list, with Shift for a range.
class CCurveTable {
  public:
    using TypedHandler = std::function<void(int point, const std::string& text)>;
    using SelectedHandler = std::function<void(const PointSet& rows)>;

    // The list view `list` (a child of the form) is taken over until it is destroyed.
    CCurveTable(HWND list, const CurveGraphModel& model, TypedHandler typed,
                SelectedHandler selected);
    ~CCurveTable();
    CCurveTable(const CCurveTable&) = delete;
    CCurveTable& operator=(const CCurveTable&) = delete;

    HWND Hwnd() const { return m_list; }
    // The field a percent is typed in, while one is open (for tests).
    HWND Editor() const { return m_editor; }
    // Shows the points, their selection and the x column's name again when the model changed
    // (or whether or not, with `force`: a typed text the form did not take goes).
    void Sync(const std::string& xName, bool force);
    // The list's notices to its parent (WM_NOTIFY); true when taken.
    bool OnNotify(const NMHDR& header);

  private:
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK EditorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
    void SetText(int row, int column, const std::wstring& text);
    int FocusedRow() const;
    void BeginEdit(int row, const std::wstring* firstChar);
    // Ends the field: its text handed over (unless dropped), then on to `next` (-1: stay).
    void EndEdit(bool commit, int next);

    HWND m_list;
    const CurveGraphModel& m_model;
    TypedHandler m_typed;
    SelectedHandler m_selected;
    HWND m_editor = nullptr;
    int m_editRow = -1;
    bool m_ending = false;
    bool m_showing = false;
    bool m_shownOnce = false;
    unsigned m_shownRevision = 0;
    std::wstring m_xName;
    // What each cell shows: only this class sets the texts, and asking the list costs a
    // message through its subclass per cell.
    std::array<std::array<std::wstring, 3>, kPercentPoints> m_texts;
};

}  // namespace zentrik::win32
