#pragma once

#include <functional>
#include <optional>
#include <string>

#include "config/app_settings.h"
#include "config/config_document.h"
#include "link/controller_link.h"

namespace zentrik {

// What the controller was last seen to hold, for the marks on the settings it does not.
//
// The controller is the one whose serial number a Controller Info reply gave in this run, else
// the last one seen (its serial kept in the settings file). What it holds comes from the link
// each time the link sees its whole configuration, and across runs from a loader that knows
// what each controller was last seen to hold.
class HeldConfig {
  public:
    // The record last seen on the controller with a serial number ("0123456789ABCDEF"); none
    // when it is not known.
    using Loader = std::function<std::optional<ConfigDocument>(const std::string& serial)>;

    explicit HeldConfig(AppSettings& settings) : m_settings(settings) {}

    // Runs each time Held() changes.
    void SetChangedHandler(std::function<void()> handler) { m_changed = std::move(handler); }
    // Gives the loader and asks it for the last controller seen, unless this run has already
    // seen what the controller holds.
    void SetLoader(Loader loader);

    // The controller holds `config` now.
    void OnControllerHolds(const ConfigDocument& config);
    // The last Controller Info reply of this run. A serial not seen before makes it the
    // controller: what was seen of the controller in this run before anyone asked who it is
    // stays its record; otherwise its record comes from the loader.
    void OnControllerInfo(const std::optional<ControllerIdentity>& identity);

    const ConfigDocument* Held() const { return m_held ? &*m_held : nullptr; }
    // The controller's serial number; empty when none was ever seen.
    std::string Serial();

  private:
    void Load();
    void Changed();

    AppSettings& m_settings;
    Loader m_loader;
    std::function<void()> m_changed;
    std::optional<ConfigDocument> m_held;
    std::optional<std::string> m_serial;          // read from the settings on first use
    std::optional<ControllerSerial> m_lastReply;  // the serial of the last reply looked at
    bool m_heldThisRun = false;                   // m_held came from the link in this run
    bool m_serialThisRun = false;                 // a Controller Info reply named the controller
};

// The serial number as the loader takes it: sixteen hexadecimal digits.
std::string SerialText(const ControllerSerial& serial);

}  // namespace zentrik
