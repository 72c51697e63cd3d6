#include "ui/qt/message_box.h"

#include <QPushButton>

#include "shell/shell_texts.h"

namespace texts = zentrik::shell_texts;
using zentrik::BoxRequest;
using zentrik::MessageAnswer;
using zentrik::MessageButtons;
using zentrik::MessageIcon;

namespace {

// The property of a message box button that holds its answer.
constexpr const char* kAnswerProperty = "zentrikAnswer";

}  // namespace

std::unique_ptr<QMessageBox> CreateMessageBox(const BoxRequest& request, QWidget* parent) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (request.icon) {
        case MessageIcon::Exclamation:
            qtIcon = QMessageBox::Warning;
            break;
        case MessageIcon::Question:
            qtIcon = QMessageBox::Question;
            break;
        case MessageIcon::Information:
            qtIcon = QMessageBox::Information;
            break;
        case MessageIcon::None:
            break;
    }
    auto box = std::make_unique<QMessageBox>(qtIcon, QString::fromStdString(request.caption),
                                             QString::fromStdString(request.text),
                                             QMessageBox::NoButton, parent);
    if (!request.detail.empty()) {
        box->setObjectName("portUnavailableBox");
        box->setInformativeText(QString::fromStdString(request.detail));
    }
    // The buttons in the order the tool has always shown them, whatever the desktop's own
    // button order; with no reject button, Escape and the close box answer nothing, except
    // for a box with a single OK button.
    const auto add = [&box](const char* label, MessageAnswer answer) {
        QPushButton* button = box->addButton(label, QMessageBox::ActionRole);
        button->setProperty(kAnswerProperty, static_cast<int>(answer));
        return button;
    };
    switch (request.buttons) {
        case MessageButtons::AbortRetryIgnore:
            // With mnemonics, so that Alt+A, Alt+R and Alt+I answer.
            box->setDefaultButton(add(texts::kAbortButton, MessageAnswer::Abort));
            add(texts::kRetryButton, MessageAnswer::Retry);
            add(texts::kIgnoreButton, MessageAnswer::Ignore);
            break;
        case MessageButtons::YesNo:
            box->setDefaultButton(add(texts::kYesButton, MessageAnswer::Yes));
            add(texts::kNoButton, MessageAnswer::No);
            break;
        case MessageButtons::Ok:
            box->setDefaultButton(add(texts::kOk, MessageAnswer::Ok));
            break;
    }
    return box;
}

std::optional<MessageAnswer> AnswerOf(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr || !clicked->property(kAnswerProperty).isValid()) {
        return std::nullopt;
    }
    return static_cast<MessageAnswer>(clicked->property(kAnswerProperty).toInt());
}
