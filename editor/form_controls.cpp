#include "editor/form_controls.h"

#include <array>

#include "config/controller_config.h"
#include "editor/control_ids.h"
#include "editor/editor_texts.h"

namespace zentrik {

namespace {

namespace ids = control_ids;
namespace t = editor_texts;
using K = ControlKind;
constexpr TextAlign kRight = TextAlign::Right;
constexpr TextAlign kCentre = TextAlign::Centre;

constexpr FormControlSpec kControls[] = {
    {-1, "inputsGroup", K::GroupBox, t::kInputsGroup, 212, 7, 135, 27},
    {-1, "input2Label", K::Label, t::kInput2Label, 219, 18, 32, 9},
    {ids::kInput2, nullptr, K::List, "", 251, 16, 89, 68},
    {-1, "rpmGroup", K::GroupBox, t::kRpmGroup, 66, 7, 140, 27},
    {ids::kRpmPresent, nullptr, K::CheckBox, t::kRpmPresent, 72, 18, 40, 8, TextAlign::Left, false,
     true},
    {-1, "multiplierLabel", K::Label, t::kMultiplierLabel, 128, 18, 30, 8},
    {ids::kMultiplier, nullptr, K::List, "", 160, 16, 40, 247},
    {-1, "mapUnitsGroup", K::GroupBox, t::kMapUnitsGroup, 7, 7, 54, 27},
    {ids::kUnits, nullptr, K::List, "", 15, 16, 39, 107},
    {-1, "stageFrame", K::GroupBox, "", 7, 39, 340, 258},
    {ids::kStage, nullptr, K::List, "", 15, 37, 70, 69},
    {ids::kStagePresent, nullptr, K::CheckBox, t::kStagePresent, 23, 54, 40, 8},
    {ids::kTypeLabel, nullptr, K::Label, t::kTypeLabel, 201, 54, 19, 9},
    {ids::kType, nullptr, K::List, "", 223, 52, 65, 82},
    {ids::kLockout, nullptr, K::CheckBox, t::kFirstGearLockout, 23, 72, 98, 8},
    {ids::kInput2WillLabel, nullptr, K::Label, t::kInput2Will, 178, 72, 41, 8},
    {ids::kInput2Will, nullptr, K::List, "", 223, 69, 65, 71},
    {ids::kThisStageLabel, nullptr, K::Label, t::kThisStage, 290, 72, 35, 8},
    {ids::kRpmCutoffLabel, nullptr, K::Label, t::kRpmCutoff, 24, 93, 41, 9, kRight},
    {ids::kRpmCutoff, nullptr, K::NumericEdit, "", 66, 90, 68, 15},
    {ids::kFrequencyLabel, nullptr, K::Label, t::kSolenoidFrequency, 156, 92, 66, 8},
    {ids::kFrequency, nullptr, K::NumericEdit, "", 223, 88, 49, 15},
    {ids::kMapCutoffLabel, nullptr, K::Label, t::kMapCutoff, 24, 110, 41, 9, kRight},
    {ids::kMapCutoff, nullptr, K::NumericEdit, "", 66, 107, 68, 15},
    {ids::kRpmTriggerLabel, nullptr, K::Label, t::kRpmTrigger, 22, 133, 43, 8, kRight},
    {ids::kRpmTrigger, nullptr, K::NumericEdit, "", 66, 130, 68, 15},
    {ids::kMapTriggerLabel, nullptr, K::Label, t::kMapTrigger, 139, 133, 42, 8, kRight},
    {ids::kMapTrigger, nullptr, K::NumericEdit, "", 183, 130, 68, 15},
    {ids::kMapEndLabel, nullptr, K::Label, t::kMapEnd, 148, 150, 33, 8, kRight},
    {ids::kMapEnd, nullptr, K::NumericEdit, "", 183, 147, 68, 15},
    {ids::kStartLabel, nullptr, K::Label, t::kStart, 261, 133, 18, 8, kRight},
    {ids::kStart, nullptr, K::NumericEdit, "", 281, 130, 56, 15},
    {ids::kFinalLabel, nullptr, K::Label, t::kFinal, 261, 151, 18, 8, kRight},
    {ids::kFinal, nullptr, K::NumericEdit, "", 281, 148, 56, 15},
    {ids::kSmoothWhenDragging, nullptr, K::CheckBox, t::kSmoothWhenDragging, 31, 169, 90, 8,
     TextAlign::Left, true},
    {ids::kResetToStraightLine, nullptr, K::Button, t::kResetToStraightLine, 128, 167, 80, 12},
    {ids::kSmoothPoints, nullptr, K::Button, t::kSmoothPoints, 212, 167, 64, 12},
    {ids::kUndo, nullptr, K::Button, t::kUndo, 288, 167, 39, 12, TextAlign::Left, true},
    {ids::kPercentLabel, nullptr, K::Label, t::kPercentAxis, 11, 212, 8, 8},
    {ids::kGraph, nullptr, K::Graph, "", 25, 183, 315, 99},
    {ids::kAxisStart, nullptr, K::Label, t::kAxisStartPlaceholder, 25, 283, 53, 8},
    {ids::kAxisName, nullptr, K::Label, t::kTimeAxis, 144, 283, 55, 8, kCentre},
    {ids::kAxisEnd, nullptr, K::Label, t::kAxisEndPlaceholder, 292, 283, 49, 8, kRight},
    {ids::kDelayLabel, nullptr, K::Label, t::kDelay, 148, 133, 33, 8, kRight},
    {ids::kRampLabel, nullptr, K::Label, t::kRampTime, 141, 150, 40, 8, kRight},
    {ids::kDelay, nullptr, K::NumericEdit, "", 183, 130, 68, 15},
    {ids::kRampTime, nullptr, K::NumericEdit, "", 183, 147, 68, 15},
};

}  // namespace

std::span<const FormControlSpec> FormControls() {
    return kControls;
}

const FormControlSpec* FindFormControl(int id) {
    for (const FormControlSpec& item : kControls) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

std::vector<std::string> ListEntries(int id) {
    switch (id) {
        case ids::kInput2:
            return {t::kActivate12Volts, t::kActivateGround};
        case ids::kUnits:
            return {t::kPsi, t::kBar};
        case ids::kStage:
            return {t::kStage1, t::kStage2};
        case ids::kType:
            return {t::kMapBased, t::kTimeBased};
        case ids::kInput2Will:
            return {t::kBeIgnoredBy, t::kEnable, t::kDisable};
        case ids::kMultiplier: {
            std::vector<std::string> entries;
            for (const RpmMultiplierChoice& choice : RpmMultiplierChoices()) {
                entries.emplace_back(choice.text);
            }
            return entries;
        }
        default:
            return {};
    }
}

}  // namespace zentrik
