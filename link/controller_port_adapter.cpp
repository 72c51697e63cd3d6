#include "link/controller_port_adapter.h"

#include <algorithm>
#include <limits>

namespace zentrik {

namespace {

// The port's operations take 32-bit lengths; the link's frames and its 4096-byte receive
// buffer are far below that.
constexpr std::size_t kMaxLength = std::numeric_limits<std::uint32_t>::max();

}  // namespace

int ControllerPortAdapter::Open(const std::string& deviceName, PortEventSink* sink,
                                std::uint32_t message, std::intptr_t param,
                                std::uint32_t rxQueueSize, std::uint32_t txQueueSize) {
    // The previous port's event thread has been joined by its close, so nothing it noted can
    // reach the new port's state.
    m_hungUp = false;
    const int result = m_port.Open(deviceName, sink, message, static_cast<std::int32_t>(param),
                                   rxQueueSize, txQueueSize);
    if (result == 0) {
        m_device = deviceName;
        ++m_openCount;
    }
    return result;
}

int ControllerPortAdapter::Close() {
    const int result = m_port.Close();
    m_device.clear();
    return result;
}

void ControllerPortAdapter::NoteEvent(std::uintptr_t wParam) {
    const auto events = static_cast<std::uint32_t>(wParam & 0xFFFF);
    const auto lineErrors = static_cast<std::uint32_t>((wParam >> 16) & 0xFFFF);
    if ((events & kEventError) != 0 && lineErrors == 0) {
        m_hungUp = true;
    }
}

bool ControllerPortAdapter::IsStale() {
    if (!IsOpen()) {
        return false;
    }
    // A tty whose device was unplugged refuses every query of its settings.
    return m_hungUp.load() || m_port.GetBaudRate() < 0;
}

bool ControllerPortAdapter::IsOpen() const {
    return m_port.IsOpen();
}

int ControllerPortAdapter::SetLineFormat(std::uint32_t baud, std::uint8_t dataBits,
                                         std::uint8_t parity, std::uint8_t stopBits) {
    return m_port.SetLineFormat(baud, dataBits, parity, stopBits);
}

int ControllerPortAdapter::SetFlowControl(int kind) {
    return m_port.SetFlowControl(kind);
}

int ControllerPortAdapter::SetEventMask(std::uint32_t mask) {
    return m_port.SetEventMask(mask);
}

int ControllerPortAdapter::SetReadMode(int kind) {
    return m_port.SetReadMode(kind);
}

int ControllerPortAdapter::Purge() {
    return m_port.Purge();
}

int ControllerPortAdapter::Write(const std::uint8_t* data, std::size_t length) {
    if (length > kMaxLength) {
        return static_cast<int>(kErrorInvalidArg);
    }
    return m_port.Write(data, static_cast<std::uint32_t>(length));
}

int ControllerPortAdapter::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* count) {
    std::uint32_t received = 0;
    const auto chunk = static_cast<std::uint32_t>(std::min(capacity, kMaxLength));
    const int error = m_port.Read(buffer, chunk, &received);
    if (count) {
        *count = received;
    }
    return error;
}

}  // namespace zentrik
