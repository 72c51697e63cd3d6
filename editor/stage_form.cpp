#include "editor/stage_form.h"

#include <algorithm>
#include <cmath>

#include "base/text_format.h"
#include "editor/control_ids.h"
#include "editor/editor_texts.h"
#include "editor/field_setup.h"
#include "editor/form_controls.h"

namespace zentrik {

using namespace control_ids;
namespace texts = editor_texts;

namespace {

constexpr double kMapEndRise = 1.0;  // MAP End goes one whole unit above a trigger passing it

constexpr int kMaxRpmTrigger = 19999;

// Halves away from zero.
int Round(double v) {
    return static_cast<int>(std::trunc(v < 0 ? v - 0.5 : v + 0.5));
}

int Truncate(double v) {
    return static_cast<int>(std::trunc(v));
}

}  // namespace

StageForm::StageForm(ConfigDocument& doc, AppSettings& settings)
    : m_doc(doc), m_settings(settings), m_graph(settings), m_tools(doc, m_graph, *this) {
    for (const FormControlSpec& item : FormControls()) {
        if (item.id < 0) {
            continue;
        }
        ControlState state;
        state.shown = !item.hiddenAtStart;
        state.text = item.caption;
        m_controls[item.id] = state;
        if (item.kind == ControlKind::NumericEdit) {
            m_fields[item.id] = NumericField{};
        }
    }
    ControlState redo;
    redo.shown = false;
    redo.text = texts::kRedo;
    m_controls[kRedo] = redo;
    m_controls[kCurveTable] = ControlState{};
    m_graph.SetDragEndedHandler([this] { m_tools.OnCurveDragged(); });
}

// ---- control state -------------------------------------------------------------------------

const ControlState& StageForm::Control(int id) const {
    static const ControlState kNone{};
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? kNone : it->second;
}

const NumericField& StageForm::Field(int id) const {
    static const NumericField kNone{};
    const auto it = m_fields.find(id);
    return it == m_fields.end() ? kNone : it->second;
}

ControlState& StageForm::State(int id) {
    return m_controls[id];
}

std::set<int> StageForm::TakeChanges() {
    std::set<int> taken;
    taken.swap(m_changed);
    return taken;
}

void StageForm::Show(int id, bool shown) {
    ControlState& state = State(id);
    if (state.shown != shown) {
        state.shown = shown;
        m_changed.insert(id);
    }
}

void StageForm::SetChecked(int id, bool checked) {
    ControlState& state = State(id);
    if (state.checked != checked) {
        state.checked = checked;
        m_changed.insert(id);
    }
}

void StageForm::SetSelected(int id, int index) {
    ControlState& state = State(id);
    if (state.selected != index) {
        state.selected = index;
        m_changed.insert(id);
    }
}

void StageForm::SetLabel(int id, const std::string& text) {
    ControlState& state = State(id);
    if (state.text != text) {
        state.text = text;
        m_changed.insert(id);
    }
}

void StageForm::SetValue(int id, double value, bool notify) {
    NumericField& field = m_fields[id];
    field.SetValue(notify ? field.Clamp(value) : value);
    m_changed.insert(id);
    if (notify) {
        OnValueChanged(id, field.Value());
    }
}

void StageForm::SetRange(int id, double minimum, double maximum) {
    m_fields[id].SetRange(minimum, maximum);
    m_changed.insert(id);
}

void StageForm::InitializeField(int id, double minimum, double maximum, double step,
                                const std::string& unitFormat, const std::string& plainFormat) {
    m_fields[id].Initialize(minimum, maximum, step, unitFormat, plainFormat);
    m_changed.insert(id);
}

// ---- the user's input ----------------------------------------------------------------------

void StageForm::OnListSelected(int id, int index) {
    if (index < 0 || index >= static_cast<int>(ListEntries(id).size())) {
        return;  // no entry: the raw value a list shows in place of one
    }
    ShowListValue(id, index, index);
    switch (id) {
        case kInput2:
            OnInput2Selected(index);
            break;
        case kMultiplier:
            OnMultiplierSelected(index);
            break;
        case kInput2Will:
            OnInput2WillSelected(index);
            break;
        case kStage:
            OnStageSelected(index);
            break;
        case kType:
            OnTypeSelected(index);
            break;
        case kUnits:
            OnUnitsSelected(index);
            break;
        default:
            break;
    }
}

void StageForm::OnCheckClicked(int id, bool checked) {
    SetChecked(id, checked);
    switch (id) {
        case kStagePresent:
            OnStagePresentClicked(checked);
            break;
        case kLockout:
            OnLockoutClicked(checked);
            break;
        case kRpmPresent:
            OnRpmPresentClicked(checked);
            break;
        case kSmoothWhenDragging:
            OnSmoothWhenDragging(checked);
            break;
        default:
            break;
    }
}

void StageForm::OnButtonClicked(int id) {
    switch (id) {
        case kResetToStraightLine:
            m_tools.ResetToStraightLine();
            break;
        case kSmoothPoints:
            m_tools.SmoothPoints();
            break;
        case kUndo:
            m_tools.Undo();
            break;
        case kRedo:
            m_tools.Redo();
            break;
        default:
            break;
    }
}

void StageForm::OnFieldChanged(int id, double value) {
    const auto it = m_fields.find(id);
    if (it == m_fields.end()) {
        return;
    }
    NumericField& field = it->second;
    const double clamped = field.Clamp(value);
    const bool changed = clamped != field.Value();
    field.SetValue(clamped);
    m_changed.insert(id);  // shown again even when unchanged: the typed text goes
    if (changed) {
        OnValueChanged(id, clamped);
    }
}

bool StageForm::OnFieldTyped(int id, std::string_view text) {
    const std::optional<double> value = NumericField::Parse(text);
    if (!value) {
        m_changed.insert(id);  // not a number: the field goes back to its value
        return false;
    }
    OnFieldChanged(id, *value);
    return true;
}

void StageForm::OnFieldStepped(int id, int steps) {
    if (steps == 0 || !IsField(id)) {
        return;
    }
    OnFieldChanged(id, Field(id).Stepped(steps));
}

void StageForm::UndoFromKeyboard() {
    if (m_tools.UndoReady()) {
        m_tools.Undo();
    }
}

void StageForm::RedoFromKeyboard() {
    if (m_tools.RedoReady()) {
        m_tools.Redo();
    }
}

bool StageForm::OnPointTyped(int point, std::string_view text) {
    m_changed.insert(kCurveTable);  // shown again even when unchanged: the typed text goes
    return m_tools.OnPointTyped(point, text);
}

void StageForm::OnTableSelected(const PointSet& rows) {
    m_graph.SetSelection(rows);
}

// ---- creation and refresh ------------------------------------------------------------------

void StageForm::OnInitialUpdate() {
    OnUpdate(0);  // the first update notice carries no hint
    SetSelected(kStage, 0);
    InitialiseFields();
    m_graph.CreateTip();
    ShowAll();
}

void StageForm::InitialiseFields() {
    for (const NumericFieldSpec& item : kNumericFields) {
        InitializeField(item.id, item.minimum, item.maximum, item.step, item.unitFormat,
                        item.plainFormat);
    }
}

void StageForm::OnUpdate(int hint) {
    if (hint != 0) {
        m_tools.OnDocumentReplaced(hint == kHintReplaced);
        ShowAll();
    }
}

void StageForm::ShowListValue(int id, int index, int value) {
    ControlState& state = State(id);
    const std::string unlisted =
        index < 0 ? FormatNumbers(texts::kUnlistedFormat, {static_cast<double>(value)}) : "";
    if (state.selected != index || state.unlisted != unlisted) {
        state.selected = index;
        state.unlisted = unlisted;
        m_changed.insert(id);
    }
}

void StageForm::ShowAll() {
    const int input2 = m_doc.record.Input_Type2;
    ShowListValue(kInput2, input2 == 1 || input2 == 2 ? input2 - 1 : -1, input2);
    SetChecked(kRpmPresent, RPM_Present(m_doc.record));
    SetSelected(kUnits, InBar() ? 1 : 0);
    ApplyPressureUnits(false);
    const std::int8_t multiplier = m_doc.record.RPM_Multiplier;
    const int index = RpmMultiplierIndex(multiplier);
    ShowListValue(kMultiplier, RpmMultiplierValue(index) == multiplier ? index : -1, multiplier);
    SetChecked(kSmoothWhenDragging, m_settings.Smooth);
    ShowStage();
}

void StageForm::ShowStage() {
    StageConfig& stage = Stage();
    SetChecked(kStagePresent, Present(stage));
    SetSelected(kType, TIME_Based(stage) ? 1 : 0);
    SetChecked(kLockout, First_Gear_Lockout(stage));
    const int input2Will = Trig_Sx2_Config(stage);
    ShowListValue(kInput2Will, input2Will <= 2 ? input2Will : -1, input2Will);

    SetValue(kFrequency, stage.Frequency, false);
    SetValue(kRpmCutoff, stage.RPM_Max, false);
    SetValue(kMapCutoff, Pressure(PressureField::MAP_Max), false);
    SetValue(kRpmTrigger, stage.RPM_Trigger, false);
    SetValue(kMapTrigger, Pressure(PressureField::MAP_Trigger), false);
    SetValue(kMapEnd, Pressure(PressureField::MAP_End), false);
    ShowDependentRanges();
    ShowCurveMode(false);
    ApplyStageVisibility();
    ShowStartPercent();
    ShowFinalPercent();
    ShowDelay();
    ShowRampTime();
}

void StageForm::ApplyStageVisibility() {
    const StageConfig& stage = Stage();
    const bool present = Present(stage);
    const bool rpm = present && RPM_Present(m_doc.record);
    const bool time = present && TIME_Based(stage);
    const bool map = present && !TIME_Based(stage);
    SetChecked(kStagePresent, present);
    for (const int id : {kInput2Will,
                         kInput2WillLabel,
                         kThisStageLabel,
                         kFrequencyLabel,
                         kFrequency,
                         kStartLabel,
                         kStart,
                         kFinalLabel,
                         kFinal,
                         kPercentLabel,
                         kAxisStart,
                         kAxisName,
                         kAxisEnd,
                         kGraph,
                         kCurveTable,
                         kSmoothWhenDragging,
                         kResetToStraightLine,
                         kSmoothPoints,
                         kUndo,
                         kTypeLabel,
                         kType}) {
        Show(id, present);
    }
    for (const int id : {kLockout, kRpmCutoffLabel, kRpmCutoff, kRpmTriggerLabel, kRpmTrigger}) {
        Show(id, rpm);
    }
    for (const int id : {kDelayLabel, kDelay, kRampLabel, kRampTime}) {
        Show(id, time);
    }
    for (const int id : {kMapTriggerLabel, kMapTrigger, kMapEndLabel, kMapEnd}) {
        Show(id, map);
    }
    UpdateRedoButton();
}

void StageForm::ShowMapAxis() {
    SetLabel(kAxisName, InBar() ? texts::kMapAxisBar : texts::kMapAxisPsi);
    SetLabel(kAxisStart, PressureText(Pressure(PressureField::MAP_Trigger)));
    SetLabel(kAxisEnd, PressureText(Pressure(PressureField::MAP_End)));
}

void StageForm::ShowDependentRanges() {
    const double cutoff = Field(kRpmCutoff).Clamp(Stage().RPM_Max);
    SetRange(kRpmTrigger, 0, cutoff - 1);
    // A cut-off counts as far as it shows as a value of its field's range.
    const double max =
        std::clamp(Pressure(PressureField::MAP_Max), CutoffLow() - kPressureShownSlack,
                   PressureHigh() + kPressureShownSlack);
    SetRange(kMapTrigger, PressureLow(), max - kPressureStep);
    SetRange(kMapEnd, std::clamp(Pressure(PressureField::MAP_Trigger), PressureLow(), max), max);
}

void StageForm::ShowCurveMode(bool normaliseEnd) {
    const bool time = TIME_Based(Stage());
    SetSelected(kType, time ? 1 : 0);
    m_graph.SetAxisMode(time ? 1 : 0);
    m_graph.SetRange(XStart(), XEnd());
    // The time pair and the pressure pair share one place; one of them is shown.
    for (const int id : {kMapTriggerLabel, kMapEndLabel, kMapTrigger, kMapEnd}) {
        Show(id, !time);
    }
    for (const int id : {kDelayLabel, kRampLabel, kDelay, kRampTime}) {
        Show(id, time);
    }
    if (time) {
        SetLabel(kAxisName, texts::kTimeAxis);
        ShowDelay();
        ShowRampTime();
    } else {
        ShowMapAxis();
        if (normaliseEnd) {
            NormaliseMapEnd();
        }
    }
    RefreshGraph();
}

// ---- graph feeding and field display ------------------------------------------------------

void StageForm::RefreshGraph() {
    m_graph.SetCurve(XStart(), XEnd(), StageCurve());
}

void StageForm::UpdateGraphStart() {
    m_graph.SetStartPoint(XStart(), Stage().Percent[0]);
}

void StageForm::UpdateGraphEnd() {
    m_graph.SetEndPoint(XEnd(), Stage().Percent[kPercentPoints - 1]);
}

void StageForm::ShowStartPercent() {
    SetValue(kStart, Stage().Percent[0], false);
}

void StageForm::ShowFinalPercent() {
    SetValue(kFinal, Stage().Percent[kPercentPoints - 1], false);
}

void StageForm::ShowDelay() {
    SetValue(kDelay, Stage().Delay_Time * kTenthSecond, false);
    if (TIME_Based(Stage())) {
        SetLabel(kAxisStart, FormatNumbers(texts::kSecondsFormat, {XStart()}));
        SetLabel(kAxisEnd, FormatNumbers(texts::kSecondsFormat, {XEnd()}));
    }
}

void StageForm::ShowRampTime() {
    SetValue(kRampTime, Stage().Ramp_Time * kTenthSecond, false);
    if (TIME_Based(Stage())) {
        SetLabel(kAxisEnd, FormatNumbers(texts::kSecondsFormat, {XEnd()}));
    }
}

// ---- list and check box handlers -----------------------------------------------------------

void StageForm::OnInput2Selected(int index) {
    m_doc.record.Input_Type2 = static_cast<std::uint8_t>(index + 1);
}

void StageForm::OnMultiplierSelected(int index) {
    m_doc.record.RPM_Multiplier = RpmMultiplierValue(index);
}

void StageForm::OnInput2WillSelected(int index) {
    SetTrig_Sx2_Config(Stage(), index);
}

void StageForm::OnStageSelected(int index) {
    m_currentStage = index == 1 ? 1 : 0;
    m_graph.SetSelection({});  // the points chosen were the other curve's
    ShowStage();
}

void StageForm::OnTypeSelected(int index) {
    SetTIME_Based(Stage(), index & 1);
    ShowCurveMode();
}

void StageForm::OnUnitsSelected(int index) {
    const bool bar = index & 1;
    // Picking the unit already in use must not convert the pressures a second time.
    if (bar == InBar()) {
        return;
    }
    SetMAP_In_bar(m_doc.record, bar);
    ApplyPressureUnits(true);
}

void StageForm::OnStagePresentClicked(bool checked) {
    SetPresent(Stage(), checked);
    ApplyStageVisibility();
}

void StageForm::OnLockoutClicked(bool checked) {
    SetFirst_Gear_Lockout(Stage(), checked);
}

void StageForm::OnRpmPresentClicked(bool checked) {
    SetRPM_Present(m_doc.record, checked);
    if (!checked) {
        SetFirst_Gear_Lockout(Stage(), false);
    }
    ShowStage();
}

// ---- value rules ---------------------------------------------------------------------------

void StageForm::OnValueChanged(int id, double v) {
    StageConfig& stage = Stage();
    double& trigger = Pressure(PressureField::MAP_Trigger);
    double& end = Pressure(PressureField::MAP_End);
    double& max = Pressure(PressureField::MAP_Max);
    const bool mapBased = !TIME_Based(stage);
    switch (id) {
        case kFrequency:
            stage.Frequency = static_cast<std::uint8_t>(Round(v));
            break;
        case kRpmTrigger:
            stage.RPM_Trigger = static_cast<std::int16_t>(Round(v));
            break;
        case kRpmCutoff:
            stage.RPM_Max = static_cast<std::int16_t>(Round(v));
            SetRange(kRpmTrigger, 0, stage.RPM_Max - 1);
            if (stage.RPM_Max <= stage.RPM_Trigger) {
                stage.RPM_Trigger = static_cast<std::int16_t>(stage.RPM_Max - 1);
                NormaliseRpmTrigger();
            }
            break;
        case kMapCutoff:
            max = v;
            SetRange(kMapTrigger, PressureLow(), max - kPressureStep);
            SetRange(kMapEnd, trigger, max);
            if (max <= trigger) {
                trigger = max - kPressureStep;
                NormaliseMapTrigger();
            }
            if (mapBased && max < end) {
                end = max;
                NormaliseMapEnd();
            }
            break;
        case kMapTrigger:
            trigger = v;
            if (!mapBased) {
                break;
            }
            SetRange(kMapEnd, trigger, max);
            if (trigger > end) {
                // One whole unit above the trigger, but never above the cut-off.
                end = std::min(trigger + kMapEndRise, max);
                NormaliseMapEnd();
            }
            m_graph.SetRange(trigger, end);
            SetLabel(kAxisStart, PressureText(trigger));
            SetLabel(kAxisEnd, PressureText(end));
            UpdateGraphStart();
            break;
        case kMapEnd:
            end = v;
            if (!mapBased) {
                break;  // a time-based stage keeps its time axis
            }
            m_graph.SetRange(trigger, end);
            SetLabel(kAxisEnd, PressureText(end));
            UpdateGraphEnd();
            break;
        case kStart:
            m_tools.SnapshotCurve();
            stage.Percent[0] = static_cast<std::uint8_t>(Truncate(v));
            UpdateGraphStart();
            // With Smooth on the neighbours followed the new start point: the record takes
            // them in the same undo step, so what is saved is what is shown.
            SetStageCurve(m_graph.GetPercents());
            ShowFinalPercent();
            break;
        case kFinal:
            m_tools.SnapshotCurve();
            stage.Percent[kPercentPoints - 1] = static_cast<std::uint8_t>(Truncate(v));
            UpdateGraphEnd();
            SetStageCurve(m_graph.GetPercents());
            ShowStartPercent();
            break;
        case kDelay:
            m_tools.SnapshotCurve();
            stage.Delay_Time = static_cast<std::uint8_t>(Truncate(v * 10));
            ShowDelay();
            m_graph.SetRange(XStart(), XEnd());
            UpdateGraphStart();
            break;
        case kRampTime:
            m_tools.SnapshotCurve();
            stage.Ramp_Time = static_cast<std::uint8_t>(Truncate(v * 10));
            ShowRampTime();
            UpdateGraphEnd();
            break;
        default:
            break;
    }
}

void StageForm::NormaliseRpmTrigger() {
    StageConfig& stage = Stage();
    if (stage.RPM_Trigger < 0) {
        stage.RPM_Trigger = 0;
    } else if (stage.RPM_Trigger > kMaxRpmTrigger) {
        stage.RPM_Trigger = kMaxRpmTrigger;
    }
    if (stage.RPM_Trigger >= stage.RPM_Max) {
        stage.RPM_Max = static_cast<std::int16_t>(stage.RPM_Trigger + 1);
        SetValue(kRpmCutoff, stage.RPM_Max, true);
    }
    SetValue(kRpmTrigger, Stage().RPM_Trigger, true);
}

void StageForm::NormaliseMapTrigger() {
    double& trigger = Pressure(PressureField::MAP_Trigger);
    double& max = Pressure(PressureField::MAP_Max);
    if (trigger < PressureLow()) {
        trigger = PressureLow();
    } else if (trigger > PressureHigh() - kPressureStep) {
        trigger = PressureHigh() - kPressureStep;
    }
    if (trigger >= max) {
        max = trigger + kPressureStep;
        SetValue(kMapCutoff, max, true);
        OnValueChanged(kMapEnd, max);
        SetValue(kMapEnd, Pressure(PressureField::MAP_End), false);
    }
    if (!TIME_Based(Stage())) {
        SetLabel(kAxisStart, PressureText(trigger));
    }
    SetValue(kMapTrigger, trigger, true);
}

void StageForm::NormaliseMapEnd() {
    if (TIME_Based(Stage())) {
        return;
    }
    const double trigger = Pressure(PressureField::MAP_Trigger);
    const double max = Pressure(PressureField::MAP_Max);
    double& end = Pressure(PressureField::MAP_End);
    if (end < trigger) {
        end = max;
    } else if (end > max) {
        end = max;  // the field's own range ends at the cut-off
    }
    m_graph.SetRange(trigger, end);  // the graph's span follows the end it shows
    SetLabel(kAxisEnd, PressureText(end));
    SetValue(kMapEnd, end, false);
}

void StageForm::ApplyPressureUnits(bool convert) {
    const bool bar = InBar();
    if (convert) {
        const double factor = bar ? kPsiToBar : kBarToPsi;
        for (double& p : m_doc.displayPressures) {
            p *= factor;
        }
    }
    const double trigger = Pressure(PressureField::MAP_Trigger);
    const double end = Pressure(PressureField::MAP_End);
    const double max = Pressure(PressureField::MAP_Max);
    const std::string format = bar ? texts::kBarFormat : texts::kPsiFormat;
    const std::string plain = texts::kOneDecimal;
    InitializeField(kMapTrigger, PressureLow(), max - kPressureStep, kPressureStep, format, plain);
    InitializeField(kMapEnd, trigger, max, kPressureStep, format, plain);
    InitializeField(kMapCutoff, CutoffLow(), PressureHigh(), kPressureStep, format, plain);
    if (convert) {
        SetValue(kMapTrigger, trigger, false);
        SetValue(kMapCutoff, max, false);
        SetValue(kMapEnd, end, false);
    }
    if (!TIME_Based(Stage())) {
        ShowMapAxis();
        if (convert) {
            m_graph.SetRange(trigger, end);
        }
    }
}

// ---- the curve tools' host ----------------------------------------------------------------

void StageForm::UpdateRedoButton() {
    Show(kRedo, Present(Stage()) && m_tools.CanRedo());
}

void StageForm::ShowCurve(bool refreshGraph) {
    if (refreshGraph) {
        RefreshGraph();
    }
    ShowStartPercent();
    ShowFinalPercent();
}

void StageForm::ShowStageSettings(int stage) {
    if (stage != m_currentStage) {
        // The value rules for that stage, as showing it runs them; then the stage on display.
        const int shown = m_currentStage;
        m_currentStage = stage;
        ShowStage();
        m_currentStage = shown;
    }
    ShowStage();
}

void StageForm::HistoryChanged(History change) {
    switch (change) {
        case History::Pushed:
        case History::Redone:
            if (Present(Stage())) {
                Show(kUndo, true);
            }
            break;
        case History::Undone:
            if (!m_tools.CanUndo()) {
                Show(kUndo, false);  // the last step is gone
            }
            break;
        case History::Forgotten:
            break;  // the button follows the visibility rules, as after a change of stage
    }
    m_changed.insert(kUndo);  // what follows the history (the menu's Undo) is shown again
    UpdateRedoButton();
}

void StageForm::OnSmoothWhenDragging(bool checked) {
    m_settings.Smooth = checked;
}

// ---- document access -----------------------------------------------------------------------

StageConfig& StageForm::Stage() {
    return m_doc.record.stage[m_currentStage];
}

double& StageForm::Pressure(PressureField field) {
    return m_doc.displayPressures[static_cast<std::size_t>(PressureIndex(m_currentStage, field))];
}

bool StageForm::InBar() const {
    return MAP_In_bar(m_doc.record);
}

double StageForm::PressureLow() const {
    return PressureLimitsFor(InBar()).low;
}

double StageForm::PressureHigh() const {
    return PressureLimitsFor(InBar()).high;
}

double StageForm::CutoffLow() const {
    return PressureLimitsFor(InBar()).cutoffLow;
}

std::string StageForm::PressureText(double value) const {
    return FormatNumbers(InBar() ? texts::kBarFormat : texts::kPsiFormat, {value});
}

double StageForm::XStart() {
    return StageCurveSpan(m_doc, m_currentStage).start;
}

double StageForm::XEnd() {
    return StageCurveSpan(m_doc, m_currentStage).end;
}

Curve StageForm::StageCurve() {
    Curve curve;
    std::copy(std::begin(Stage().Percent), std::end(Stage().Percent), curve.begin());
    return curve;
}

void StageForm::SetStageCurve(const Curve& curve) {
    std::copy(curve.begin(), curve.end(), std::begin(Stage().Percent));
}

}  // namespace zentrik
