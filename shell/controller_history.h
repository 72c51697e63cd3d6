#pragma once

#include <optional>
#include <string>

#include "config/config_document.h"
#include "link/controller_link.h"
#include "link/link_host.h"

namespace zentrik {

class FrameShell;

// Records what the controller holds in the history in `folder` (see HistoryStore), now, with
// the serial number of the last Controller Info when there was one. Returns the status text
// that says the history could not be written; empty when it was, or needed nothing.
std::string RecordControllerHolds(const std::string& folder, HeldEvent event,
                                  const ConfigDocument& config,
                                  const std::optional<ControllerIdentity>& identity);

// The window's history of what the controller held: every configuration the link sees the
// controller hold is recorded (a failure only shows in the status pane, the link's command goes
// on), and Controller > History... shows the entries to open in place of the document or to
// compare with it.
class ControllerHistory {
  public:
    explicit ControllerHistory(FrameShell& shell) : m_shell(shell) {}

    // The history's folder, with its trailing separator; empty (the start): nothing recorded.
    void SetFolder(std::string folder) { m_folder = std::move(folder); }
    const std::string& Folder() const { return m_folder; }

    void Record(HeldEvent event, const ConfigDocument& config);
    // The History dialog, and what the user chose in it.
    void Run();

  private:
    void Compare(const std::string& path);

    FrameShell& m_shell;
    std::string m_folder;
};

}  // namespace zentrik
