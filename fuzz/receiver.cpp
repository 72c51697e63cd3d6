// Arbitrary byte streams in arbitrary chunks into the link's receive path, interleaved with
// requests, timer expiry and receiver resets. The machine must always end a notification
// waiting for input, and the link must come to rest once the reply timer has run out.

#include <vector>

#include "link_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    zentrik::fuzz::Rig rig;
    rig.host.answers = &input;
    while (input.remaining_bytes() > 0) {
        const std::uint8_t control = input.ConsumeIntegral<std::uint8_t>();
        if (control < 48) {
            rig.Act(control);
            continue;
        }
        const std::size_t chunk = input.ConsumeIntegralInRange<std::size_t>(0, 600);
        const std::vector<std::uint8_t> bytes = input.ConsumeBytes<std::uint8_t>(chunk);
        rig.Deliver(bytes);
    }
    rig.Drain();
    return 0;
}
