#pragma once

#include <atomic>
#include <cstdint>

#include "link/serial/port_event_sink.h"

namespace zentrik {

// Result codes of the serial layer. The named ones are the same on every platform; any other
// non-zero code is the platform's own (errno on POSIX, GetLastError() on Windows).
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorAlreadyInitialized = 1247;
inline constexpr std::int32_t kErrorTimeout = 1460;
inline constexpr std::int32_t kErrorInvalidArg = static_cast<std::int32_t>(0x80070057u);

// Time-out value that waits without limit.
inline constexpr std::uint32_t kInfiniteTimeout = 0xFFFFFFFFu;

// Parity kinds.
inline constexpr std::uint8_t kParityNone = 0;
inline constexpr std::uint8_t kParityOdd = 1;
inline constexpr std::uint8_t kParityEven = 2;
inline constexpr std::uint8_t kParityMark = 3;
inline constexpr std::uint8_t kParitySpace = 4;

// Stop-bit kinds.
inline constexpr std::uint8_t kStopBitsOne = 0;
inline constexpr std::uint8_t kStopBitsOneAndHalf = 1;
inline constexpr std::uint8_t kStopBitsTwo = 2;

// Flow-control kinds.
inline constexpr int kFlowOff = 0;
inline constexpr int kFlowHardware = 1;
inline constexpr int kFlowSoftware = 2;

// Read modes: non-blocking returns at once with what has arrived; blocking waits for the
// requested count (or the time-out).
inline constexpr int kReadNonBlocking = 0;
inline constexpr int kReadBlocking = 1;

// OS handle or descriptor held as an integer; kNoHandle while there is none.
using NativeHandle = std::intptr_t;
inline constexpr NativeHandle kNoHandle = -1;

// Asynchronous-operation record. Windows: wraps an OVERLAPPED (serial_io_record_win32.h);
// POSIX: operations given a record complete before they return (serial_io_record_posix.h).
struct SerialIoRecord;

// One serial port opened exclusively, with its line settings and synchronous I/O.
// Every operation stores its result in lastError and returns it; getters return -1 (or 0)
// and leave the code in lastError. No operation throws.
class CSerialLine {
  public:
    CSerialLine() = default;
    CSerialLine(const CSerialLine&) = delete;
    CSerialLine& operator=(const CSerialLine&) = delete;
    virtual ~CSerialLine();

    virtual std::int32_t Open(const char* deviceName, std::uint32_t rxQueueSize = 0,
                              std::uint32_t txQueueSize = 0);
    virtual std::int32_t Close();
    virtual std::int32_t SetLineFormat(std::uint32_t baudRate, std::uint8_t dataBits,
                                       std::uint8_t parity, std::uint8_t stopBits);
    virtual std::int32_t SetEventCharacter(char character, bool addToMask);
    virtual std::int32_t SetEventMask(std::uint32_t mask);
    virtual std::int32_t WaitForEvent(SerialIoRecord* record, std::uint32_t timeoutMs);
    virtual std::int32_t SetFlowControl(int kind);
    virtual std::int32_t SetReadMode(int kind);
    virtual std::int32_t GetBaudRate();
    virtual std::int32_t GetDataBits();
    virtual std::int32_t GetParity();
    virtual std::int32_t GetStopBits();
    virtual std::int32_t GetFlowControl();
    virtual std::uint32_t GetEventMask();
    virtual char GetEventCharacter();
    virtual std::int32_t WriteString(const char* text, std::uint32_t* written = nullptr,
                                     SerialIoRecord* record = nullptr,
                                     std::uint32_t timeoutMs = kInfiniteTimeout);
    virtual std::int32_t Write(const void* data, std::uint32_t length,
                               std::uint32_t* written = nullptr, SerialIoRecord* record = nullptr,
                               std::uint32_t timeoutMs = kInfiniteTimeout);
    virtual std::int32_t Read(void* buffer, std::uint32_t capacity, std::uint32_t* read = nullptr,
                              SerialIoRecord* record = nullptr,
                              std::uint32_t timeoutMs = kInfiniteTimeout);

    // Discards both queues; operations in progress are not aborted.
    std::int32_t Purge();
    // The pending event bits within the event mask; clears them.
    std::uint32_t TakeEvents();

    bool IsOpen() const { return m_port != kNoHandle; }
    std::int32_t LastError() const { return m_lastError.load(); }

  protected:
    std::int32_t Fail(std::int32_t code) {
        m_lastError = code;
        return code;
    }

    // Written by both the owner's thread and the event thread, hence atomic.
    std::atomic<std::int32_t> m_lastError{0};
    NativeHandle m_port = kNoHandle;
    std::atomic<std::uint32_t> m_eventBits{0};
    std::atomic<std::uint32_t> m_eventMask{0};
    // Completion event of the synchronous operations (Windows). POSIX waits on the
    // descriptor itself and leaves this at kNoHandle.
    NativeHandle m_ioEvent = kNoHandle;

  private:
    // The line's settings as the platform reports them.
    struct LineState {
        std::uint32_t baudRate = 0;
        std::uint8_t dataBits = 0;
        std::uint8_t parity = 0;  // 0 unless parity checking is on
        std::uint8_t stopBits = 0;
        int flowControl = kFlowOff;
        char eventCharacter = 0;
    };

    // Platform part (serial_line_posix.cpp / serial_line_win32.cpp). Each returns 0 or the
    // platform's error code; the shared part has checked the arguments and the open state.
    std::int32_t OsOpen(const char* deviceName);  // leaves the port closed on failure
    std::int32_t OsSetQueueSizes(std::uint32_t rxQueueSize, std::uint32_t txQueueSize);
    void OsApplyDefaultConfig(const char* deviceName);
    void OsClose();
    std::int32_t OsGetLineState(LineState& state);
    std::int32_t OsSetLineFormat(std::uint32_t baudRate, std::uint8_t dataBits, std::uint8_t parity,
                                 std::uint8_t stopBits);
    std::int32_t OsSetEventCharacter(char character);
    std::int32_t OsSetEventMask(std::uint32_t mask);
    std::int32_t OsSetFlowControl(int kind);
    std::int32_t OsSetReadMode(int kind);
    std::int32_t OsWaitForEvent(SerialIoRecord* record, std::uint32_t timeoutMs);
    std::int32_t OsWrite(const void* data, std::uint32_t length, std::uint32_t& written,
                         SerialIoRecord* record, std::uint32_t timeoutMs);
    std::int32_t OsRead(void* buffer, std::uint32_t capacity, std::uint32_t& read,
                        SerialIoRecord* record, std::uint32_t timeoutMs);
    std::int32_t OsPurge();

    // Clears lastError; -1 with the error set when the state can't be had.
    template <typename Field>
    std::int32_t GetStateField(Field field);
};

}  // namespace zentrik
