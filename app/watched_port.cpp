#include "app/watched_port.h"

#include "link/serial/serial_line.h"

int WatchedPort::Open(const std::string& deviceName, zentrik::PortEventSink* sink,
                      std::uint32_t message, std::intptr_t param, std::uint32_t rxQueueSize,
                      std::uint32_t txQueueSize) {
    // The previous port's event thread has been joined by its close, so nothing it noted
    // can reach the new port's state.
    m_hungUp = false;
    const int result = m_port.Open(deviceName, sink, message, param, rxQueueSize, txQueueSize);
    if (result == 0) {
        m_device = deviceName;
        ++m_openCount;
    }
    return result;
}

int WatchedPort::Close() {
    const int result = m_port.Close();
    m_device.clear();
    return result;
}

int WatchedPort::SetLineFormat(std::uint32_t baud, std::uint8_t dataBits, std::uint8_t parity,
                               std::uint8_t stopBits) {
    return m_port.SetLineFormat(baud, dataBits, parity, stopBits);
}

int WatchedPort::Write(const std::uint8_t* data, std::size_t length) {
    return m_port.Write(data, length);
}

int WatchedPort::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* count) {
    return m_port.Read(buffer, capacity, count);
}

void WatchedPort::NoteEvent(std::uintptr_t wParam) {
    const auto events = static_cast<std::uint32_t>(wParam & 0xFFFF);
    const auto lineErrors = static_cast<std::uint32_t>((wParam >> 16) & 0xFFFF);
    if ((events & zentrik::kEventError) != 0 && lineErrors == 0) {
        m_hungUp = true;
    }
}

bool WatchedPort::IsStale() {
    if (!IsOpen()) {
        return false;
    }
    // A tty whose device was unplugged refuses every query of its settings.
    return m_hungUp.load() || m_port.Port().GetBaudRate() < 0;
}
