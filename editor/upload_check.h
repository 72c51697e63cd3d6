#pragma once

#include <string>
#include <vector>

#include "config/config_difference.h"
#include "config/config_document.h"
#include "config/config_persistence.h"

namespace zentrik {

// One value of a configuration that the form would not let the user give it, and so the
// controller must not be given either.
struct UploadProblem {
    SettingRef setting;
    // The form's control that shows the setting (for Stage settings, on setting.stage's page):
    // a field, a list, a check box, Start and Final for the curve's ends and the graph for its
    // other points; -1 for the settings no control shows.
    int controlId = -1;
    // In the form's words: "Stage 1 Percent 3 is 250%; it must be 0 to 100%."
    std::string text;
};

// The form's control that shows a setting, as UploadProblem::controlId names it.
int SettingControl(const SettingRef& ref);

// What a document was last read from a file as: the document as it was read and the keys
// whose text its fields could not hold (UnfitValue). Such a key's problem stands as long as
// its setting keeps the value it was read with.
struct LoadedFile {
    ConfigDocument asRead{};
    std::vector<UnfitValue> unfit;
};

// The check before every upload. Every setting within the range of its control (the numeric
// fields' ranges, a pressure's in the document's unit or, converted, in the other one; curve
// points 0 to 100; list values their lists have entries for) and in the order the value rules
// keep (a trigger below its cut-off, a MAP-based stage's MAP End between MAP Trigger and MAP
// Cutoff), and, with `file`, every key of it that its field could hold. Problems come in the
// form's order (global settings, then each stage's, curve points last); none for a
// configuration the form could have made.
std::vector<UploadProblem> CheckConfiguration(const ConfigDocument& doc,
                                              const LoadedFile* file = nullptr);

// Corrects every problem as typing the value into its control would: the value (for a key that
// did not fit, the file's number) brought into the field's range, then the value rules; a list
// value without an entry, and a key without a number, take the setting's default or what the
// record holds. `file`'s unfit keys are done with afterwards. CheckConfiguration then finds
// nothing.
void CorrectConfiguration(ConfigDocument& doc, LoadedFile* file = nullptr);

// Whether one of the problems is about the control `controlId` on the stage `stage` (any stage
// for the global controls), for a form that marks the controls at fault.
bool HasProblem(const std::vector<UploadProblem>& problems, int controlId, int stage);

}  // namespace zentrik
