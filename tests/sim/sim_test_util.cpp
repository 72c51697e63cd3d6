#include "sim_test_util.h"

#include <string>

namespace zentrik::simtest {

std::vector<std::uint8_t> Hex(std::string_view text) {
    std::vector<std::uint8_t> out;
    std::string digits;
    for (char c : text) {
        if (c != ' ') {
            digits.push_back(c);
        }
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return out;
}

std::vector<std::uint8_t> DefaultWireImage() {
    return Hex(
        // flags, reserved, multiplier, reserved, input 1, input 2
        "01 00 00 00 00 01"
        // stage 1: flags, reserved, RPM max 5000, MAP max 20.04 (5130), 15 Hz, reserved
        "01 00 13 88 14 0A 0F 00"
        "00 04 07 14 20 20 1B 15 10 0D 0C 0E 15 24 36 45 4F 57 5D 64"
        // RPM trigger 3000, delay 0, ramp 100, MAP trigger 0, MAP end 10 (2560), reserved
        "0B B8 00 64 00 00 0A 00 00 00 00 00 00 00 00 00"
        // stage 2: RPM max 6000, MAP max 40 (10240), 14 Hz
        "01 00 17 70 28 00 0E 00"
        "00 05 0A 0B 0A 0A 0B 10 1C 2A 34 38 37 36 35 36 3B 49 59 64"
        // RPM trigger 3000, delay 0, ramp 100, MAP trigger 2 (512), MAP end 4 (1024)
        "0B B8 00 64 02 00 04 00 00 00 00 00 00 00 00 00"
        // reserved
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
}

std::vector<std::uint8_t> FirmwareImage(std::uint16_t version) {
    std::vector<std::uint8_t> image(kFirmwareImageSize);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    }
    image[0] = static_cast<std::uint8_t>(version >> 8);
    image[1] = static_cast<std::uint8_t>(version);
    image[2] = 0x0A;
    return image;
}

}  // namespace zentrik::simtest
