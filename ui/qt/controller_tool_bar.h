#pragma once

#include <QToolBar>

// The controller toolbar: the connection indicator and the three transfer commands, text
// under each image. Right-button presses are ignored (no toolbar menu).
class CControllerToolBar : public QToolBar {
    Q_OBJECT
  public:
    explicit CControllerToolBar(QWidget* parent = nullptr);

    // Gives every button the width of the widest, so that the indicator does not change size
    // between "Connected" and "Disconnected".
    void EqualiseButtons();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};
