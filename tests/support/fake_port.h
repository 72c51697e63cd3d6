#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "link/link_port.h"

namespace zentrik::test {

// A serial port in memory: records what is written and when (on a clock the test points it
// at), and hands out bytes the test injects. A write never delivers anything by itself; a
// responder queues the answer and the test's loop delivers it.
class FakePort : public LinkPort {
  public:
    int openResult = 0;  // error code Open returns
    bool open = false;
    std::string openedDevice;
    int openCalls = 0;
    int closeCalls = 0;
    int readCalls = 0;
    std::vector<std::string> operations;  // settings calls in order, e.g. "SetEventMask 129"

    std::vector<std::vector<std::uint8_t>> writes;
    std::vector<std::int64_t> writeTimes;
    const std::int64_t* clock = nullptr;
    std::function<void(std::span<const std::uint8_t>)> onWrite;

    std::deque<std::uint8_t> received;
    void Inject(std::span<const std::uint8_t> bytes) {
        received.insert(received.end(), bytes.begin(), bytes.end());
    }
    bool HasPending() const { return !received.empty(); }

    int Open(const std::string& deviceName, PortEventSink* sink, std::uint32_t message,
             std::intptr_t param, std::uint32_t rxQueueSize, std::uint32_t txQueueSize) override;
    int Close() override;
    bool IsOpen() const override { return open; }
    int SetLineFormat(std::uint32_t baud, std::uint8_t dataBits, std::uint8_t parity,
                      std::uint8_t stopBits) override;
    int SetFlowControl(int kind) override;
    int SetEventMask(std::uint32_t mask) override;
    int SetReadMode(int kind) override;
    int Purge() override;
    int Write(const std::uint8_t* data, std::size_t length) override;
    int Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* count) override;
};

}  // namespace zentrik::test
