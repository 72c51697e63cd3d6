#include "editor/upload_markers.h"

#include <algorithm>

#include "base/text_format.h"
#include "config/config_difference.h"
#include "editor/config_compare.h"
#include "editor/control_ids.h"
#include "editor/marker_texts.h"
#include "editor/setting_text.h"

namespace zentrik {

namespace {

namespace ids = control_ids;
namespace texts = marker_texts;

// Adds `kind` and a line of tip to the mark of `id` on the pages `ref` shows on.
void Mark(UploadMarkers& markers, int id, int settingStage, MarkerKind kind,
          const std::string& line) {
    for (int stage = 0; stage < 2; ++stage) {
        if (settingStage >= 0 && settingStage != stage) {
            continue;
        }
        ControlMarker& marker = markers.controls[static_cast<std::size_t>(stage)][id];
        marker.kind = std::max(marker.kind, kind);
        marker.tip += marker.tip.empty() ? line : "\n" + line;
    }
    if (settingStage >= 0) {
        MarkerKind& page = markers.stages[static_cast<std::size_t>(settingStage)];
        page = std::max(page, kind);
    }
}

std::string PaneText(const UploadMarkers& markers) {
    if (!markers.known) {
        return texts::kUnknown;
    }
    switch (markers.notUploaded) {
        case 0:
            return texts::kAllUploaded;
        case 1:
            return texts::kOneNotUploaded;
        default:
            return FormatText(texts::kSomeNotUploadedFormat, markers.notUploaded);
    }
}

}  // namespace

const ControlMarker& UploadMarkers::Marker(int id, int stage) const {
    static const ControlMarker kNone;
    const auto& page = controls[static_cast<std::size_t>(std::clamp(stage, 0, 1))];
    const auto it = page.find(id);
    return it == page.end() ? kNone : it->second;
}

UploadMarkers ComputeUploadMarkers(const ConfigDocument& here, const ConfigDocument* held,
                                   const std::vector<UploadProblem>& problems) {
    UploadMarkers markers;
    // The check's problem first on a control that has both.
    for (const UploadProblem& problem : problems) {
        if (problem.controlId >= 0) {
            Mark(markers, problem.controlId, problem.setting.stage, MarkerKind::OutOfRange,
                 problem.text);
        }
    }
    if (held != nullptr) {
        markers.known = true;
        const std::vector<SettingRef> refs = DifferingSettings(here, *held);
        const std::vector<ConfigDifference> values = CompareConfigs(here, *held);
        markers.notUploaded = static_cast<int>(refs.size());
        for (std::size_t i = 0; i < refs.size() && i < values.size(); ++i) {
            const int id = SettingControl(refs[i]);
            if (id >= 0) {
                Mark(markers, id, refs[i].stage, MarkerKind::Differs,
                     FormatText(texts::kControllerValueFormat, SettingCaption(refs[i]).c_str(),
                                values[i].controller.c_str()));
            }
        }
    }
    markers.paneText = PaneText(markers);
    return markers;
}

MarkerPlace MarkerPlaceOf(int controlId) {
    switch (controlId) {
        case ids::kUnits:
            return {-1, "mapUnitsGroup"};
        case ids::kMultiplier:
            return {-1, "multiplierLabel"};
        case ids::kInput2:
            return {-1, "input2Label"};
        case ids::kRpmPresent:
        case ids::kStagePresent:
        case ids::kLockout:
            return {controlId, nullptr};
        case ids::kType:
            return {ids::kTypeLabel, nullptr};
        case ids::kInput2Will:
            return {ids::kInput2WillLabel, nullptr};
        case ids::kRpmCutoff:
            return {ids::kRpmCutoffLabel, nullptr};
        case ids::kFrequency:
            return {ids::kFrequencyLabel, nullptr};
        case ids::kMapCutoff:
            return {ids::kMapCutoffLabel, nullptr};
        case ids::kRpmTrigger:
            return {ids::kRpmTriggerLabel, nullptr};
        case ids::kMapTrigger:
            return {ids::kMapTriggerLabel, nullptr};
        case ids::kMapEnd:
            return {ids::kMapEndLabel, nullptr};
        case ids::kDelay:
            return {ids::kDelayLabel, nullptr};
        case ids::kRampTime:
            return {ids::kRampLabel, nullptr};
        case ids::kStart:
            return {ids::kStartLabel, nullptr};
        case ids::kFinal:
            return {ids::kFinalLabel, nullptr};
        case ids::kGraph:
            return {ids::kPercentLabel, nullptr};
        default:
            return {};
    }
}

const std::vector<int>& MarkableControls() {
    static const std::vector<int> kControls{
        ids::kUnits,     ids::kRpmPresent, ids::kMultiplier, ids::kInput2,    ids::kStagePresent,
        ids::kType,      ids::kLockout,    ids::kInput2Will, ids::kRpmCutoff, ids::kFrequency,
        ids::kMapCutoff, ids::kRpmTrigger, ids::kMapTrigger, ids::kDelay,     ids::kStart,
        ids::kMapEnd,    ids::kRampTime,   ids::kFinal,      ids::kGraph};
    return kControls;
}

}  // namespace zentrik
