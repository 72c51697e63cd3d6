#include "ui/qt/controller_tool_bar.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QToolButton>

#include "shell/shell_texts.h"

CControllerToolBar::CControllerToolBar(QWidget* parent)
    : QToolBar(zentrik::shell_texts::kToolBarCaption, parent) {
    setObjectName("controllerToolBar");
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(85, 31));
    setAllowedAreas(Qt::AllToolBarAreas);
}

void CControllerToolBar::EqualiseButtons() {
    const QList<QToolButton*> buttons = findChildren<QToolButton*>();
    int width = 0;
    for (QToolButton* button : buttons) {
        // The indicator's longer text decides, whichever one it shows now.
        QFontMetrics metrics = button->fontMetrics();
        width = std::max({width, button->sizeHint().width(),
                          metrics.horizontalAdvance(zentrik::shell_texts::kDisconnected) +
                              metrics.averageCharWidth() * 2,
                          metrics.horizontalAdvance(zentrik::shell_texts::kConnected) +
                              metrics.averageCharWidth() * 2});
    }
    for (QToolButton* button : buttons) {
        if (button->defaultAction() != nullptr) {
            button->setMinimumWidth(width);
        }
    }
}

void CControllerToolBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QToolBar::mousePressEvent(event);
}

void CControllerToolBar::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}
