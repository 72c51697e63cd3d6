#include "ui/qt/compare_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/compare_texts.h"
#include "shell/shell_texts.h"

namespace texts = zentrik::shell_texts;
using zentrik::CompareChoice;

CCompareDlg::CCompareDlg(const std::vector<zentrik::ConfigDifference>& rows, QWidget* parent)
    : QDialog(parent) {
    setObjectName("compareDialog");
    setWindowTitle(texts::kCompareCaption);
    m_table = new QTableWidget(static_cast<int>(rows.size()), 3, this);
    m_table->setObjectName("differences");
    m_table->setHorizontalHeaderLabels({zentrik::compare_texts::kSettingHeading,
                                        zentrik::compare_texts::kThisComputer,
                                        zentrik::compare_texts::kController});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const zentrik::ConfigDifference& difference = rows[static_cast<std::size_t>(row)];
        int column = 0;
        for (const std::string* text :
             {&difference.setting, &difference.here, &difference.controller}) {
            m_table->setItem(row, column++, new QTableWidgetItem(QString::fromStdString(*text)));
        }
        QTableWidgetItem* setting = m_table->item(row, 0);
        setting->setFlags(setting->flags() | Qt::ItemIsUserCheckable);
        setting->setCheckState(Qt::Checked);
    }
    m_table->installEventFilter(this);
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for every row's text, high enough for a dozen rows before it scrolls.
    int width = m_table->frameWidth() * 2;
    for (int column = 0; column < 3; ++column) {
        width += m_table->columnWidth(column);
    }
    m_table->setMinimumWidth(width + fontMetrics().averageCharWidth() * 4);
    m_table->setMinimumHeight(m_table->horizontalHeader()->sizeHint().height() +
                              m_table->verticalHeader()->defaultSectionSize() *
                                  std::min(12, std::max(3, static_cast<int>(rows.size()))) +
                              m_table->frameWidth() * 2);

    m_useControllers = new QPushButton(texts::kUseControllersButton, this);
    m_uploadThis = new QPushButton(texts::kUploadThisButton, this);
    m_close = new QPushButton(texts::kCloseButton, this);
    m_close->setDefault(true);
    connect(m_useControllers, &QPushButton::clicked, this, [this] {
        m_choice = CompareChoice::UseControllers;
        accept();
    });
    connect(m_uploadThis, &QPushButton::clicked, this, [this] {
        m_choice = CompareChoice::UploadThis;
        accept();
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_useControllers);
    buttons->addWidget(m_uploadThis);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
}

std::vector<bool> CCompareDlg::Ticked() const {
    std::vector<bool> ticked;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        ticked.push_back(m_table->item(row, 0)->checkState() == Qt::Checked);
    }
    return ticked;
}

bool CCompareDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && m_table->currentRow() >= 0) {
        QTableWidgetItem* tick = m_table->item(m_table->currentRow(), 0);
        tick->setCheckState(tick->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
