#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "editor/stage_form.h"
#include "editor/upload_markers.h"
#include "shell/quarnel_doc.h"
#include "ui/win32/form_markers.h"

namespace zentrik::win32 {
class CCurveGraph;
class CCurveTable;
}  // namespace zentrik::win32

// The configuration form in a Win32 window: dialog template 130 made a child of the frame's
// client area, with the Redo button and the table of the curve's points (a list view right of
// the stage frame, the form widened to hold it) added in code. It fills the lists, binds the
// numeric edits, the graph and the table to the form's behaviour (StageForm), shows the state
// StageForm holds and hands it what the user does. Every rule lives in StageForm; this class
// only binds windows to it.
//
// The frame creates it with Create, then calls OnInitialUpdate once; the document calls
// OnUpdate with its hint. The frame's message loop hands every message to PreTranslate first
// (after its own accelerators) and dispatches it only when PreTranslate returns false: the
// form needs that for Tab, Enter and Escape in its controls and for Undo/Redo from the
// keyboard. GDI+ must have been started (GdiplusStartup) before Create and stay up while the
// form exists.
class CQuarnelView : public zentrik::DocumentView {
  public:
    CQuarnelView(zentrik::ConfigDocument& doc, zentrik::AppSettings& settings);
    ~CQuarnelView() override;
    CQuarnelView(const CQuarnelView&) = delete;
    CQuarnelView& operator=(const CQuarnelView&) = delete;

    // Registers the numeric edit's class if needed and creates template 130 as a child of
    // `parent` (WS_CHILD, no caption), with every list filled and the graph and edits bound.
    bool Create(HINSTANCE instance, HWND parent);
    HWND Hwnd() const { return m_hwnd; }
    // StageForm::OnInitialUpdate, then every control shown from the state.
    void OnInitialUpdate();
    // DocumentView: a non-zero hint refreshes the whole form.
    void OnUpdate(int hint) override;
    // A typed but unconfirmed value goes to the form first, as Enter would send it. The frame
    // calls this before any command acts on the document.
    void CommitPendingEdit();
    // The form's size in pixels: template 130 at the current DPI, or more where its controls
    // (the table beside the stage among them) reach further.
    SIZE FormSize() const;
    zentrik::StageForm& Form() { return m_form; }
    // The control with a given id (nullptr for none), for tests.
    HWND Control(int id) const;
    // The frame's message loop offers every message here first; true when the form took it
    // (then the loop neither translates nor dispatches it).
    bool PreTranslate(MSG& msg);

    // Runs after every input the form took (cheap to follow: it may have changed nothing).
    void SetChangedHandler(std::function<void()> handler) { m_changed = std::move(handler); }
    // Marks the controls whose values the controller does not hold, and the stages that have
    // such controls (CFormMarkers).
    void ShowMarkers(const zentrik::UploadMarkers& markers);
    const CFormMarkers& Markers() const { return m_marks; }

    // The graph and the table, for tests.
    zentrik::win32::CCurveGraph& Graph() { return *m_graph; }
    zentrik::win32::CCurveTable& Table() { return *m_table; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void FillLists();
    void CreateRedoButton();
    void CreateTable();
    void FitLabelsToTheirTexts();
    void MeasureExtent();
    bool OnCommand(int id, int code);
    // Shows again what the form changed, then repaints what the graph says.
    void Sync();
    void SyncControl(int id);

    zentrik::StageForm m_form;
    HINSTANCE m_instance = nullptr;
    HWND m_hwnd = nullptr;
    std::unique_ptr<zentrik::win32::CCurveGraph> m_graph;
    std::unique_ptr<zentrik::win32::CCurveTable> m_table;
    SIZE m_extent{0, 0};
    std::function<void()> m_changed;
    zentrik::UploadMarkers m_markers;
    CFormMarkers m_marks;
    // The controls by id, as found once: GetDlgItem asks the system for the form's children
    // on every call, and the controls stay for the form's life.
    mutable std::map<int, HWND> m_controls;
};
