#include "ctl/ctl_session.h"

#include <ostream>

#include "base/text_format.h"
#include "config/config_file.h"
#include "config/config_persistence.h"
#include "config/config_texts.h"
#include "config/history_store.h"
#include "ctl/ctl_texts.h"
#include "editor/compare_texts.h"
#include "editor/config_compare.h"
#include "editor/selective_merge.h"
#include "editor/setup_sheet.h"
#include "editor/upload_check.h"
#include "firmware/firmware_upgrade.h"
#include "link/controller_link.h"
#include "link/discovery/port_scanner.h"
#include "link/discovery/serial_device_list.h"
#include "link/serial/device_name.h"
#include "link/serial/open_failure_help.h"
#include "shell/history_texts.h"
#include "shell/shell_texts.h"

namespace zentrik {

namespace texts = ctl_texts;

CtlSession::CtlSession(const CtlOptions& options, AppSettings& settings, LinkPort& port,
                       PortEventSink* sink, PortEventSource& source, const CtlConsole& console)
    : m_options(options),
      m_settings(settings),
      m_port(port),
      m_sink(sink),
      m_console(console),
      m_loop(source),
      m_questions(options.yes, console.interactive, console.in, console.err),
      m_host(m_loop, m_questions, console.out, console.err) {}

namespace {

int FailWith(std::ostream& err, const std::string& text) {
    err << texts::kProgramName << ": " << text << std::endl;
    return kCtlExitFailed;
}

}  // namespace

int CtlSession::Fail(const std::string& text) {
    return FailWith(m_console.err, text);
}

bool LoadConfiguration(const CtlOptions& options, const AppSettings& settings, ConfigDocument& doc,
                       LoadedFile& loaded, const CtlConsole& console) {
    if (options.configFile.empty()) {
        ConfigReadNotes notes;
        LoadDocument(settings, doc, &notes);
        loaded = {doc, notes.unfit};
        return true;
    }
    const ConfigFileRead read = ReadConfigFile(options.configFile);
    if (read.status != ConfigFileStatus::Ok) {
        console.err << texts::kProgramName << ": "
                    << FormatText(texts::kConfigFileFormat, options.configFile.c_str(),
                                  ConfigFileProblemText(read).c_str())
                    << std::endl;
        return false;
    }
    doc = read.document;
    loaded = {doc, read.notes.unfit};
    return true;
}

int RunCheck(const CtlOptions& options, const AppSettings& settings, const CtlConsole& console) {
    ConfigDocument doc;
    LoadedFile loaded;
    if (!LoadConfiguration(options, settings, doc, loaded, console)) {
        return kCtlExitFailed;
    }
    const std::vector<UploadProblem> problems = CheckConfiguration(doc, &loaded);
    for (const UploadProblem& problem : problems) {
        console.out << problem.text << '\n';
    }
    console.out.flush();
    if (problems.empty()) {
        console.err << texts::kCheckPassed << std::endl;
        return kCtlExitOk;
    }
    return kCtlExitDiffer;
}

int CtlSession::Run(CPortScanner& scanner) {
    // What this computer holds is read before the port is opened: a file that will not do
    // ends the command before anything is sent.
    ConfigDocument here;
    LoadedFile loaded;
    const CtlCommand command = m_options.command;
    if ((command == CtlCommand::Upload || command == CtlCommand::Compare) &&
        !LoadConfiguration(m_options, m_settings, here, loaded, m_console)) {
        return kCtlExitFailed;
    }
    // Nothing the form would not allow goes to the controller: the check before the upload,
    // and with --correct the form's own correction.
    const auto checked = [&](ConfigDocument& doc) {
        const std::vector<UploadProblem> problems = CheckConfiguration(doc, &loaded);
        for (const UploadProblem& problem : problems) {
            m_console.err << texts::kProgramName << ": "
                          << (m_options.correct ? texts::kCorrectedPrefix : texts::kProblemPrefix)
                          << problem.text << '\n';
        }
        if (!problems.empty() && !m_options.correct) {
            Fail(texts::kNotUploadedProblems);
            return false;
        }
        CorrectConfiguration(doc, &loaded);
        return true;
    };
    // With --only what is sent is known only once the controller's configuration is in; the
    // check waits for it.
    if (command == CtlCommand::Upload && m_options.only.empty() && !checked(here)) {
        return kCtlExitFailed;
    }
    // The options turn the features on for this run; the settings are never saved.
    m_settings.VerifyUpload = m_settings.VerifyUpload || m_options.verify;
    m_settings.BackupBeforeUpgrade = m_settings.BackupBeforeUpgrade || m_options.backup;

    ControllerLink link(m_host, m_port, m_settings, m_sink);
    link.SetDifferenceLister(DifferenceLines);
    m_host.SetHistory(DefaultHistoryFolder(), &link);
    m_loop.SetLink(&link);
    // Ends the port's event thread before the loop and the link go away, whatever the exit.
    struct Closer {
        ControllerLink& link;
        ConsoleLoop& loop;
        ConsoleHost& host;
        ~Closer() {
            link.ClosePort();
            loop.SetLink(nullptr);
            host.SetHistory({}, nullptr);
        }
    } closer{link, m_loop, m_host};

    // Discovery opens the port it finds (ZENTRIK_PORT counts as found); otherwise the
    // configured port. A port that cannot be opened ends the command at once, with the
    // link's own message, rather than after every retry has timed out.
    const bool found = link.ScanForConnection(scanner, m_settings);
    if (!link.IsPortOpen() && (found || !link.OpenControllerPort())) {
        // Below the link's "not available" message: why, and what to do about it.
        if (m_host.LastOpenError() != 0) {
            m_console.err << OpenFailureHelp(m_host.LastOpenError(), m_host.LastOpenDevice())
                          << std::endl;
        }
        return kCtlExitFailed;
    }

    const auto idle = [&link] {
        return link.QueueLength() == 0 && !link.requestInFlight() && !link.upgradeInProgress();
    };
    auto settle = [&] {
        if (!m_loop.RunUntil(idle)) {
            m_console.err << texts::kProgramName << ": " << texts::kStalled << std::endl;
        }
    };

    switch (m_options.command) {
        case CtlCommand::Info: {
            const int before = m_host.InfoBoxes();
            link.QueueRequest(RequestType::ControllerInfo);
            settle();
            return m_host.InfoBoxes() > before ? kCtlExitOk : Fail(texts::kInfoFailed);
        }
        case CtlCommand::Download: {
            const int before = m_host.Notices(NoticeKind::Downloaded);
            link.QueueRequest(RequestType::DownloadConfig);
            settle();
            if (m_host.Notices(NoticeKind::Downloaded) == before) {
                return Fail(texts::kDownloadFailed);
            }
            if (!m_options.configFile.empty()) {
                if (!WriteConfigFile(m_options.configFile, m_host.Document(), false)) {
                    return Fail(FormatText(config_texts::kConfigNotSavedFormat,
                                           m_options.configFile.c_str()));
                }
            } else if (!SaveDocument(m_settings, m_host.Document())) {
                return Fail(FormatText(texts::kIniWriteFailedFormat, m_settings.Path().c_str()));
            }
            // Only now is the download complete: the configuration is in the file.
            m_console.err << texts::kDownloadedNotice << std::endl;
            return kCtlExitOk;
        }
        case CtlCommand::Upload: {
            if (!m_options.only.empty()) {
                link.QueueDownload(TransferPurpose::Compare);
                settle();
                if (!m_host.Downloaded()) {
                    return Fail(texts::kOnlyDownloadFailed);
                }
                ConfigDocument merged = *m_host.Downloaded();
                TakeSettings(merged, here, m_options.only);
                if (!checked(merged)) {
                    return kCtlExitFailed;
                }
                here = merged;
            }
            m_host.Document() = here;
            const int before = m_host.Notices(NoticeKind::Uploaded);
            const int verifyFailures = m_host.VerifyFailures();
            const int unverified = m_host.UnverifiedUploads();
            link.QueueRequest(RequestType::UploadConfig);
            settle();
            if (m_host.Notices(NoticeKind::Uploaded) > before) {
                return kCtlExitOk;
            }
            // A verify's own box has said what happened; nothing is said twice.
            if (m_host.UnverifiedUploads() > unverified) {
                return kCtlExitUnverified;
            }
            if (m_host.VerifyFailures() > verifyFailures) {
                return kCtlExitFailed;
            }
            return Fail(texts::kUploadFailed);
        }
        case CtlCommand::Compare: {
            link.QueueDownload(TransferPurpose::Compare);
            settle();
            if (!m_host.Downloaded()) {
                return Fail(texts::kCompareFailed);
            }
            const std::vector<std::string> lines = DifferenceLines(here, *m_host.Downloaded());
            for (const std::string& line : lines) {
                m_console.out << line << '\n';
            }
            m_console.out.flush();
            if (lines.empty()) {
                m_console.err << compare_texts::kNoDifferences << std::endl;
                return kCtlExitOk;
            }
            return kCtlExitDiffer;
        }
        case CtlCommand::Upgrade: {
            FirmwareUpgrade upgrade(link, m_host);
            m_host.SetFileChoice(m_options.firmwareFile);
            m_host.RecordUnitTimes(!m_unitTimesPath.empty());
            switch (upgrade.Run()) {
                case UpgradeStart::Started:
                    break;
                case UpgradeStart::Declined:
                case UpgradeStart::Cancelled:
                    return Fail(texts::kUpgradeDeclined);
                case UpgradeStart::Busy:
                    return Fail(texts::kUpgradeBusy);
                default:  // the file was refused; the reason has been shown
                    return Fail(texts::kUpgradeFailed);
            }
            settle();
            if (!m_unitTimesPath.empty() && !m_host.WriteUnitTimes(m_unitTimesPath)) {
                return Fail(
                    FormatText(texts::kUnitTimesWriteFailedFormat, m_unitTimesPath.c_str()));
            }
            if (!m_host.UpgradeSucceeded()) {
                return Fail(texts::kUpgradeFailed);
            }
            // Where the backup went, after the success text.
            if (const std::string note = upgrade.SuccessNote(); !note.empty()) {
                m_console.err << note << std::endl;
            }
            return kCtlExitOk;
        }
        case CtlCommand::Check:
        case CtlCommand::Scan:
        case CtlCommand::Sheet:
        case CtlCommand::Ports:
        case CtlCommand::History:
        case CtlCommand::Doctor:
            break;
    }
    return kCtlExitUsage;
}

int RunScan(AppSettings& settings, CPortScanner& scanner, const CtlConsole& console) {
    if (!scanner.FindController(settings)) {
        console.err << texts::kProgramName << ": " << texts::kNoController << std::endl;
        return kCtlExitFailed;
    }
    if (settings.CommPort < 0 && PortOverride().empty()) {
        console.err << texts::kProgramName << ": " << texts::kNoPortNumber << std::endl;
        return kCtlExitFailed;
    }
    const std::string device = ControllerDeviceName(settings.CommPort);
    // The port by the name the user knows it by ("COM5"), or the override as given.
    console.out << (PortOverride().empty() ? PlatformPortName(settings.CommPort) : device)
                << std::endl;
    // Found, but of no use yet: say why before the user tries it.
    if (const int accessError = DeviceAccessError(device); accessError != 0) {
        console.err << texts::kProgramName << ": " << OpenFailureHelp(accessError, device)
                    << std::endl;
    }
    return kCtlExitOk;
}

int RunHistory(const std::string& folder, const CtlConsole& console) {
    if (folder.empty()) {
        return FailWith(console.err, texts::kNoHistoryFolder);
    }
    const std::vector<HistoryEntry> entries = HistoryStore(folder).Entries();
    for (const HistoryEntry& entry : entries) {
        console.out << FormatText(texts::kHistoryLineFormat, entry.time.c_str(),
                                  std::string(HistoryEventWord(entry.event)).c_str(),
                                  entry.serial.empty() ? texts::kNone : entry.serial.c_str(),
                                  entry.path.c_str())
                    << '\n';
    }
    console.out.flush();
    if (entries.empty()) {
        console.err << history_texts::kEmptyText << std::endl;
    }
    return kCtlExitOk;
}

int RunSheet(const CtlOptions& options, AppSettings& settings, const CtlConsole& console) {
    ConfigDocument doc;
    LoadedFile loaded;
    if (!LoadConfiguration(options, settings, doc, loaded, console)) {
        return kCtlExitFailed;
    }
    const std::string& path = options.sheetFile;
    if (!WriteSetupSheet(path, doc, {TodayText(), options.configFile, std::nullopt})) {
        return FailWith(console.err, FormatText(shell_texts::kSheetNotSavedFormat, path.c_str()));
    }
    console.err << FormatText(shell_texts::kStatusSheetSavedFormat, path.c_str()) << std::endl;
    return kCtlExitOk;
}

}  // namespace zentrik
