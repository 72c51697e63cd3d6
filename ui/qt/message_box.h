#pragma once

#include <QMessageBox>
#include <memory>
#include <optional>

#include "shell/shell_skin.h"

// A message box for a request of the frame, its buttons in the order the tool has always
// shown them (Abort, Retry, Ignore; Yes, No; OK) whatever the desktop's own order, with the
// mnemonics a keyboard user answers with; the detail, if any, below the text.
std::unique_ptr<QMessageBox> CreateMessageBox(const zentrik::BoxRequest& request, QWidget* parent);

// The answer of the button the user clicked; nothing when the box was closed otherwise.
std::optional<zentrik::MessageAnswer> AnswerOf(const QMessageBox& box);
