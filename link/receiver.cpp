#include "link/receiver.h"

#include "link/link_frame.h"

namespace zentrik {

std::span<std::uint8_t> Receiver::BodyBuffer(std::uint8_t type) {
    switch (static_cast<RequestType>(type)) {
        case RequestType::DownloadConfig:
            return m_downloadBody;
        case RequestType::UploadConfig:
            return m_uploadBody;
        case RequestType::ControllerInfo:
            return m_infoBody;
        case RequestType::FlashPermission:
            return m_permissionBody;
    }
    return {};
}

void Receiver::Reset() {
    m_state = ReceiveState::HuntSync1;
    m_neededBytes = 1;
}

bool Receiver::IsWaitingForInput() const {
    if (IsEchoState(m_state)) {
        return m_ring.Count() < 2;
    }
    return m_ring.Count() < m_neededBytes;
}

void Receiver::Run(ReceiverSink& sink) {
    // Every pass either consumes a byte, or moves to a state that consumes one next (a broken
    // sync, an unknown type), or leaves the loop.
    while (m_ring.Count() >= m_neededBytes) {
        switch (m_state) {
            case ReceiveState::HuntSync1:
                if (m_ring.Front() == kSyncBytes[0]) {
                    m_state = ReceiveState::HuntSync2;
                }
                m_ring.Skip(1);
                break;
            case ReceiveState::HuntSync2:
            case ReceiveState::HuntSync3:
            case ReceiveState::HuntSync4: {
                const auto index = static_cast<std::size_t>(m_state);
                if (m_ring.Front() == kSyncBytes[index]) {
                    m_ring.Skip(1);
                    m_state = static_cast<ReceiveState>(index + 1);
                } else {
                    // Try the byte that broke the sequence as a first sync byte.
                    m_state = ReceiveState::HuntSync1;
                }
                break;
            }
            case ReceiveState::ReadType: {
                // The type byte stays buffered: it is the first byte of the body.
                m_receivedType = m_ring.Front();
                const std::size_t length = ReplyBodyLength(m_receivedType);
                if (length != 0) {
                    m_neededBytes = static_cast<std::uint16_t>(length);
                    m_state = ReceiveState::ReadBody;
                } else {
                    // Not a reply type: HuntSync1 drops the byte, or starts a new sync with it.
                    m_state = ReceiveState::HuntSync1;
                }
                break;
            }
            case ReceiveState::ReadBody: {
                const std::uint8_t type = m_receivedType;
                const std::span<std::uint8_t> body = BodyBuffer(type);
                m_ring.Peek(body.data(), body.size());
                m_ring.Skip(body.size());
                // Settled before the body is acted on, which may re-enter Run.
                Reset();
                sink.OnReplyBody(type, body);
                break;
            }
            case ReceiveState::WordEcho:
            case ReceiveState::ChecksumEcho: {
                std::uint8_t echo[2];
                if (m_ring.Peek(echo, 2) < 2) {
                    return;  // wait for the second byte
                }
                m_ring.Skip(2);
                sink.OnEcho(m_state, echo[0], echo[1]);
                break;
            }
        }
    }
}

}  // namespace zentrik
