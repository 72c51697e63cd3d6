#include "ui/win32/modal_tracker.h"

#include <string_view>

namespace zentrik::win32 {

namespace {

// The tracker whose hook is installed on this thread.
thread_local ModalTracker* t_tracker = nullptr;

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring_view(name) == L"#32770";
}

}  // namespace

ModalTracker::~ModalTracker() {
    if (m_hook != nullptr) {
        UnhookWindowsHookEx(m_hook);
        t_tracker = nullptr;
    }
}

void ModalTracker::Push(Ending ending) {
    m_entries.push_back({ending, nullptr});
    if (m_hook == nullptr) {
        t_tracker = this;
        m_hook = SetWindowsHookExW(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
    }
}

void ModalTracker::Pop() {
    if (!m_entries.empty()) {
        m_entries.pop_back();
    }
    if (m_entries.empty() && m_hook != nullptr) {
        UnhookWindowsHookEx(m_hook);
        m_hook = nullptr;
        t_tracker = nullptr;
    }
}

HWND ModalTracker::TopWindow(HWND fallback) const {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it->window != nullptr && IsWindow(it->window)) {
            return it->window;
        }
    }
    return fallback;
}

void ModalTracker::EndAll() {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it->window == nullptr || !IsWindow(it->window)) {
            continue;
        }
        switch (it->ending) {
            case Ending::Never:
                break;
            case Ending::EndDialog:
                EndDialog(it->window, 0);
                break;
            case Ending::Cancel:
                PostMessageW(it->window, WM_COMMAND, IDCANCEL, 0);
                break;
        }
    }
}

LRESULT CALLBACK ModalTracker::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && t_tracker != nullptr) {
        t_tracker->NoteActivated(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ModalTracker::NoteActivated(HWND window) {
    if (!IsDialogWindow(window)) {
        return;
    }
    for (const Entry& entry : m_entries) {
        if (entry.window == window) {
            return;  // activated again
        }
    }
    // The innermost call still without a window opened it; a window that a dialog opens on
    // its own (a file dialog's overwrite question) finds none and is left to its dialog.
    if (!m_entries.empty() && m_entries.back().window == nullptr) {
        m_entries.back().window = window;
    }
}

}  // namespace zentrik::win32
