// The event thread over WaitCommEvent: one overlapped event wait at a time, completed by a
// port event or, at stop, by re-setting the event mask.
#include <windows.h>

#include "link/serial/serial_events.h"
#include "link/serial/serial_io_record_win32.h"

namespace zentrik {

struct CSerialEvents::EventThread {
    HANDLE handle;
};

void CSerialEvents::EventThreadDeleter::operator()(EventThread* thread) const {
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    delete thread;
}

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

}  // namespace

std::int32_t CSerialEvents::OsCreateEvents() {
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stop == nullptr) {
        return LastWinError();
    }
    HANDLE wait = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (wait == nullptr) {
        std::int32_t error = LastWinError();
        CloseHandle(stop);
        return error;
    }
    m_stopEvent = Native(stop);
    m_waitEvent = Native(wait);
    return kErrorSuccess;
}

void CSerialEvents::OsCloseEvents() {
    if (m_stopEvent != kNoHandle) {
        CloseHandle(Win(m_stopEvent));
        m_stopEvent = kNoHandle;
    }
    if (m_waitEvent != kNoHandle) {
        CloseHandle(Win(m_waitEvent));
        m_waitEvent = kNoHandle;
    }
}

std::int32_t CSerialEvents::OsStartThread() {
    LPTHREAD_START_ROUTINE body = [](LPVOID self) -> DWORD {
        return static_cast<DWORD>(static_cast<CSerialEvents*>(self)->RunEventThread());
    };
    HANDLE handle = CreateThread(nullptr, 0, body, this, 0, nullptr);
    if (handle == nullptr) {
        return LastWinError();
    }
    m_thread.reset(new EventThread{handle});
    return kErrorSuccess;
}

void CSerialEvents::OsSignalStop() {
    SetEvent(Win(m_stopEvent));
}

bool CSerialEvents::OsWaitThread(EventThread& thread, std::uint32_t timeoutMs) {
    return WaitForSingleObject(thread.handle, timeoutMs) == WAIT_OBJECT_0;
}

// Wine's serial driver ends some waits with no event bits while bytes are waiting, and
// reports only bytes that arrive after a wait began: bytes that came between two waits, or
// that a wait ended on without naming, would go unreported until the next byte. So the
// queue itself is looked at twice per wait, once it is pending and once it has ended, and
// bytes found there are reported. Each look follows a wait that really ended, so bytes the
// owner has not read yet cannot make the thread spin.
std::int32_t CSerialEvents::RunEventThread() {
    HANDLE port = Win(m_port);
    SerialIoRecord record{};
    record.overlapped.hEvent = Win(m_waitEvent);
    HANDLE handles[2] = {Win(m_stopEvent), Win(m_waitEvent)};
    // Whether bytes wait in the receive queue (when the mask asks for them); also the line
    // errors, which the query clears.
    std::uint32_t lineErrors = 0;
    auto bytesQueued = [&] {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(port, &errors, &status)) {
            Fail(LastWinError());
            lineErrors = 0;
            return false;
        }
        lineErrors = errors;
        return status.cbInQue > 0 && (GetEventMask() & kEventRxChar) != 0;
    };
    for (;;) {
        if (WaitForEvent(&record, kInfiniteTimeout) != kErrorSuccess) {
            return LastError();
        }
        if (bytesQueued()) {
            HandleEvent(kEventRxChar, lineErrors);
        }
        DWORD which = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (which != WAIT_OBJECT_0 + 1) {
            break;
        }
        std::uint32_t bits = TakeEvents();
        if (bytesQueued()) {
            bits |= kEventRxChar;
        }
        if (bits != 0) {
            HandleEvent(bits, lineErrors);
        }
    }
    // Re-setting the mask completes the pending wait; the record is on this stack, so wait
    // for the driver to let go of it before leaving.
    SetEventMask(GetEventMask());
    DWORD unused = 0;
    GetOverlappedResult(port, &record.overlapped, &unused, TRUE);
    return kErrorSuccess;
}

}  // namespace zentrik
