#pragma once

#include <QSvgRenderer>
#include <QWidget>

// A picture drawn from an SVG resource at its natural size, sharp at any device pixel
// ratio; reports clicks with the left button.
class SvgPicture : public QWidget {
    Q_OBJECT
  public:
    SvgPicture(const QString& resource, QSize size, QWidget* parent = nullptr);
    QSize sizeHint() const override { return m_size; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QSvgRenderer m_renderer;
    QSize m_size;
};
