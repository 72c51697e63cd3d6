#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/config_document.h"
#include "link/upgrade_handler.h"

namespace zentrik {

enum class MessageIcon { None, Exclamation, Question, Information };
enum class MessageButtons { Ok, YesNo, AbortRetryIgnore };
enum class MessageAnswer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

// The timed notice after a transfer.
enum class NoticeKind { Downloaded = 1, Uploaded = 2 };

// What a configuration download is for. A download for the document replaces it, refreshes
// the views and shows the notice; the others land in a record of their own, with no refresh
// and no notice: Compare is handed to the host (ConfigDownloaded), Verify is the link's own
// check after an upload, Backup goes to the firmware upgrade that asked for it.
enum class TransferPurpose : std::uint8_t { Document, Compare, Verify, Backup };

// What made the link see the controller's whole configuration: a download for the document,
// an upload acknowledged (or, with verify on, read back the same), a verify's read-back that
// differs from what was sent, a download for Compare or for the backup before an upgrade.
enum class HeldEvent : std::uint8_t { Download, Upload, Verify, Compare, Backup };

// Everything the link and the firmware upgrade need from their surroundings: the window
// (status bar, message boxes, dialogs, file chooser), the reply timer and the document.
//
// The modal calls (ShowMessageBox, ShowNotice, RunUpgrade) may run a nested event loop that
// delivers port events and reply-timer ticks back to the link before they return; the link
// settles its state before each of them.
class LinkHost {
  public:
    virtual ~LinkHost() = default;

    // Status bar, pane 0.
    virtual void SetStatusText(std::string_view text) = 0;

    // A modal message box; returns the button chosen.
    virtual MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption,
                                         MessageIcon icon, MessageButtons buttons) = 0;

    // The "Serial Port Unavailable" box: `text` names the device; `device` and `error` (the
    // platform's code from the failed open) let the host say why and what to do.
    virtual void ShowPortUnavailable(std::string_view text, const std::string& device,
                                     int error) = 0;

    // The timed notice (modal, closes itself after 15 seconds).
    virtual void ShowNotice(NoticeKind kind) = 0;

    // The upgrade progress dialog. RunUpgrade is modal: once open it calls
    // source.SendNextFirmwareUnit() and returns only after one of the Finish calls, when the
    // user closes it. ShowStep takes a word number, or -1 for the checksum step.
    virtual void RunUpgrade(int total, FirmwareUnitSource& source) = 0;
    virtual void ShowStep(int step) = 0;
    virtual void FinishWithText(std::string_view text) = 0;
    virtual void FinishWithSuccess() = 0;

    // The file-open dialog for an existing file; nothing when cancelled.
    virtual std::optional<std::string> ChooseFileToOpen(std::string_view filterName,
                                                        std::string_view pattern) = 0;

    // Reply timer (107). When it fires the host calls ControllerLink::OnReplyTimer().
    // StartReplyTimer restarts a running timer.
    virtual void StartReplyTimer(unsigned milliseconds) = 0;
    virtual void StopReplyTimer() = 0;

    // The document the transfers read and replace, and the refresh of its views.
    virtual ConfigDocument& Document() = 0;
    virtual void RefreshViews(int hint) = 0;

    // A download queued with ControllerLink::QueueDownload for Compare (or for any purpose no
    // part of the link took itself) arrived: the controller's configuration, its pressures in
    // the unit its record names. May be modal; the next request waits until it returns.
    virtual void ConfigDownloaded(TransferPurpose /*purpose*/, const ConfigDocument& /*config*/) {}

    // The controller is now known to hold `config`. Called before the event's notice or box;
    // must not be modal.
    virtual void ControllerHolds(HeldEvent /*event*/, const ConfigDocument& /*config*/) {}

    // Caption of the first upgrade question.
    virtual std::string ApplicationTitle() = 0;
};

}  // namespace zentrik
