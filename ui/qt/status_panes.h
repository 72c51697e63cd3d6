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

// The status bar's two texts side by side. The status text on the left is what the user needs:
// it keeps the room it asks for, and the statistics on the right take what is left, cut short
// and then dropped as the window narrows. Only a window narrower than the status text itself
// cuts the status text.
class StatusPanes : public QWidget {
    Q_OBJECT
  public:
    explicit StatusPanes(QWidget* parent = nullptr);

    QLabel* Status() const { return m_status; }
    QLabel* Statistics() const { return m_statistics; }
    void SetTexts(const QString& status, const QString& statistics);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void LayOut();
    int TextWidth(const QLabel* label) const;

    ElidingLabel* m_status = nullptr;
    ElidingLabel* m_statistics = nullptr;
};
