#pragma once

// A link wired to a host that answers every modal call at once and a port fed from the fuzz
// input, for the receiver fuzz targets. Header-only: each target is one translation unit.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <span>

#include "config/app_settings.h"
#include "firmware/firmware_upgrade.h"
#include "link/controller_link.h"

namespace zentrik::fuzz {

// Aborts the run when an invariant fails, so libFuzzer reports the input.
inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

class Port : public LinkPort {
  public:
    std::deque<std::uint8_t> received;
    bool open = false;

    int Open(const std::string&, PortEventSink*, std::uint32_t, std::intptr_t, std::uint32_t,
             std::uint32_t) override {
        open = true;
        return 0;
    }
    int Close() override {
        open = false;
        return 0;
    }
    bool IsOpen() const override { return open; }
    int SetLineFormat(std::uint32_t, std::uint8_t, std::uint8_t, std::uint8_t) override {
        return 0;
    }
    int SetFlowControl(int) override { return 0; }
    int SetEventMask(std::uint32_t) override { return 0; }
    int SetReadMode(int) override { return 0; }
    int Purge() override { return 0; }
    int Write(const std::uint8_t*, std::size_t) override { return 0; }
    int Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* count) override {
        std::size_t n = 0;
        while (n < capacity && !received.empty()) {
            buffer[n++] = received.front();
            received.pop_front();
        }
        *count = n;
        return 0;
    }
};

class Host : public LinkHost {
  public:
    ConfigDocument document;
    ControllerLink* link = nullptr;
    FuzzedDataProvider* answers = nullptr;  // answers boxes while input lasts, then Abort/No
    bool timerRunning = false;
    bool finished = false;
    int depth = 0;

    void SetStatusText(std::string_view) override {}
    MessageAnswer ShowMessageBox(std::string_view, std::string_view, MessageIcon,
                                 MessageButtons buttons) override {
        const std::uint8_t pick =
            answers && answers->remaining_bytes() ? answers->ConsumeIntegral<std::uint8_t>() : 0;
        switch (buttons) {
            case MessageButtons::Ok:
                return MessageAnswer::Ok;
            case MessageButtons::YesNo:
                return pick & 1 ? MessageAnswer::Yes : MessageAnswer::No;
            case MessageButtons::AbortRetryIgnore:
                break;
        }
        static constexpr MessageAnswer kChoices[] = {MessageAnswer::Abort, MessageAnswer::Retry,
                                                     MessageAnswer::Ignore};
        return kChoices[pick % 3];
    }
    void ShowPortUnavailable(std::string_view, const std::string&, int) override {}
    void ShowNotice(NoticeKind) override {}
    // The dialog's loop: delivers what the port holds, else lets the reply timer expire,
    // until the transfer has ended.
    void RunUpgrade(int, FirmwareUnitSource& source) override {
        finished = false;
        ++depth;
        Check(depth < 4);
        source.SendNextFirmwareUnit();
        int idle = 0;
        while (!finished) {
            if (!static_cast<Port&>(*port).received.empty()) {
                link->OnPortEvent(kEventRxChar);
            } else if (timerRunning) {
                link->OnReplyTimer();
            } else {
                Check(++idle < 2);  // nothing can end the transfer: a stall
            }
        }
        --depth;
    }
    void ShowStep(int) override {}
    void FinishWithText(std::string_view) override { finished = true; }
    void FinishWithSuccess() override { finished = true; }
    std::optional<std::string> ChooseFileToOpen(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    void StartReplyTimer(unsigned) override { timerRunning = true; }
    void StopReplyTimer() override { timerRunning = false; }
    ConfigDocument& Document() override { return document; }
    void RefreshViews(int) override {}
    std::string ApplicationTitle() override { return "fuzz"; }

    LinkPort* port = nullptr;
};

struct Rig {
    AppSettings settings;
    Port port;
    Host host;
    ControllerLink link{host, port, settings};
    FirmwareUpgrade upgrade{link, host};

    Rig() {
        settings.Timeout = 40;
        settings.TimeoutRetry = 3;
        settings.CRCRetry = 3;
        host.link = &link;
        host.port = &port;
    }

    // Puts bytes on the port and delivers one notification; the machine must then be waiting.
    void Deliver(std::span<const std::uint8_t> bytes) {
        port.received.insert(port.received.end(), bytes.begin(), bytes.end());
        link.OnPortEvent(kEventRxChar);
        Check(link.GetReceiver().IsWaitingForInput());
    }

    // Something the owner might do between notifications.
    void Act(std::uint8_t op) {
        switch (op % 8) {
            case 0:
                link.QueueRequest(RequestType::DownloadConfig);
                break;
            case 1:
                link.QueueRequest(RequestType::UploadConfig);
                break;
            case 2:
                link.QueueRequest(RequestType::ControllerInfo);
                break;
            case 3:
                link.QueueRequest(RequestType::FlashPermission);
                break;
            case 4:
                link.OnReplyTimer();
                break;
            case 5:
                // As the upgrade does once its file has passed its checks.
                if (!link.upgradeInProgress()) {
                    link.SetUpgradeInProgress(true);
                    link.QueueRequest(RequestType::ControllerInfo);
                }
                break;
            case 6:
                link.SetReceiveState(ReceiveState::WordEcho);
                break;
            default:
                link.ResetReceiver();
                break;
        }
        // A state change without a run may leave bytes waiting for the next notification,
        // as in the program; the invariant holds again after the next Deliver.
    }

    // When the input is used up: the reply timer must bring everything to rest.
    void Drain() {
        host.answers = nullptr;  // Abort and No from now on
        for (int i = 0; i < 64 && host.timerRunning; ++i) {
            link.OnReplyTimer();
        }
        Check(!host.timerRunning);
        Check(!link.requestInFlight());
    }
};

}  // namespace zentrik::fuzz
