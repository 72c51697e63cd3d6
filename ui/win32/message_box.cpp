#include "ui/win32/message_box.h"

#include "ui/win32/wide_text.h"

namespace zentrik::win32 {

std::optional<MessageAnswer> RunMessageBox(HWND owner, const BoxRequest& request) {
    UINT style = 0;
    switch (request.icon) {
        case MessageIcon::Exclamation:
            style |= MB_ICONEXCLAMATION;
            break;
        case MessageIcon::Question:
            style |= MB_ICONQUESTION;
            break;
        case MessageIcon::Information:
            style |= MB_ICONINFORMATION;
            break;
        case MessageIcon::None:
            break;
    }
    switch (request.buttons) {
        case MessageButtons::AbortRetryIgnore:
            style |= MB_ABORTRETRYIGNORE;
            break;
        case MessageButtons::YesNo:
            style |= MB_YESNO;
            break;
        case MessageButtons::Ok:
            style |= MB_OK;
            break;
    }
    std::wstring text = Wide(request.text);
    if (!request.detail.empty()) {
        text += L"\n\n" + Wide(request.detail);
    }
    switch (MessageBoxW(owner, text.c_str(), Wide(request.caption).c_str(), style)) {
        case IDOK:
            return MessageAnswer::Ok;
        case IDYES:
            return MessageAnswer::Yes;
        case IDNO:
            return MessageAnswer::No;
        case IDABORT:
            return MessageAnswer::Abort;
        case IDRETRY:
            return MessageAnswer::Retry;
        case IDIGNORE:
            return MessageAnswer::Ignore;
        default:
            return std::nullopt;  // ended for the window's close
    }
}

}  // namespace zentrik::win32
