#pragma once

#include <atomic>
#include <string>

#include "link/link_port.h"
#include "link/serial/controller_port.h"

namespace zentrik {

// The link's view of the real serial port: forwards each operation to a CControllerPort, with
// no record and no time-out limit, as the link always uses it. It also keeps what its owner
// needs to follow the device behind the port: which device is open, whether the port
// reported that the device went away (a handle to a vanished device never works again, even
// when a device of the same name comes back), and how many times it was opened.
class ControllerPortAdapter : public LinkPort {
  public:
    int Open(const std::string& deviceName, PortEventSink* sink, std::uint32_t message,
             std::intptr_t param, std::uint32_t rxQueueSize, std::uint32_t txQueueSize) override;
    int Close() override;
    bool IsOpen() const override;
    int SetLineFormat(std::uint32_t baud, std::uint8_t dataBits, std::uint8_t parity,
                      std::uint8_t stopBits) override;
    int SetFlowControl(int kind) override;
    int SetEventMask(std::uint32_t mask) override;
    int SetReadMode(int kind) override;
    int Purge() override;
    int Write(const std::uint8_t* data, std::size_t length) override;
    int Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* count) override;

    // Called on the port's event thread with each notification, before it is posted: a
    // line-error event without any line-error bits is the device hanging up.
    void NoteEvent(std::uintptr_t wParam);

    // The device the open port belongs to (empty while closed).
    const std::string& DeviceName() const { return m_device; }
    // True when the open port can no longer reach its device.
    bool IsStale();
    bool HungUp() const { return m_hungUp.load(); }
    int OpenCount() const { return m_openCount; }

    CControllerPort& Port() { return m_port; }

  private:
    CControllerPort m_port;
    std::string m_device;
    std::atomic<bool> m_hungUp{false};
    int m_openCount = 0;
};

}  // namespace zentrik
