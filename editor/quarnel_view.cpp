#include "editor/quarnel_view.h"

#include <QVBoxLayout>

CQuarnelView::CQuarnelView(zentrik::ConfigDocument& doc, zentrik::AppSettings& settings,
                           QWidget* parent)
    : QWidget(parent), m_doc(doc), m_settings(settings) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Configuration form"), this));
    m_stage1 = new QLabel(this);
    m_stage2 = new QLabel(this);
    m_smooth = new QLabel(this);
    layout->addWidget(m_stage1);
    layout->addWidget(m_stage2);
    layout->addWidget(m_smooth);
    layout->addStretch(1);
}

void CQuarnelView::OnInitialUpdate() {
    Fill();
}

void CQuarnelView::OnUpdate(int hint) {
    if (hint != 0) {
        Fill();
    }
}

QSize CQuarnelView::sizeHint() const {
    return {720, 480};
}

void CQuarnelView::Fill() {
    const auto describe = [this](int stage) {
        const zentrik::StageConfig& s = m_doc.record.stage[stage];
        return tr("Stage %1: RPM trigger %2, RPM max %3, %4 Hz, MAP trigger %5")
            .arg(stage + 1)
            .arg(s.RPM_Trigger)
            .arg(s.RPM_Max)
            .arg(s.Frequency)
            .arg(m_doc.displayPressures[zentrik::PressureIndex(
                stage, zentrik::PressureField::MAP_Trigger)]);
    };
    m_stage1->setText(describe(0));
    m_stage2->setText(describe(1));
    m_smooth->setText(m_settings.Smooth ? tr("Smooth When Dragging: on")
                                        : tr("Smooth When Dragging: off"));
}
