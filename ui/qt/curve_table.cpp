#include "ui/qt/curve_table.h"

#include <QHeaderView>
#include <QItemSelection>
#include <algorithm>

#include "base/text_format.h"
#include "editor/editor_texts.h"

namespace zentrik {

namespace {

constexpr int kXColumn = 0;
constexpr int kPercentColumn = 1;

}  // namespace

CCurveTable::CCurveTable(const CurveGraphModel& model, QWidget* parent)
    : QTableWidget(kPercentPoints, 2, parent), m_model(model) {
    setAccessibleName(QString::fromUtf8(editor_texts::kTableName));
    setAccessibleDescription(QString::fromUtf8(editor_texts::kTableDescription));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    const int rowHeight = fontMetrics().height() + 4;
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setHighlightSections(false);
    for (int row = 0; row < kPercentPoints; ++row) {
        auto* x = new QTableWidgetItem;
        x->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        x->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setItem(row, kXColumn, x);
        auto* percent = new QTableWidgetItem;
        percent->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        percent->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setItem(row, kPercentColumn, percent);
        setVerticalHeaderItem(
            row, new QTableWidgetItem(QString::number(row + editor_texts::kTableFirstRowNumber)));
    }
    setHorizontalHeaderItem(kXColumn, new QTableWidgetItem);
    setHorizontalHeaderItem(
        kPercentColumn, new QTableWidgetItem(QString::fromUtf8(editor_texts::kTablePercentHeader)));

    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_showing && item->column() == kPercentColumn) {
            emit pointTyped(item->row(), item->text());
        }
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_showing) {
            return;
        }
        PointSet rows;
        for (const QModelIndex& index : selectionModel()->selectedRows()) {
            rows.set(static_cast<std::size_t>(index.row()));
        }
        emit rowsSelected(rows);
    });
}

QSize CCurveTable::sizeHint() const {
    // Every row in sight, and columns wide enough for "-14.7" and "Time" with room to spare.
    const QFontMetrics metrics = fontMetrics();
    const int column = std::max(metrics.horizontalAdvance(QStringLiteral("MAP [PSI]")),
                                metrics.horizontalAdvance(QStringLiteral("-14.7s"))) +
                       metrics.averageCharWidth() * 2;
    const int frame = 2 * frameWidth();
    return {verticalHeader()->sizeHint().width() + 2 * column + frame,
            horizontalHeader()->sizeHint().height() +
                kPercentPoints * verticalHeader()->defaultSectionSize() + frame};
}

QModelIndex CCurveTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // The cursor keeps to the percents, the one column the user types in.
    const QModelIndex current = currentIndex();
    if (!current.isValid()) {
        return model()->index(0, kPercentColumn);  // coming in: the first point
    }
    const int row = current.row();
    switch (action) {
        case MoveNext:
            return model()->index(std::min(row + 1, kPercentPoints - 1), kPercentColumn);
        case MovePrevious:
            return model()->index(std::max(row - 1, 0), kPercentColumn);
        case MoveLeft:
        case MoveRight:
            return model()->index(row, kPercentColumn);
        default: {
            const QModelIndex moved = QTableWidget::moveCursor(action, modifiers);
            return moved.isValid() ? model()->index(moved.row(), kPercentColumn) : moved;
        }
    }
}

void CCurveTable::Sync(const QString& xName, bool force) {
    if (horizontalHeaderItem(kXColumn)->text() != xName) {
        horizontalHeaderItem(kXColumn)->setText(xName);
    }
    if (m_model.Revision() == m_shownRevision && !force) {
        return;
    }
    m_shownRevision = m_model.Revision();
    m_showing = true;
    const Curve& percents = m_model.GetPercents();
    for (int row = 0; row < kPercentPoints; ++row) {
        const QString x = QString::fromStdString(m_model.PointXText(row));
        const QString percent = QString::number(percents[static_cast<std::size_t>(row)]);
        // Only what changed, so that a drag repaints a cell or two.
        if (item(row, kXColumn)->text() != x) {
            item(row, kXColumn)->setText(x);
        }
        if (item(row, kPercentColumn)->text() != percent) {
            item(row, kPercentColumn)->setText(percent);
        }
    }
    const PointSet& selected = m_model.Selection();
    QItemSelection selection;
    for (int row = 0; row < kPercentPoints; ++row) {
        if (selected.test(static_cast<std::size_t>(row))) {
            selection.select(model()->index(row, kXColumn), model()->index(row, kPercentColumn));
        }
    }
    if (selection != selectionModel()->selection()) {
        selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }
    m_showing = false;
}

}  // namespace zentrik
