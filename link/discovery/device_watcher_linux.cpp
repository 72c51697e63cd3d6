#include "link/discovery/device_watcher.h"

#include <libudev.h>

#include <cstring>

namespace zentrik {

DeviceWatcher::DeviceWatcher() = default;

DeviceWatcher::~DeviceWatcher() {
    Stop();
}

bool DeviceWatcher::Start() {
    Stop();
    m_udev = udev_new();
    if (m_udev) {
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    }
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "usb", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        Stop();
        return false;
    }
    return true;
}

int DeviceWatcher::Fd() const {
    return m_monitor ? udev_monitor_get_fd(m_monitor) : -1;
}

std::vector<DeviceChange> DeviceWatcher::Drain() {
    std::vector<DeviceChange> changes;
    if (!m_monitor) {
        return changes;
    }
    // The monitor's socket is non-blocking: receiving stops with nothing when it is empty
    // (or on an error, after which the descriptor reports readable again only if data is
    // left).
    while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
        const char* action = udev_device_get_action(device);
        if (action && std::strcmp(action, "add") == 0) {
            changes.push_back(DeviceChange::Arrival);
        } else if (action && std::strcmp(action, "remove") == 0) {
            changes.push_back(DeviceChange::Removal);
        }
        udev_device_unref(device);
    }
    return changes;
}

void DeviceWatcher::Stop() {
    if (m_monitor) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
    if (m_udev) {
        udev_unref(m_udev);
        m_udev = nullptr;
    }
}

}  // namespace zentrik
