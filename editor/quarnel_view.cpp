#include "editor/quarnel_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <cmath>

#include "editor/control_ids.h"
#include "editor/curve_graph.h"
#include "editor/editor_texts.h"
#include "editor/numeric_edit.h"
#include "editor/numeric_fields.h"

using namespace zentrik;
namespace texts = zentrik::editor_texts;

namespace {

using namespace zentrik::control_ids;

// Pressure limits by unit.
constexpr double kPsiLow = -14.7;
constexpr double kPsiHigh = 85.0;
constexpr double kPsiCutoffLow = -14.6;
constexpr double kBarLow = -1.0;
constexpr double kBarHigh = 6.0;
constexpr double kBarCutoffLow = -0.9;
constexpr double kPressureStep = 0.1;
constexpr double kMapEndRise = 1.0;  // rule 1006 puts MAP End one whole unit above the trigger

// Tenths of a second to seconds, as the single-precision constant the tool has always used.
constexpr double kTenth = static_cast<double>(0.1f);

constexpr int kMaxRpmTrigger = 19999;

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

QString IdName(int id) {
    return QStringLiteral("id%1").arg(id);
}

// Halves away from zero.
int Round(double v) {
    return static_cast<int>(std::trunc(v < 0 ? v - 0.5 : v + 0.5));
}

int Truncate(double v) {
    return static_cast<int>(std::trunc(v));
}

QString AccessibleCaption(const QString& caption) {
    QString name = caption;
    if (name.endsWith(QLatin1Char(':'))) {
        name.chop(1);
    }
    return name;
}

// Hidden controls keep their place, so the form does not jump when a stage changes.
void KeepPlace(QWidget* w) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

}  // namespace

CQuarnelView::CQuarnelView(ConfigDocument& doc, AppSettings& settings, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_settings(settings) {
    setObjectName(QStringLiteral("quarnelView"));
    CreateControls();
    ConnectControls();
}

CQuarnelView::~CQuarnelView() = default;

void CQuarnelView::CreateControls() {
    // Widgets are created in reading order with their parents, which gives the tab order.
    const QFontMetrics metrics = fontMetrics();
    const auto dluX = [&metrics](int units) { return units * metrics.averageCharWidth() / 4; };
    const auto label = [](const char* caption, QWidget* parent, int id, const char* name,
                          Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
        auto* l = new QLabel(Text(caption), parent);
        l->setObjectName(id ? IdName(id) : QString::fromLatin1(name));
        l->setAlignment(alignment);
        return l;
    };
    const auto combo = [this](QWidget* parent, int id, std::initializer_list<const char*> items) {
        auto* c = new QComboBox(parent);
        c->setObjectName(IdName(id));
        c->setFocusPolicy(Qt::StrongFocus);
        c->installEventFilter(this);
        for (const char* item : items) {
            c->addItem(Text(item));
        }
        return c;
    };
    const auto edit = [&dluX](QWidget* parent, int id, int widthDlu) {
        auto* e = new CNumericEdit(id, parent);
        e->setObjectName(IdName(id));
        e->setMinimumWidth(dluX(widthDlu));
        return e;
    };
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    auto* top = new QHBoxLayout;
    auto* unitsGroup = new QGroupBox(Text(texts::kMapUnitsGroup), this);
    unitsGroup->setObjectName(QStringLiteral("mapUnitsGroup"));
    m_unitsList = combo(unitsGroup, kUnits, {texts::kPsi, texts::kBar});
    m_unitsList->setAccessibleName(Text(texts::kMapUnitsGroup));
    auto* unitsLayout = new QHBoxLayout(unitsGroup);
    unitsLayout->addWidget(m_unitsList);
    top->addWidget(unitsGroup);

    auto* rpmGroup = new QGroupBox(Text(texts::kRpmGroup), this);
    rpmGroup->setObjectName(QStringLiteral("rpmGroup"));
    m_rpmPresent = new QCheckBox(Text(texts::kRpmPresent), rpmGroup);
    m_rpmPresent->setObjectName(IdName(kRpmPresent));
    m_rpmPresent->setLayoutDirection(Qt::RightToLeft);  // text on the left of the box
    m_rpmPresent->setAccessibleName(Text(texts::kRpmPresentName));
    auto* multiplierLabel = label(texts::kMultiplierLabel, rpmGroup, 0, "multiplierLabel");
    m_multiplierList = new QComboBox(rpmGroup);
    m_multiplierList->setObjectName(IdName(kMultiplier));
    m_multiplierList->setFocusPolicy(Qt::StrongFocus);
    m_multiplierList->installEventFilter(this);
    for (const RpmMultiplierChoice& choice : RpmMultiplierChoices()) {
        m_multiplierList->addItem(
            QString::fromUtf8(choice.text.data(), static_cast<qsizetype>(choice.text.size())));
    }
    m_multiplierList->setMaxVisibleItems(kRpmMultiplierChoiceCount);
    multiplierLabel->setBuddy(m_multiplierList);
    m_multiplierList->setAccessibleName(AccessibleCaption(Text(texts::kMultiplierLabel)));
    auto* rpmLayout = new QHBoxLayout(rpmGroup);
    rpmLayout->addWidget(m_rpmPresent);
    rpmLayout->addSpacing(dluX(12));
    rpmLayout->addWidget(multiplierLabel);
    rpmLayout->addWidget(m_multiplierList);
    top->addWidget(rpmGroup);

    auto* inputsGroup = new QGroupBox(Text(texts::kInputsGroup), this);
    inputsGroup->setObjectName(QStringLiteral("inputsGroup"));
    auto* input2Label = label(texts::kInput2Label, inputsGroup, 0, "input2Label");
    m_input2List = combo(inputsGroup, kInput2, {texts::kActivate12Volts, texts::kActivateGround});
    input2Label->setBuddy(m_input2List);
    m_input2List->setAccessibleName(AccessibleCaption(Text(texts::kInput2Label)));
    auto* inputsLayout = new QHBoxLayout(inputsGroup);
    inputsLayout->addWidget(input2Label);
    inputsLayout->addWidget(m_input2List, 1);
    top->addWidget(inputsGroup, 1);

    // The stage frame, with the Stage list on its top row.
    m_stageFrame = new QGroupBox(this);
    m_stageFrame->setObjectName(QStringLiteral("stageFrame"));
    QWidget* f = m_stageFrame;
    m_stageList = combo(f, kStage, {texts::kStage1, texts::kStage2});
    m_stageList->setAccessibleName(Text(texts::kStageListName));
    m_stagePresent = new QCheckBox(Text(texts::kStagePresent), f);
    m_stagePresent->setObjectName(IdName(kStagePresent));
    m_stagePresent->setAccessibleName(Text(texts::kStagePresentName));
    m_typeLabel = label(texts::kTypeLabel, f, kTypeLabel, nullptr);
    m_typeList = combo(f, kType, {texts::kMapBased, texts::kTimeBased});
    m_typeLabel->setBuddy(m_typeList);
    m_typeList->setAccessibleName(AccessibleCaption(Text(texts::kTypeLabel)));
    m_lockout = new QCheckBox(Text(texts::kFirstGearLockout), f);
    m_lockout->setObjectName(IdName(kLockout));
    m_lockout->setAccessibleName(Text(texts::kFirstGearLockout));
    m_input2WillLabel = label(texts::kInput2Will, f, kInput2WillLabel, nullptr, right);
    m_input2WillList =
        combo(f, kInput2Will, {texts::kBeIgnoredBy, texts::kEnable, texts::kDisable});
    m_input2WillLabel->setBuddy(m_input2WillList);
    m_input2WillList->setAccessibleName(Text(texts::kInput2Will));
    m_input2WillList->setAccessibleDescription(Text(texts::kThisStage));
    m_thisStageLabel = label(texts::kThisStage, f, kThisStageLabel, nullptr);

    m_rpmCutoffLabel = label(texts::kRpmCutoff, f, kRpmCutoffLabel, nullptr, right);
    m_rpmCutoff = edit(f, kRpmCutoff, 68);
    m_frequencyLabel = label(texts::kSolenoidFrequency, f, kFrequencyLabel, nullptr, right);
    m_frequency = edit(f, kFrequency, 49);
    m_mapCutoffLabel = label(texts::kMapCutoff, f, kMapCutoffLabel, nullptr, right);
    m_mapCutoff = edit(f, kMapCutoff, 68);
    m_rpmTriggerLabel = label(texts::kRpmTrigger, f, kRpmTriggerLabel, nullptr, right);
    m_rpmTrigger = edit(f, kRpmTrigger, 68);
    m_mapTriggerLabel = label(texts::kMapTrigger, f, kMapTriggerLabel, nullptr, right);
    m_mapTrigger = edit(f, kMapTrigger, 68);
    m_delayLabel = label(texts::kDelay, f, kDelayLabel, nullptr, right);
    m_delay = edit(f, kDelay, 68);
    m_startLabel = label(texts::kStart, f, kStartLabel, nullptr, right);
    m_start = edit(f, kStart, 56);
    m_mapEndLabel = label(texts::kMapEnd, f, kMapEndLabel, nullptr, right);
    m_mapEnd = edit(f, kMapEnd, 68);
    m_rampLabel = label(texts::kRampTime, f, kRampLabel, nullptr, right);
    m_ramp = edit(f, kRampTime, 68);
    m_finalLabel = label(texts::kFinal, f, kFinalLabel, nullptr, right);
    m_final = edit(f, kFinal, 56);
    const std::pair<QLabel*, CNumericEdit*> labelled[] = {
        {m_rpmCutoffLabel, m_rpmCutoff},
        {m_frequencyLabel, m_frequency},
        {m_mapCutoffLabel, m_mapCutoff},
        {m_rpmTriggerLabel, m_rpmTrigger},
        {m_mapTriggerLabel, m_mapTrigger},
        {m_delayLabel, m_delay},
        {m_startLabel, m_start},
        {m_mapEndLabel, m_mapEnd},
        {m_rampLabel, m_ramp},
        {m_finalLabel, m_final},
    };
    for (const auto& [l, e] : labelled) {
        l->setBuddy(e);
        e->setAccessibleName(AccessibleCaption(l->text()));
    }

    m_smoothCheck = new QCheckBox(Text(texts::kSmoothWhenDragging), f);
    m_smoothCheck->setObjectName(IdName(kSmoothWhenDragging));
    m_resetButton = new QPushButton(Text(texts::kResetToStraightLine), f);
    m_resetButton->setObjectName(IdName(kResetToStraightLine));
    m_smoothButton = new QPushButton(Text(texts::kSmoothPoints), f);
    m_smoothButton->setObjectName(IdName(kSmoothPoints));
    m_undoButton = new QPushButton(Text(texts::kUndo), f);
    m_undoButton->setObjectName(IdName(kUndo));
    m_redoButton = new QPushButton(Text(texts::kRedo), f);
    m_redoButton->setObjectName(QStringLiteral("redoButton"));
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
             m_smoothCheck, m_resetButton, m_smoothButton, m_undoButton, m_redoButton}) {
        b->setAccessibleName(b->text());
    }
    for (QPushButton* b : {m_resetButton, m_smoothButton, m_undoButton, m_redoButton}) {
        b->setAutoDefault(false);
    }
    // Hidden until the visibility rules (and, for Redo, the history) show them.
    m_smoothCheck->hide();
    m_undoButton->hide();
    m_redoButton->hide();

    m_percentLabel =
        label(texts::kPercentAxis, f, kPercentLabel, nullptr, Qt::AlignRight | Qt::AlignVCenter);
    m_graph = new CCurveGraph(m_settings, f);
    m_graph->setObjectName(IdName(kGraph));
    m_axisStart = label(texts::kAxisStartPlaceholder, f, kAxisStart, nullptr);
    m_axisName = label(texts::kTimeAxis, f, kAxisName, nullptr, Qt::AlignCenter);
    m_axisEnd = label(texts::kAxisEndPlaceholder, f, kAxisEnd, nullptr, right);

    for (QWidget* w : m_stageFrame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w != m_stageList && w != m_stagePresent && w != m_mapCutoffLabel && w != m_mapCutoff) {
            KeepPlace(w);
        }
    }

    // Frame layout: header row, the two option rows, the limit fields, the curve commands, the
    // graph with its axes.
    auto* frame = new QVBoxLayout(m_stageFrame);
    auto* header = new QHBoxLayout;
    header->addWidget(m_stageList);
    header->addStretch();
    frame->addLayout(header);

    auto* options = new QGridLayout;
    options->addWidget(m_stagePresent, 0, 0);
    options->addWidget(m_typeLabel, 0, 2, Qt::AlignRight);
    options->addWidget(m_typeList, 0, 3);
    options->addWidget(m_lockout, 1, 0);
    options->addWidget(m_input2WillLabel, 1, 2);
    options->addWidget(m_input2WillList, 1, 3);
    options->addWidget(m_thisStageLabel, 1, 4);
    options->setColumnStretch(1, 1);
    options->setColumnStretch(5, 1);
    frame->addLayout(options);

    auto* fields = new QGridLayout;
    fields->addWidget(m_rpmCutoffLabel, 0, 0);
    fields->addWidget(m_rpmCutoff, 0, 1);
    fields->addWidget(m_frequencyLabel, 0, 3);
    fields->addWidget(m_frequency, 0, 4, Qt::AlignLeft);
    fields->addWidget(m_mapCutoffLabel, 1, 0);
    fields->addWidget(m_mapCutoff, 1, 1);
    fields->setRowMinimumHeight(2, metrics.height() / 2);
    fields->addWidget(m_rpmTriggerLabel, 3, 0);
    fields->addWidget(m_rpmTrigger, 3, 1);
    // Delay and MAP Trigger share one place, as do Ramp Time and MAP End.
    fields->addWidget(m_mapTriggerLabel, 3, 3);
    fields->addWidget(m_delayLabel, 3, 3);
    fields->addWidget(m_mapTrigger, 3, 4);
    fields->addWidget(m_delay, 3, 4);
    fields->addWidget(m_startLabel, 3, 5);
    fields->addWidget(m_start, 3, 6);
    fields->addWidget(m_mapEndLabel, 4, 3);
    fields->addWidget(m_rampLabel, 4, 3);
    fields->addWidget(m_mapEnd, 4, 4);
    fields->addWidget(m_ramp, 4, 4);
    fields->addWidget(m_finalLabel, 4, 5);
    fields->addWidget(m_final, 4, 6);
    fields->setColumnStretch(2, 1);
    frame->addLayout(fields);

    auto* commands = new QHBoxLayout;
    commands->addWidget(m_smoothCheck);
    commands->addStretch();
    commands->addWidget(m_resetButton);
    commands->addWidget(m_smoothButton);
    commands->addWidget(m_undoButton);
    commands->addWidget(m_redoButton);
    frame->addLayout(commands);

    auto* plot = new QGridLayout;
    plot->addWidget(m_percentLabel, 0, 0);
    plot->addWidget(m_graph, 0, 1);
    auto* axis = new QHBoxLayout;
    axis->addWidget(m_axisStart, 1);
    axis->addWidget(m_axisName, 1);
    axis->addWidget(m_axisEnd, 1);
    plot->addLayout(axis, 1, 1);
    plot->setColumnStretch(1, 1);
    plot->setRowStretch(0, 1);
    frame->addLayout(plot, 1);

    auto* form = new QVBoxLayout(this);
    form->addLayout(top);
    form->addWidget(m_stageFrame, 1);

    setTabOrder(m_final, m_smoothCheck);
    setTabOrder(m_redoButton, m_graph);
}

void CQuarnelView::ConnectControls() {
    connect(m_input2List, &QComboBox::activated, this, &CQuarnelView::OnInput2Selected);
    connect(m_multiplierList, &QComboBox::activated, this, &CQuarnelView::OnMultiplierSelected);
    connect(m_input2WillList, &QComboBox::activated, this, &CQuarnelView::OnInput2WillSelected);
    connect(m_stageList, &QComboBox::activated, this, &CQuarnelView::OnStageSelected);
    connect(m_typeList, &QComboBox::activated, this, &CQuarnelView::OnTypeSelected);
    connect(m_unitsList, &QComboBox::activated, this, &CQuarnelView::OnUnitsSelected);
    connect(m_stagePresent, &QCheckBox::clicked, this, &CQuarnelView::OnStagePresentClicked);
    connect(m_lockout, &QCheckBox::clicked, this, &CQuarnelView::OnLockoutClicked);
    connect(m_rpmPresent, &QCheckBox::clicked, this, &CQuarnelView::OnRpmPresentClicked);
    connect(m_smoothCheck, &QCheckBox::clicked, this, &CQuarnelView::OnSmoothWhenDragging);
    connect(m_resetButton, &QPushButton::clicked, this, &CQuarnelView::ResetToStraightLine);
    connect(m_smoothButton, &QPushButton::clicked, this, &CQuarnelView::SmoothPoints);
    connect(m_undoButton, &QPushButton::clicked, this, &CQuarnelView::UndoCurve);
    connect(m_redoButton, &QPushButton::clicked, this, &CQuarnelView::RedoCurve);
    connect(m_graph, &CCurveGraph::curveDragged, this, &CQuarnelView::OnCurveDragged);
    for (CNumericEdit* e : findChildren<CNumericEdit*>()) {
        connect(e, &CNumericEdit::valueChanged, this, &CQuarnelView::OnValueChanged);
    }

    // The curve commands from the keyboard, while the stage's curve is on the form.
    const auto shortcut = [this](const QKeySequence& keys, void (CQuarnelView::*command)()) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, [this, command] {
            if (Present(Stage())) {
                (this->*command)();
            }
        });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), &CQuarnelView::UndoCurve);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &CQuarnelView::RedoCurve);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), &CQuarnelView::RedoCurve);
}

bool CQuarnelView::eventFilter(QObject* watched, QEvent* event) {
    // A list takes the wheel only while the user works in it; over the others the wheel
    // scrolls the form instead of changing, say, the pressure unit in passing.
    if (event->type() == QEvent::Wheel) {
        auto* list = qobject_cast<QComboBox*>(watched);
        if (list && !list->hasFocus()) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QWidget* CQuarnelView::Control(int id) const {
    return findChild<QWidget*>(IdName(id));
}

void CQuarnelView::CommitPendingEdit() {
    for (CNumericEdit* e : findChildren<CNumericEdit*>()) {
        e->CommitTyped();
    }
}

CNumericEdit* CQuarnelView::Edit(int id) const {
    return findChild<CNumericEdit*>(IdName(id));
}

// ---- document access ---------------------------------------------------------------------

StageConfig& CQuarnelView::Stage() {
    return m_doc.record.stage[m_currentStage];
}

double& CQuarnelView::Pressure(PressureField field) {
    return m_doc.displayPressures[static_cast<std::size_t>(PressureIndex(m_currentStage, field))];
}

bool CQuarnelView::InBar() const {
    return MAP_In_bar(m_doc.record);
}
double CQuarnelView::PressureLow() const {
    return InBar() ? kBarLow : kPsiLow;
}
double CQuarnelView::PressureHigh() const {
    return InBar() ? kBarHigh : kPsiHigh;
}
double CQuarnelView::CutoffLow() const {
    return InBar() ? kBarCutoffLow : kPsiCutoffLow;
}
QString CQuarnelView::PressureText(double value) const {
    return QString::asprintf(InBar() ? texts::kBarFormat : texts::kPsiFormat, value);
}

double CQuarnelView::XStart() {
    if (TIME_Based(Stage())) {
        return Stage().Delay_Time * kTenth;
    }
    return Pressure(PressureField::MAP_Trigger);
}

double CQuarnelView::XEnd() {
    if (TIME_Based(Stage())) {
        return (Stage().Delay_Time + Stage().Ramp_Time) * kTenth;
    }
    return Pressure(PressureField::MAP_End);
}

Curve CQuarnelView::StageCurve() {
    Curve curve;
    std::copy(std::begin(Stage().Percent), std::end(Stage().Percent), curve.begin());
    return curve;
}

void CQuarnelView::SetStageCurve(const Curve& curve) {
    std::copy(curve.begin(), curve.end(), std::begin(Stage().Percent));
}

// ---- creation and refresh ----------------------------------------------------------------

void CQuarnelView::OnInitialUpdate() {
    OnUpdate(0);  // the framework's first update notice carries no hint
    m_stageList->setCurrentIndex(0);
    InitialiseEdits();
    m_graph->CreateTip();
    ShowAll();
    updateGeometry();
}

void CQuarnelView::InitialiseEdits() {
    for (const NumericFieldSpec& spec : kNumericFields) {
        Edit(spec.id)->Initialize(spec.style, spec.minimum, spec.maximum, spec.step,
                                  Text(spec.unitFormat), Text(spec.plainFormat));
    }
}

void CQuarnelView::OnUpdate(int hint) {
    if (hint != 0) {
        ShowAll();
    }
}

void CQuarnelView::ShowAll() {
    const int input2 = m_doc.record.Input_Type2;
    m_input2List->setCurrentIndex(input2 == 1 || input2 == 2 ? input2 - 1 : -1);
    m_rpmPresent->setChecked(RPM_Present(m_doc.record));
    m_unitsList->setCurrentIndex(InBar() ? 1 : 0);
    ApplyPressureUnits(false);
    m_multiplierList->setCurrentIndex(RpmMultiplierIndex(m_doc.record.RPM_Multiplier));
    m_smoothCheck->setChecked(m_settings.Smooth);
    ShowStage();
}

void CQuarnelView::ShowStage() {
    StageConfig& stage = Stage();
    m_stagePresent->setChecked(Present(stage));
    m_typeList->setCurrentIndex(TIME_Based(stage) ? 1 : 0);
    m_lockout->setChecked(First_Gear_Lockout(stage));
    const int input2Will = Trig_Sx2_Config(stage);
    m_input2WillList->setCurrentIndex(input2Will <= 2 ? input2Will : -1);

    m_frequency->SetValue(stage.Frequency, true);
    m_rpmCutoff->SetValue(Stage().RPM_Max, true);
    m_mapCutoff->SetValue(Pressure(PressureField::MAP_Max), true);

    ShowCurveMode();
    ApplyStageVisibility();
    NormaliseRpmTrigger();
    NormaliseMapTrigger();
    NormaliseMapEnd();
    ShowStartPercent();
    ShowFinalPercent();
    ShowDelay();
    ShowRampTime();
}

void CQuarnelView::ApplyStageVisibility() {
    const StageConfig& stage = Stage();
    const bool present = Present(stage);
    const bool rpm = present && RPM_Present(m_doc.record);
    const bool time = present && TIME_Based(stage);
    const bool map = present && !TIME_Based(stage);
    m_stagePresent->setChecked(present);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_input2WillList, m_input2WillLabel, m_thisStageLabel, m_frequencyLabel,
             m_frequency,      m_startLabel,      m_start,          m_finalLabel,
             m_final,          m_percentLabel,    m_axisStart,      m_axisName,
             m_axisEnd,        m_graph,           m_smoothCheck,    m_resetButton,
             m_smoothButton,   m_undoButton,      m_typeLabel,      m_typeList}) {
        w->setVisible(present);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_lockout, m_rpmCutoffLabel, m_rpmCutoff,
                                                      m_rpmTriggerLabel, m_rpmTrigger}) {
        w->setVisible(rpm);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_delayLabel, m_delay, m_rampLabel, m_ramp}) {
        w->setVisible(time);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{m_mapTriggerLabel, m_mapTrigger,
                                                      m_mapEndLabel, m_mapEnd}) {
        w->setVisible(map);
    }
    UpdateRedoButton();
}

void CQuarnelView::ShowMapAxis() {
    m_axisName->setText(Text(InBar() ? texts::kMapAxisBar : texts::kMapAxisPsi));
    m_axisStart->setText(PressureText(Pressure(PressureField::MAP_Trigger)));
    m_axisEnd->setText(PressureText(Pressure(PressureField::MAP_End)));
}

void CQuarnelView::ShowCurveMode() {
    const bool time = TIME_Based(Stage());
    m_typeList->setCurrentIndex(time ? 1 : 0);
    m_graph->SetAxisMode(time ? 1 : 0);
    if (time) {
        m_graph->SetRange(XStart(), XEnd());
        m_axisName->setText(Text(texts::kTimeAxis));
        for (QWidget* w :
             {static_cast<QWidget*>(m_mapTriggerLabel), static_cast<QWidget*>(m_mapEndLabel),
              static_cast<QWidget*>(m_mapTrigger), static_cast<QWidget*>(m_mapEnd)}) {
            w->hide();
        }
        for (QWidget* w : {static_cast<QWidget*>(m_delayLabel), static_cast<QWidget*>(m_rampLabel),
                           static_cast<QWidget*>(m_delay), static_cast<QWidget*>(m_ramp)}) {
            w->show();
        }
        ShowDelay();
        ShowRampTime();
    } else {
        m_graph->SetRange(XStart(), XEnd());
        ShowMapAxis();
        for (QWidget* w : {static_cast<QWidget*>(m_delayLabel), static_cast<QWidget*>(m_rampLabel),
                           static_cast<QWidget*>(m_delay), static_cast<QWidget*>(m_ramp)}) {
            w->hide();
        }
        for (QWidget* w :
             {static_cast<QWidget*>(m_mapTriggerLabel), static_cast<QWidget*>(m_mapEndLabel),
              static_cast<QWidget*>(m_mapTrigger), static_cast<QWidget*>(m_mapEnd)}) {
            w->show();
        }
        NormaliseMapEnd();
    }
    RefreshGraph();
}

// ---- graph feeding and field display -----------------------------------------------------

void CQuarnelView::RefreshGraph() {
    m_graph->SetCurve(XStart(), XEnd(), StageCurve());
}

void CQuarnelView::UpdateGraphStart() {
    m_graph->SetStartPoint(XStart(), Stage().Percent[0]);
}

void CQuarnelView::UpdateGraphEnd() {
    m_graph->SetEndPoint(XEnd(), Stage().Percent[kPercentPoints - 1]);
}

void CQuarnelView::ShowStartPercent() {
    m_start->SetValue(Stage().Percent[0], false);
}

void CQuarnelView::ShowFinalPercent() {
    m_final->SetValue(Stage().Percent[kPercentPoints - 1], false);
}

void CQuarnelView::ShowDelay() {
    m_delay->SetValue(Stage().Delay_Time * kTenth, false);
    if (TIME_Based(Stage())) {
        m_axisStart->setText(QString::asprintf(texts::kSecondsFormat, XStart()));
        m_axisEnd->setText(QString::asprintf(texts::kSecondsFormat, XEnd()));
    }
}

void CQuarnelView::ShowRampTime() {
    m_ramp->SetValue(Stage().Ramp_Time * kTenth, false);
    if (TIME_Based(Stage())) {
        m_axisEnd->setText(QString::asprintf(texts::kSecondsFormat, XEnd()));
    }
}

// ---- list and check box handlers ---------------------------------------------------------

void CQuarnelView::OnInput2Selected(int index) {
    m_doc.record.Input_Type2 = static_cast<std::uint8_t>(index + 1);
}

void CQuarnelView::OnMultiplierSelected(int index) {
    m_doc.record.RPM_Multiplier = RpmMultiplierValue(index);
}

void CQuarnelView::OnInput2WillSelected(int index) {
    SetTrig_Sx2_Config(Stage(), index);
}

void CQuarnelView::OnStageSelected(int index) {
    m_currentStage = index == 1 ? 1 : 0;
    ShowStage();
}

void CQuarnelView::OnTypeSelected(int index) {
    SetTIME_Based(Stage(), index & 1);
    ShowCurveMode();
}

void CQuarnelView::OnUnitsSelected(int index) {
    const bool bar = index & 1;
    // Picking the unit already in use must not convert the pressures a second time.
    if (bar == InBar()) {
        return;
    }
    SetMAP_In_bar(m_doc.record, bar);
    ApplyPressureUnits(true);
}

void CQuarnelView::OnStagePresentClicked(bool checked) {
    SetPresent(Stage(), checked);
    ApplyStageVisibility();
}

void CQuarnelView::OnLockoutClicked(bool checked) {
    SetFirst_Gear_Lockout(Stage(), checked);
}

void CQuarnelView::OnRpmPresentClicked(bool checked) {
    SetRPM_Present(m_doc.record, checked);
    if (!checked) {
        SetFirst_Gear_Lockout(Stage(), false);
    }
    ShowStage();
}

// ---- value rules -------------------------------------------------------------------------

void CQuarnelView::OnValueChanged(int id, double v) {
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
            m_rpmTrigger->SetRange(0, stage.RPM_Max - 1);
            if (stage.RPM_Max <= stage.RPM_Trigger) {
                stage.RPM_Trigger = static_cast<std::int16_t>(stage.RPM_Max - 1);
                NormaliseRpmTrigger();
            }
            break;
        case kMapCutoff:
            max = v;
            m_mapTrigger->SetRange(PressureLow(), max - kPressureStep);
            m_mapEnd->SetRange(trigger, max);
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
            m_mapEnd->SetRange(trigger, max);
            if (trigger > end) {
                // One whole unit above the trigger, but never above the cut-off.
                end = std::min(trigger + kMapEndRise, max);
                NormaliseMapEnd();
            }
            m_graph->SetRange(trigger, end);
            m_axisStart->setText(PressureText(trigger));
            m_axisEnd->setText(PressureText(end));
            UpdateGraphStart();
            break;
        case kMapEnd:
            end = v;
            if (!mapBased) {
                break;  // a time-based stage keeps its time axis
            }
            m_graph->SetRange(trigger, end);
            m_axisEnd->setText(PressureText(end));
            UpdateGraphEnd();
            break;
        case kStart:
            SnapshotCurve(true);
            stage.Percent[0] = static_cast<std::uint8_t>(Truncate(v));
            UpdateGraphStart();
            // With Smooth on the neighbours followed the new start point: the record takes
            // them in the same undo step, so what is saved is what is shown.
            SetStageCurve(m_graph->GetPercents());
            ShowFinalPercent();
            break;
        case kFinal:
            SnapshotCurve(true);
            stage.Percent[kPercentPoints - 1] = static_cast<std::uint8_t>(Truncate(v));
            UpdateGraphEnd();
            SetStageCurve(m_graph->GetPercents());
            ShowStartPercent();
            break;
        case kDelay:
            SnapshotCurve(true);
            stage.Delay_Time = static_cast<std::uint8_t>(Truncate(v * 10));
            ShowDelay();
            m_graph->SetRange(XStart(), XEnd());
            UpdateGraphStart();
            break;
        case kRampTime:
            SnapshotCurve(true);
            stage.Ramp_Time = static_cast<std::uint8_t>(Truncate(v * 10));
            ShowRampTime();
            UpdateGraphEnd();
            break;
        default:
            break;
    }
}

void CQuarnelView::NormaliseRpmTrigger() {
    StageConfig& stage = Stage();
    if (stage.RPM_Trigger < 0) {
        stage.RPM_Trigger = 0;
    } else if (stage.RPM_Trigger > kMaxRpmTrigger) {
        stage.RPM_Trigger = kMaxRpmTrigger;
    }
    if (stage.RPM_Trigger >= stage.RPM_Max) {
        stage.RPM_Max = static_cast<std::int16_t>(stage.RPM_Trigger + 1);
        m_rpmCutoff->SetValue(stage.RPM_Max, true);
    }
    m_rpmTrigger->SetValue(Stage().RPM_Trigger, true);
}

void CQuarnelView::NormaliseMapTrigger() {
    double& trigger = Pressure(PressureField::MAP_Trigger);
    double& max = Pressure(PressureField::MAP_Max);
    if (trigger < PressureLow()) {
        trigger = PressureLow();
    } else if (trigger > PressureHigh() - kPressureStep) {
        trigger = PressureHigh() - kPressureStep;
    }
    if (trigger >= max) {
        max = trigger + kPressureStep;
        m_mapCutoff->SetValue(max, true);
        OnValueChanged(kMapEnd, max);
        m_mapEnd->SetValue(Pressure(PressureField::MAP_End), false);
    }
    if (!TIME_Based(Stage())) {
        m_axisStart->setText(PressureText(trigger));
    }
    m_mapTrigger->SetValue(trigger, true);
}

void CQuarnelView::NormaliseMapEnd() {
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
    m_graph->SetRange(trigger, end);  // the graph's span follows the end it shows
    m_axisEnd->setText(PressureText(end));
    m_mapEnd->SetValue(end, false);
}

void CQuarnelView::ApplyPressureUnits(bool convert) {
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
    const QString format = Text(bar ? texts::kBarFormat : texts::kPsiFormat);
    const QString plain = Text(texts::kOneDecimal);
    m_mapTrigger->Initialize(PressureLow(), max - kPressureStep, kPressureStep, format, plain);
    m_mapEnd->Initialize(trigger, max, kPressureStep, format, plain);
    m_mapCutoff->Initialize(CutoffLow(), PressureHigh(), kPressureStep, format, plain);
    if (convert) {
        m_mapTrigger->SetValue(trigger, false);
        m_mapCutoff->SetValue(max, false);
        m_mapEnd->SetValue(end, false);
    }
    if (!TIME_Based(Stage())) {
        ShowMapAxis();
        if (convert) {
            m_graph->SetRange(trigger, end);
        }
    }
}

// ---- curve commands ----------------------------------------------------------------------

void CQuarnelView::SnapshotCurve(bool push) {
    if (push) {
        m_undo.Push(StageCurve());
        m_undoButton->show();
    } else if (!m_undo.CanUndo()) {
        m_undoButton->hide();
    }
    UpdateRedoButton();
}

void CQuarnelView::UpdateRedoButton() {
    m_redoButton->setVisible(Present(Stage()) && m_undo.CanRedo());
}

void CQuarnelView::SmoothPoints() {
    SnapshotCurve(true);
    Curve curve = StageCurve();
    zentrik::SmoothPoints(curve);
    SetStageCurve(curve);
    RefreshGraph();
}

void CQuarnelView::ResetToStraightLine() {
    SnapshotCurve(true);
    Curve curve = StageCurve();
    zentrik::ResetToStraightLine(curve);
    SetStageCurve(curve);
    RefreshGraph();
}

void CQuarnelView::UndoCurve() {
    const std::optional<Curve> restored = m_undo.Undo(StageCurve());
    if (!restored) {
        return;
    }
    SetStageCurve(*restored);
    ShowStartPercent();
    ShowFinalPercent();
    SnapshotCurve(false);
    RefreshGraph();
}

void CQuarnelView::RedoCurve() {
    const std::optional<Curve> restored = m_undo.Redo(StageCurve());
    if (!restored) {
        return;
    }
    SetStageCurve(*restored);
    ShowStartPercent();
    ShowFinalPercent();
    m_undoButton->show();
    UpdateRedoButton();
    RefreshGraph();
}

void CQuarnelView::OnCurveDragged() {
    SnapshotCurve(true);
    SetStageCurve(m_graph->GetPercents());
    ShowStartPercent();
    ShowFinalPercent();
}

void CQuarnelView::OnSmoothWhenDragging(bool checked) {
    m_settings.Smooth = checked;
}
