#include "support/link_rig.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/link_frame.h"

namespace zentrik::test {

Bytes Hex(const std::string& text) {
    Bytes out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return out;
}

Bytes ReplyFrame(std::uint8_t type, std::uint8_t status, std::span<const std::uint8_t> payload) {
    return LinkFrame::Reply(type, status, payload).bytes();
}

Bytes DamagedReplyFrame(std::uint8_t type, std::span<const std::uint8_t> payload) {
    Bytes frame = ReplyFrame(type, 0, payload);
    frame.back() ^= 0x01;
    return frame;
}

Bytes InfoPayload(const std::array<std::uint8_t, 8>& serial, std::uint16_t version) {
    Bytes payload(serial.begin(), serial.end());
    payload.push_back(static_cast<std::uint8_t>(version >> 8));
    payload.push_back(static_cast<std::uint8_t>(version));
    return payload;
}

FakeController::FakeController(FakePort& port) : m_port(port) {
    m_port.onWrite = [this](std::span<const std::uint8_t> bytes) { OnWrite(bytes); };
}

void FakeController::OnWrite(std::span<const std::uint8_t> bytes) {
    if (bytes.size() == 2) {
        const int word = unitsReceived++;
        if (word >= 15360) {
            receivedChecksum.assign(bytes.begin(), bytes.end());
            Bytes echo(bytes.begin(), bytes.end());
            if (corruptChecksumEcho) {
                echo[1] ^= 0xFF;
            }
            m_port.Inject(echo);
            return;
        }
        receivedImage.insert(receivedImage.end(), bytes.begin(), bytes.end());
        if (word == dropEchoAtWord) {
            return;
        }
        if (word == swapEchoAtWord) {
            m_port.Inject(Bytes{bytes[1], bytes[0]});
        } else {
            m_port.Inject(bytes);
        }
        return;
    }
    if (bytes.size() < 8) {
        return;
    }
    const std::uint8_t type = bytes[4];
    requestTypes.push_back(type);
    if (!answerFrames) {
        return;
    }
    switch (type) {
        case 1:
            m_port.Inject(ReplyFrame(type, replyStatus, configImage));
            break;
        case 2:
            if (replyStatus == 0 && bytes.size() == 8 + configImage.size()) {
                std::copy_n(bytes.begin() + 6, configImage.size(), configImage.begin());
                if (storeFaultAt >= 0) {
                    ++configImage[static_cast<std::size_t>(storeFaultAt)];
                }
            }
            m_port.Inject(ReplyFrame(type, replyStatus));
            break;
        case 3: {
            if (!answerInfo) {
                break;
            }
            const Bytes payload = InfoPayload(serial, version);
            m_port.Inject(damageInfoReply ? DamagedReplyFrame(type, payload)
                                          : ReplyFrame(type, replyStatus, payload));
            break;
        }
        case 238:
            if (answerPermission) {
                m_port.Inject(damagePermissionReply ? DamagedReplyFrame(type)
                                                    : ReplyFrame(type, replyStatus));
            }
            break;
        default:
            break;
    }
}

LinkRig::LinkRig() {
    settings.CommPort = 3;
    settings.Timeout = 40;
    settings.TimeoutRetry = 3;
    settings.CRCRetry = 3;
    host.link = &link;
    host.pumpOnce = [this] { return PumpOnce(); };
    port.clock = &host.nowMs;
}

void LinkRig::Deliver(std::span<const std::uint8_t> bytes) {
    port.Inject(bytes);
    link.OnPortEvent(kEventRxChar);
}

bool LinkRig::PumpOnce() {
    if (port.HasPending()) {
        link.OnPortEvent(kEventRxChar);
        return true;
    }
    return host.FireTimer();
}

int LinkRig::RunUntilIdle(int maxSteps) {
    int steps = 0;
    while (steps < maxSteps && PumpOnce()) {
        ++steps;
    }
    EXPECT_LT(steps, maxSteps) << "the link never went idle";
    return steps;
}

std::vector<std::uint8_t> LinkRig::SentTypes() const {
    std::vector<std::uint8_t> types;
    for (const auto& w : port.writes) {
        if (w.size() >= 8) {
            types.push_back(w[4]);
        }
    }
    return types;
}

}  // namespace zentrik::test
