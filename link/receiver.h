#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/ring_buffer.h"

namespace zentrik {

enum class ReceiveState : std::uint8_t {
    HuntSync1 = 0,
    HuntSync2 = 1,
    HuntSync3 = 2,
    HuntSync4 = 3,
    ReadType = 4,
    ReadBody = 5,
    WordEcho = 6,      // two-byte echo of a firmware data word
    ChecksumEcho = 7,  // two-byte echo of the firmware image checksum
};

constexpr bool IsEchoState(ReceiveState state) {
    return state == ReceiveState::WordEcho || state == ReceiveState::ChecksumEcho;
}

// What the receiver hands on. Either call may re-enter Receiver::Run (a modal box whose event
// loop delivers more bytes); the receiver has consumed the input and set its state first.
class ReceiverSink {
  public:
    // A whole reply body, type byte through checksum, not yet checked. The storage is reused
    // by the next body of the same type: copy what is needed before any modal call.
    virtual void OnReplyBody(std::uint8_t type, std::span<const std::uint8_t> body) = 0;
    // Two bytes taken in WordEcho or ChecksumEcho.
    virtual void OnEcho(ReceiveState state, std::uint8_t first, std::uint8_t second) = 0;

  protected:
    ~ReceiverSink() = default;
};

// The receive ring and the byte-driven state machine over it: hunts for the sync word, waits
// for a whole reply body of its type's length, or takes bare two-byte echoes during a
// firmware transfer.
class Receiver {
  public:
    // Appends received bytes; returns how many fitted in the ring.
    std::size_t Append(const std::uint8_t* data, std::size_t length) {
        return m_ring.Append(data, length);
    }

    // Runs the machine for as long as at least neededBytes are buffered.
    void Run(ReceiverSink& sink);

    // Back to hunting for a sync word; buffered bytes stay.
    void Reset();

    ReceiveState State() const { return m_state; }
    // The echo states take two bytes at a time whatever a frame half read before wanted: a
    // body length left in neededBytes would hold echoes back until that many had arrived.
    void SetState(ReceiveState state) {
        m_state = state;
        if (IsEchoState(state)) {
            m_neededBytes = 1;
        }
    }
    std::uint16_t NeededBytes() const { return m_neededBytes; }
    std::uint8_t ReceivedType() const { return m_receivedType; }
    std::size_t Buffered() const { return m_ring.Count(); }

    // True when the machine cannot make progress with what is buffered (what Run leaves).
    bool IsWaitingForInput() const;

  private:
    std::span<std::uint8_t> BodyBuffer(std::uint8_t type);

    CRingBuffer m_ring;
    ReceiveState m_state = ReceiveState::HuntSync1;
    std::uint16_t m_neededBytes = 1;
    std::uint8_t m_receivedType = 0;

    // One body buffer per reply type, of that type's body length.
    std::array<std::uint8_t, 114> m_downloadBody{};
    std::array<std::uint8_t, 4> m_uploadBody{};
    std::array<std::uint8_t, 14> m_infoBody{};
    std::array<std::uint8_t, 4> m_permissionBody{};
};

}  // namespace zentrik
