// The queue's signal on Windows: a manual-reset event object. A wait is rounded up to whole
// milliseconds, so the loop never wakes just before its deadline and spins.
#include <windows.h>

#include "ctl/port_event_queue.h"

namespace zentrik {

std::intptr_t PortEventQueue::OsCreateSignal() {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return event != nullptr ? reinterpret_cast<std::intptr_t>(event) : kNoSignal;
}

void PortEventQueue::OsDestroySignal(std::intptr_t signal) {
    CloseHandle(reinterpret_cast<HANDLE>(signal));
}

void PortEventQueue::OsRaise(std::intptr_t signal) {
    SetEvent(reinterpret_cast<HANDLE>(signal));
}

void PortEventQueue::OsClear(std::intptr_t signal) {
    ResetEvent(reinterpret_cast<HANDLE>(signal));
}

bool PortEventQueue::OsWait(std::intptr_t signal, std::optional<LoopClock::time_point> deadline) {
    DWORD timeoutMs = 0;
    if (deadline) {
        const auto left = *deadline - LoopClock::now();
        if (left > LoopClock::duration::zero()) {
            const auto us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
            const auto ms = (us + 999) / 1000;
            timeoutMs =
                ms >= static_cast<long long>(INFINITE) ? INFINITE - 1 : static_cast<DWORD>(ms);
        }
    }
    return WaitForSingleObject(reinterpret_cast<HANDLE>(signal), timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace zentrik
