#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "link/link_frame.h"
#include "link/link_host.h"
#include "link/link_port.h"
#include "link/receiver.h"
#include "link/serial/port_event_sink.h"
#include "link/upgrade_handler.h"

namespace zentrik {

class CPortScanner;

// Outcome of a transaction, as gotmessage receives it.
enum class ReplyOutcome { Good = 0, ChecksumError = 1, Timeout = 2 };

// Running totals of the link; never reset.
struct LinkCounters {
    std::int32_t sentCount = 0;
    std::int32_t goodCount = 0;
    std::int32_t crcErrorCount = 0;
    std::int32_t timeoutCount = 0;
    // Reply frames, good or damaged, that answered nothing in flight: a late or repeated
    // reply, or one of another type than the request in flight. They change nothing else.
    std::int32_t strayReplyCount = 0;

    bool operator==(const LinkCounters&) const = default;
};

// A request waiting in the queue (or in flight at its head), with what its reply is for.
// Only downloads have a purpose other than the document.
struct QueuedRequest {
    RequestType type;
    TransferPurpose purpose = TransferPurpose::Document;

    bool operator==(const QueuedRequest&) const = default;
};

// What the controller says of itself in a Controller Info reply.
struct ControllerIdentity {
    ControllerSerial serial{};
    std::uint16_t version = 0;

    bool operator==(const ControllerIdentity&) const = default;
};

// "Serial Number:...\nFirmware Version:...", as the Controller Info box shows it.
std::string ControllerInfoText(const ControllerIdentity& identity);

// The lines that say how the controller's configuration differs from this computer's, for
// the box of a failed verify (empty when they match).
using DifferenceLister = std::function<std::vector<std::string>(const ConfigDocument& here,
                                                                const ConfigDocument& controller)>;

// Whether the document may be uploaded as it is now; an upload it refuses is dropped unsent.
using UploadGuard = std::function<bool(const ConfigDocument& doc)>;

// The one conversation with the controller: a queue of requests of which exactly one is in
// flight, guarded by the reply timer, retried on time-outs and checksum errors and finally
// put to the user; the receive path that turns port bytes into completed transactions; and
// the port's opening with the link's line settings.
//
// The owner feeds it: commands (QueueRequest), port notifications (OnPortEvent) and reply
// timer expiry (OnReplyTimer), all on one thread. A console front end drives it with a host
// whose modal calls answer at once and a loop that waits for the port's notification or the
// deadline of the last StartReplyTimer, whichever comes first.
class ControllerLink : private ReceiverSink {
  public:
    // Reply timer allowances added to Timeout for frames, by request type.
    static constexpr int kShortReplyAllowanceMs = 500;    // download, controller info
    static constexpr int kUploadReplyAllowanceMs = 1000;  // upload
    static constexpr int kFlashReplyAllowanceMs = 5000;   // flash permission
    static constexpr std::size_t kReadChunk = 4096;       // bytes read per port notification
    static constexpr std::uint32_t kLinkEventMask = kEventRxChar | kEventError;
    static constexpr std::uint32_t kBaudRate = 19200;
    // Longest reply interval: Timeout comes from an INI file that is not range-checked, and
    // a huge value must give a long wait rather than wrap to a short or negative one.
    static constexpr int kMaxReplyIntervalMs = 24 * 60 * 60 * 1000;

    // `sink` receives the port's notifications (the owner's thread-safe message queue).
    ControllerLink(LinkHost& host, LinkPort& port, const AppSettings& settings,
                   PortEventSink* sink = nullptr);
    ControllerLink(const ControllerLink&) = delete;
    ControllerLink& operator=(const ControllerLink&) = delete;

    // The running firmware upgrade, or none.
    void SetUpgradeHandler(UpgradeHandler* handler) { m_upgrade = handler; }

    // ---- requests and transactions
    // Appends a request and starts it if nothing is in flight; false for a value that is not
    // a request type.
    bool QueueRequest(RequestType type);
    // Appends a configuration download whose reply is for `purpose` (see TransferPurpose). It
    // goes through the queue like any request, with the same time-outs, retries and boxes.
    void QueueDownload(TransferPurpose purpose);
    void DoQueue();
    void SendRequest(RequestType type, TransferPurpose purpose = TransferPurpose::Document);
    // Common send of frames and firmware units: opens the port when needed, writes, starts
    // the reply timer.
    void SendBytes(const std::uint8_t* data, std::size_t length);
    // Completes the request in flight: a good reply, a checksum error or a time-out.
    void gotmessage(ReplyOutcome outcome, std::uint8_t type);

    // ---- notifications from the owner
    // WM_PORT_EVENT: on the received-byte bit, reads what the port holds and runs the
    // receiver (also when nothing was read). Other notifications are ignored.
    void OnPortEvent(std::uintptr_t wParam);
    // Timer 107 fired.
    void OnReplyTimer();

    // ---- port
    // Closes the port if open, opens the controller's (PortDevice) and applies the line
    // settings; a failure is reported to the user (unless `quiet`: a device the user chose
    // may simply not be back yet) and leaves the port closed. Returns whether it is open.
    bool OpenControllerPort(bool quiet = false);
    void ClosePort();
    // Finds the controller's port (storing its number in `settings`, the settings this link
    // reads) and, when found, opens it. Returns whether the controller was found. With a
    // device chosen in the settings (PortDevice) nothing is scanned: that device is opened,
    // and counts as found.
    bool ScanForConnection(CPortScanner& scanner, AppSettings& settings);
    bool IsPortOpen() const { return m_port.IsOpen(); }
    // The device OpenControllerPort opens: the one chosen in the settings (PortDevice, a path
    // or a USB identity looked for among the devices plugged in now) when
    // there is one, else the numbered port (or ZENTRIK_PORT) that discovery or the settings
    // give.
    std::string PortDevice() const;
    // The error of the last OpenControllerPort (0: it opened, or none was tried since the
    // port was last closed).
    int LastOpenError() const { return m_lastOpenError; }

    // ---- receiver
    void ResetReceiver() { m_receiver.Reset(); }
    ReceiveState GetReceiveState() const { return m_receiver.State(); }
    void SetReceiveState(ReceiveState state) { m_receiver.SetState(state); }
    const Receiver& GetReceiver() const { return m_receiver; }

    // ---- state
    bool requestInFlight() const { return m_requestInFlight; }
    bool upgradeInProgress() const { return m_upgradeInProgress; }
    void SetUpgradeInProgress(bool value) { m_upgradeInProgress = value; }
    std::uint8_t currentType() const { return m_currentType; }
    void SetCurrentType(std::uint8_t type) { m_currentType = type; }
    const LinkCounters& Counters() const { return m_counters; }
    std::int32_t ConsecutiveTimeouts() const { return m_consecutiveTimeouts; }
    std::int32_t ConsecutiveCrcErrors() const { return m_consecutiveCrcErrors; }
    std::size_t QueueLength() const { return m_queue.size(); }
    // The queued requests' types, head first.
    std::deque<RequestType> Queue() const;
    const std::deque<QueuedRequest>& Entries() const { return m_queue; }
    const AppSettings& Settings() const { return m_settings; }
    // The last good Controller Info reply of this run (the upgrade's version check included).
    const std::optional<ControllerIdentity>& LastControllerInfo() const { return m_lastInfo; }

    // ---- verify after upload (the VerifyUpload setting)
    // What the box of a failed verify lists; without one it says only that they differ.
    void SetDifferenceLister(DifferenceLister lister) { m_differenceLister = std::move(lister); }
    // Asked just before an upload is sent, with the document it would send.
    void SetUploadGuard(UploadGuard guard) { m_uploadGuard = std::move(guard); }
    // Whether the link commands may be given: port open and no upgrade running.
    bool CommandsEnabled() const { return IsPortOpen() && !m_upgradeInProgress; }
    // Whether the reply timer is running for a send.
    bool ReplyTimerRunning() const { return m_replyTimerRunning; }

    // Reply interval for a byte sequence: Timeout, plus the type's allowance for frames, at
    // most kMaxReplyIntervalMs.
    int ReplyIntervalMs(const std::uint8_t* data, std::size_t length) const;

  private:
    // ReceiverSink
    void OnReplyBody(std::uint8_t type, std::span<const std::uint8_t> body) override;
    void OnEcho(ReceiveState state, std::uint8_t first, std::uint8_t second) override;

    // Whether a reply frame of this type answers the request in flight.
    bool AnswersRequestInFlight(std::uint8_t type) const;
    void CompleteGood(std::uint8_t type);
    // The end of a good download for another purpose than the document, after the request is
    // finished with: the verify's verdict, or the record handed to whoever asked for it.
    void DeliverDownload(TransferPurpose purpose, const ConfigDocument& received);
    // Notice when the controller holds what was uploaded, else the "Verify Failed" box.
    void FinishVerify(const ConfigDocument& stored);
    TransferPurpose HeadPurpose() const;
    void HandleChecksumError(std::uint8_t type);
    void HandleTimeout(std::uint8_t type);
    // Ends the request in flight of an upgrade as timed out (no automatic retries).
    void EndUpgradeRequestTimedOut(std::uint8_t type);
    // The user's answer to "CRC Error" / "Timeout Error" once retries are used up. Abort
    // during an upgrade that has not begun its transfer ends it with `upgradeText`; Abort or
    // Ignore of the backup download before the flash request ends it too.
    // A verify's read-back that ends so ends without a verdict: `reason` says why.
    void AskAfterRetries(const char* text, const char* caption, const char* upgradeText,
                         const char* reason);
    // The read-back after an acknowledged upload was given up: said as it is.
    void ReportUnverified(const char* reason);
    // Drops every request, including one re-sent while a box was up, and stops its timer.
    void AbandonQueue();
    // Ends the upgrade with a failure text: in the progress dialog during the word transfer,
    // otherwise in an "Update Failed" box, with the queue emptied.
    void FailUpgrade(const char* text);
    void RemoveHead();
    void StopReplyTimer();

    LinkHost& m_host;
    LinkPort& m_port;
    const AppSettings& m_settings;
    PortEventSink* m_sink;
    UpgradeHandler* m_upgrade = nullptr;
    Receiver m_receiver;

    std::deque<QueuedRequest> m_queue;
    bool m_requestInFlight = false;
    bool m_upgradeInProgress = false;
    std::uint8_t m_currentType = 0;
    std::int32_t m_consecutiveTimeouts = 0;
    std::int32_t m_consecutiveCrcErrors = 0;
    LinkCounters m_counters;
    ConfigDocument m_uploaded{};  // the document as the last upload sent it
    ConfigDocument m_received{};  // the last download for another purpose than the document
    DifferenceLister m_differenceLister;
    UploadGuard m_uploadGuard;
    bool m_replyTimerRunning = false;
    // Advances whenever a send starts or a transaction ends; a user's answer to a box is
    // acted on only if nothing of the kind happened while the box was up.
    std::uint64_t m_exchange = 0;
    std::optional<ControllerIdentity> m_lastInfo;
    int m_lastOpenError = 0;
};

}  // namespace zentrik
