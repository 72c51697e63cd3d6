#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "editor/upload_check.h"
#include "shell/quarnel_doc.h"
#include "shell/shell_skin.h"

namespace zentrik {

// A box the frame puts up, and the user's answer; nothing when it was ended without one.
using BoxAsker = std::function<std::optional<MessageAnswer>(const BoxRequest&)>;

// The box "Check Before Upload" for these problems: each in the list, with "Correct and
// Upload" and "Cancel".
BoxRequest UploadCheckBox(const std::vector<UploadProblem>& problems);

// The check before an upload of the document. With nothing to find it says yes at once;
// otherwise it asks with UploadCheckBox: "Correct and Upload" corrects the document as the
// form would (the views refreshed) and says yes, anything else leaves it and says no.
bool ConfirmUpload(CQuarnelDoc& doc, const BoxAsker& ask);

}  // namespace zentrik
