#pragma once

#include <memory>
#include <vector>

#include "link/serial/serial_line.h"

namespace zentrik {

// A serial line with a background thread that waits for port events (received byte, line
// error) and hands each one to HandleEvent. The thread only waits and reports; all reading
// and writing stays with the owner's thread.
//
// Thread lifetime: StopEventThread(timeout) signals the stop event and waits at most
// `timeout` ms. If the thread has not ended by then it is forgotten as the current thread but
// kept aside, and Close joins it before any handle is released. Since the stop event is never
// cleared, that thread ends at its next wake-up; it may still call HandleEvent once until
// then, so whatever HandleEvent uses must live until Close (or destruction) returns.
class CSerialEvents : public CSerialLine {
  public:
    CSerialEvents() = default;
    ~CSerialEvents() override;

    using CSerialLine::Open;
    std::int32_t Open(const char* deviceName, std::uint32_t rxQueueSize = 0,
                      std::uint32_t txQueueSize = 0) override;
    std::int32_t Close() override;

    virtual std::int32_t StartEventThread();
    // Always 0.
    virtual std::int32_t StopEventThread(std::uint32_t timeoutMs = kInfiniteTimeout);
    // Called on the event thread with the reported events (within the mask) and the line
    // errors seen since the previous report.
    virtual void HandleEvent(std::uint32_t eventBits, std::uint32_t lineErrors) = 0;

    bool EventThreadRunning() const { return m_thread != nullptr; }

    // Platform thread record (serial_events_posix.cpp / serial_events_win32.cpp). Destroying
    // one waits for its thread to end.
    struct EventThread;
    struct EventThreadDeleter {
        void operator()(EventThread* thread) const;
    };
    using EventThreadPtr = std::unique_ptr<EventThread, EventThreadDeleter>;

  protected:
    EventThreadPtr m_thread;
    NativeHandle m_stopEvent = kNoHandle;  // set once to end the thread; never cleared
    NativeHandle m_waitEvent = kNoHandle;  // the thread's own wait object

  private:
    // Platform part. OsCreateEvents leaves both handles at kNoHandle on failure.
    std::int32_t OsCreateEvents();
    void OsCloseEvents();
    std::int32_t OsStartThread();
    void OsSignalStop();
    // True when the thread ended within the time-out.
    static bool OsWaitThread(EventThread& thread, std::uint32_t timeoutMs);
    // Body of the event thread; its result is the thread's exit code.
    std::int32_t RunEventThread();

    // Threads that outlived a timed StopEventThread; joined by Close.
    std::vector<EventThreadPtr> m_retiredThreads;
};

}  // namespace zentrik
