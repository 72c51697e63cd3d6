#pragma once

#include "link/controller_link.h"
#include "link/discovery/connection_diagnosis.h"
#include "shell/shell_skin.h"

namespace zentrik {

class CPortScanner;
class FrameShell;

// The window's connection check: what the controller has answered since its port opened,
// and what stands in the way while it is not connected.
class ConnectionStatus {
  public:
    // Called after every entry into the link: an answer, or time-outs without one, since the
    // port last opened.
    void Follow(const ControllerLink& link);
    // The facts gathered and judged. With `tryToOpen`, a port that is not open is looked for
    // and tried once more, quietly (it may work now); without, the link's last open decides.
    ConnectionDiagnosis Check(ControllerLink& link, CPortScanner& scanner, AppSettings& settings,
                              bool tryToOpen);

  private:
    bool m_open = false;
    LinkAnswer m_answer = LinkAnswer::NotAsked;
    LinkCounters m_seen;
};

// The box of a finding: caption "Connection Status", the finding's text.
BoxRequest ConnectionStatusBox(const ConnectionDiagnosis& diagnosis);

// Controller > Connection Status...: the check, its box, and its few words in the status bar
// while the window is not connected.
void ShowConnectionStatus(FrameShell& shell);

// While not connected, the status bar says why (after the start, a scan, a device change).
void ExplainDisconnection(FrameShell& shell);

}  // namespace zentrik
