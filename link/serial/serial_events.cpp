#include "link/serial/serial_events.h"

namespace zentrik {

CSerialEvents::~CSerialEvents() {
    if (m_thread || !m_retiredThreads.empty() || IsOpen()) {
        CSerialEvents::Close();
    }
}

std::int32_t CSerialEvents::Open(const char* deviceName, std::uint32_t rxQueueSize,
                                 std::uint32_t txQueueSize) {
    if (std::int32_t error = CSerialLine::Open(deviceName, rxQueueSize, txQueueSize)) {
        return error;
    }
    if (std::int32_t error = OsCreateEvents()) {
        CSerialLine::Close();
        return Fail(error);
    }
    return kErrorSuccess;
}

std::int32_t CSerialEvents::Close() {
    StopEventThread(kInfiniteTimeout);
    // Threads left running by a timed stop end at once (the stop event stays set); the
    // handles they wait on are released only after they have.
    m_retiredThreads.clear();
    OsCloseEvents();
    return CSerialLine::Close();
}

std::int32_t CSerialEvents::StartEventThread() {
    m_lastError = kErrorSuccess;
    if (m_thread) {
        return kErrorSuccess;
    }
    if (!IsOpen() || m_stopEvent == kNoHandle) {
        return Fail(kErrorInvalidHandle);
    }
    return Fail(OsStartThread());
}

std::int32_t CSerialEvents::StopEventThread(std::uint32_t timeoutMs) {
    if (!m_thread) {
        return kErrorSuccess;
    }
    OsSignalStop();
    if (!OsWaitThread(*m_thread, timeoutMs)) {
        m_retiredThreads.push_back(std::move(m_thread));
    }
    m_thread.reset();
    return kErrorSuccess;
}

}  // namespace zentrik
