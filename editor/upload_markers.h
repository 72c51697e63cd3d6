#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "config/config_document.h"
#include "editor/upload_check.h"

namespace zentrik {

// How a control stands against what the controller holds: as it is, different (its value not
// uploaded), or out of range (the check before an upload refuses it, held record or not).
enum class MarkerKind : unsigned char { None, Differs, OutOfRange };

struct ControlMarker {
    MarkerKind kind = MarkerKind::None;
    // For the control's tip, one line a setting: the controller's value ("RPM Cutoff on the
    // controller: 6500") and the check's problem; empty for None.
    std::string tip;

    bool operator==(const ControlMarker&) const = default;
};

// Every mark the form shows, for both stages.
struct UploadMarkers {
    // Whether the controller's configuration is known at all.
    bool known = false;
    // Settings that differ from the controller's, those no control shows included.
    int notUploaded = 0;
    // The marked controls of each stage's page, by control id (the global ones on both).
    std::array<std::map<int, ControlMarker>, 2> controls;
    // Each stage's strongest mark, for the stage list.
    std::array<MarkerKind, 2> stages{};
    // "All settings uploaded", "3 settings not uploaded", "Controller's settings unknown".
    std::string paneText;

    // The mark of control `id` on stage `stage`'s page.
    const ControlMarker& Marker(int id, int stage) const;

    bool operator==(const UploadMarkers&) const = default;
};

// The marks of the form's document `here` against `held`, what the controller was last seen
// to hold (nullptr: not known), and the problems the check before an upload found in `here`.
// Values compare as the controller would hold them (DifferingSettings); the tips show them as
// the comparison with the controller does, in `here`'s pressure unit.
UploadMarkers ComputeUploadMarkers(const ConfigDocument& here, const ConfigDocument* held,
                                   const std::vector<UploadProblem>& problems);

// Where a window shows a control's mark: the label that names it, by id or (the fixed labels
// and the group box of the pressure unit) by name; for a check box, which names itself, the
// control's own id.
struct MarkerPlace {
    int id = -1;
    const char* name = nullptr;
};
MarkerPlace MarkerPlaceOf(int controlId);

// The controls that can carry a mark, in the form's order.
const std::vector<int>& MarkableControls();

}  // namespace zentrik
