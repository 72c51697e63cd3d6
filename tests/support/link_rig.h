#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/app_settings.h"
#include "link/controller_link.h"
#include "support/fake_link_host.h"
#include "support/fake_port.h"

namespace zentrik::test {

using Bytes = std::vector<std::uint8_t>;

// "22 37 49 F2" -> bytes.
Bytes Hex(const std::string& text);
// A reply frame with a correct checksum.
Bytes ReplyFrame(std::uint8_t type, std::uint8_t status,
                 std::span<const std::uint8_t> payload = {});
// A reply frame whose checksum is wrong.
Bytes DamagedReplyFrame(std::uint8_t type, std::span<const std::uint8_t> payload = {});
// The controller-info payload: eight serial bytes, then the version big-endian.
Bytes InfoPayload(const std::array<std::uint8_t, 8>& serial, std::uint16_t version);

// A controller behind the fake port that answers like the real one (replies are queued on the
// port, never delivered from inside the write), with knobs for the failures tests need.
class FakeController {
  public:
    explicit FakeController(FakePort& port);

    bool answerFrames = true;
    bool answerInfo = true;
    std::uint8_t replyStatus = 0;
    bool damageInfoReply = false;
    bool damagePermissionReply = false;
    bool answerPermission = true;
    std::array<std::uint8_t, 8> serial{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    std::uint16_t version = 0x0102;
    std::array<std::uint8_t, 110> configImage{};
    // An upload (with status 0) replaces configImage, changed at this offset when >= 0.
    int storeFaultAt = -1;

    long swapEchoAtWord = -1;  // echo this word with its bytes swapped
    long dropEchoAtWord = -1;  // never echo this word
    bool corruptChecksumEcho = false;

    std::vector<std::uint8_t> requestTypes;  // type byte of every frame received
    Bytes receivedImage;                     // data words, in order
    Bytes receivedChecksum;
    int unitsReceived = 0;

  private:
    void OnWrite(std::span<const std::uint8_t> bytes);
    FakePort& m_port;
};

// The link wired to a scripted host and a fake port, with default settings (Timeout 40,
// three retries each, port 3).
struct LinkRig {
    AppSettings settings;
    FakeLinkHost host;
    FakePort port;
    ControllerLink link{host, port, settings};

    LinkRig();
    // Injects bytes and delivers one receive notification.
    void Deliver(std::span<const std::uint8_t> bytes);
    // One step of an event loop: pending bytes first, else the reply timer.
    bool PumpOnce();
    // Runs the loop until no bytes are pending and no timer runs; returns the steps taken.
    int RunUntilIdle(int maxSteps = 200000);
    // The request frames written so far, by type byte (two-byte units excluded).
    std::vector<std::uint8_t> SentTypes() const;
};

}  // namespace zentrik::test
