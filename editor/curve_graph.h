#pragma once

#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <array>

#include "editor/curve_math.h"

namespace zentrik {

class AppSettings;

// The stage's percent curve as a filled line chart over its span (time or pressure). The user
// drags points up and down; with Smooth on, the other points follow. The graph keeps its own
// copy of the 20 percents; the owner puts the record's values in and takes them back when
// curveDragged() reports the end of a drag.
//
// Drawing is in two layers: the background (fill, shadow, gradient plot area, border, grid) is
// rendered into a pixmap at the widget's device pixel ratio and kept until bufferClean() or a
// resize; the foreground (area, line, markers) is drawn on every paint.
//
// Keyboard: with the focus, Left/Right pick a point (Home/End the first and last), Up/Down move
// it by 1 %, PageUp/PageDown by 10 %. Each key that moves a point acts as a one-step drag of
// it: smoothing when on, and one curveDragged().
class CCurveGraph : public QWidget {
    Q_OBJECT
  public:
    static constexpr float kInset = 8.0f;
    static constexpr int kHitTolerance = 6;

    CCurveGraph(const AppSettings& settings, QWidget* parent = nullptr);

    // Tooltips are shown only once this has run; later calls do nothing.
    void CreateTip();
    // 1: time axis, 0: pressure axis (the tooltip's format).
    void SetAxisMode(int mode);
    void SetRange(double xStart, double xEnd);
    // A new start (end) point. Its neighbours follow it, when Smooth is on, only if its
    // percent changed: a change of the x range alone re-shapes nothing.
    void SetStartPoint(double xStart, std::uint8_t percent);
    void SetEndPoint(double xEnd, std::uint8_t percent);
    // The whole curve; it does not redraw the background (an owner that changes the range
    // also calls SetRange).
    void SetCurve(double xStart, double xEnd, const Curve& percents);
    Curve GetPercents() const { return m_percents; }

    // The background is rendered again at the next paint.
    void bufferClean();

    // State, for the owner and for tests.
    QRectF PlotRect() const { return m_plotRect; }
    QPointF PointPosition(int index) const;
    int HitTest(const QPointF& position) const;  // -1 when no point is hit
    bool IsDragging() const { return m_dragging; }
    int DragIndex() const { return m_dragIndex; }
    int SelectedIndex() const { return m_selected; }
    const QString& TipText() const { return m_tipText; }
    double XStart() const { return m_xStart; }
    double XEnd() const { return m_xEnd; }
    int BackgroundRenderCount() const { return m_backgroundRenders; }
    int PaintCount() const { return m_paints; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // A drag has ended (the left button was released, or a key moved the picked point).
    void curveDragged();

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
    void ComputeLayout();
    float PointY(int index) const;
    void MoveDraggedPoint(const QPointF& position);
    void UpdateAround(int first, int last);
    void SmoothAroundAnchor(int anchor);
    double PointXValue(int index) const;
    void SetTipFor(int index, const QPoint& globalPos);
    void HideTip();
    void MovePickedPoint(int delta);
    void PickPoint(int index);
    void RenderBackground();
    void DrawBackground(QPainter& painter);
    void DrawForeground(QPainter& painter);
    void RenderMarker(qreal ratio);

    const AppSettings& m_settings;
    bool m_dragging = false;
    int m_dragIndex = -1;
    std::array<QPointF, kPercentPoints> m_points{};
    Curve m_percents{};
    bool m_layoutValid = false;
    QRectF m_plotRect;
    double m_xStart = 0.0;
    double m_xEnd = 0.0;
    int m_axisMode = 0;
    QString m_tipText;
    bool m_tipCreated = false;
    int m_selected = -1;  // the point the keyboard works on

    QPixmap m_background;
    bool m_backgroundDirty = true;
    int m_backgroundRenders = 0;
    int m_paints = 0;
    QPixmap m_marker;  // one point's marker at the current pixel ratio
};

}  // namespace zentrik
