#include "support/fake_port.h"

namespace zentrik::test {

namespace {
constexpr int kErrorInvalidHandle = 6;
}

int FakePort::Open(const std::string& deviceName, PortEventSink*, std::uint32_t message,
                   std::intptr_t param, std::uint32_t rxQueueSize, std::uint32_t txQueueSize) {
    ++openCalls;
    openedDevice = deviceName;
    operations.push_back("Open " + std::to_string(message) + " " + std::to_string(param) + " " +
                         std::to_string(rxQueueSize) + " " + std::to_string(txQueueSize));
    if (openResult != 0) {
        return openResult;
    }
    open = true;
    return 0;
}

int FakePort::Close() {
    ++closeCalls;
    open = false;
    return 0;
}

int FakePort::SetLineFormat(std::uint32_t baud, std::uint8_t dataBits, std::uint8_t parity,
                            std::uint8_t stopBits) {
    operations.push_back("SetLineFormat " + std::to_string(baud) + " " + std::to_string(dataBits) +
                         " " + std::to_string(parity) + " " + std::to_string(stopBits));
    return 0;
}

int FakePort::SetFlowControl(int kind) {
    operations.push_back("SetFlowControl " + std::to_string(kind));
    return 0;
}

int FakePort::SetEventMask(std::uint32_t mask) {
    operations.push_back("SetEventMask " + std::to_string(mask));
    return 0;
}

int FakePort::SetReadMode(int kind) {
    operations.push_back("SetReadMode " + std::to_string(kind));
    return 0;
}

int FakePort::Purge() {
    operations.push_back("Purge");
    received.clear();
    return 0;
}

int FakePort::Write(const std::uint8_t* data, std::size_t length) {
    if (!open) {
        return kErrorInvalidHandle;
    }
    writes.emplace_back(data, data + length);
    writeTimes.push_back(clock ? *clock : 0);
    if (onWrite) {
        onWrite(writes.back());
    }
    return 0;
}

int FakePort::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* count) {
    ++readCalls;
    if (!open) {
        if (count != nullptr) {
            *count = 0;
        }
        return kErrorInvalidHandle;
    }
    std::size_t n = 0;
    while (n < capacity && !received.empty()) {
        buffer[n++] = received.front();
        received.pop_front();
    }
    if (count != nullptr) {
        *count = n;
    }
    return 0;
}

}  // namespace zentrik::test
