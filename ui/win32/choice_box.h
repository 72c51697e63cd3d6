#pragma once

#include <windows.h>

#include <optional>

#include "shell/shell_skin.h"

namespace zentrik::win32 {

// A box with buttons of the frame's own (BoxRequest::acceptButton and cancelButton), which a
// message box cannot have, and below its text the request's items in a list that scrolls: the
// check before an upload with its problems, the question about a file that lacks settings.
// Built in code; Cancel is the default button.
class CChoiceBox {
  public:
    static constexpr int kTextId = 1201;
    static constexpr int kItemsId = 1202;
    static constexpr int kAcceptId = 1203;  // the second button is IDCANCEL

    explicit CChoiceBox(const BoxRequest& request) : m_request(request) {}

    // Ok for the first button, Cancel for the second (and Escape); nothing when the box was
    // ended without an answer (EndDialog with 0, for the window's close).
    std::optional<MessageAnswer> DoModal(HINSTANCE instance, HWND owner);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND hwnd);

    const BoxRequest& m_request;
};

}  // namespace zentrik::win32
