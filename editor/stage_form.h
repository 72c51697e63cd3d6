#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "editor/curve_graph_model.h"
#include "editor/curve_math.h"
#include "editor/curve_tools.h"
#include "editor/numeric_field.h"

namespace zentrik {

// What a window shows of one control of the form.
struct ControlState {
    bool shown = true;
    bool checked = false;  // check boxes
    int selected = -1;     // lists: the entry shown, -1 for none
    std::string unlisted;  // lists: a value no entry stands for, shown in place of one ("7?")
    std::string text;      // labels: the caption (the axis labels change theirs)
};

// The configuration form's behaviour: it edits the document's record and displayPressures
// one stage at a time and writes every change into the document at once (there is no apply
// step). It keeps the state of every control by its id (control_ids.h) and the rules that tie
// them together; a window creates its controls from FormControls(), shows the state it reads
// here and reports the user's input by id. After each call a window asks TakeChanges() which
// controls to show again (and the graph for its own repaint).
//
// Numeric fields follow the edit control's contract: SetValue with notification reports the
// value to OnValueChanged as a change by the user would; without it, it only shows the value.
//
// The curve commands and their history are CurveTools' (curve_tools.h); the form hands them
// its buttons and keys and shows what they change.
class StageForm : private CurveToolsHost {
  public:
    StageForm(ConfigDocument& doc, AppSettings& settings);
    StageForm(const StageForm&) = delete;
    StageForm& operator=(const StageForm&) = delete;

    // ---- creation and refresh
    // The update notice's hints: the document changed (a download), or it was replaced by
    // another one (a file opened), whose curve history the form then forgets.
    static constexpr int kHintChanged = 1;
    static constexpr int kHintReplaced = 2;

    // Once, after the window exists: the Stage list on Stage 1, the fields set up, the graph's
    // tip, ShowAll.
    void OnInitialUpdate();
    // The document's update notice: a non-zero hint refreshes the whole form.
    void OnUpdate(int hint);

    // ---- state, for the window
    int CurrentStage() const override { return m_currentStage; }
    const ControlState& Control(int id) const;
    const NumericField& Field(int id) const;
    bool IsField(int id) const { return m_fields.count(id) != 0; }
    CurveGraphModel& Graph() { return m_graph; }
    const CurveGraphModel& Graph() const { return m_graph; }
    CurveTools& Tools() { return m_tools; }
    const CurveTools& Tools() const { return m_tools; }
    bool UndoAvailable() const { return m_tools.CanUndo(); }
    bool RedoAvailable() const { return m_tools.CanRedo(); }
    // The ids whose state changed since the last call.
    std::set<int> TakeChanges();

    // ---- the user's input
    void OnListSelected(int id, int index);
    void OnCheckClicked(int id, bool checked);
    void OnButtonClicked(int id);
    // A value the user gave a field (by typing, a key or the wheel): brought into its range;
    // reported to the rules only when it differs from the field's value.
    void OnFieldChanged(int id, double value);
    // Typed text confirmed (Enter, leaving the field, or a command about to act on the
    // document). False when it is not a number: the field keeps its value.
    bool OnFieldTyped(int id, std::string_view text);
    void OnFieldStepped(int id, int steps);
    // Undo and Redo from the keyboard or the menu, when CurveTools says they act now.
    void UndoFromKeyboard();
    void RedoFromKeyboard();
    // The table of the curve's points: a percent typed for a point (false when it is not a
    // number), and the rows the user selected.
    bool OnPointTyped(int point, std::string_view text);
    void OnTableSelected(const PointSet& rows);

    // ---- filling the form from the document
    // Showing never changes the document: a value outside its field's range, a list value no
    // entry stands for, a trigger above its cut-off are shown as they are.
    void ShowAll();
    void ShowStage();
    void ApplyStageVisibility();
    // After a change of the stage's type, MAP End comes into the span the fields allow.
    void ShowCurveMode() { ShowCurveMode(true); }

    // ---- the value rules
    // A field reports a new value (the edit control's change notice).
    void OnValueChanged(int id, double value);
    void ApplyPressureUnits(bool convert);
    void NormaliseRpmTrigger();
    void NormaliseMapTrigger();
    void NormaliseMapEnd();

    void OnSmoothWhenDragging(bool checked);

  private:
    void InitialiseFields();
    void ShowCurveMode(bool normaliseEnd);
    // The ranges of the fields that depend on the cut-offs, from the values the fields allow.
    void ShowDependentRanges();
    // A list's value: its entry, or the value itself when no entry stands for it.
    void ShowListValue(int id, int index, int value);
    // The edit control's operations.
    void SetValue(int id, double value, bool notify);
    void SetRange(int id, double minimum, double maximum);
    void InitializeField(int id, double minimum, double maximum, double step,
                         const std::string& unitFormat, const std::string& plainFormat);
    // Control state, marking what changed.
    void Show(int id, bool shown);
    void SetChecked(int id, bool checked);
    void SetSelected(int id, int index);
    void SetLabel(int id, const std::string& text);
    ControlState& State(int id);

    // List and check box handlers.
    void OnInput2Selected(int index);
    void OnMultiplierSelected(int index);
    void OnInput2WillSelected(int index);
    void OnStageSelected(int index);
    void OnTypeSelected(int index);
    void OnUnitsSelected(int index);
    void OnStagePresentClicked(bool checked);
    void OnLockoutClicked(bool checked);
    void OnRpmPresentClicked(bool checked);

    // Graph feeding and field display.
    void RefreshGraph();
    void UpdateGraphStart();
    void UpdateGraphEnd();
    void ShowStartPercent();
    void ShowFinalPercent();
    void ShowDelay();
    void ShowRampTime();
    void ShowMapAxis();
    void UpdateRedoButton();

    // CurveToolsHost
    void ShowCurve(bool refreshGraph) override;
    void ShowStageSettings(int stage) override;
    void HistoryChanged(History change) override;

    // Document access for the current stage.
    StageConfig& Stage();
    double& Pressure(PressureField field);
    double XStart();
    double XEnd();
    bool InBar() const;
    double PressureLow() const;
    double PressureHigh() const;
    double CutoffLow() const;
    std::string PressureText(double value) const;
    Curve StageCurve();
    void SetStageCurve(const Curve& curve);

    ConfigDocument& m_doc;
    AppSettings& m_settings;
    int m_currentStage = 0;
    CurveGraphModel m_graph;
    CurveTools m_tools;
    std::map<int, ControlState> m_controls;
    std::map<int, NumericField> m_fields;
    std::set<int> m_changed;
};

}  // namespace zentrik
