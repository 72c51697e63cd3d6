#pragma once

#include <string>

#include "shell/quarnel_doc.h"
#include "shell/upload_confirmation.h"

namespace zentrik {

// Opens the configuration file at `path` in place of the document. A file that cannot be used
// is refused with a box that says why; one that lacks settings is opened only when the user
// chooses "Open Anyway" (the missing settings at their defaults). True when the document was
// replaced: its views are refilled and their curve history is forgotten, since nothing of the
// document before belongs to the new one.
bool OpenConfigurationPath(const std::string& path, CQuarnelDoc& doc, const BoxAsker& ask);

}  // namespace zentrik
