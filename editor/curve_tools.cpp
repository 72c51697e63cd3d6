#include "editor/curve_tools.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "editor/numeric_field.h"

namespace zentrik {

namespace {

constexpr int kPressuresPerStage = 3;

}  // namespace

std::optional<double> ParseAmount(std::string_view text, AmountRange range) {
    const std::optional<double> value = NumericField::Parse(text);
    if (!value) {
        return std::nullopt;
    }
    return std::clamp(*value, range.minimum, range.maximum);
}

CurveTools::CurveTools(ConfigDocument& doc, CurveGraphModel& graph, CurveToolsHost& host)
    : m_doc(doc), m_graph(graph), m_host(host) {}

// ---- document access ---------------------------------------------------------------------------

Curve CurveTools::CurveOf(int stage) const {
    Curve curve;
    const StageConfig& record = m_doc.record.stage[stage];
    std::copy(std::begin(record.Percent), std::end(record.Percent), curve.begin());
    return curve;
}

void CurveTools::SetCurveOf(int stage, const Curve& curve) {
    std::copy(curve.begin(), curve.end(), std::begin(m_doc.record.stage[stage].Percent));
}

StageSettings CurveTools::SettingsOf(int stage) const {
    StageSettings settings;
    settings.record = m_doc.record.stage[stage];
    const auto first = m_doc.displayPressures.begin() + stage * kPressuresPerStage;
    std::copy(first, first + kPressuresPerStage, settings.pressures.begin());
    settings.inBar = MAP_In_bar(m_doc.record);
    return settings;
}

void CurveTools::SetSettingsOf(int stage, const StageSettings& settings) {
    m_doc.record.stage[stage] = settings.record;
    // The pressures in the unit the document uses now, converted as a change of unit would.
    const bool inBar = MAP_In_bar(m_doc.record);
    const double factor = settings.inBar == inBar ? 1.0 : (inBar ? kPsiToBar : kBarToPsi);
    const auto first = m_doc.displayPressures.begin() + stage * kPressuresPerStage;
    std::transform(settings.pressures.begin(), settings.pressures.end(), first,
                   [factor](double p) { return p * factor; });
}

bool CurveTools::CurveShown() const {
    return Present(m_doc.record.stage[Shown()]);
}

PointSet CurveTools::Targets() const {
    const PointSet& selection = m_graph.Selection();
    return selection.any() ? selection : PointSet{}.set();
}

// ---- the history -------------------------------------------------------------------------------

void CurveTools::SnapshotCurve() {
    m_history.Push(UndoStep{UndoStep::kShownStage, CurveOf(Shown()), std::nullopt});
    m_host.HistoryChanged(CurveToolsHost::History::Pushed);
}

bool CurveTools::UndoReady() const {
    const UndoStep* step = m_history.NextUndo();
    return step != nullptr && (step->ForOneStage() || CurveShown());
}

bool CurveTools::RedoReady() const {
    const UndoStep* step = m_history.NextRedo();
    return step != nullptr && (step->ForOneStage() || CurveShown());
}

UndoStep CurveTools::Capture(const UndoStep& like) const {
    UndoStep now{like.stage, {}, std::nullopt};
    const int stage = like.ForOneStage() ? like.stage : Shown();
    if (like.settings) {
        now.settings = SettingsOf(stage);
    } else {
        now.curve = CurveOf(stage);
    }
    return now;
}

void CurveTools::Restore(const UndoStep& step) {
    const int stage = step.ForOneStage() ? step.stage : Shown();
    if (step.settings) {
        SetSettingsOf(stage, *step.settings);
        m_host.ShowStageSettings(stage);
        return;
    }
    SetCurveOf(stage, step.curve);
    if (stage == Shown()) {
        m_host.ShowCurve(true);
    }
}

void CurveTools::Undo() {
    const UndoStep* next = m_history.NextUndo();
    if (next == nullptr) {
        return;
    }
    const std::optional<UndoStep> restored = m_history.Undo(Capture(*next));
    Restore(*restored);
    m_host.HistoryChanged(CurveToolsHost::History::Undone);
}

void CurveTools::Redo() {
    const UndoStep* next = m_history.NextRedo();
    if (next == nullptr) {
        return;
    }
    const std::optional<UndoStep> restored = m_history.Redo(Capture(*next));
    Restore(*restored);
    m_host.HistoryChanged(CurveToolsHost::History::Redone);
}

void CurveTools::OnDocumentReplaced(bool anotherDocument) {
    if (anotherDocument) {
        m_history = CurveUndoStack{};  // nothing of another document can come back
    } else {
        m_history.ForgetStageSteps();
    }
    m_graph.SetSelection({});
    m_host.HistoryChanged(CurveToolsHost::History::Forgotten);
}

// ---- commands ----------------------------------------------------------------------------------

void CurveTools::ChangeShownCurve(const Curve& curve) {
    if (curve == CurveOf(Shown())) {
        return;  // nothing changes, so there is nothing to undo either
    }
    SnapshotCurve();
    SetCurveOf(Shown(), curve);
    m_host.ShowCurve(true);
}

void CurveTools::SmoothPoints() {
    SnapshotCurve();
    Curve curve = CurveOf(Shown());
    zentrik::SmoothPoints(curve);
    SetCurveOf(Shown(), curve);
    m_host.ShowCurve(true);
}

void CurveTools::ResetToStraightLine() {
    SnapshotCurve();
    Curve curve = CurveOf(Shown());
    zentrik::ResetToStraightLine(curve);
    SetCurveOf(Shown(), curve);
    m_host.ShowCurve(true);
}

void CurveTools::ScalePoints(double factor) {
    Curve curve = CurveOf(Shown());
    const PointSet targets = Targets();
    for (std::size_t i = 0; i < curve.size(); ++i) {
        if (targets.test(i)) {
            curve[i] = ScaledPercent(curve[i], factor);
        }
    }
    ChangeShownCurve(curve);
}

void CurveTools::AddToPoints(double amount) {
    Curve curve = CurveOf(Shown());
    const PointSet targets = Targets();
    for (std::size_t i = 0; i < curve.size(); ++i) {
        if (targets.test(i)) {
            curve[i] = ShiftedPercent(curve[i], amount);
        }
    }
    ChangeShownCurve(curve);
}

void CurveTools::InterpolatePoints() {
    const PointSet targets = Targets();
    int first = kPercentPoints;
    int last = -1;
    for (int i = 0; i < kPercentPoints; ++i) {
        if (targets.test(static_cast<std::size_t>(i))) {
            first = std::min(first, i);
            last = std::max(last, i);
        }
    }
    Curve curve = CurveOf(Shown());
    zentrik::InterpolatePoints(curve, first, last);
    ChangeShownCurve(curve);
}

void CurveTools::CopyCurveToOtherStage() {
    const int other = Other();
    const Curve curve = CurveOf(Shown());
    if (curve == CurveOf(other)) {
        return;
    }
    m_history.Push(UndoStep{other, CurveOf(other), std::nullopt});
    SetCurveOf(other, curve);
    m_host.HistoryChanged(CurveToolsHost::History::Pushed);
}

void CurveTools::CopyAllSettingsToOtherStage() {
    const int other = Other();
    const StageSettings before = SettingsOf(other);
    StageSettings copy = SettingsOf(Shown());
    // The reserved bytes are not settings: each stage keeps its own.
    copy.record.reserved1 = before.record.reserved1;
    copy.record.reserved7 = before.record.reserved7;
    std::copy(std::begin(before.record.reserved36), std::end(before.record.reserved36),
              std::begin(copy.record.reserved36));
    if (std::memcmp(&copy.record, &before.record, sizeof copy.record) == 0 &&
        copy.pressures == before.pressures) {
        return;
    }
    m_history.Push(UndoStep{other, {}, before});
    SetSettingsOf(other, copy);
    m_host.HistoryChanged(CurveToolsHost::History::Pushed);
    m_host.ShowStageSettings(other);
}

void CurveTools::OnCurveDragged() {
    SnapshotCurve();
    SetCurveOf(Shown(), m_graph.GetPercents());
    m_host.ShowCurve(false);
}

bool CurveTools::OnPointTyped(int point, std::string_view text) {
    const std::optional<double> value = ParseAmount(text, AmountRange{0.0, 100.0});
    if (!value || point < 0 || point >= kPercentPoints) {
        return false;
    }
    Curve curve = CurveOf(Shown());
    curve[static_cast<std::size_t>(point)] = static_cast<std::uint8_t>(std::trunc(*value));
    ChangeShownCurve(curve);
    return true;
}

}  // namespace zentrik
