// CSerialLine over Win32 overlapped serial I/O.
#include <windows.h>

#include <algorithm>
#include <type_traits>

#include "link/serial/serial_io_record_win32.h"
#include "link/serial/serial_line.h"

namespace zentrik {
namespace {

HANDLE Win(NativeHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}
NativeHandle Native(HANDLE handle) {
    return reinterpret_cast<NativeHandle>(handle);
}

std::int32_t LastWinError() {
    return static_cast<std::int32_t>(GetLastError());
}

std::int32_t ReadState(HANDLE port, DCB& dcb) {
    dcb = DCB{};
    dcb.DCBlength = sizeof dcb;
    return GetCommState(port, &dcb) ? kErrorSuccess : LastWinError();
}

std::int32_t WriteState(HANDLE port, DCB& dcb) {
    return SetCommState(port, &dcb) ? kErrorSuccess : LastWinError();
}

// Finishes an operation started on `overlapped`: see Start below.
std::int32_t AwaitInternal(HANDLE port, HANDLE ioEvent, OVERLAPPED& overlapped,
                           std::uint32_t* transferred, std::uint32_t timeoutMs) {
    DWORD count = 0;
    switch (WaitForSingleObject(ioEvent, timeoutMs)) {
        case WAIT_OBJECT_0:
            if (transferred) {
                if (!GetOverlappedResult(port, &overlapped, &count, FALSE)) {
                    return LastWinError();
                }
                *transferred = count;
            }
            return kErrorSuccess;
        case WAIT_TIMEOUT:
            CancelIo(port);
            // The record lives on the caller's stack: wait until the cancelled operation has
            // let go of it (and of the buffer). Bytes it did move are reported.
            GetOverlappedResult(port, &overlapped, &count, TRUE);
            if (transferred) {
                *transferred = count;
            }
            return kErrorTimeout;
        default:
            return LastWinError();
    }
}

// The common path of Read, Write and WaitForEvent once `started` tells how the platform
// call went: complete at once, pending on the caller's record, or pending on the internal
// record (then wait for at most the time-out).
std::int32_t Finish(BOOL started, HANDLE port, HANDLE ioEvent, OVERLAPPED& overlapped,
                    bool callerRecord, std::uint32_t* transferred, DWORD immediateCount,
                    std::uint32_t timeoutMs) {
    if (started) {
        if (transferred) {
            *transferred = immediateCount;
        }
        SetEvent(overlapped.hEvent);
        return kErrorSuccess;
    }
    std::int32_t error = LastWinError();
    if (error != static_cast<std::int32_t>(ERROR_IO_PENDING)) {
        return error;
    }
    if (callerRecord) {
        return kErrorSuccess;
    }
    return AwaitInternal(port, ioEvent, overlapped, transferred, timeoutMs);
}

// Starts an operation on the caller's record, or on an internal one signalled through
// ioEvent, and completes it as above. `start` gets the record and the count to fill.
template <typename Start>
std::int32_t RunOverlapped(HANDLE port, HANDLE ioEvent, SerialIoRecord* record,
                           std::uint32_t* transferred, std::uint32_t timeoutMs, Start start) {
    OVERLAPPED internal{};
    internal.hEvent = ioEvent;
    OVERLAPPED& overlapped = record ? record->overlapped : internal;
    // The event may still be set by the last operation that completed at once; cleared here,
    // it can only mean this operation's end (not every driver clears it when one starts).
    if (overlapped.hEvent != nullptr) {
        ResetEvent(overlapped.hEvent);
    }
    DWORD count = 0;
    BOOL started = start(overlapped, count);
    return Finish(started, port, ioEvent, overlapped, record != nullptr, transferred, count,
                  timeoutMs);
}

}  // namespace

std::int32_t CSerialLine::OsOpen(const char* deviceName) {
    HANDLE port = CreateFileA(deviceName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        return LastWinError();
    }
    HANDLE ioEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (ioEvent == nullptr) {
        std::int32_t error = LastWinError();
        CloseHandle(port);
        return error;
    }
    m_port = Native(port);
    m_ioEvent = Native(ioEvent);
    return kErrorSuccess;
}

std::int32_t CSerialLine::OsSetQueueSizes(std::uint32_t rxQueueSize, std::uint32_t txQueueSize) {
    return SetupComm(Win(m_port), rxQueueSize, txQueueSize) ? kErrorSuccess : LastWinError();
}

void CSerialLine::OsApplyDefaultConfig(const char* deviceName) {
    COMMCONFIG config{};
    DWORD size = sizeof config;
    if (GetDefaultCommConfigA(deviceName, &config, &size)) {
        SetCommConfig(Win(m_port), &config, size);
    }
}

void CSerialLine::OsClose() {
    CloseHandle(Win(m_ioEvent));
    CloseHandle(Win(m_port));
    m_ioEvent = kNoHandle;
    m_port = kNoHandle;
}

std::int32_t CSerialLine::OsGetLineState(LineState& state) {
    DCB dcb;
    if (std::int32_t error = ReadState(Win(m_port), dcb)) {
        return error;
    }
    state.baudRate = dcb.BaudRate;
    state.dataBits = dcb.ByteSize;
    state.parity = dcb.fParity ? dcb.Parity : kParityNone;
    state.stopBits = dcb.StopBits;
    if (dcb.fDtrControl == DTR_CONTROL_HANDSHAKE && dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) {
        state.flowControl = kFlowHardware;
    } else if (dcb.fOutX && dcb.fInX) {
        state.flowControl = kFlowSoftware;
    } else {
        state.flowControl = kFlowOff;
    }
    state.eventCharacter = dcb.EvtChar;
    return kErrorSuccess;
}

std::int32_t CSerialLine::OsSetLineFormat(std::uint32_t baudRate, std::uint8_t dataBits,
                                          std::uint8_t parity, std::uint8_t stopBits) {
    HANDLE port = Win(m_port);
    DCB dcb;
    if (std::int32_t error = ReadState(port, dcb)) {
        return error;
    }
    dcb.BaudRate = baudRate;
    dcb.ByteSize = dataBits;
    dcb.Parity = parity;
    dcb.StopBits = stopBits;
    dcb.fParity = parity != kParityNone;
    return WriteState(port, dcb);
}

std::int32_t CSerialLine::OsSetEventCharacter(char character) {
    HANDLE port = Win(m_port);
    DCB dcb;
    if (std::int32_t error = ReadState(port, dcb)) {
        return error;
    }
    dcb.EvtChar = character;
    return WriteState(port, dcb);
}

std::int32_t CSerialLine::OsSetEventMask(std::uint32_t mask) {
    return SetCommMask(Win(m_port), mask) ? kErrorSuccess : LastWinError();
}

std::int32_t CSerialLine::OsSetFlowControl(int kind) {
    HANDLE port = Win(m_port);
    DCB dcb;
    if (std::int32_t error = ReadState(port, dcb)) {
        return error;
    }
    dcb.fOutxDsrFlow = FALSE;
    switch (kind) {
        case kFlowHardware:
            dcb.fOutxCtsFlow = TRUE;
            dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
            dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
            dcb.fOutX = FALSE;
            dcb.fInX = FALSE;
            break;
        case kFlowSoftware:
            dcb.fOutxCtsFlow = FALSE;
            dcb.fDtrControl = DTR_CONTROL_DISABLE;
            dcb.fRtsControl = RTS_CONTROL_DISABLE;
            dcb.fOutX = TRUE;
            dcb.fInX = TRUE;
            break;
        default:
            dcb.fOutxCtsFlow = FALSE;
            dcb.fDtrControl = DTR_CONTROL_DISABLE;
            dcb.fRtsControl = RTS_CONTROL_DISABLE;
            dcb.fOutX = FALSE;
            dcb.fInX = FALSE;
            break;
    }
    return WriteState(port, dcb);
}

std::int32_t CSerialLine::OsSetReadMode(int kind) {
    HANDLE port = Win(m_port);
    COMMTIMEOUTS timeouts{};
    if (!GetCommTimeouts(port, &timeouts)) {
        return LastWinError();
    }
    if (kind == kReadBlocking) {
        timeouts.ReadIntervalTimeout = 0;
    } else {
        timeouts.ReadIntervalTimeout = MAXDWORD;
    }
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    return SetCommTimeouts(port, &timeouts) ? kErrorSuccess : LastWinError();
}

std::int32_t CSerialLine::OsWaitForEvent(SerialIoRecord* record, std::uint32_t timeoutMs) {
    // The driver writes the event bits straight into eventBits when the wait completes.
    static_assert(sizeof(m_eventBits) == sizeof(DWORD) &&
                  std::atomic<std::uint32_t>::is_always_lock_free);
    auto* bits = reinterpret_cast<DWORD*>(&m_eventBits);
    HANDLE port = Win(m_port);
    return RunOverlapped(
        port, Win(m_ioEvent), record, nullptr, timeoutMs,
        [&](OVERLAPPED& overlapped, DWORD&) { return WaitCommEvent(port, bits, &overlapped); });
}

std::int32_t CSerialLine::OsWrite(const void* data, std::uint32_t length, std::uint32_t& written,
                                  SerialIoRecord* record, std::uint32_t timeoutMs) {
    HANDLE port = Win(m_port);
    return RunOverlapped(port, Win(m_ioEvent), record, &written, timeoutMs,
                         [&](OVERLAPPED& overlapped, DWORD& count) {
                             return WriteFile(port, data, length, &count, &overlapped);
                         });
}

std::int32_t CSerialLine::OsRead(void* buffer, std::uint32_t capacity, std::uint32_t& read,
                                 SerialIoRecord* record, std::uint32_t timeoutMs) {
    HANDLE port = Win(m_port);
    // A non-blocking read takes what the driver holds. Not every serial driver completes an
    // overlapped read of an empty queue at once under these time-outs (wine's stays pending
    // until a byte comes), so ask for exactly the queued count, and for nothing when none.
    COMMTIMEOUTS timeouts{};
    if (GetCommTimeouts(port, &timeouts) && timeouts.ReadIntervalTimeout == MAXDWORD &&
        timeouts.ReadTotalTimeoutMultiplier == 0 && timeouts.ReadTotalTimeoutConstant == 0) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(port, &errors, &status)) {
            return LastWinError();
        }
        capacity = std::min<std::uint32_t>(capacity, status.cbInQue);
        if (capacity == 0) {
            read = 0;
            if (record != nullptr) {
                SetEvent(record->overlapped.hEvent);
            }
            return kErrorSuccess;
        }
    }
    return RunOverlapped(port, Win(m_ioEvent), record, &read, timeoutMs,
                         [&](OVERLAPPED& overlapped, DWORD& count) {
                             return ReadFile(port, buffer, capacity, &count, &overlapped);
                         });
}

std::int32_t CSerialLine::OsPurge() {
    return PurgeComm(Win(m_port), PURGE_TXCLEAR | PURGE_RXCLEAR) ? kErrorSuccess : LastWinError();
}

}  // namespace zentrik
