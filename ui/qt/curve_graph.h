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
// line, markers, the selection and the band being drawn) is drawn on every paint, within the
// stretch being painted only. After each input it emits changed(), so that the form shows
// what the input changed.
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
    void DrawForeground(QPainter& painter, const QRect& exposed);
    void DrawFocus(QPainter& painter, const QRect& exposed);
    void RenderMarkers(qreal ratio);

    CurveGraphModel& m_model;
    QString m_shownTip;
    QPixmap m_background;
    int m_backgroundRenders = 0;
    int m_paints = 0;
    // One point's marker, an out-of-range point's (ringed in red) and a selected point's, at
    // the current pixel ratio.
    QPixmap m_marker;
    QPixmap m_outOfRangeMarker;
    QPixmap m_selectedMarker;
};

}  // namespace zentrik
