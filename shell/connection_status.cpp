#include "shell/connection_status.h"

#include "link/discovery/port_scanner.h"
#include "link/serial/device_name.h"
#include "shell/connection_status_texts.h"
#include "shell/frame_shell.h"

namespace zentrik {

void ConnectionStatus::Follow(const ControllerLink& link) {
    const LinkCounters& now = link.Counters();
    if (!link.IsPortOpen()) {
        m_open = false;
        m_answer = LinkAnswer::NotAsked;
    } else if (!m_open) {
        m_open = true;
        m_answer = LinkAnswer::NotAsked;
    } else if (now.goodCount > m_seen.goodCount) {
        m_answer = LinkAnswer::Answered;
    } else if (now.timeoutCount > m_seen.timeoutCount) {
        m_answer = LinkAnswer::Silent;
    }
    m_seen = now;
}

ConnectionDiagnosis ConnectionStatus::Check(ControllerLink& link, CPortScanner& scanner,
                                            AppSettings& settings, bool tryToOpen) {
    const bool named = !settings.PortDevice.empty() || !PortOverride().empty();
    bool found = link.IsPortOpen() || link.LastOpenError() != 0;
    if (tryToOpen && !link.IsPortOpen() && (named || scanner.FindController(settings))) {
        found = true;
        link.OpenControllerPort(true);
    }
    Follow(link);
    std::string info;
    if (m_answer == LinkAnswer::Answered && link.LastControllerInfo()) {
        info = ControllerInfoText(*link.LastControllerInfo());
    }
    return DiagnoseConnection(
        GatherConnectionFacts(found ? link.PortDevice() : std::string(), named,
                              link.IsPortOpen() ? 0 : link.LastOpenError(), m_answer, info));
}

BoxRequest ConnectionStatusBox(const ConnectionDiagnosis& diagnosis) {
    BoxRequest box;
    box.text = diagnosis.text;
    box.caption = shell_texts::kConnectionStatusCaption;
    box.icon = diagnosis.which == ConnectionCase::Connected ? MessageIcon::Information
                                                            : MessageIcon::Exclamation;
    return box;
}

void ShowConnectionStatus(FrameShell& shell) {
    shell.Skin().CommitPendingInput();
    const ConnectionDiagnosis diagnosis =
        shell.Connection().Check(shell.Link(), shell.Scanner(), shell.Settings(), true);
    if (!diagnosis.pane.empty()) {
        shell.SetStatusText(diagnosis.pane);
    }
    const BoxRequest box = ConnectionStatusBox(diagnosis);
    shell.ShowMessageBox(box.text, box.caption, box.icon, box.buttons);
}

void ExplainDisconnection(FrameShell& shell) {
    if (shell.Link().IsPortOpen() || shell.ClosePending()) {
        return;
    }
    const ConnectionDiagnosis diagnosis =
        shell.Connection().Check(shell.Link(), shell.Scanner(), shell.Settings(), false);
    if (!diagnosis.pane.empty()) {
        shell.SetStatusText(diagnosis.pane);
    }
}

}  // namespace zentrik
