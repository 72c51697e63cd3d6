#include "config/config_document.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "base/byte_order.h"

namespace zentrik {

namespace {

std::int16_t& PressureRef(ControllerConfig& c, int stage, PressureField field) {
    StageConfig& s = c.stage[stage];
    switch (field) {
        case PressureField::MAP_Trigger:
            return s.MAP_Trigger;
        case PressureField::MAP_End:
            return s.MAP_End;
        case PressureField::MAP_Max:
            break;
    }
    return s.MAP_Max;
}

constexpr PressureField kPressureFields[] = {PressureField::MAP_Trigger, PressureField::MAP_End,
                                             PressureField::MAP_Max};

// Converts the ten sixteen-bit fields between host order and big-endian, in place.
void SwapWireFields(std::uint8_t* image) {
    if constexpr (std::endian::native == std::endian::little) {
        for (std::size_t offset : kBigEndianOffsets) {
            std::uint16_t v;
            std::memcpy(&v, image + offset, 2);
            v = Swap16(v);
            std::memcpy(image + offset, &v, 2);
        }
    }
}

}  // namespace

CurveSpan StageCurveSpan(const ConfigDocument& doc, int stage) {
    const StageConfig& s = doc.record.stage[stage];
    if (TIME_Based(s)) {
        return {s.Delay_Time * kTenthSecond, (s.Delay_Time + s.Ramp_Time) * kTenthSecond};
    }
    return {doc.displayPressures[static_cast<std::size_t>(
                PressureIndex(stage, PressureField::MAP_Trigger))],
            doc.displayPressures[static_cast<std::size_t>(
                PressureIndex(stage, PressureField::MAP_End))]};
}

std::int16_t PressureToFixed(double value) {
    const double scaled = std::trunc(value * 256.0);
    if (!std::isfinite(scaled)) {
        return 0;
    }
    // Keep the low sixteen bits of the truncated value, as an integer store would.
    const double wrapped = std::fmod(scaled, 65536.0);
    const auto bits = static_cast<std::int32_t>(wrapped) & 0xFFFF;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
}

std::int16_t WirePressure(const ConfigDocument& doc, int index) {
    const double k = MAP_In_bar(doc.record) ? kBarToPsi : 1.0;
    return PressureToFixed(k * doc.displayPressures[static_cast<std::size_t>(index)]);
}

std::array<std::uint8_t, kConfigSize> ToWireImage(const ConfigDocument& doc) {
    ControllerConfig image = doc.record;
    for (int stage = 0; stage < 2; ++stage) {
        for (PressureField field : kPressureFields) {
            PressureRef(image, stage, field) = WirePressure(doc, PressureIndex(stage, field));
        }
    }
    std::array<std::uint8_t, kConfigSize> bytes;
    std::memcpy(bytes.data(), &image, kConfigSize);
    SwapWireFields(bytes.data());
    return bytes;
}

void FromWireImage(ConfigDocument& doc, const std::uint8_t* payload) {
    std::array<std::uint8_t, kConfigSize> bytes;
    std::memcpy(bytes.data(), payload, kConfigSize);
    SwapWireFields(bytes.data());
    ControllerConfig received;
    std::memcpy(&received, bytes.data(), kConfigSize);
    const double k = MAP_In_bar(received) ? kPsiToBar : 1.0;
    for (int stage = 0; stage < 2; ++stage) {
        for (PressureField field : kPressureFields) {
            doc.displayPressures[PressureIndex(stage, field)] =
                k * (PressureRef(received, stage, field) / 256.0);
        }
    }
    doc.record = received;
}

void SyncDisplayPressures(ConfigDocument& doc) {
    for (int stage = 0; stage < 2; ++stage) {
        for (PressureField field : kPressureFields) {
            doc.displayPressures[PressureIndex(stage, field)] =
                PressureRef(doc.record, stage, field) / 256.0;
        }
    }
}

void SyncRecordPressures(ConfigDocument& doc) {
    for (int stage = 0; stage < 2; ++stage) {
        for (PressureField field : kPressureFields) {
            PressureRef(doc.record, stage, field) =
                PressureToFixed(doc.displayPressures[PressureIndex(stage, field)]);
        }
    }
}

}  // namespace zentrik
