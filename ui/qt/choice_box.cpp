#include "ui/qt/choice_box.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

using zentrik::BoxRequest;
using zentrik::MessageAnswer;
using zentrik::MessageIcon;

namespace {

// The list shows this many rows before it scrolls.
constexpr int kShownRows = 12;
// The text is at least this many average characters wide before it wraps.
constexpr int kTextWidthChars = 60;

QStyle::StandardPixmap PixmapOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Question:
            return QStyle::SP_MessageBoxQuestion;
        case MessageIcon::Information:
            return QStyle::SP_MessageBoxInformation;
        default:
            return QStyle::SP_MessageBoxWarning;
    }
}

}  // namespace

CChoiceBox::CChoiceBox(const BoxRequest& request, QWidget* parent) : QDialog(parent) {
    setObjectName("choiceBox");
    setWindowTitle(QString::fromStdString(request.caption));

    auto* text = new QLabel(QString::fromStdString(request.text), this);
    text->setObjectName("text");
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A wrapped text would otherwise take the narrowest width it fits in.
    text->setMinimumWidth(text->fontMetrics().averageCharWidth() * kTextWidthChars);
    auto* content = new QVBoxLayout;
    content->addWidget(text);
    if (!request.items.empty()) {
        m_items = new QListWidget(this);
        m_items->setObjectName("items");
        int widest = 0;
        for (const std::string& item : request.items) {
            const QString line = QString::fromStdString(item);
            m_items->addItem(line);
            widest = std::max(widest, m_items->fontMetrics().horizontalAdvance(line));
        }
        // Wide enough for every item where the screen allows, high enough for a dozen.
        const int margin = m_items->frameWidth() * 2 + fontMetrics().averageCharWidth() * 4;
        const QScreen* screen =
            parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
        const int most = screen != nullptr ? screen->availableGeometry().width() * 3 / 4 : 800;
        m_items->setMinimumWidth(std::min(widest + margin, most));
        const int rows = std::clamp(static_cast<int>(request.items.size()), 3, kShownRows);
        m_items->setMinimumHeight(m_items->sizeHintForRow(0) * rows + m_items->frameWidth() * 2);
        content->addWidget(m_items, 1);
    }

    auto* icon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(PixmapOf(request.icon), nullptr, this).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(content, 1);

    // In the order asked, whatever the desktop's own order; Cancel is the safe default.
    m_accept = new QPushButton(QString::fromStdString(request.acceptButton), this);
    m_cancel = new QPushButton(QString::fromStdString(request.cancelButton), this);
    m_accept->setAutoDefault(false);
    m_cancel->setDefault(true);
    connect(m_accept, &QPushButton::clicked, this, [this] {
        m_answer = MessageAnswer::Ok;
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_answer = MessageAnswer::Cancel;
        reject();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_accept);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    m_cancel->setFocus();
}
