#pragma once

#include <vector>

struct udev;
struct udev_monitor;

namespace zentrik {

enum class DeviceChange { Arrival, Removal };

// Reports serial and USB devices that arrive or go (Linux, udev). The owner watches Fd() in
// its event loop and calls Drain() when it becomes readable; nothing here polls or blocks.
// On Windows the main window receives device changes as window messages instead.
class DeviceWatcher {
  public:
    DeviceWatcher();
    ~DeviceWatcher();
    DeviceWatcher(const DeviceWatcher&) = delete;
    DeviceWatcher& operator=(const DeviceWatcher&) = delete;

    // Connects to udev's event stream for the "tty" and "usb" subsystems. False when that is
    // not possible (no udev, for example); Fd() is then -1.
    bool Start();

    // Readable (non-blocking) when events are pending; -1 until Start() succeeded.
    int Fd() const;

    // Reads every pending event and returns the arrivals and removals in order; other
    // actions ("change", "bind", ...) are dropped.
    std::vector<DeviceChange> Drain();

  private:
    void Stop();

    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
};

}  // namespace zentrik
