#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/serial/port_event_sink.h"

namespace zentrik {

// The serial port as the link uses it: the operations of the controller port, without the
// asynchronous-operation records and time-outs the link never passes. Every operation returns
// 0 or the platform's error code.
class LinkPort {
  public:
    virtual ~LinkPort() = default;

    // Opens the device; the port's event thread then posts `message` with the event bits in
    // the low half of wParam and `param` as lParam to the sink. Queue sizes 0 keep the
    // driver's own sizes.
    virtual int Open(const std::string& deviceName, PortEventSink* sink, std::uint32_t message,
                     std::intptr_t param, std::uint32_t rxQueueSize, std::uint32_t txQueueSize) = 0;
    virtual int Close() = 0;
    virtual bool IsOpen() const = 0;

    // parity: 0 none, 1 odd, 2 even, 3 mark, 4 space; stopBits: 0 one, 1 one and a half, 2 two
    virtual int SetLineFormat(std::uint32_t baud, std::uint8_t dataBits, std::uint8_t parity,
                              std::uint8_t stopBits) = 0;
    virtual int SetFlowControl(int kind) = 0;  // 0 off, 1 hardware, 2 software
    virtual int SetEventMask(std::uint32_t mask) = 0;
    virtual int SetReadMode(int kind) = 0;  // 0 non-blocking, 1 blocking
    virtual int Purge() = 0;                // discards both queues

    // Returns when the bytes are written.
    virtual int Write(const std::uint8_t* data, std::size_t length) = 0;
    // Non-blocking: copies what has been received, up to capacity, and stores the count.
    virtual int Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* count) = 0;
};

}  // namespace zentrik
