#pragma once

#include <QLabel>
#include <QWidget>

// A label that shows its text cut short with an ellipsis when it has less room than the text
// needs; text() keeps the whole text.
class ElidingLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The status bar's texts side by side. The status text on the left is what the user needs: it
// keeps the room it asks for. The pane that counts the settings not uploaded stands at the right
// end and comes next; double-clicking it asks for the comparison with the controller. The
// statistics between them take what is left, cut short and then dropped as the window narrows.
// Only a window narrower than the status text itself cuts the status text.
class StatusPanes : public QWidget {
    Q_OBJECT
  public:
    explicit StatusPanes(QWidget* parent = nullptr);

    QLabel* Status() const { return m_status; }
    QLabel* Statistics() const { return m_statistics; }
    QLabel* Markers() const { return m_markers; }
    void SetTexts(const QString& status, const QString& statistics);
    void SetMarkersText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    void markersDoubleClicked();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LayOut();
    int TextWidth(const QLabel* label) const;

    ElidingLabel* m_status = nullptr;
    ElidingLabel* m_statistics = nullptr;
    ElidingLabel* m_markers = nullptr;
};
