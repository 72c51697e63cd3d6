#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "config/controller_config.h"
#include "sim/sim_config_image.h"
#include "sim/sim_time.h"

namespace zentrik {

inline constexpr std::size_t kFirmwareImageSize = 30720;
inline constexpr std::size_t kFirmwareWordCount = kFirmwareImageSize / 2;

// A frame whose bytes stop arriving for this long is abandoned, so that a truncated request
// does not swallow the start of the tool's next attempt. The tool never waits less than
// 500 ms before re-sending a frame.
inline constexpr SimDuration kFrameGapTimeout = std::chrono::milliseconds(100);
// Flash mode ends when no unit arrives for this long (the tool gave up mid-transfer); the
// partial image is discarded and the controller keeps its old firmware.
inline constexpr SimDuration kFlashIdleTimeout = std::chrono::milliseconds(1000);

struct SimIdentity {
    std::array<std::uint8_t, 8> serial{0x03, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};
    std::uint16_t version = 0x0100;
};

// What the controller sends back; the I/O layer delays, paces or damages each chunk whole.
enum class ChunkKind { Reply, WordEcho, ChecksumEcho };
struct OutputChunk {
    ChunkKind kind;
    std::vector<std::uint8_t> bytes;
};

// What the controller took in, for the record file.
enum class ReceivedKind {
    Frame,     // a request with a good checksum (sync word included)
    BadFrame,  // a complete request whose checksum failed; not answered
    Word,      // a firmware data word
    Checksum,  // the firmware image checksum
};

// The controller's side of the link as a byte-driven state machine: bytes in, replies and
// echoes out. It does no I/O and reads no clock; the caller passes the arrival time.
class SimController {
  public:
    enum class Mode { Frames, FlashWords, FlashChecksum };

    using ReceiveObserver = std::function<void(ReceivedKind, std::span<const std::uint8_t>)>;
    using FlashObserver = std::function<void(std::span<const std::uint8_t> image)>;

    explicit SimController(const SimIdentity& identity = {},
                           const ControllerConfig& config = DefaultControllerConfig());

    // A non-zero status refuses every request: replies carry it, nothing is carried out.
    void SetReplyStatus(std::uint8_t status) { m_status = status; }
    // Stores every uploaded configuration with the byte at this offset of the wire image
    // changed (one added); the reply still says it was stored. None: stored as received.
    void SetStoreFault(std::optional<std::size_t> offset) { m_storeFault = offset; }
    void SetFlashIdleTimeout(SimDuration timeout) { m_flashIdleTimeout = timeout; }
    void SetReceiveObserver(ReceiveObserver observer) { m_onReceived = std::move(observer); }
    // Called after an upgrade whose checksum matched, with the 30720-byte image.
    void SetFlashObserver(FlashObserver observer) { m_onFlashed = std::move(observer); }

    // Takes bytes that arrived at `now`; returns the replies and echoes they call for.
    std::vector<OutputChunk> Receive(std::span<const std::uint8_t> bytes, SimTime now);

    const ControllerConfig& config() const { return m_config; }
    std::uint16_t firmwareVersion() const { return m_identity.version; }
    Mode mode() const;
    int rejectedUpgrades() const { return m_rejectedUpgrades; }
    int abandonedUpgrades() const { return m_abandonedUpgrades; }

  private:
    enum class State {
        HuntSync1,
        HuntSync2,
        HuntSync3,
        HuntSync4,
        ReadType,
        ReadMarker,
        ReadBody,
        FlashWord,
        FlashChecksum,
    };

    // Applies the inactivity time-outs as of `now`, before a byte that arrived then.
    void Tick(SimTime now);
    void Step(std::uint8_t byte, std::vector<OutputChunk>& out);
    void HuntSync(std::uint8_t byte, std::size_t index, State next);
    void Reexamine(std::span<const std::uint8_t> bytes);
    void FinishFrame(std::vector<OutputChunk>& out);
    void Answer(std::uint8_t type, std::span<const std::uint8_t> payload,
                std::vector<OutputChunk>& out);
    void TakeUnitByte(std::uint8_t byte, std::vector<OutputChunk>& out);
    void FinishUpgrade(std::uint16_t receivedChecksum);
    void Record(ReceivedKind kind, std::span<const std::uint8_t> bytes) const;
    bool InFlashMode() const;

    SimIdentity m_identity;
    ControllerConfig m_config;
    std::uint8_t m_status = 0;
    std::optional<std::size_t> m_storeFault;
    SimDuration m_flashIdleTimeout = kFlashIdleTimeout;
    ReceiveObserver m_onReceived;
    FlashObserver m_onFlashed;

    State m_state = State::HuntSync1;
    std::vector<std::uint8_t> m_frame;   // the request so far, sync word included
    std::size_t m_frameLength = 0;       // expected total length once the type is known
    std::deque<std::uint8_t> m_pending;  // bytes to look at again after a failed frame
    bool m_sawByte = false;
    SimTime m_lastByteTime{};

    std::vector<std::uint8_t> m_image;  // the firmware being received
    std::size_t m_position = 0;
    std::array<std::uint8_t, 2> m_unit{};
    std::size_t m_unitFill = 0;

    int m_rejectedUpgrades = 0;
    int m_abandonedUpgrades = 0;
};

// Sum of the image's big-endian words, modulo 65536.
std::uint16_t FirmwareChecksum(std::span<const std::uint8_t> image);

}  // namespace zentrik
