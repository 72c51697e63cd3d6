#include "link/serial/serial_line.h"

#include <cstring>

namespace zentrik {

CSerialLine::~CSerialLine() {
    CSerialLine::Close();
}

std::int32_t CSerialLine::Open(const char* deviceName, std::uint32_t rxQueueSize,
                               std::uint32_t txQueueSize) {
    m_lastError = kErrorSuccess;
    if (IsOpen()) {
        return Fail(kErrorAlreadyInitialized);
    }
    if (deviceName == nullptr || *deviceName == '\0') {
        return Fail(kErrorInvalidArg);
    }
    if (std::int32_t error = OsOpen(deviceName)) {
        return Fail(error);
    }
    if (rxQueueSize != 0 || txQueueSize != 0) {
        if (std::int32_t error = OsSetQueueSizes(rxQueueSize, txQueueSize)) {
            Close();
            return Fail(error);
        }
    }
    // The mask and read-mode defaults may fail without failing the open.
    SetEventMask(kDefaultEventMask);
    SetReadMode(kReadNonBlocking);
    std::int32_t result = SetFlowControl(kFlowOff);
    if (result != kErrorSuccess) {
        // A port we could not configure is not handed out half-open.
        Close();
        return Fail(result);
    }
    OsApplyDefaultConfig(deviceName);
    return Fail(result);
}

std::int32_t CSerialLine::Close() {
    m_lastError = kErrorSuccess;
    if (IsOpen()) {
        OsClose();
    }
    return kErrorSuccess;
}

std::int32_t CSerialLine::SetLineFormat(std::uint32_t baudRate, std::uint8_t dataBits,
                                        std::uint8_t parity, std::uint8_t stopBits) {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        return Fail(kErrorInvalidHandle);
    }
    return Fail(OsSetLineFormat(baudRate, dataBits, parity, stopBits));
}

std::int32_t CSerialLine::SetEventCharacter(char character, bool addToMask) {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        return Fail(kErrorInvalidHandle);
    }
    if (addToMask) {
        if (std::int32_t error = SetEventMask(GetEventMask() | kEventRxFlag)) {
            return error;
        }
    }
    return Fail(OsSetEventCharacter(character));
}

std::int32_t CSerialLine::SetEventMask(std::uint32_t mask) {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        return Fail(kErrorInvalidHandle);
    }
    std::int32_t error = OsSetEventMask(mask);
    if (error == kErrorSuccess) {
        m_eventMask = mask;
    }
    return Fail(error);
}

std::int32_t CSerialLine::WaitForEvent(SerialIoRecord* record, std::uint32_t timeoutMs) {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        return Fail(kErrorInvalidHandle);
    }
    return Fail(OsWaitForEvent(record, timeoutMs));
}

std::int32_t CSerialLine::SetFlowControl(int kind) {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        return Fail(kErrorInvalidHandle);
    }
    if (kind != kFlowOff && kind != kFlowHardware && kind != kFlowSoftware) {
        return Fail(kErrorInvalidArg);
    }
    return Fail(OsSetFlowControl(kind));
}

std::int32_t CSerialLine::SetReadMode(int kind) {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        return Fail(kErrorInvalidHandle);
    }
    if (kind != kReadNonBlocking && kind != kReadBlocking) {
        return Fail(kErrorInvalidArg);
    }
    return Fail(OsSetReadMode(kind));
}

template <typename Field>
std::int32_t CSerialLine::GetStateField(Field field) {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        Fail(kErrorInvalidHandle);
        return -1;
    }
    LineState state;
    if (std::int32_t error = OsGetLineState(state)) {
        Fail(error);
        return -1;
    }
    return static_cast<std::int32_t>(state.*field);
}

std::int32_t CSerialLine::GetBaudRate() {
    return GetStateField(&LineState::baudRate);
}
std::int32_t CSerialLine::GetDataBits() {
    return GetStateField(&LineState::dataBits);
}
std::int32_t CSerialLine::GetParity() {
    return GetStateField(&LineState::parity);
}
std::int32_t CSerialLine::GetStopBits() {
    return GetStateField(&LineState::stopBits);
}
std::int32_t CSerialLine::GetFlowControl() {
    return GetStateField(&LineState::flowControl);
}

std::uint32_t CSerialLine::GetEventMask() {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        Fail(kErrorInvalidHandle);
        return 0;
    }
    return m_eventMask;
}

char CSerialLine::GetEventCharacter() {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        Fail(kErrorInvalidHandle);
        return 0;
    }
    LineState state;
    if (std::int32_t error = OsGetLineState(state)) {
        Fail(error);
        return 0;
    }
    return state.eventCharacter;
}

std::int32_t CSerialLine::WriteString(const char* text, std::uint32_t* written,
                                      SerialIoRecord* record, std::uint32_t timeoutMs) {
    std::size_t length = text ? std::strlen(text) : 0;
    return Write(text, static_cast<std::uint32_t>(length), written, record, timeoutMs);
}

std::int32_t CSerialLine::Write(const void* data, std::uint32_t length, std::uint32_t* written,
                                SerialIoRecord* record, std::uint32_t timeoutMs) {
    m_lastError = kErrorSuccess;
    std::uint32_t internalCount = 0;
    std::uint32_t& count = written ? *written : internalCount;
    count = 0;
    if (!IsOpen()) {
        return Fail(kErrorInvalidHandle);
    }
    if (data == nullptr && length != 0) {
        return Fail(kErrorInvalidArg);
    }
    return Fail(OsWrite(data, length, count, record, timeoutMs));
}

std::int32_t CSerialLine::Read(void* buffer, std::uint32_t capacity, std::uint32_t* read,
                               SerialIoRecord* record, std::uint32_t timeoutMs) {
    m_lastError = kErrorSuccess;
    std::uint32_t internalCount = 0;
    std::uint32_t& count = read ? *read : internalCount;
    count = 0;
    if (!IsOpen()) {
        return Fail(kErrorInvalidHandle);
    }
    if (buffer == nullptr && capacity != 0) {
        return Fail(kErrorInvalidArg);
    }
    return Fail(OsRead(buffer, capacity, count, record, timeoutMs));
}

std::int32_t CSerialLine::Purge() {
    m_lastError = kErrorSuccess;
    if (!IsOpen()) {
        return Fail(kErrorInvalidHandle);
    }
    return Fail(OsPurge());
}

std::uint32_t CSerialLine::TakeEvents() {
    return m_eventBits.exchange(0) & m_eventMask.load();
}

}  // namespace zentrik
