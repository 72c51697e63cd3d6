#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/config_compare.h"
#include "editor/upload_markers.h"
#include "link/link_host.h"
#include "shell/history_list.h"

namespace zentrik {

class NoticeCountdown;
class UpgradeProgress;

// A modal message box as the frame asks for it.
struct BoxRequest {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    // Shown below the text (the port box's reason and remedy); empty for none.
    std::string detail;
    // Two buttons of the frame's own in place of `buttons`: the first answers Ok, the second
    // Cancel, which is also the default button and what Escape and the close box answer.
    // Empty: the `buttons`.
    std::string acceptButton;
    std::string cancelButton;
    // Listed below the text, one an entry, in a list that scrolls when it is long.
    std::vector<std::string> items;
};

// A number asked of the user: the dialog's caption, the label over its field, the text the
// field starts with, and a line under it saying why the last answer was not taken (empty for
// none).
struct NumberPrompt {
    std::string caption;
    std::string label;
    std::string text;
    std::string error;
};

// What the user chose in the comparison with the controller.
enum class CompareChoice { Close, UseControllers, UploadThis };

// The bars the View menu shows and hides.
enum class FrameBar { ToolBar, StatusBar };

// What the frame's behaviour (FrameShell) needs of a window system: only what takes a window.
// The modal calls run a nested event loop that goes on delivering the port's notifications
// and the timers; they return when the user has answered.
class ShellSkin {
  public:
    virtual ~ShellSkin() = default;

    // A message box in the order of its buttons (Abort, Retry, Ignore; Yes, No; OK). Nothing
    // when it was ended without an answer (EndModalsForClose).
    virtual std::optional<MessageAnswer> ShowBox(const BoxRequest& box) = 0;
    // The timed notice: shows `countdown`, ticks it every second (timer 108) and closes
    // itself when a tick says so, or when the user presses OK or Escape.
    virtual void RunNotice(NoticeCountdown& countdown) = 0;
    // The upgrade's progress dialog: shows `progress`, calls source.SendNextFirmwareUnit()
    // once it is open, and returns when the user has closed it after the result.
    virtual void RunProgress(UpgradeProgress& progress, FirmwareUnitSource& source) = 0;
    // The progress changed (a step or the result); a window may show steps less often.
    virtual void ShowProgress() = 0;
    virtual void RunAbout() = 0;
    // The file-open dialog for an existing file; nothing when cancelled.
    virtual std::optional<std::string> ChooseFileToOpen(std::string_view title,
                                                        std::string_view filterName,
                                                        std::string_view pattern) = 0;
    // The file-save dialog, offering `suggestedName`; nothing when cancelled. A file that
    // exists is confirmed by the dialog before it is replaced.
    virtual std::optional<std::string> ChooseFileToSave(std::string_view title,
                                                        std::string_view filterName,
                                                        std::string_view pattern,
                                                        std::string_view suggestedName) = 0;
    // A small dialog asking for a number: the text typed when OK was pressed; nothing when
    // cancelled.
    virtual std::optional<std::string> AskNumber(const NumberPrompt& prompt) = 0;
    // The comparison's dialog: one row per difference, columns "Setting", "This Computer"
    // and "Controller", buttons "&Use Controller's", "&Upload This" and "Close". Each row has
    // a check box, ticked at first; `ticked` (a flag per row, all set) gets the rows' ticks
    // as they were when a button was pressed.
    virtual CompareChoice RunCompare(const std::vector<ConfigDifference>& rows,
                                     std::vector<bool>* ticked) = 0;
    // The "Configuration History" dialog: `list`'s rows under the columns "When", "Event",
    // "Controller" and "Differences", its selected row selected (each change of selection
    // handed to list.Select), buttons "&Open" and "&Compare" enabled as the list says, and
    // "Close"; an empty list says so instead. The user's choice; Close for Escape.
    virtual HistoryChoice RunHistory(HistoryList& list) = 0;
    // Ends every box and notice that is up because the window is to close (the progress
    // dialog can't be ended); their calls return as if cancelled.
    virtual void EndModalsForClose() = 0;
    // Closes the window from its own event loop, once the current call has returned.
    virtual void PostClose() = 0;

    // Reply timer 107: when it fires, the window calls FrameShell::OnReplyTimer().
    // StartReplyTimer restarts a running timer.
    virtual void StartReplyTimer(unsigned milliseconds) = 0;
    virtual void StopReplyTimer() = 0;
    // Called on the port's event thread: queue the notification for the window's own thread,
    // which hands it to FrameShell::OnPortEvent. Thread-safe; never blocks.
    virtual void PostPortEvent(std::uintptr_t wParam) = 0;

    // Every command's enabling, check mark and text again, from FrameShell::Command.
    virtual void RefreshCommands() = 0;
    // The status pane and the statistics again, from FrameShell.
    virtual void ShowStatus() = 0;
    // The marks on the settings the controller does not hold, and the pane that counts them,
    // changed (FrameShell::Markers).
    virtual void ShowMarkers(const UploadMarkers& markers) = 0;
    // A value typed into the form but not confirmed goes to the form, as Enter would.
    virtual void CommitPendingInput() = 0;
    virtual bool IsBarVisible(FrameBar bar) const = 0;
    virtual void SetBarVisible(FrameBar bar, bool visible) = 0;
    virtual void OpenWebSite(std::string_view address) = 0;
    // Shows a file the program wrote (a web page) in the default browser; where there is
    // none, nothing happens.
    virtual void OpenInBrowser(const std::string& path) = 0;
};

}  // namespace zentrik
