#pragma once

#include <QWidget>

class SvgPicture;

// The bar at the bottom of the frame: black, with the banner picture (control 1037) at the
// top edge, centred when the bar is wider than the picture, else at the left edge. A click
// on the picture is reported (the frame opens the maker's web site).
class CBannerBar : public QWidget {
    Q_OBJECT
  public:
    explicit CBannerBar(QWidget* parent = nullptr);

    SvgPicture* Picture() const { return m_picture; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    void pictureClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    SvgPicture* m_picture = nullptr;
};
