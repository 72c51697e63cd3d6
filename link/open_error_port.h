#pragma once

#include <string>

#include "link/link_port.h"

namespace zentrik {

// Passes every operation to another port and remembers the last Open: the device tried and
// the error code it gave, which the link's own "not available" box does not carry. A host
// that hands the link this port can explain that box:
//   OpenFailureHelp(port.LastOpenError(), port.LastOpenDevice())   (link/serial/)
class OpenErrorPort : public LinkPort {
  public:
    explicit OpenErrorPort(LinkPort& port) : m_port(port) {}

    const std::string& LastOpenDevice() const { return m_device; }
    int LastOpenError() const { return m_error; }

    int Open(const std::string& deviceName, PortEventSink* sink, std::uint32_t message,
             std::intptr_t param, std::uint32_t rxQueueSize, std::uint32_t txQueueSize) override;
    int Close() override { return m_port.Close(); }
    bool IsOpen() const override { return m_port.IsOpen(); }
    int SetLineFormat(std::uint32_t baud, std::uint8_t dataBits, std::uint8_t parity,
                      std::uint8_t stopBits) override {
        return m_port.SetLineFormat(baud, dataBits, parity, stopBits);
    }
    int SetFlowControl(int kind) override { return m_port.SetFlowControl(kind); }
    int SetEventMask(std::uint32_t mask) override { return m_port.SetEventMask(mask); }
    int SetReadMode(int kind) override { return m_port.SetReadMode(kind); }
    int Purge() override { return m_port.Purge(); }
    int Write(const std::uint8_t* data, std::size_t length) override {
        return m_port.Write(data, length);
    }
    int Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* count) override {
        return m_port.Read(buffer, capacity, count);
    }

  private:
    LinkPort& m_port;
    std::string m_device;
    int m_error = 0;
};

}  // namespace zentrik
