#pragma once

#include <string>

#include "link/serial/serial_wnd.h"

namespace zentrik {

// The link's port. Typical use:
//   CControllerPort port;
//   port.Open(ControllerDeviceName(n), &sink, WM_PORT_EVENT, 0, 0, 0);
//   ... on each posted WM_PORT_EVENT with bit 0x0001: port.Read(buffer, 4096, &count) ...
// The sink may be null (the port then reports to no one).
class CControllerPort : public CSerialWnd {
  public:
    // Closes before any base destructor runs: the event thread calls through this object's
    // virtual table until it has ended, so the table must not change under it.
    ~CControllerPort() override;

    using CSerialWnd::Open;
    virtual std::int32_t Open(const std::string& deviceName, PortEventSink* window,
                              std::uint32_t message, std::int32_t messageParam,
                              std::uint32_t rxQueueSize, std::uint32_t txQueueSize);
};

}  // namespace zentrik
