#pragma once

#include <optional>
#include <string_view>

#include "config/config_document.h"
#include "editor/curve_graph_model.h"
#include "editor/curve_undo_stack.h"

namespace zentrik {

// What the curve tools need of the form they work in.
class CurveToolsHost {
  public:
    enum class History { Pushed, Undone, Redone, Forgotten };

    virtual int CurrentStage() const = 0;
    // The stage on display has a new curve in the record: the Start and Final fields show it,
    // and the graph when it does not show it already (the end of a drag).
    virtual void ShowCurve(bool refreshGraph) = 0;
    // A stage's settings were replaced as a whole: the value rules run for it, and the form
    // shows the stage on display again.
    virtual void ShowStageSettings(int stage) = 0;
    // The history changed: the Undo and Redo buttons follow.
    virtual void HistoryChanged(History change) = 0;

  protected:
    ~CurveToolsHost() = default;
};

// What the number prompts of the curve commands accept.
struct AmountRange {
    double minimum;
    double maximum;
};
inline constexpr AmountRange kScaleFactorRange{0.0, 1000.0};  // percent of each point
inline constexpr AmountRange kAddAmountRange{-100.0, 100.0};  // percent added to each point

// Typed text as an amount, brought into its range as a field brings a value into its own;
// nothing when the text is not a number.
std::optional<double> ParseAmount(std::string_view text, AmountRange range);

// The curve commands of the form and their history: smoothing, the straight line, scaling,
// adding, interpolating, copying to the other stage, a percent typed into the table and the
// end of a drag, each one step of Undo and Redo. Every command acts on the stage on display;
// the point commands on the selected points, or on all points when none is selected.
class CurveTools {
  public:
    CurveTools(ConfigDocument& doc, CurveGraphModel& graph, CurveToolsHost& host);
    CurveTools(const CurveTools&) = delete;
    CurveTools& operator=(const CurveTools&) = delete;

    // ---- the history
    // Before the curve on display changes: the curve as it is goes on the undo side.
    void SnapshotCurve();
    void Undo();
    void Redo();
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    // Whether Undo (Redo) from the menu or the keyboard acts now: a step for the curve on
    // display while the stage is present; a step made for one stage at any time.
    bool UndoReady() const;
    bool RedoReady() const;
    // The document was replaced: after a download of the same configuration's controller the
    // steps made for one stage go, after another document (a file opened) every step goes;
    // the selection goes with them.
    void OnDocumentReplaced(bool anotherDocument);
    const CurveUndoStack& History() const { return m_history; }

    // ---- commands
    // The stage on display is present, so its curve is on the form.
    bool CurveShown() const;
    void SmoothPoints();
    void ResetToStraightLine();
    // Each point times `factor` percent; `amount` percent added to each point; the points
    // between the first and the last selected one on the straight line between those two.
    void ScalePoints(double factor);
    void AddToPoints(double amount);
    void InterpolatePoints();
    void CopyCurveToOtherStage();
    void CopyAllSettingsToOtherStage();
    // The graph reports the end of a drag: its points go into the record.
    void OnCurveDragged();
    // A percent typed for a point (the table): 0..100, truncated, as the Start and Final fields
    // take theirs. False when the text is not a number; the point keeps its value.
    bool OnPointTyped(int point, std::string_view text);

    // The points the point commands act on: the selection, or every point.
    PointSet Targets() const;

  private:
    int Shown() const { return m_host.CurrentStage(); }
    int Other() const { return 1 - m_host.CurrentStage(); }
    Curve CurveOf(int stage) const;
    void SetCurveOf(int stage, const Curve& curve);
    StageSettings SettingsOf(int stage) const;
    void SetSettingsOf(int stage, const StageSettings& settings);
    // The curve on display becomes `curve`, one step of history, when it differs.
    void ChangeShownCurve(const Curve& curve);
    // What a step would now replace: the same stage, the same kind of step.
    UndoStep Capture(const UndoStep& like) const;
    void Restore(const UndoStep& step);

    ConfigDocument& m_doc;
    CurveGraphModel& m_graph;
    CurveToolsHost& m_host;
    CurveUndoStack m_history;
};

}  // namespace zentrik
