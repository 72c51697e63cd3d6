#include "sim/sim_controller.h"

#include <algorithm>

#include "base/byte_order.h"
#include "link/link_frame.h"

namespace zentrik {

namespace {

constexpr std::size_t kSyncLength = 4;

// Total request length for a type: sync, type, marker, payload, checksum.
std::size_t RequestLength(std::uint8_t type) {
    const std::size_t payload =
        type == static_cast<std::uint8_t>(RequestType::UploadConfig) ? kConfigSize : 0;
    return kFrameOverhead + payload;
}

}  // namespace

std::uint16_t FirmwareChecksum(std::span<const std::uint8_t> image) {
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i + 1 < image.size(); i += 2) {
        sum = static_cast<std::uint16_t>(sum + ReadBigEndian16(image.data() + i));
    }
    return sum;
}

SimController::SimController(const SimIdentity& identity, const ControllerConfig& config)
    : m_identity(identity), m_config(config) {}

SimController::Mode SimController::mode() const {
    switch (m_state) {
        case State::FlashWord:
            return Mode::FlashWords;
        case State::FlashChecksum:
            return Mode::FlashChecksum;
        default:
            return Mode::Frames;
    }
}

bool SimController::InFlashMode() const {
    return m_state == State::FlashWord || m_state == State::FlashChecksum;
}

void SimController::Tick(SimTime now) {
    if (!m_sawByte) {
        return;
    }
    const SimDuration quiet = now - m_lastByteTime;
    if (InFlashMode()) {
        if (quiet > m_flashIdleTimeout) {
            // The tool gave up; what arrived so far is not a usable image.
            ++m_abandonedUpgrades;
            m_image.clear();
            m_unitFill = 0;
            m_state = State::HuntSync1;
        }
    } else if (m_state != State::HuntSync1 && quiet > kFrameGapTimeout) {
        m_frame.clear();
        m_state = State::HuntSync1;
    }
}

std::vector<OutputChunk> SimController::Receive(std::span<const std::uint8_t> bytes, SimTime now) {
    std::vector<OutputChunk> out;
    for (std::uint8_t byte : bytes) {
        Tick(now);
        m_sawByte = true;
        m_lastByteTime = now;
        m_pending.push_back(byte);
        while (!m_pending.empty()) {
            const std::uint8_t next = m_pending.front();
            m_pending.pop_front();
            Step(next, out);
        }
    }
    return out;
}

void SimController::Reexamine(std::span<const std::uint8_t> bytes) {
    m_pending.insert(m_pending.begin(), bytes.begin(), bytes.end());
}

void SimController::HuntSync(std::uint8_t byte, std::size_t index, State next) {
    if (byte == kSyncBytes[index]) {
        m_frame.push_back(byte);
        m_state = next;
        return;
    }
    // A broken sync word: the byte that broke it may start a new one.
    m_frame.clear();
    m_state = State::HuntSync1;
    if (index > 0) {
        Reexamine({&byte, 1});
    }
}

void SimController::Step(std::uint8_t byte, std::vector<OutputChunk>& out) {
    switch (m_state) {
        case State::HuntSync1:
            m_frame.clear();
            HuntSync(byte, 0, State::HuntSync2);
            return;
        case State::HuntSync2:
            HuntSync(byte, 1, State::HuntSync3);
            return;
        case State::HuntSync3:
            HuntSync(byte, 2, State::HuntSync4);
            return;
        case State::HuntSync4:
            HuntSync(byte, 3, State::ReadType);
            return;
        case State::ReadType:
            if (!IsRequestType(byte)) {
                // Not a request we know: hunt again, starting with this byte.
                m_frame.clear();
                m_state = State::HuntSync1;
                Reexamine({&byte, 1});
                return;
            }
            m_frame.push_back(byte);
            m_frameLength = RequestLength(byte);
            m_state = State::ReadMarker;
            return;
        case State::ReadMarker:
            if (byte != kRequestMarker) {
                m_frame.clear();
                m_state = State::HuntSync1;
                Reexamine({&byte, 1});
                return;
            }
            m_frame.push_back(byte);
            m_state = State::ReadBody;
            return;
        case State::ReadBody:
            m_frame.push_back(byte);
            if (m_frame.size() == m_frameLength) {
                FinishFrame(out);
            }
            return;
        case State::FlashWord:
        case State::FlashChecksum:
            TakeUnitByte(byte, out);
            return;
    }
}

void SimController::FinishFrame(std::vector<OutputChunk>& out) {
    m_state = State::HuntSync1;
    const std::uint8_t* body = m_frame.data() + kSyncLength;
    const std::size_t bodyLength = m_frame.size() - kSyncLength;
    const std::uint16_t expected = Crc16(body, static_cast<long>(bodyLength - 2));
    if (ReadBigEndian16(body + bodyLength - 2) != expected) {
        Record(ReceivedKind::BadFrame, m_frame);
        // No answer. The sync word found here may have been noise, so a real request can
        // start anywhere after it: look at the rest again.
        const std::vector<std::uint8_t> rest(m_frame.begin() + kSyncLength, m_frame.end());
        m_frame.clear();
        Reexamine(rest);
        return;
    }
    Record(ReceivedKind::Frame, m_frame);
    const std::uint8_t type = body[0];
    const std::vector<std::uint8_t> payload(body + 2, body + bodyLength - 2);
    m_frame.clear();
    Answer(type, payload, out);
}

void SimController::Answer(std::uint8_t type, std::span<const std::uint8_t> payload,
                           std::vector<OutputChunk>& out) {
    const bool carriedOut = m_status == 0;
    std::vector<std::uint8_t> replyPayload;
    switch (static_cast<RequestType>(type)) {
        case RequestType::DownloadConfig: {
            const auto wire = WireFromHost(m_config);
            replyPayload.assign(wire.begin(), wire.end());
            break;
        }
        case RequestType::UploadConfig:
            if (carriedOut) {
                std::array<std::uint8_t, kConfigSize> stored;
                std::copy_n(payload.begin(), stored.size(), stored.begin());
                if (m_storeFault && *m_storeFault < stored.size()) {
                    ++stored[*m_storeFault];
                }
                m_config = HostFromWire(stored.data());
            }
            break;
        case RequestType::ControllerInfo:
            replyPayload.assign(m_identity.serial.begin(), m_identity.serial.end());
            replyPayload.push_back(static_cast<std::uint8_t>(m_identity.version >> 8));
            replyPayload.push_back(static_cast<std::uint8_t>(m_identity.version));
            break;
        case RequestType::FlashPermission:
            if (carriedOut) {
                m_image.assign(kFirmwareImageSize, 0);
                m_position = 0;
                m_unitFill = 0;
                m_state = State::FlashWord;
            }
            break;
    }
    out.push_back({ChunkKind::Reply, LinkFrame::Reply(type, m_status, replyPayload).bytes()});
}

void SimController::TakeUnitByte(std::uint8_t byte, std::vector<OutputChunk>& out) {
    m_unit[m_unitFill++] = byte;
    if (m_unitFill < m_unit.size()) {
        return;
    }
    m_unitFill = 0;
    const std::vector<std::uint8_t> echo(m_unit.begin(), m_unit.end());
    if (m_state == State::FlashWord) {
        Record(ReceivedKind::Word, echo);
        std::copy(m_unit.begin(), m_unit.end(), m_image.begin() + static_cast<long>(m_position));
        m_position += 2;
        if (m_position == kFirmwareImageSize) {
            m_state = State::FlashChecksum;
        }
        out.push_back({ChunkKind::WordEcho, echo});
        return;
    }
    Record(ReceivedKind::Checksum, echo);
    // The echo is what arrived, as the tool expects; only a matching checksum is adopted.
    out.push_back({ChunkKind::ChecksumEcho, echo});
    FinishUpgrade(ReadBigEndian16(m_unit.data()));
}

void SimController::FinishUpgrade(std::uint16_t receivedChecksum) {
    m_state = State::HuntSync1;
    if (FirmwareChecksum(m_image) != receivedChecksum) {
        ++m_rejectedUpgrades;
        m_image.clear();
        return;
    }
    m_identity.version = ReadBigEndian16(m_image.data());
    if (m_onFlashed) {
        m_onFlashed(m_image);
    }
    m_image.clear();
}

void SimController::Record(ReceivedKind kind, std::span<const std::uint8_t> bytes) const {
    if (m_onReceived) {
        m_onReceived(kind, bytes);
    }
}

}  // namespace zentrik
