#include "shell/frame_shell.h"

#include <cstring>

#include "base/text_format.h"
#include "config/config_file.h"
#include "config/config_texts.h"
#include "config/history_store.h"
#include "config/ini_location.h"
#include "editor/compare_texts.h"
#include "editor/config_compare.h"
#include "editor/selective_merge.h"
#include "editor/stage_form.h"
#include "link/discovery/serial_device_list.h"
#include "link/link_texts.h"
#include "link/serial/device_name.h"
#include "link/serial/open_failure_help.h"
#include "shell/configuration_opening.h"
#include "shell/connection_status_texts.h"
#include "shell/history_texts.h"
#include "shell/setup_sheet_command.h"
#include "shell/shell_texts.h"
#include "shell/upload_confirmation.h"

namespace zentrik {

namespace texts = shell_texts;

namespace {

// What a box answers when the window closes while it is up, or would be shown after that:
// the answer that stops, never the one that goes on.
MessageAnswer SafeAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::AbortRetryIgnore:
            return MessageAnswer::Abort;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        case MessageButtons::Ok:
            break;
    }
    return MessageAnswer::Ok;
}

}  // namespace

template <typename Call>
auto FrameShell::RunModal(Call&& call) {
    ++m_modalDepth;
    struct After {
        FrameShell& shell;
        ~After() {
            --shell.m_modalDepth;
            shell.AfterModal();
        }
    } after{*this};
    return call();
}

FrameShell::FrameShell(ShellSkin& skin, CQuarnelDoc& doc, AppSettings& settings,
                       std::unique_ptr<BridgeList> bridges)
    : m_skin(skin),
      m_doc(doc),
      m_settings(settings),
      m_scanner(std::move(bridges)),
      m_link(*this, m_port, settings, this),
      m_upgrade(m_link, *this),
      m_edit([this](const NumberPrompt& prompt) -> std::optional<std::string> {
          auto text = RunModal([&] { return m_skin.AskNumber(prompt); });
          return m_closePending ? std::nullopt : text;
      }),
      m_held(settings),
      m_statusText(texts::kIdleText) {
    m_doc.AddView(this);
    m_held.SetChangedHandler([this] { UpdateMarkers(); });
    // A verify that finds a difference says which, in the form's words.
    m_link.SetDifferenceLister(DifferenceLines);
    // The last word before a configuration goes: what was checked when the command was given
    // may have been replaced while the upload waited in the queue.
    m_link.SetUploadGuard([this](const ConfigDocument&) { return m_doc.Check().empty(); });
}

FrameShell::~FrameShell() {
    OnDestroy();
    m_doc.RemoveView(this);
}

void FrameShell::OnDestroy() {
    if (m_destroyed) {
        return;
    }
    m_destroyed = true;
    m_settings.SaveSettings();
    // Joins the port's event thread before the port goes; nothing is posted after this.
    m_link.ClosePort();
}

void FrameShell::Create() {
    m_settings.LoadSettings();
    m_upgrade.SetBackupFolder(DefaultUserDataFolder());
    m_history.SetFolder(DefaultHistoryFolder());
    // What the controller held when this program last saw it: its newest history entry.
    m_held.SetLoader([folder = m_history.Folder()](const std::string& serial) {
        return HistoryStore(folder).Newest(serial);
    });
    m_link.ScanForConnection(m_scanner, m_settings);
    ExplainDisconnection(*this);
    UpdateMarkers();
    Refresh();
}

// ---- commands --------------------------------------------------------------------------------

void FrameShell::OnCommand(int id) {
    if (EditCommands::Handles(id)) {
        m_skin.CommitPendingInput();
        if (const std::optional<std::string> status = m_edit.Run(id)) {
            SetStatusText(*status);
        }
        m_doc.UpdateAllViews(0);
        Refresh();
        return;
    }
    switch (id) {
        case texts::kIdUpload:
            QueueCommand(RequestType::UploadConfig);
            break;
        case texts::kIdDownload:
            QueueCommand(RequestType::DownloadConfig);
            break;
        case texts::kIdControllerInfo:
            QueueCommand(RequestType::ControllerInfo);
            break;
        case texts::kIdUpgradeFirmware:
            if (m_link.CommandsEnabled()) {
                m_skin.CommitPendingInput();
                m_upgrade.Run();
            }
            break;
        case texts::kIdScan:
            m_skin.CommitPendingInput();
            m_link.ScanForConnection(m_scanner, m_settings);
            ExplainDisconnection(*this);
            break;
        case texts::kIdConnectionStatus:
            ShowConnectionStatus(*this);
            break;
        case texts::kIdOpenConfiguration:
            OpenConfiguration();
            break;
        case texts::kIdSaveConfigurationAs:
            SaveConfigurationAs();
            break;
        case texts::kIdCompare:
            CompareWithController();
            break;
        case texts::kIdExportSetupSheet:
            ExportSetupSheet(*this);
            break;
        case history_texts::kIdHistory:
            m_history.Run();
            break;
        case texts::kIdVerifyUpload:
            m_settings.VerifyUpload = !m_settings.VerifyUpload;
            break;
        case texts::kIdBackupBeforeUpgrade:
            m_settings.BackupBeforeUpgrade = !m_settings.BackupBeforeUpgrade;
            break;
        case texts::kIdPortAutomatic:
            ChoosePort({});
            break;
        case texts::kIdViewToolBar:
            m_skin.SetBarVisible(FrameBar::ToolBar, !m_skin.IsBarVisible(FrameBar::ToolBar));
            break;
        case texts::kIdViewStatusBar:
            m_skin.SetBarVisible(FrameBar::StatusBar, !m_skin.IsBarVisible(FrameBar::StatusBar));
            break;
        case texts::kIdAppAbout:
            RunModal([this] { m_skin.RunAbout(); });
            break;
        case texts::kIdAppExit:
            m_skin.PostClose();
            break;
        default:
            if (id >= texts::kIdPortFirst && id <= texts::kIdPortLast) {
                for (const PortChoice& choice : m_portChoices) {
                    if (choice.id == id) {
                        ChoosePort(choice.device);
                    }
                }
            }
            break;  // the connection indicator has no effect
    }
    Refresh();
}

void FrameShell::OpenConfiguration() {
    const std::optional<std::string> path = RunModal([this] {
        return m_skin.ChooseFileToOpen(texts::kOpenConfigurationTitle,
                                       config_texts::kConfigFileFilterName,
                                       config_texts::kConfigFilePattern);
    });
    if (path && !m_closePending) {
        OpenConfigurationFile(*path);
    }
}

void FrameShell::OpenConfigurationFile(const std::string& path) {
    // The document is replaced as a download replaces it: a value typed but not confirmed
    // goes first, so that it is not applied on top of the file afterwards.
    m_skin.CommitPendingInput();
    if (OpenConfigurationPath(path, m_doc, [this](const BoxRequest& box) { return AskBox(box); })) {
        m_configFile = path;
        SetStatusText(FormatText(texts::kStatusOpenedFormat, path.c_str()));
    }
    Refresh();
}

std::optional<MessageAnswer> FrameShell::AskBox(const BoxRequest& box) {
    if (m_closePending) {
        return std::nullopt;
    }
    return RunModal([&] { return m_skin.ShowBox(box); });
}

bool FrameShell::ConfirmUpload() {
    return zentrik::ConfirmUpload(m_doc, [this](const BoxRequest& box) { return AskBox(box); });
}

void FrameShell::SaveConfigurationAs() {
    m_skin.CommitPendingInput();
    const std::string suggested = FormatText(texts::kConfigFileNameFormat, TodayText().c_str());
    const std::optional<std::string> path =
        ChooseFileToSave(texts::kSaveConfigurationTitle, config_texts::kConfigFileFilterName,
                         config_texts::kConfigFilePattern, suggested);
    if (!path) {
        return;
    }
    if (!WriteConfigFile(*path, m_doc.Document(), false)) {
        ShowMessageBox(FormatText(config_texts::kConfigNotSavedFormat, path->c_str()),
                       texts::kSaveConfigurationTitle, MessageIcon::Exclamation,
                       MessageButtons::Ok);
        return;
    }
    m_configFile = *path;
    SetStatusText(FormatText(texts::kStatusSavedFormat, path->c_str()));
}

void FrameShell::RunDialog(const std::function<void()>& call) {
    RunModal(call);
}

std::optional<std::string> FrameShell::ChooseFileToSave(std::string_view title,
                                                        std::string_view filterName,
                                                        std::string_view pattern,
                                                        std::string_view suggestedName) {
    std::optional<std::string> path = RunModal(
        [&] { return m_skin.ChooseFileToSave(title, filterName, pattern, suggestedName); });
    if (m_closePending) {
        return std::nullopt;
    }
    return path;
}

void FrameShell::CompareWithController() {
    if (!m_link.CommandsEnabled()) {
        return;
    }
    // The controller's record is compared with the document as the screen shows it.
    m_skin.CommitPendingInput();
    m_link.QueueDownload(TransferPurpose::Compare);
}

void FrameShell::OnUpdate(int /*hint*/) {
    UpdateMarkers();
}

void FrameShell::OnFormChanged() {
    // The dragged curve reaches the document only when the drag ends; most input (a mouse
    // moving over the graph) changes nothing.
    const ConfigDocument& doc = m_doc.Document();
    const bool same = std::memcmp(&doc.record, &m_markedDoc.record, sizeof doc.record) == 0 &&
                      doc.displayPressures == m_markedDoc.displayPressures;
    if (!same && (m_form == nullptr || !m_form->Graph().IsDragging())) {
        UpdateMarkers();
    }
}

void FrameShell::UpdateMarkers() {
    m_markedDoc = m_doc.Document();
    UploadMarkers markers = ComputeUploadMarkers(m_markedDoc, m_held.Held(), m_doc.Check());
    if (markers != m_markers) {
        m_markers = std::move(markers);
        m_skin.ShowMarkers(m_markers);
    }
}

void FrameShell::OnMarkersPaneDoubleClicked() {
    if (Command(texts::kIdCompare).enabled) {
        OnCommand(texts::kIdCompare);
    }
}

void FrameShell::ConfigDownloaded(TransferPurpose purpose, const ConfigDocument& config) {
    if (purpose != TransferPurpose::Compare || m_closePending) {
        return;
    }
    // The rows are this document's differences, whatever it becomes while the dialog is up.
    const ConfigDocument here = m_doc.Document();
    const std::vector<ConfigDifference> rows = CompareConfigs(here, config);
    if (rows.empty()) {
        ShowMessageBox(compare_texts::kNoDifferences, texts::kCompareCaption,
                       MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    std::vector<bool> ticked(rows.size(), true);
    const CompareChoice choice = RunModal([&] { return m_skin.RunCompare(rows, &ticked); });
    if (m_closePending) {
        return;
    }
    ActOnComparison(choice, config, TickedSettings(here, config, ticked), rows.size());
}

void FrameShell::ControllerHolds(HeldEvent event, const ConfigDocument& config) {
    m_history.Record(event, config);
    m_held.OnControllerHolds(config);
}

std::vector<PortChoice> FrameShell::PortChoices() {
    m_portChoices = BuildPortChoices(ListSerialDevices(), m_settings.PortDevice, PortOverride(),
                                     texts::kIdPortFirst, texts::kIdPortLast);
    return m_portChoices;
}

void FrameShell::ChoosePort(const std::string& device) {
    m_skin.CommitPendingInput();
    m_settings.PortDevice = device;
    if (device.empty()) {
        m_link.ClosePort();
        m_link.ScanForConnection(m_scanner, m_settings);
    } else {
        m_link.OpenControllerPort();  // opens the chosen device, closing the port first
    }
}

void FrameShell::QueueCommand(RequestType type) {
    if (!m_link.CommandsEnabled()) {
        return;  // a shortcut or a stale click while the command is disabled
    }
    // The document as the screen shows it, a value typed but not confirmed included.
    m_skin.CommitPendingInput();
    if (type == RequestType::UploadConfig && !ConfirmUpload()) {
        return;
    }
    m_link.QueueRequest(type);
}

CommandState FrameShell::Command(int id) const {
    CommandState state;
    if (EditCommands::Handles(id)) {
        state.enabled = m_edit.Enabled(id);
        return state;
    }
    switch (id) {
        case texts::kIdUpload:
        case texts::kIdDownload:
        case texts::kIdControllerInfo:
        case texts::kIdUpgradeFirmware:
            state.enabled = m_link.CommandsEnabled();
            break;
        case texts::kIdConnection:
            state.enabled = m_link.IsPortOpen();
            state.text = m_link.IsPortOpen() ? texts::kConnected : texts::kDisconnected;
            break;
        case texts::kIdViewToolBar:
            state.checked = m_skin.IsBarVisible(FrameBar::ToolBar);
            break;
        case texts::kIdViewStatusBar:
            state.checked = m_skin.IsBarVisible(FrameBar::StatusBar);
            break;
        case texts::kIdCompare:
            state.enabled = m_link.CommandsEnabled();
            break;
        case texts::kIdVerifyUpload:
            state.checked = m_settings.VerifyUpload;
            break;
        case texts::kIdBackupBeforeUpgrade:
            state.checked = m_settings.BackupBeforeUpgrade;
            break;
        default:
            for (const PortChoice& choice : m_portChoices) {
                if (choice.id == id) {
                    state.checked = IsChosenPort(choice, m_settings.PortDevice);
                }
            }
            break;
    }
    return state;
}

std::string FrameShell::StatisticsText() const {
    const LinkCounters& c = m_link.Counters();
    return FormatNumbers(
        texts::kStatisticsFormat,
        {static_cast<double>(m_link.QueueLength()), static_cast<double>(c.sentCount),
         static_cast<double>(c.goodCount), static_cast<double>(c.crcErrorCount),
         static_cast<double>(c.timeoutCount)});
}

void FrameShell::Refresh() {
    m_connection.Follow(m_link);
    m_held.OnControllerInfo(m_link.LastControllerInfo());
    m_skin.RefreshCommands();
    m_skin.ShowStatus();
}

// ---- the window's events -----------------------------------------------------------------------

void FrameShell::OnPortEvent(std::uintptr_t wParam) {
    m_link.OnPortEvent(wParam);
    // The device behind the port is gone: its handle can never work again. Closed at once, so
    // the indicator says so and a returning controller gets a fresh open.
    if (m_port.HungUp() && m_link.IsPortOpen()) {
        m_link.ClosePort();
    }
    Refresh();
}

void FrameShell::OnReplyTimer() {
    m_link.OnReplyTimer();
    Refresh();
}

void FrameShell::OnDeviceChanges(const std::vector<DeviceChange>& changes) {
    if (!changes.empty()) {
        OnDeviceChange(changes.back() == DeviceChange::Arrival ? kDeviceArrival
                                                               : kDeviceRemoveComplete);
    }
}

void FrameShell::OnDeviceChange(unsigned eventType) {
    if (eventType != kDeviceArrival && eventType != kDeviceRemoveComplete) {
        return;
    }
    // A change that comes while a box of an earlier one is up is followed once that one has
    // finished, with a fresh scan.
    if (m_inDeviceChange) {
        m_deviceChangeAgain = true;
        return;
    }
    m_inDeviceChange = true;
    do {
        m_deviceChangeAgain = false;
        FollowDeviceChange();
    } while (m_deviceChangeAgain && !m_closed);
    m_inDeviceChange = false;
    ExplainDisconnection(*this);
    Refresh();
}

void FrameShell::FollowDeviceChange() {
    if (!m_settings.PortDevice.empty()) {
        // A device the user chose: a port that still reaches it stays; otherwise the device is
        // opened again if it is back, quietly, since any device's coming or going lands here.
        if (m_link.IsPortOpen() && !m_port.IsStale()) {
            return;
        }
        m_link.ClosePort();
        m_link.OpenControllerPort(true);
        return;
    }
    const bool found = m_scanner.FindController(m_settings);
    if (!found) {
        m_link.ClosePort();
        return;
    }
    // A port that still reaches the controller is left alone: reopening it would cut off
    // whatever is under way (a firmware transfer above all) for no reason. During an upgrade
    // only the controller's bridge going away touches the port.
    if (m_link.IsPortOpen() && !m_port.IsStale()) {
        if (m_link.upgradeInProgress() ||
            ControllerDeviceName(m_settings.CommPort) == m_port.DeviceName()) {
            return;
        }
    }
    m_link.OpenControllerPort();
}

// ---- closing -----------------------------------------------------------------------------------

bool FrameShell::RequestClose() {
    if (m_modalDepth > 0) {
        m_closePending = true;
        m_skin.EndModalsForClose();
        return false;
    }
    m_closed = true;
    m_closePending = true;
    m_skin.StopReplyTimer();
    SaveOnExit();
    return true;
}

void FrameShell::SaveOnExit() {
    if (m_doc.IsClosed()) {
        return;
    }
    m_skin.CommitPendingInput();
    m_doc.OnCloseDocument();
}

void FrameShell::AfterModal() {
    Refresh();
    if (m_closePending && !m_closed && m_modalDepth == 0) {
        // Out of the link's call first: the window closes from its event loop.
        m_skin.PostClose();
    } else if (m_modalDepth == 0 && m_modalsEnded) {
        m_modalsEnded();
    }
}

// ---- LinkHost ----------------------------------------------------------------------------------

void FrameShell::SetStatusText(std::string_view text) {
    m_statusText = std::string(text);
    m_skin.ShowStatus();
}

MessageAnswer FrameShell::ShowMessageBox(std::string_view text, std::string_view caption,
                                         MessageIcon icon, MessageButtons buttons) {
    if (m_closePending) {
        return SafeAnswer(buttons);  // the window is closing: nothing more is asked
    }
    BoxRequest box;
    box.text = text;
    box.caption = caption;
    box.icon = icon;
    box.buttons = buttons;
    const std::optional<MessageAnswer> answer = RunModal([&] { return m_skin.ShowBox(box); });
    return answer.value_or(SafeAnswer(buttons));
}

void FrameShell::ShowPortUnavailable(std::string_view text, const std::string& device, int error) {
    if (m_closePending) {
        return;
    }
    // Below the text: why the port could not be opened, and what to do about it.
    BoxRequest box;
    box.text = text;
    box.caption = link_texts::kPortUnavailableCaption;
    box.icon = MessageIcon::Exclamation;
    box.detail = OpenFailureHelp(error, device);
    RunModal([&] { return m_skin.ShowBox(box); });
}

void FrameShell::ShowNotice(NoticeKind kind) {
    if (m_closePending) {
        return;
    }
    NoticeCountdown countdown;
    countdown.Start(static_cast<int>(kind));
    RunModal([&] { m_skin.RunNotice(countdown); });
}

void FrameShell::RunUpgrade(int total, FirmwareUnitSource& source) {
    if (m_closePending) {
        // The window is closing: no transfer is begun that could not be finished.
        m_link.SetUpgradeInProgress(false);
        m_link.ResetReceiver();
        return;
    }
    m_progress.Begin(total);
    RunModal([&] {
        Refresh();
        m_skin.RunProgress(m_progress, source);
        m_progress.End();
    });
}

void FrameShell::ShowStep(int step) {
    m_progress.ShowStep(step);
    m_skin.ShowProgress();
}

void FrameShell::FinishWithText(std::string_view text) {
    m_progress.FinishWithText(std::string(text));
    m_skin.ShowProgress();
    m_skin.ShowStatus();
}

void FrameShell::FinishWithSuccess() {
    m_progress.FinishWithSuccess();
    // Where the configuration was backed up before the upgrade, when it was.
    const std::string note = m_upgrade.SuccessNote();
    if (!note.empty()) {
        m_progress.FinishWithText(m_progress.Text() + "\n" + note);
    }
    m_skin.ShowProgress();
    m_skin.ShowStatus();
}

std::optional<std::string> FrameShell::ChooseFileToOpen(std::string_view filterName,
                                                        std::string_view pattern) {
    if (m_closePending) {
        return std::nullopt;
    }
    std::optional<std::string> file = RunModal(
        [&] { return m_skin.ChooseFileToOpen(texts::kOpenFileTitle, filterName, pattern); });
    if (m_closePending) {
        return std::nullopt;
    }
    return file;
}

void FrameShell::StartReplyTimer(unsigned milliseconds) {
    m_skin.StartReplyTimer(milliseconds);
}

void FrameShell::StopReplyTimer() {
    m_skin.StopReplyTimer();
}

ConfigDocument& FrameShell::Document() {
    return m_doc.Document();
}

void FrameShell::RefreshViews(int hint) {
    // A download replaced the document: nothing of it comes from a file any more.
    m_doc.Loaded() = {};
    m_doc.UpdateAllViews(hint);
}

std::string FrameShell::ApplicationTitle() {
    return texts::kAppTitle;
}

// ---- PortEventSink -----------------------------------------------------------------------------

void FrameShell::PostPortEvent(std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t /*lParam*/) {
    if (message != WM_PORT_EVENT) {
        return;
    }
    m_port.NoteEvent(wParam);
    m_skin.PostPortEvent(wParam);
}

}  // namespace zentrik
