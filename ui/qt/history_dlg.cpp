#include "ui/qt/history_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/history_texts.h"

namespace texts = zentrik::history_texts;
using zentrik::HistoryChoice;

CHistoryDlg::CHistoryDlg(zentrik::HistoryList& list, QWidget* parent)
    : QDialog(parent), m_list(list) {
    setObjectName("historyDialog");
    setWindowTitle(texts::kHistoryCaption);
    const std::vector<zentrik::HistoryRow>& rows = list.Rows();
    m_table = new QTableWidget(static_cast<int>(rows.size()), 4, this);
    m_table->setObjectName("entries");
    m_table->setHorizontalHeaderLabels({texts::kWhenHeading, texts::kEventHeading,
                                        texts::kControllerHeading, texts::kDifferencesHeading});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const zentrik::HistoryRow& entry = rows[static_cast<std::size_t>(row)];
        int column = 0;
        for (const std::string* text :
             {&entry.when, &entry.event, &entry.controller, &entry.differences}) {
            m_table->setItem(row, column++, new QTableWidgetItem(QString::fromStdString(*text)));
        }
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    int width = m_table->frameWidth() * 2;
    for (int column = 0; column < 4; ++column) {
        width += m_table->columnWidth(column);
    }
    m_table->setMinimumWidth(width + fontMetrics().averageCharWidth() * 4);
    m_table->setMinimumHeight(m_table->horizontalHeader()->sizeHint().height() +
                              m_table->verticalHeader()->defaultSectionSize() * 12 +
                              m_table->frameWidth() * 2);
    if (list.Selected() >= 0) {
        m_table->selectRow(list.Selected());
    }
    connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> selected = m_table->selectedItems();
        m_list.Select(selected.isEmpty() ? -1 : selected.front()->row());
        ShowButtons();
    });
    m_empty = new QLabel(texts::kEmptyText, this);
    m_empty->setObjectName("emptyHistory");
    m_empty->setVisible(list.Empty());
    m_table->setVisible(!list.Empty());

    m_open = new QPushButton(texts::kOpenButton, this);
    m_compare = new QPushButton(texts::kCompareButton, this);
    m_close = new QPushButton(zentrik::shell_texts::kCloseButton, this);
    m_close->setDefault(true);
    const auto choose = [this](HistoryChoice choice) {
        m_choice = choice;
        accept();
    };
    connect(m_open, &QPushButton::clicked, this, [choose] { choose(HistoryChoice::Open); });
    connect(m_compare, &QPushButton::clicked, this, [choose] { choose(HistoryChoice::Compare); });
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this, choose] {
        if (m_list.CanOpen()) {
            choose(HistoryChoice::Open);
        }
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    ShowButtons();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_open);
    buttons->addWidget(m_compare);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_empty);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
}

void CHistoryDlg::ShowButtons() {
    m_open->setEnabled(m_list.CanOpen());
    m_compare->setEnabled(m_list.CanCompare());
}
