#pragma once

#include <QPixmap>
#include <QPointF>
#include <QWidget>

#include "editor/curve_graph_model.h"

namespace zentrik {

// The window's percent curve graph: it paints what the graph's behaviour (CurveGraphModel)
// holds and hands it the window's size, the mouse and the keys. Painting is in two layers:
// the static one (fill, shadow, gradient plot area, border, grid) is rendered into a pixmap at
// the widget's device pixel ratio and kept until the model asks for it again; the curve (area,
// line, markers) is drawn on every paint. After each input it emits changed(), so that the
// form shows what the end of a drag changed.
class CCurveGraph : public QWidget {
    Q_OBJECT
  public:
    CCurveGraph(CurveGraphModel& model, QWidget* parent = nullptr);

    CurveGraphModel& Model() { return m_model; }
    // Repaints what the model says changed.
    void Sync();

    QPointF PointPosition(int index) const;
    int BackgroundRenderCount() const { return m_backgroundRenders; }
    int PaintCount() const { return m_paints; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    void changed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // After an input: the tooltip and the repaint the model asks for, then changed().
    void AfterInput(const QPoint& tipAt);
    void ShowTip(const QPoint& globalPos);
    void RenderBackground();
    void DrawBackground(QPainter& painter);
    void DrawForeground(QPainter& painter);
    // One point's marker, its ring in `surround`, at the pixel ratio.
    static QPixmap RenderMarker(qreal ratio, const QColor& surround);

    CurveGraphModel& m_model;
    QString m_shownTip;
    QPixmap m_background;
    int m_backgroundRenders = 0;
    int m_paints = 0;
    QPixmap m_marker;            // one point's marker at the current pixel ratio
    QPixmap m_outOfRangeMarker;  // the marker of a point whose value lies above the plot
};

}  // namespace zentrik
