#include "shell/held_config.h"

#include "base/text_format.h"

namespace zentrik {

namespace {

// The settings' key of the last controller seen.
constexpr std::string_view kLastControllerKey = "LastController";

}  // namespace

std::string SerialText(const ControllerSerial& serial) {
    std::string text;
    for (const std::uint8_t byte : serial) {
        text += FormatText("%02X", byte);
    }
    return text;
}

std::string HeldConfig::Serial() {
    if (!m_serial) {
        m_serial = m_settings.ReadString(kSettingsSection, kLastControllerKey, "");
    }
    return *m_serial;
}

void HeldConfig::SetLoader(Loader loader) {
    m_loader = std::move(loader);
    if (!m_heldThisRun) {
        Load();
    }
}

void HeldConfig::Load() {
    const std::string serial = Serial();
    std::optional<ConfigDocument> held;
    if (m_loader && !serial.empty()) {
        held = m_loader(serial);
    }
    m_held = std::move(held);
    m_heldThisRun = false;
    Changed();
}

void HeldConfig::OnControllerHolds(const ConfigDocument& config) {
    m_held = config;
    m_heldThisRun = true;
    Changed();
}

void HeldConfig::OnControllerInfo(const std::optional<ControllerIdentity>& identity) {
    if (!identity || m_lastReply == identity->serial) {
        return;
    }
    m_lastReply = identity->serial;
    const std::string serial = SerialText(identity->serial);
    if (m_serialThisRun && serial == Serial()) {
        return;
    }
    const bool another = serial != Serial();
    // What this run saw before the first reply was of the controller that is attached now.
    const bool keep = m_heldThisRun && !m_serialThisRun;
    m_serialThisRun = true;
    if (another) {
        m_serial = serial;
        m_settings.WriteString(kSettingsSection, kLastControllerKey, serial);
        if (!keep) {
            Load();
        }
    }
}

void HeldConfig::Changed() {
    if (m_changed) {
        m_changed();
    }
}

}  // namespace zentrik
