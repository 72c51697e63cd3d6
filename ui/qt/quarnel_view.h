#pragma once

#include <QWidget>
#include <array>
#include <map>
#include <set>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "editor/stage_form.h"
#include "editor/upload_markers.h"
#include "shell/quarnel_doc.h"

namespace zentrik {
class CCurveGraph;
class CCurveTable;
class CNumericEdit;
}  // namespace zentrik

// The configuration form in a Qt window: it creates a widget for every control of the form,
// shows the state the form's behaviour (StageForm) holds and hands it what the user does.
// Every rule lives in StageForm; this class only binds widgets to it.
//
// Every control carries its control id in its object name, "id" followed by the number
// ("id1003" is the RPM Cutoff field, "id1057" the graph, "id1078" the Redo button, "id1079"
// the table of the curve's points beside the stage). Controls without an id (group boxes, the
// fixed labels) have descriptive names.
//
// Ctrl+Z and Ctrl+Y (Ctrl+Shift+Z) reach the form's Undo and Redo as the main window's Edit
// menu's shortcuts; a key press the form's controls leave unhandled does the same, so the keys
// work in a form shown on its own too.
//
// The owner (the main frame) calls OnInitialUpdate once before the window is shown; the
// document calls OnUpdate with its update hint. The form's size hints give the frame its
// natural size.
class CQuarnelView : public QWidget, public zentrik::DocumentView {
    Q_OBJECT
  public:
    CQuarnelView(zentrik::ConfigDocument& doc, zentrik::AppSettings& settings,
                 QWidget* parent = nullptr);
    ~CQuarnelView() override;

    void OnInitialUpdate();
    // DocumentView: a non-zero hint refreshes the whole form.
    void OnUpdate(int hint) override;

    zentrik::StageForm& Form() { return m_form; }
    int CurrentStage() const { return m_form.CurrentStage(); }
    zentrik::CCurveGraph* Graph() const { return m_graph; }
    zentrik::CCurveTable* Table() const { return m_table; }
    // The control with a given id (nullptr for an unknown id).
    QWidget* Control(int id) const;
    zentrik::CNumericEdit* Edit(int id) const;

    // Hands a value typed but not yet confirmed to the form, as Enter would.
    void CommitPendingEdit();
    // Shows again what the form changed.
    void Sync();
    // Marks the controls whose values the controller does not hold (their labels in bold, red
    // for a value out of range, with a tip naming the controller's value) and the stages that
    // have such controls (a dot in the stage list).
    void ShowMarkers(const zentrik::UploadMarkers& markers);
    // The widget that shows control `id`'s mark.
    QWidget* MarkerWidget(int id) const;

  signals:
    // The form's state changed (what the menu's commands follow too).
    void formChanged();
    // The form took input and showed what it changed, if anything (the document may have
    // changed without a control's state changing: a curve point dragged).
    void synced();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreateControls();
    void ConnectControls();
    void SyncControl(int id);
    // Shows the marks of the stage on show where they changed.
    void ApplyMarkers();

    zentrik::UploadMarkers m_markers;
    std::map<int, zentrik::ControlMarker> m_shownMarkers;
    std::array<zentrik::MarkerKind, 2> m_shownStages{};

    zentrik::StageForm m_form;
    std::map<int, QWidget*> m_controls;
    zentrik::CCurveGraph* m_graph = nullptr;
    zentrik::CCurveTable* m_table = nullptr;
};
