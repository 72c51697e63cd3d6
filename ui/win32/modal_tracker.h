#pragma once

#include <windows.h>

#include <vector>

namespace zentrik::win32 {

// The modal windows the frame has up, innermost last, so that they can be ended when the
// window is to close. Each modal call pushes an entry before it opens its window and pops it
// when the call returns; a thread-local hook notes the dialog window that the call activates,
// since MessageBoxW and the file dialogs don't hand out their windows.
class ModalTracker {
  public:
    // How an entry's window is ended early.
    enum class Ending {
        Never,      // the progress dialog: only its own OK ends it
        EndDialog,  // a dialog box or message box: its call returns 0
        Cancel,     // a common file dialog: as its Cancel button would
    };

    ModalTracker() = default;
    ~ModalTracker();
    ModalTracker(const ModalTracker&) = delete;
    ModalTracker& operator=(const ModalTracker&) = delete;

    // Around one modal call.
    void Push(Ending ending);
    void Pop();
    // The innermost modal window known, or `fallback`: the owner a new box should have.
    HWND TopWindow(HWND fallback) const;
    // Ends every entry that may be ended, innermost first; their calls return afterwards.
    void EndAll();
    bool Empty() const { return m_entries.empty(); }

  private:
    struct Entry {
        Ending ending;
        HWND window = nullptr;
    };
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void NoteActivated(HWND window);

    std::vector<Entry> m_entries;
    HHOOK m_hook = nullptr;
};

}  // namespace zentrik::win32
