#pragma once

#include <QTableWidget>

#include "editor/curve_graph_model.h"

namespace zentrik {

// The table of the curve's points beside the graph: one row per point, its x value as the
// graph's tooltip gives it and its percent, which the user may type (Enter, Tab, the arrows or
// a click elsewhere commit it; Tab and the arrows go on to the next point's percent). It shows
// what the graph's model holds, the selection included, and reports the user's input; the form
// holds every rule.
class CCurveTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit CCurveTable(const CurveGraphModel& model, QWidget* parent = nullptr);

    // Shows the points, their selection and the x column's name again when the model changed
    // (or whether or not, with `force`: a typed text the form did not take goes).
    void Sync(const QString& xName, bool force = false);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  signals:
    void pointTyped(int point, const QString& text);
    void rowsSelected(const zentrik::PointSet& rows);

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

  private:
    const CurveGraphModel& m_model;
    unsigned m_shownRevision = 0;
    bool m_showing = false;
};

}  // namespace zentrik
