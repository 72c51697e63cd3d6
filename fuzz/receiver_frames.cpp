// Reply frames with valid checksums built from the fuzz input (with some noise, damage and
// splitting), so that the bodies are reached and acted on: downloads, info, grants that start
// a transfer, echoes.

#include <vector>

#include "link/link_frame.h"
#include "link_harness.h"

namespace {

constexpr std::uint8_t kTypes[] = {1, 2, 3, 238};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    zentrik::fuzz::Rig rig;
    rig.host.answers = &input;
    std::vector<std::uint8_t> stream;
    while (input.remaining_bytes() > 0) {
        const std::uint8_t control = input.ConsumeIntegral<std::uint8_t>();
        switch (control % 6) {
            case 0:
                rig.Act(input.ConsumeIntegral<std::uint8_t>());
                break;
            case 1: {  // noise
                const auto noise = input.ConsumeBytes<std::uint8_t>(control / 6 % 8);
                stream.insert(stream.end(), noise.begin(), noise.end());
                break;
            }
            case 2: {  // a bare pair, as an echo
                const auto pair = input.ConsumeBytes<std::uint8_t>(2);
                stream.insert(stream.end(), pair.begin(), pair.end());
                break;
            }
            case 3: {  // deliver what is built so far, split in two
                const std::size_t cut = input.ConsumeIntegralInRange<std::size_t>(0, stream.size());
                rig.Deliver(std::span(stream).first(cut));
                rig.Deliver(std::span(stream).subspan(cut));
                stream.clear();
                break;
            }
            default: {  // a frame with a good checksum
                const std::uint8_t type = kTypes[(control / 6) % 4];
                const std::uint8_t status = (control & 0x80) && (control & 0x40) ? 1 : 0;
                std::vector<std::uint8_t> payload =
                    input.ConsumeBytes<std::uint8_t>(zentrik::ReplyBodyLength(type) - 4);
                payload.resize(zentrik::ReplyBodyLength(type) - 4);
                const auto frame = zentrik::LinkFrame::Reply(type, status, payload).bytes();
                stream.insert(stream.end(), frame.begin(), frame.end());
                if (control % 7 == 0 && !stream.empty()) {
                    stream.back() ^= 0x5A;  // damaged
                }
                break;
            }
        }
    }
    rig.Deliver(stream);
    rig.Drain();
    return 0;
}
