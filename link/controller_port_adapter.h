#pragma once

#include "link/link_port.h"
#include "link/serial/controller_port.h"

namespace zentrik {

// The link's view of the real serial port: forwards each operation to a CControllerPort,
// with no record and no time-out limit, as the link always uses it.
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

    CControllerPort& Port() { return m_port; }

  private:
    CControllerPort m_port;
};

}  // namespace zentrik
