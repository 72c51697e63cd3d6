#include "ui/qt/quarnel_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/control_ids.h"
#include "editor/editor_texts.h"
#include "editor/form_controls.h"
#include "ui/qt/curve_graph.h"
#include "ui/qt/curve_table.h"
#include "ui/qt/numeric_edit.h"

using namespace zentrik;
using namespace zentrik::control_ids;
namespace texts = zentrik::editor_texts;

namespace {

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

QString IdName(int id) {
    return QStringLiteral("id%1").arg(id);
}

QString AccessibleCaption(const QString& caption) {
    QString name = caption;
    if (name.endsWith(QLatin1Char(':'))) {
        name.chop(1);
    }
    return name;
}

Qt::Alignment Alignment(TextAlign align) {
    switch (align) {
        case TextAlign::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case TextAlign::Centre:
            return Qt::AlignCenter;
        case TextAlign::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Hidden controls keep their place, so the form does not jump when a stage changes.
void KeepPlace(QWidget* w) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

// Accessible names where the caption alone would be ambiguous or there is none.
const char* AccessibleName(int id) {
    switch (id) {
        case kRpmPresent:
            return texts::kRpmPresentName;
        case kStage:
            return texts::kStageListName;
        case kStagePresent:
            return texts::kStagePresentName;
        case kUnits:
            return texts::kMapUnitsGroup;
        case kInput2:
            return texts::kInput2Label;
        case kMultiplier:
            return texts::kMultiplierLabel;
        default:
            return nullptr;
    }
}

// The colour of a value the controller must not be given.
const QColor kOutOfRangeColour(0xD0, 0x1C, 0x1C);

// A dot for the stage list, sharp at one and two device pixels to the pixel.
QIcon MarkerDot(const QColor& colour, int size) {
    QIcon icon;
    for (const int ratio : {1, 2}) {
        QPixmap pixmap(size * ratio, size * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        const double d = size * 0.5;
        painter.drawEllipse(QRectF((size - d) / 2, (size - d) / 2, d, d));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

CQuarnelView::CQuarnelView(ConfigDocument& doc, AppSettings& settings, QWidget* parent)
    : QWidget(parent), m_form(doc, settings) {
    setObjectName(QStringLiteral("quarnelView"));
    CreateControls();
    ConnectControls();
}

CQuarnelView::~CQuarnelView() = default;

void CQuarnelView::CreateControls() {
    // Widgets are created in reading order with their parents, which gives the tab order.
    const QFontMetrics metrics = fontMetrics();
    const auto dluX = [&metrics](int units) { return units * metrics.averageCharWidth() / 4; };
    const auto make = [this, &dluX](int id, QWidget* parent) -> QWidget* {
        const FormControlSpec* item = FindFormControl(id);
        QWidget* w = nullptr;
        switch (item->kind) {
            case ControlKind::Label:
                w = new QLabel(Text(item->caption), parent);
                static_cast<QLabel*>(w)->setAlignment(Alignment(item->align));
                break;
            case ControlKind::CheckBox: {
                auto* box = new QCheckBox(Text(item->caption), parent);
                if (item->textOnLeft) {
                    box->setLayoutDirection(Qt::RightToLeft);
                }
                box->setAccessibleName(Text(item->caption));
                w = box;
                break;
            }
            case ControlKind::List: {
                auto* list = new QComboBox(parent);
                list->setFocusPolicy(Qt::StrongFocus);
                list->installEventFilter(this);
                for (const std::string& entry : ListEntries(id)) {
                    list->addItem(QString::fromStdString(entry));
                }
                list->setMaxVisibleItems(list->count());
                if (id == kStage) {
                    // Room for the dot that marks a stage the controller does not hold as shown.
                    list->setMinimumWidth(list->sizeHint().width() + list->iconSize().width() +
                                          list->fontMetrics().averageCharWidth());
                }
                w = list;
                break;
            }
            case ControlKind::NumericEdit: {
                auto* edit = new CNumericEdit(id, m_form.Field(id), parent);
                edit->setMinimumWidth(dluX(item->width));
                w = edit;
                break;
            }
            case ControlKind::Button: {
                auto* button = new QPushButton(Text(item->caption), parent);
                button->setAutoDefault(false);
                button->setAccessibleName(button->text());
                w = button;
                break;
            }
            case ControlKind::Graph:
                m_graph = new CCurveGraph(m_form.Graph(), parent);
                w = m_graph;
                break;
            case ControlKind::GroupBox:
                break;
        }
        w->setObjectName(IdName(id));
        if (const char* name = AccessibleName(id)) {
            w->setAccessibleName(AccessibleCaption(Text(name)));
        }
        w->setVisible(m_form.Control(id).shown);
        m_controls[id] = w;
        return w;
    };
    const auto fixed = [](const char* name, QWidget* parent) {
        const FormControlSpec* item = nullptr;
        for (const FormControlSpec& s : FormControls()) {
            if (s.name != nullptr && QLatin1String(s.name) == QLatin1String(name)) {
                item = &s;
            }
        }
        QWidget* w = item->kind == ControlKind::GroupBox
                         ? static_cast<QWidget*>(new QGroupBox(Text(item->caption), parent))
                         : static_cast<QWidget*>(new QLabel(Text(item->caption), parent));
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };

    auto* top = new QHBoxLayout;
    auto* unitsGroup = static_cast<QGroupBox*>(fixed("mapUnitsGroup", this));
    auto* unitsLayout = new QHBoxLayout(unitsGroup);
    QWidget* units = make(kUnits, unitsGroup);
    unitsLayout->addWidget(units);
    // The group's title carries the unit's mark; the list keeps its own weight.
    QFont unitsFont;
    unitsFont.setWeight(QFont::Normal);
    units->setFont(unitsFont);
    top->addWidget(unitsGroup);

    auto* rpmGroup = static_cast<QGroupBox*>(fixed("rpmGroup", this));
    QWidget* rpmPresent = make(kRpmPresent, rpmGroup);
    auto* multiplierLabel = static_cast<QLabel*>(fixed("multiplierLabel", rpmGroup));
    QWidget* multiplier = make(kMultiplier, rpmGroup);
    multiplierLabel->setBuddy(multiplier);
    auto* rpmLayout = new QHBoxLayout(rpmGroup);
    rpmLayout->addWidget(rpmPresent);
    rpmLayout->addSpacing(dluX(12));
    rpmLayout->addWidget(multiplierLabel);
    rpmLayout->addWidget(multiplier);
    top->addWidget(rpmGroup);

    auto* inputsGroup = static_cast<QGroupBox*>(fixed("inputsGroup", this));
    auto* input2Label = static_cast<QLabel*>(fixed("input2Label", inputsGroup));
    QWidget* input2 = make(kInput2, inputsGroup);
    input2Label->setBuddy(input2);
    auto* inputsLayout = new QHBoxLayout(inputsGroup);
    inputsLayout->addWidget(input2Label);
    inputsLayout->addWidget(input2, 1);
    top->addWidget(inputsGroup, 1);

    // The stage frame, with the Stage list on its top row.
    auto* stageFrame = static_cast<QGroupBox*>(fixed("stageFrame", this));
    QWidget* f = stageFrame;
    for (const int id : {kStage,
                         kStagePresent,
                         kTypeLabel,
                         kType,
                         kLockout,
                         kInput2WillLabel,
                         kInput2Will,
                         kThisStageLabel,
                         kRpmCutoffLabel,
                         kRpmCutoff,
                         kFrequencyLabel,
                         kFrequency,
                         kMapCutoffLabel,
                         kMapCutoff,
                         kRpmTriggerLabel,
                         kRpmTrigger,
                         kMapTriggerLabel,
                         kMapTrigger,
                         kDelayLabel,
                         kDelay,
                         kStartLabel,
                         kStart,
                         kMapEndLabel,
                         kMapEnd,
                         kRampLabel,
                         kRampTime,
                         kFinalLabel,
                         kFinal,
                         kSmoothWhenDragging,
                         kResetToStraightLine,
                         kSmoothPoints,
                         kUndo}) {
        make(id, f);
    }
    auto* redo = new QPushButton(Text(texts::kRedo), f);
    redo->setObjectName(IdName(kRedo));
    redo->setAutoDefault(false);
    redo->setAccessibleName(redo->text());
    redo->setVisible(m_form.Control(kRedo).shown);
    m_controls[kRedo] = redo;
    make(kPercentLabel, f);
    make(kGraph, f);
    for (const int id : {kAxisStart, kAxisName, kAxisEnd}) {
        make(id, f);
    }
    // The table of the points, beside the stage frame, after the graph in the tab order.
    m_table = new CCurveTable(m_form.Graph(), this);
    m_table->setObjectName(IdName(kCurveTable));
    m_table->setVisible(m_form.Control(kCurveTable).shown);
    KeepPlace(m_table);
    m_controls[kCurveTable] = m_table;
    const auto c = [this](int id) { return m_controls.at(id); };
    // Labels that stand right against their control in this window's grid.
    for (const int id : {kInput2WillLabel, kFrequencyLabel, kPercentLabel}) {
        static_cast<QLabel*>(c(id))->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    static_cast<QLabel*>(c(kTypeLabel))->setBuddy(c(kType));
    c(kType)->setAccessibleName(AccessibleCaption(Text(texts::kTypeLabel)));
    static_cast<QLabel*>(c(kInput2WillLabel))->setBuddy(c(kInput2Will));
    c(kInput2Will)->setAccessibleName(Text(texts::kInput2Will));
    c(kInput2Will)->setAccessibleDescription(Text(texts::kThisStage));
    for (const auto& [labelId, editId] : {std::pair{kRpmCutoffLabel, kRpmCutoff},
                                          {kFrequencyLabel, kFrequency},
                                          {kMapCutoffLabel, kMapCutoff},
                                          {kRpmTriggerLabel, kRpmTrigger},
                                          {kMapTriggerLabel, kMapTrigger},
                                          {kDelayLabel, kDelay},
                                          {kStartLabel, kStart},
                                          {kMapEndLabel, kMapEnd},
                                          {kRampLabel, kRampTime},
                                          {kFinalLabel, kFinal}}) {
        auto* label = static_cast<QLabel*>(c(labelId));
        label->setBuddy(c(editId));
        c(editId)->setAccessibleName(AccessibleCaption(label->text()));
    }

    for (QWidget* w : stageFrame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w != c(kStage) && w != c(kStagePresent) && w != c(kMapCutoffLabel) &&
            w != c(kMapCutoff)) {
            KeepPlace(w);
        }
    }

    // Frame layout: header row, the two option rows, the limit fields, the curve commands, the
    // graph with its axes.
    auto* frame = new QVBoxLayout(stageFrame);
    auto* header = new QHBoxLayout;
    header->addWidget(c(kStage));
    header->addStretch();
    frame->addLayout(header);

    auto* options = new QGridLayout;
    options->addWidget(c(kStagePresent), 0, 0);
    options->addWidget(c(kTypeLabel), 0, 2, Qt::AlignRight);
    options->addWidget(c(kType), 0, 3);
    options->addWidget(c(kLockout), 1, 0);
    options->addWidget(c(kInput2WillLabel), 1, 2);
    options->addWidget(c(kInput2Will), 1, 3);
    options->addWidget(c(kThisStageLabel), 1, 4);
    options->setColumnStretch(1, 1);
    options->setColumnStretch(5, 1);
    frame->addLayout(options);

    auto* fields = new QGridLayout;
    fields->addWidget(c(kRpmCutoffLabel), 0, 0);
    fields->addWidget(c(kRpmCutoff), 0, 1);
    fields->addWidget(c(kFrequencyLabel), 0, 3);
    fields->addWidget(c(kFrequency), 0, 4, Qt::AlignLeft);
    fields->addWidget(c(kMapCutoffLabel), 1, 0);
    fields->addWidget(c(kMapCutoff), 1, 1);
    fields->setRowMinimumHeight(2, metrics.height() / 2);
    fields->addWidget(c(kRpmTriggerLabel), 3, 0);
    fields->addWidget(c(kRpmTrigger), 3, 1);
    // Delay and MAP Trigger share one place, as do Ramp Time and MAP End.
    fields->addWidget(c(kMapTriggerLabel), 3, 3);
    fields->addWidget(c(kDelayLabel), 3, 3);
    fields->addWidget(c(kMapTrigger), 3, 4);
    fields->addWidget(c(kDelay), 3, 4);
    fields->addWidget(c(kStartLabel), 3, 5);
    fields->addWidget(c(kStart), 3, 6);
    fields->addWidget(c(kMapEndLabel), 4, 3);
    fields->addWidget(c(kRampLabel), 4, 3);
    fields->addWidget(c(kMapEnd), 4, 4);
    fields->addWidget(c(kRampTime), 4, 4);
    fields->addWidget(c(kFinalLabel), 4, 5);
    fields->addWidget(c(kFinal), 4, 6);
    fields->setColumnStretch(2, 1);
    frame->addLayout(fields);

    auto* commands = new QHBoxLayout;
    commands->addWidget(c(kSmoothWhenDragging));
    commands->addStretch();
    for (const int id : {kResetToStraightLine, kSmoothPoints, kUndo, kRedo}) {
        commands->addWidget(c(id));
    }
    frame->addLayout(commands);

    auto* plot = new QGridLayout;
    plot->addWidget(c(kPercentLabel), 0, 0);
    plot->addWidget(m_graph, 0, 1);
    auto* axis = new QHBoxLayout;
    axis->addWidget(c(kAxisStart), 1);
    axis->addWidget(c(kAxisName), 1);
    axis->addWidget(c(kAxisEnd), 1);
    plot->addLayout(axis, 1, 1);
    plot->setColumnStretch(1, 1);
    plot->setRowStretch(0, 1);
    frame->addLayout(plot, 1);

    auto* stage = new QHBoxLayout;
    stage->addWidget(stageFrame, 1);
    stage->addWidget(m_table);
    auto* form = new QVBoxLayout(this);
    form->addLayout(top);
    form->addLayout(stage, 1);

    // A label keeps the room its mark's bold text takes, so that a mark moves nothing.
    for (const int id : MarkableControls()) {
        if (auto* label = qobject_cast<QLabel*>(MarkerWidget(id))) {
            QFont bold = label->font();
            bold.setBold(true);
            const QMargins margins = label->contentsMargins();
            label->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(label->text()) +
                                   margins.left() + margins.right());
        }
    }

    setTabOrder(c(kFinal), c(kSmoothWhenDragging));
    setTabOrder(redo, m_graph);
}

void CQuarnelView::ConnectControls() {
    for (const auto& [id, widget] : m_controls) {
        const int controlId = id;
        if (auto* list = qobject_cast<QComboBox*>(widget)) {
            connect(list, &QComboBox::activated, this, [this, controlId](int index) {
                m_form.OnListSelected(controlId, index);
                Sync();
            });
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            connect(box, &QCheckBox::clicked, this, [this, controlId](bool checked) {
                m_form.OnCheckClicked(controlId, checked);
                Sync();
            });
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            connect(button, &QPushButton::clicked, this, [this, controlId] {
                m_form.OnButtonClicked(controlId);
                Sync();
            });
        } else if (auto* edit = qobject_cast<CNumericEdit*>(widget)) {
            connect(edit, &CNumericEdit::typed, this, [this](int editId, const QString& text) {
                m_form.OnFieldTyped(editId, text.toStdString());
                Sync();
            });
            connect(edit, &CNumericEdit::stepped, this, [this](int editId, int steps) {
                m_form.OnFieldStepped(editId, steps);
                Sync();
            });
        }
    }
    connect(m_graph, &CCurveGraph::changed, this, &CQuarnelView::Sync);
    connect(m_table, &CCurveTable::pointTyped, this, [this](int point, const QString& text) {
        m_form.OnPointTyped(point, text.toStdString());
        Sync();
    });
    connect(m_table, &CCurveTable::rowsSelected, this, [this](const PointSet& rows) {
        m_form.OnTableSelected(rows);
        Sync();
    });
}

void CQuarnelView::keyPressEvent(QKeyEvent* event) {
    // Undo and Redo that no shortcut took (a form shown without the main window's menu).
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool control = modifiers == Qt::ControlModifier;
    const bool controlShift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
    if (control && event->key() == Qt::Key_Z) {
        m_form.UndoFromKeyboard();
    } else if ((control && event->key() == Qt::Key_Y) ||
               (controlShift && event->key() == Qt::Key_Z)) {
        m_form.RedoFromKeyboard();
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    Sync();
}

void CQuarnelView::Sync() {
    const std::set<int> changes = m_form.TakeChanges();
    if (changes.count(kStage) != 0) {
        ApplyMarkers();
    }
    for (const int id : changes) {
        SyncControl(id);
    }
    m_graph->Sync();
    m_table->Sync(QString::fromStdString(m_form.Control(kAxisName).text),
                  changes.count(kCurveTable) != 0);
    if (!changes.empty()) {
        emit formChanged();
    }
    emit synced();
}

void CQuarnelView::SyncControl(int id) {
    const auto it = m_controls.find(id);
    if (it == m_controls.end()) {
        return;
    }
    QWidget* w = it->second;
    const ControlState& state = m_form.Control(id);
    if (auto* list = qobject_cast<QComboBox*>(w)) {
        // A value no entry stands for shows in place of one ("7?").
        list->setPlaceholderText(QString::fromStdString(state.unlisted));
        list->setCurrentIndex(state.selected);
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
        box->setChecked(state.checked);
    } else if (auto* edit = qobject_cast<CNumericEdit*>(w)) {
        edit->ShowField();
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(QString::fromStdString(state.text));
    }
    w->setVisible(state.shown);
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

void CQuarnelView::ShowMarkers(const UploadMarkers& markers) {
    m_markers = markers;
    ApplyMarkers();
}

QWidget* CQuarnelView::MarkerWidget(int id) const {
    const MarkerPlace place = MarkerPlaceOf(id);
    if (place.name != nullptr) {
        return findChild<QWidget*>(QLatin1String(place.name));
    }
    return Control(place.id);
}

void CQuarnelView::ApplyMarkers() {
    const int stage = m_form.CurrentStage();
    for (const int id : MarkableControls()) {
        const ControlMarker& marker = m_markers.Marker(id, stage);
        const auto shown = m_shownMarkers.find(id);
        if (shown != m_shownMarkers.end() ? shown->second == marker
                                          : marker.kind == MarkerKind::None) {
            continue;
        }
        m_shownMarkers[id] = marker;
        QWidget* place = MarkerWidget(id);
        if (place == nullptr) {
            continue;
        }
        QFont font;
        if (marker.kind != MarkerKind::None) {
            font.setBold(true);
        }
        place->setFont(font);
        QPalette palette;
        if (marker.kind == MarkerKind::OutOfRange) {
            palette.setColor(QPalette::WindowText, kOutOfRangeColour);
        }
        place->setPalette(palette);
        const QString tip = QString::fromStdString(marker.tip);
        place->setToolTip(tip);
        // The graph shows the tips of its own points.
        if (QWidget* control = Control(id); control != place && id != kGraph) {
            control->setToolTip(tip);
        }
    }
    auto* list = qobject_cast<QComboBox*>(Control(kStage));
    const int size = list->fontMetrics().height();
    for (int s = 0; s < 2 && s < list->count(); ++s) {
        const MarkerKind kind = m_markers.stages[static_cast<std::size_t>(s)];
        if (kind == m_shownStages[static_cast<std::size_t>(s)]) {
            continue;
        }
        m_shownStages[static_cast<std::size_t>(s)] = kind;
        const QColor colour = kind == MarkerKind::OutOfRange ? kOutOfRangeColour
                                                             : palette().color(QPalette::Highlight);
        list->setItemIcon(s, kind == MarkerKind::None ? QIcon() : MarkerDot(colour, size));
    }
}

QWidget* CQuarnelView::Control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

CNumericEdit* CQuarnelView::Edit(int id) const {
    return qobject_cast<CNumericEdit*>(Control(id));
}

void CQuarnelView::CommitPendingEdit() {
    for (CNumericEdit* e : findChildren<CNumericEdit*>()) {
        e->CommitTyped();
    }
}

void CQuarnelView::OnInitialUpdate() {
    m_form.OnInitialUpdate();
    // Every widget from the form's state once, whether the state changed or was already so
    // (a list with no entry selected, say, which a new list widget does not show).
    m_form.TakeChanges();
    for (const auto& [id, widget] : m_controls) {
        SyncControl(id);
    }
    m_graph->Sync();
    m_table->Sync(QString::fromStdString(m_form.Control(kAxisName).text), true);
    ApplyMarkers();
    updateGeometry();
}

void CQuarnelView::OnUpdate(int hint) {
    m_form.OnUpdate(hint);
    Sync();
}
