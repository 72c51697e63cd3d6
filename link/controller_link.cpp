#include "link/controller_link.h"

#include <algorithm>
#include <array>

#include "base/byte_order.h"
#include "base/text_format.h"
#include "config/config_difference.h"
#include "link/discovery/port_identity.h"
#include "link/discovery/port_scanner.h"
#include "link/link_texts.h"
#include "link/serial/device_name.h"

namespace zentrik {

namespace texts = link_texts;

namespace {

constexpr std::uint8_t kType(RequestType type) {
    return static_cast<std::uint8_t>(type);
}

// A download or upload. One the user asked for may still be in flight when an upgrade starts,
// and the backup before the flash request is a download too; each keeps its own retries and
// boxes, which belong to it and not to the upgrade's requests.
constexpr bool IsUserRequest(std::uint8_t type) {
    return type == kType(RequestType::DownloadConfig) || type == kType(RequestType::UploadConfig);
}

}  // namespace

std::string ControllerInfoText(const ControllerIdentity& identity) {
    const ControllerSerial& s = identity.serial;
    return FormatText(texts::kControllerInfoFormat, s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7],
                      identity.version);
}

ControllerLink::ControllerLink(LinkHost& host, LinkPort& port, const AppSettings& settings,
                               PortEventSink* sink)
    : m_host(host), m_port(port), m_settings(settings), m_sink(sink) {}

// ---- requests ------------------------------------------------------------------------------

bool ControllerLink::QueueRequest(RequestType type) {
    if (!IsRequestType(kType(type))) {
        return false;
    }
    m_queue.push_back({type});
    DoQueue();
    return true;
}

void ControllerLink::QueueDownload(TransferPurpose purpose) {
    m_queue.push_back({RequestType::DownloadConfig, purpose});
    DoQueue();
}

std::deque<RequestType> ControllerLink::Queue() const {
    std::deque<RequestType> types;
    for (const QueuedRequest& request : m_queue) {
        types.push_back(request.type);
    }
    return types;
}

TransferPurpose ControllerLink::HeadPurpose() const {
    return m_queue.empty() ? TransferPurpose::Document : m_queue.front().purpose;
}

void ControllerLink::DoQueue() {
    while (!m_queue.empty() && !m_requestInFlight) {
        const QueuedRequest head = m_queue.front();
        if (head.type == RequestType::UploadConfig && m_uploadGuard &&
            !m_uploadGuard(m_host.Document())) {
            RemoveHead();
            m_host.SetStatusText(texts::kStatusUploadStopped);
            m_host.ShowMessageBox(texts::kUploadStoppedText, texts::kUploadStoppedCaption,
                                  MessageIcon::Exclamation, MessageButtons::Ok);
            continue;
        }
        m_currentType = kType(head.type);
        SendRequest(head.type, head.purpose);
        return;
    }
}

void ControllerLink::SendRequest(RequestType type, TransferPurpose purpose) {
    switch (type) {
        case RequestType::DownloadConfig:
            m_host.SetStatusText(purpose == TransferPurpose::Verify ? texts::kStatusVerifying
                                                                    : texts::kStatusDownloading);
            break;
        case RequestType::UploadConfig:
            m_host.SetStatusText(texts::kStatusSending);
            break;
        case RequestType::ControllerInfo:
            m_host.SetStatusText(texts::kStatusRequestingInfo);
            break;
        case RequestType::FlashPermission:
            m_host.SetStatusText(texts::kStatusRequestingPermission);
            break;
    }
    LinkFrame frame;
    if (type == RequestType::UploadConfig) {
        // Whatever the document holds at the moment of sending; kept for the verify.
        m_uploaded = m_host.Document();
        const auto image = ToWireImage(m_uploaded);
        frame = LinkFrame::Request(type, image);
    } else {
        frame = LinkFrame::Request(type);
    }
    SendBytes(frame.data(), frame.size());
}

int ControllerLink::ReplyIntervalMs(const std::uint8_t* data, std::size_t length) const {
    // The INI file is not range-checked: a negative Timeout must not make a negative interval,
    // nor a huge one overflow when the allowance is added.
    std::int64_t interval = std::max(m_settings.Timeout, 0);
    if (length > 5) {
        switch (data[4]) {
            case kType(RequestType::DownloadConfig):
            case kType(RequestType::ControllerInfo):
                interval += kShortReplyAllowanceMs;
                break;
            case kType(RequestType::UploadConfig):
                interval += kUploadReplyAllowanceMs;
                break;
            case kType(RequestType::FlashPermission):
                interval += kFlashReplyAllowanceMs;
                break;
            default:
                break;
        }
    }
    return static_cast<int>(std::min<std::int64_t>(interval, kMaxReplyIntervalMs));
}

void ControllerLink::SendBytes(const std::uint8_t* data, std::size_t length) {
    m_requestInFlight = true;
    ++m_exchange;
    if (!m_port.IsOpen()) {
        // On failure the user has been told; the send then ends in a time-out.
        OpenControllerPort();
    }
    const int interval = ReplyIntervalMs(data, length);
    if (m_port.IsOpen()) {
        m_port.Write(data, length);
    }
    m_host.StartReplyTimer(static_cast<unsigned>(interval));
    m_replyTimerRunning = true;
    ++m_counters.sentCount;
}

void ControllerLink::StopReplyTimer() {
    m_host.StopReplyTimer();
    m_replyTimerRunning = false;
}

void ControllerLink::RemoveHead() {
    if (!m_queue.empty()) {
        m_queue.pop_front();
    }
}

// ---- transactions --------------------------------------------------------------------------

void ControllerLink::gotmessage(ReplyOutcome outcome, std::uint8_t type) {
    StopReplyTimer();
    ++m_exchange;
    switch (outcome) {
        case ReplyOutcome::Good:
            CompleteGood(type);
            break;
        case ReplyOutcome::ChecksumError:
            HandleChecksumError(type);
            break;
        case ReplyOutcome::Timeout:
            HandleTimeout(type);
            break;
    }
}

void ControllerLink::CompleteGood(std::uint8_t type) {
    bool notice = false;
    NoticeKind kind = NoticeKind::Downloaded;
    bool verifyNext = false;
    const TransferPurpose purpose = HeadPurpose();
    switch (type) {
        case kType(RequestType::DownloadConfig):
            if (purpose == TransferPurpose::Document) {
                m_host.SetStatusText(texts::kStatusDownloaded);
                m_host.RefreshViews(1);
                m_host.ControllerHolds(HeldEvent::Download, m_host.Document());
                notice = true;
            } else if (purpose != TransferPurpose::Verify) {
                m_host.SetStatusText(texts::kStatusConfigReceived);
                m_host.ControllerHolds(
                    purpose == TransferPurpose::Backup ? HeldEvent::Backup : HeldEvent::Compare,
                    m_received);
            }
            break;
        case kType(RequestType::UploadConfig):
            if (m_settings.VerifyUpload) {
                // Uploaded only once the controller is seen to hold it.
                verifyNext = true;
                break;
            }
            m_host.SetStatusText(texts::kStatusUploaded);
            m_host.ControllerHolds(HeldEvent::Upload, m_uploaded);
            notice = true;
            kind = NoticeKind::Uploaded;
            break;
        case kType(RequestType::ControllerInfo):
            m_host.SetStatusText(texts::kStatusInfoDownloaded);
            break;
        case kType(RequestType::FlashPermission):
            m_host.SetStatusText(texts::kStatusPermissionReceived);
            break;
        default:
            break;
    }
    ++m_counters.goodCount;
    m_consecutiveTimeouts = 0;
    m_consecutiveCrcErrors = 0;
    // The request is finished with before the notice goes up, so that anything the notice's
    // event loop delivers finds a settled queue; the next request still waits for the notice.
    RemoveHead();
    m_requestInFlight = false;
    if (verifyNext) {
        // Read back at once, before anything queued behind the upload.
        m_queue.push_front({RequestType::DownloadConfig, TransferPurpose::Verify});
    } else if (notice) {
        m_host.ShowNotice(kind);
    } else if (type == kType(RequestType::DownloadConfig)) {
        // A copy: a reply that the modal calls below let in must not change it under them.
        const ConfigDocument received = m_received;
        DeliverDownload(purpose, received);
    }
    DoQueue();
}

void ControllerLink::DeliverDownload(TransferPurpose purpose, const ConfigDocument& received) {
    switch (purpose) {
        case TransferPurpose::Verify:
            FinishVerify(received);
            return;
        case TransferPurpose::Backup:
            if (m_upgradeInProgress && m_upgrade != nullptr) {
                m_upgrade->OnBackupDownloaded(received);
                return;
            }
            break;
        default:
            break;
    }
    m_host.ConfigDownloaded(purpose, received);
}

void ControllerLink::FinishVerify(const ConfigDocument& stored) {
    const bool same = DifferingSettings(m_uploaded, stored).empty();
    m_host.ControllerHolds(same ? HeldEvent::Upload : HeldEvent::Verify, stored);
    if (same) {
        m_host.SetStatusText(texts::kStatusUploaded);
        m_host.ShowNotice(NoticeKind::Uploaded);
        return;
    }
    m_host.SetStatusText(texts::kStatusVerifyFailed);
    std::string text = texts::kVerifyFailedText;
    if (m_differenceLister) {
        const std::vector<std::string> lines = m_differenceLister(m_uploaded, stored);
        if (!lines.empty()) {
            text += '\n';
        }
        for (const std::string& line : lines) {
            text += '\n';
            text += line;
        }
    }
    m_host.ShowMessageBox(text, texts::kVerifyFailedCaption, MessageIcon::Exclamation,
                          MessageButtons::Ok);
}

void ControllerLink::HandleChecksumError(std::uint8_t type) {
    ++m_counters.crcErrorCount;
    ++m_consecutiveCrcErrors;
    m_host.SetStatusText(texts::kStatusCrcError);

    if (m_upgradeInProgress && !IsUserRequest(m_currentType)) {
        if (type == kType(RequestType::ControllerInfo) ||
            type == kType(RequestType::FlashPermission)) {
            m_requestInFlight = false;
            m_upgradeInProgress = false;
            ResetReceiver();
            // Removed before the box rather than after it, so that whatever the box's event
            // loop delivers finds the failed request already gone.
            RemoveHead();
            m_host.ShowMessageBox(
                type == kType(RequestType::ControllerInfo) ? texts::kInfoCrcFailedText
                                                           : texts::kPermissionCrcFailedText,
                texts::kUpdateFailedCaption, MessageIcon::Exclamation, MessageButtons::Ok);
            return;
        }
        // A damaged reply of another type: the request in flight has not been answered, and
        // with the timer stopped it would never end, so it ends as timed out.
        if (m_requestInFlight) {
            EndUpgradeRequestTimedOut(m_currentType);
        }
        return;
    }

    if (m_consecutiveCrcErrors < m_settings.CRCRetry) {
        m_requestInFlight = false;
        DoQueue();
        return;
    }
    AskAfterRetries(texts::kCrcErrorText, texts::kCrcErrorCaption, texts::kUpgradeCrcFailedText,
                    texts::kReadBackCrcErrors);
}

void ControllerLink::HandleTimeout(std::uint8_t type) {
    ++m_counters.timeoutCount;
    ++m_consecutiveTimeouts;
    m_host.SetStatusText(texts::kStatusTimedOut);

    if (m_upgradeInProgress && !IsUserRequest(type)) {
        EndUpgradeRequestTimedOut(type);
        return;
    }
    if (m_consecutiveTimeouts < m_settings.TimeoutRetry) {
        m_requestInFlight = false;
        DoQueue();
        return;
    }
    AskAfterRetries(texts::kTimeoutText, texts::kTimeoutCaption, texts::kTransferTimeoutText,
                    texts::kReadBackTimedOut);
}

void ControllerLink::EndUpgradeRequestTimedOut(std::uint8_t type) {
    if (type == kType(RequestType::ControllerInfo)) {
        const std::uint64_t exchange = m_exchange;
        const MessageAnswer answer =
            m_host.ShowMessageBox(texts::kVersionTimeoutText, texts::kVersionTimeoutCaption,
                                  MessageIcon::Exclamation, MessageButtons::AbortRetryIgnore);
        if (exchange != m_exchange) {
            // A reply arrived while the box was up and has already moved the link on:
            // Retry and Ignore are moot, but Abort still ends the upgrade.
            if (answer == MessageAnswer::Abort) {
                AbandonQueue();
                m_upgradeInProgress = false;
                ResetReceiver();
            }
            return;
        }
        m_requestInFlight = false;
        switch (answer) {
            case MessageAnswer::Retry:
                DoQueue();
                break;
            case MessageAnswer::Ignore:
                // Skip the version check and go on towards the flash request.
                m_queue.clear();
                if (m_upgrade != nullptr) {
                    m_upgrade->OnVersionCheckSkipped();
                } else {
                    QueueRequest(RequestType::FlashPermission);
                }
                break;
            default:  // Abort
                m_queue.clear();
                m_upgradeInProgress = false;
                DoQueue();
                break;
        }
        return;
    }

    if (type == kType(RequestType::FlashPermission)) {
        m_requestInFlight = false;
        m_upgradeInProgress = false;
        ResetReceiver();
        RemoveHead();  // before the box, as for the checksum failure above
        m_host.ShowMessageBox(texts::kPermissionTimeoutText, texts::kUpdateFailedCaption,
                              MessageIcon::Exclamation, MessageButtons::Ok);
    } else {
        FailUpgrade(texts::kTransferTimeoutText);
    }
}

void ControllerLink::FailUpgrade(const char* text) {
    // During the word transfer currentType is 0 and the progress dialog is open.
    const bool transferring = m_currentType == 0;
    m_requestInFlight = false;
    m_upgradeInProgress = false;
    ResetReceiver();
    if (transferring) {
        m_host.FinishWithText(text);
        return;
    }
    // The dialog never opened: the failure is told in a box of its own, and what was queued
    // for the upgrade goes with it, so the next command sends only itself.
    AbandonQueue();
    m_host.ShowMessageBox(text, texts::kUpdateFailedCaption, MessageIcon::Exclamation,
                          MessageButtons::Ok);
}

void ControllerLink::AskAfterRetries(const char* text, const char* caption, const char* upgradeText,
                                     const char* reason) {
    // An upgrade waiting for its backup must not go on to flash without it.
    const auto backupPending = [this] {
        return m_upgradeInProgress && HeadPurpose() == TransferPurpose::Backup;
    };
    // The verify's read-back, still waiting at the head of the queue.
    const auto verifyPending = [this] {
        return !m_queue.empty() && HeadPurpose() == TransferPurpose::Verify;
    };
    const std::uint64_t exchange = m_exchange;
    const MessageAnswer answer =
        m_host.ShowMessageBox(text, caption, MessageIcon::None, MessageButtons::AbortRetryIgnore);
    if (exchange != m_exchange) {
        // A late reply moved the link on while the box was up (completed the request, or
        // failed its check and re-sent it). Retry and Ignore are moot then, Ignore would
        // even drop a request the user never saw fail; Abort still stops everything.
        if (answer == MessageAnswer::Abort) {
            const char* failure = backupPending() ? texts::kBackupDownloadFailedText : upgradeText;
            const bool verifyDropped = verifyPending();
            AbandonQueue();
            if (m_upgradeInProgress) {
                FailUpgrade(failure);
            }
            if (verifyDropped) {
                ReportUnverified(reason);
            }
        }
        return;
    }
    const bool backup = backupPending();
    const bool verifyDropped = verifyPending() && answer != MessageAnswer::Retry;
    switch (answer) {
        case MessageAnswer::Abort:
            m_queue.clear();
            if (m_upgradeInProgress) {
                // An upgrade queued behind the failed request can't go on without its
                // requests.
                FailUpgrade(backup ? texts::kBackupDownloadFailedText : upgradeText);
                if (verifyDropped) {
                    ReportUnverified(reason);
                }
                return;
            }
            break;
        case MessageAnswer::Ignore:
            if (backup) {
                FailUpgrade(texts::kBackupDownloadFailedText);
                return;
            }
            RemoveHead();
            break;
        default:  // Retry: the same request again, with fresh automatic retries
            break;
    }
    m_consecutiveTimeouts = 0;
    m_consecutiveCrcErrors = 0;
    m_requestInFlight = false;
    if (verifyDropped) {
        ReportUnverified(reason);
    }
    DoQueue();
}

void ControllerLink::ReportUnverified(const char* reason) {
    m_host.SetStatusText(texts::kStatusUploadUnverified);
    m_host.ShowMessageBox(FormatText(texts::kUnverifiedFormat, reason), texts::kUnverifiedCaption,
                          MessageIcon::Exclamation, MessageButtons::Ok);
}

void ControllerLink::AbandonQueue() {
    m_queue.clear();
    StopReplyTimer();
    m_requestInFlight = false;
    m_consecutiveTimeouts = 0;
    m_consecutiveCrcErrors = 0;
}

void ControllerLink::OnReplyTimer() {
    if (!m_replyTimerRunning) {
        return;  // a tick left over from a timer that was stopped
    }
    gotmessage(ReplyOutcome::Timeout, m_currentType);
}

// ---- receive path --------------------------------------------------------------------------

void ControllerLink::OnPortEvent(std::uintptr_t wParam) {
    if ((wParam & kEventRxChar) == 0) {
        return;
    }
    // The port reports arrivals, not waiting bytes, so whatever a full read leaves behind
    // would wait for the next arrival: read again while reads come back full. No read asks
    // for more than the ring has room for, so nothing is dropped.
    std::array<std::uint8_t, kReadChunk> buffer;
    for (;;) {
        const std::size_t wanted =
            std::min(buffer.size(), CRingBuffer::kCapacity - m_receiver.Buffered());
        std::size_t count = 0;
        if (wanted == 0 || m_port.Read(buffer.data(), wanted, &count) != 0) {
            count = 0;
        }
        count = std::min(count, wanted);
        m_receiver.Append(buffer.data(), count);
        m_receiver.Run(*this);
        if (count < wanted || wanted == 0) {
            break;
        }
    }
}

bool ControllerLink::AnswersRequestInFlight(std::uint8_t type) const {
    // During the word transfer currentType is 0, which no reply frame carries.
    return m_requestInFlight && type == m_currentType;
}

void ControllerLink::OnReplyBody(std::uint8_t type, std::span<const std::uint8_t> body) {
    // Only a reply to the request in flight counts, good or damaged. Any other (a late reply
    // after its request was sent again and answered, a repeat, a reply of another type) would
    // otherwise complete or re-send whatever is at the head of the queue: a queued request
    // never sent would be dropped as done, or the next request started while the notice is
    // still up. The request in flight still ends by its own reply or its reply timer.
    if (!AnswersRequestInFlight(type)) {
        ++m_counters.strayReplyCount;
        return;
    }
    if (!IsGoodReplyBody(body.data(), body.size())) {
        // A non-zero status counts as a checksum error and is retried like one.
        gotmessage(ReplyOutcome::ChecksumError, type);
        return;
    }
    const std::uint8_t* payload = body.data() + 2;
    switch (static_cast<RequestType>(type)) {
        case RequestType::DownloadConfig:
            if (HeadPurpose() == TransferPurpose::Document) {
                FromWireImage(m_host.Document(), payload);
            } else {
                m_received = ConfigDocument{};
                FromWireImage(m_received, payload);
            }
            gotmessage(ReplyOutcome::Good, type);
            break;
        case RequestType::UploadConfig:
            gotmessage(ReplyOutcome::Good, type);
            break;
        case RequestType::ControllerInfo: {
            ControllerIdentity identity;
            std::copy_n(payload, identity.serial.size(), identity.serial.begin());
            identity.version = ReadBigEndian16(payload + 8);
            m_lastInfo = identity;
            gotmessage(ReplyOutcome::Good, type);
            if (m_upgradeInProgress && m_upgrade != nullptr) {
                m_upgrade->OnControllerVersion(identity.version, identity.serial);
            } else {
                m_host.ShowMessageBox(ControllerInfoText(identity), texts::kControllerInfoCaption,
                                      MessageIcon::None, MessageButtons::Ok);
            }
            break;
        }
        case RequestType::FlashPermission: {
            // Only an upgrade that asked for it starts a transfer; a stray grant must never
            // flash whatever the image buffer holds.
            UpgradeHandler* upgrade = m_upgradeInProgress ? m_upgrade : nullptr;
            if (upgrade != nullptr) {
                upgrade->RewindTransfer();
            }
            gotmessage(ReplyOutcome::Good, type);
            if (upgrade != nullptr) {
                m_currentType = 0;
                upgrade->RunWordTransfer();
            }
            break;
        }
    }
}

void ControllerLink::OnEcho(ReceiveState state, std::uint8_t first, std::uint8_t second) {
    StopReplyTimer();
    m_requestInFlight = false;
    ++m_exchange;
    if (m_upgrade == nullptr) {
        ResetReceiver();
        return;
    }
    if (state == ReceiveState::WordEcho) {
        m_upgrade->OnWordEcho(first, second);
    } else {
        m_upgrade->OnChecksumEcho(first, second);
    }
}

// ---- port ----------------------------------------------------------------------------------

bool ControllerLink::OpenControllerPort(bool quiet) {
    if (m_port.IsOpen()) {
        m_port.Close();
    }
    const std::string device = PortDevice();
    const int error = m_port.Open(device, m_sink, WM_PORT_EVENT, 0, 0, 0);
    m_lastOpenError = error;
    if (error != 0) {
        if (!quiet) {
            m_host.ShowPortUnavailable(FormatText(texts::kPortUnavailableFormat, device.c_str()),
                                       device, error);
        }
        return false;
    }
    // Results are not checked: a port that opened is used as it is.
    m_port.SetLineFormat(kBaudRate, 8, 0, 0);
    m_port.SetFlowControl(0);
    m_port.SetEventMask(kLinkEventMask);
    m_port.SetReadMode(0);
    m_port.Purge();
    return true;
}

std::string ControllerLink::PortDevice() const {
    if (m_settings.PortDevice.empty()) {
        return ControllerDeviceName(m_settings.CommPort);
    }
    // A device kept by its USB identity is looked for wherever it is plugged in now.
    return ResolvePortDevice(m_settings.PortDevice).value_or(m_settings.PortDevice);
}

bool ControllerLink::ScanForConnection(CPortScanner& scanner, AppSettings& settings) {
    if (!settings.PortDevice.empty()) {
        // The user's choice: no discovery, and no port number stored.
        OpenControllerPort();
        return true;
    }
    const bool found = scanner.FindController(settings);
    if (found) {
        OpenControllerPort();
    }
    return found;
}

void ControllerLink::ClosePort() {
    m_lastOpenError = 0;
    if (m_port.IsOpen()) {
        m_port.Close();
    }
}

}  // namespace zentrik
