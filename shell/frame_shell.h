#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "editor/upload_markers.h"
#include "firmware/firmware_upgrade.h"
#include "link/controller_link.h"
#include "link/controller_port_adapter.h"
#include "link/discovery/bridge_list.h"
#include "link/discovery/device_watcher.h"
#include "link/discovery/port_scanner.h"
#include "link/link_host.h"
#include "link/serial/port_event_sink.h"
#include "shell/connection_status.h"
#include "shell/controller_history.h"
#include "shell/edit_commands.h"
#include "shell/held_config.h"
#include "shell/notice_countdown.h"
#include "shell/port_choices.h"
#include "shell/quarnel_doc.h"
#include "shell/shell_skin.h"
#include "shell/upgrade_progress.h"

namespace zentrik {

// What a command looks like now: whether it can be chosen, its check mark, and for the
// connection indicator its text.
struct CommandState {
    bool enabled = true;
    bool checked = false;
    std::string text;  // empty: the command's own caption
};

// The main frame's behaviour, the same in every window system: it owns the controller link
// (port, scanner, request queue and receiver) and the firmware upgrade, is the link's host,
// turns commands into requests, says which commands are enabled, follows devices that come
// and go and ports that hang up, and closes the window without losing anything while boxes
// or a transfer are up. A window (the skin) creates the bars and dialogs, hands its events
// here and implements ShellSkin for the little that takes a window.
class FrameShell : public LinkHost, public PortEventSink, private DocumentView {
  public:
    // The device-change event types that are followed; all others are ignored.
    static constexpr unsigned kDeviceArrival = 0x8000;
    static constexpr unsigned kDeviceRemoveComplete = 0x8004;

    // `bridges` is the scanner's view of the attached bridges.
    FrameShell(ShellSkin& skin, CQuarnelDoc& doc, AppSettings& settings,
               std::unique_ptr<BridgeList> bridges);
    // OnDestroy, if the window did not run it.
    ~FrameShell() override;
    FrameShell(const FrameShell&) = delete;
    FrameShell& operator=(const FrameShell&) = delete;

    // The frame's creation once its bars exist: the settings (LoadSettings), then the first
    // ScanForConnection, which opens the controller's port when it finds one.
    void Create();
    // The frame's destruction, once: the settings saved, then the port closed (its event
    // thread ended first, so nothing is posted to the window after this).
    void OnDestroy();

    // ---- commands (ids in shell_texts.h)
    // The form the Edit menu's commands act on (nullptr: none); after each of them the
    // document's views show what it changed (an update with hint 0).
    void SetForm(StageForm* form) {
        m_form = form;
        m_edit.SetForm(form);
    }
    void OnCommand(int id);
    CommandState Command(int id) const;
    // The Port submenu as it is now: Automatic and every serial device the system lists. The
    // list is read anew by each call (a window calls it when the submenu opens); the device
    // items' commands hold until the next call.
    std::vector<PortChoice> PortChoices();
    std::string StatusText() const { return m_statusText; }
    std::string StatisticsText() const;

    // ---- the window's events
    // The port's notification, on the window's thread.
    void OnPortEvent(std::uintptr_t wParam);
    void OnReplyTimer();
    // A device arrived or went (or another device change happened, which is ignored).
    void OnDeviceChange(unsigned eventType);
    // A burst of changes (a bridge brings a USB device and a tty) is followed as one.
    void OnDeviceChanges(const std::vector<DeviceChange>& changes);
    // The window is asked to close (close box, Alt+F4, Exit, a stop signal). True when it
    // may close now; the document has then been saved. While a box or the notice is up they
    // are ended with the answer that stops and the window closes once they have returned;
    // the progress dialog can't be ended, so the window closes after its result has been
    // acknowledged.
    bool RequestClose();
    // The document's close step (a pending edit first), once; the program's exit runs it
    // when the window's close did not.
    void SaveOnExit();
    bool ClosePending() const { return m_closePending; }
    // A transfer runs inside the progress dialog.
    bool Transferring() const { return m_progress.Transferring(); }

    // The path-taking half of File > Open Configuration: the file read into the document in
    // place of what it holds, or the box that says why not (the document then stays).
    void OpenConfigurationFile(const std::string& path);
    // Whether a box or dialog is up. `handler` runs each time the last one up has ended.
    bool ModalUp() const { return m_modalDepth > 0; }
    void SetModalsEndedHandler(std::function<void()> handler) {
        m_modalsEnded = std::move(handler);
    }

    // ---- what the controller does not hold
    // Where the record of what the controller was last seen to hold comes from across runs.
    void SetHeldLoader(HeldConfig::Loader loader) { m_held.SetLoader(std::move(loader)); }
    const HeldConfig& Held() const { return m_held; }
    // The marks on the settings the controller does not hold, and the pane that counts them;
    // ShellSkin::ShowMarkers is told each time they change.
    const UploadMarkers& Markers() const { return m_markers; }
    // The user worked in the form (called after every input; cheap when the document is as
    // it was). During a curve drag the marks wait for the drag's end.
    void OnFormChanged();
    // The pane that counts the settings not uploaded was double-clicked: Compare With
    // Controller, when it can be given.
    void OnMarkersPaneDoubleClicked();

    // ---- parts, for the window and for tests
    ControllerLink& Link() { return m_link; }
    const ControllerLink& Link() const { return m_link; }
    ControllerPortAdapter& Port() { return m_port; }
    CPortScanner& Scanner() { return m_scanner; }
    FirmwareUpgrade& Upgrade() { return m_upgrade; }
    UpgradeProgress& Progress() { return m_progress; }
    CQuarnelDoc& Doc() { return m_doc; }
    AppSettings& Settings() { return m_settings; }
    ShellSkin& Skin() { return m_skin; }
    ConnectionStatus& Connection() { return m_connection; }
    // The configuration file last opened or saved in this run; empty when none was.
    const std::string& ConfigFilePath() const { return m_configFile; }

    ControllerHistory& History() { return m_history; }
    // A dialog of the skin run as a modal of the frame (a close waits for it).
    void RunDialog(const std::function<void()>& call);

    // The file-save dialog as a modal of the frame; nothing when cancelled or when the window
    // is closing.
    std::optional<std::string> ChooseFileToSave(std::string_view title, std::string_view filterName,
                                                std::string_view pattern,
                                                std::string_view suggestedName);

    // ---- LinkHost
    void SetStatusText(std::string_view text) override;
    MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageIcon icon,
                                 MessageButtons buttons) override;
    void ShowPortUnavailable(std::string_view text, const std::string& device, int error) override;
    void ShowNotice(NoticeKind kind) override;
    void RunUpgrade(int total, FirmwareUnitSource& source) override;
    void ShowStep(int step) override;
    void FinishWithText(std::string_view text) override;
    void FinishWithSuccess() override;
    std::optional<std::string> ChooseFileToOpen(std::string_view filterName,
                                                std::string_view pattern) override;
    void StartReplyTimer(unsigned milliseconds) override;
    void StopReplyTimer() override;
    ConfigDocument& Document() override;
    void RefreshViews(int hint) override;
    std::string ApplicationTitle() override;
    void ConfigDownloaded(TransferPurpose purpose, const ConfigDocument& config) override;
    void ControllerHolds(HeldEvent event, const ConfigDocument& config) override;

    // ---- PortEventSink (called on the port's event thread)
    void PostPortEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // What the user chose in the comparison with `controller`, for the settings of the rows
    // ticked, `rows` in all.
    void ActOnComparison(CompareChoice choice, const ConfigDocument& controller,
                         const std::vector<SettingRef>& ticked, std::size_t rows);

  private:
    void QueueCommand(RequestType type);
    // A box of the frame's own buttons; nothing once the window is closing.
    std::optional<MessageAnswer> AskBox(const BoxRequest& box);
    // The check before an upload, with its box when it finds something.
    bool ConfirmUpload();
    void OpenConfiguration();
    void SaveConfigurationAs();
    void CompareWithController();
    void ChoosePort(const std::string& device);
    void FollowDeviceChange();
    // A modal call of the skin: counted, so that a close waits for it, and followed by the
    // commands' refresh and the close it held back.
    template <typename Call>
    auto RunModal(Call&& call);
    void AfterModal();
    // The commands and the status after any entry into the link.
    void Refresh();
    // DocumentView: the document changed.
    void OnUpdate(int hint) override;
    void UpdateMarkers();

    ShellSkin& m_skin;
    CQuarnelDoc& m_doc;
    AppSettings& m_settings;
    ControllerPortAdapter m_port;
    CPortScanner m_scanner;
    ControllerLink m_link;
    FirmwareUpgrade m_upgrade;
    UpgradeProgress m_progress;
    EditCommands m_edit;
    StageForm* m_form = nullptr;
    HeldConfig m_held;
    UploadMarkers m_markers;
    ConfigDocument m_markedDoc{};  // the document as the marks were last worked out for
    ControllerHistory m_history{*this};
    ConnectionStatus m_connection;
    std::string m_statusText;
    std::vector<PortChoice> m_portChoices;  // as last listed
    std::string m_configFile;

    int m_modalDepth = 0;
    std::function<void()> m_modalsEnded;
    bool m_closePending = false;
    bool m_closed = false;
    bool m_destroyed = false;
    bool m_inDeviceChange = false;
    bool m_deviceChangeAgain = false;
};

}  // namespace zentrik
