#pragma once

#include "config/app_settings.h"
#include "config/config_document.h"

namespace zentrik {

// Start of a run: the "Zentrik Config" section into the record, then displayPressures from the
// record's pressure fields (field / 256, no unit conversion).
void LoadDocument(const AppSettings& settings, ConfigDocument& doc);

// End of a run: the record's pressure fields from displayPressures (trunc(value x 256)), then
// the record into "Zentrik Config". The document's record is updated as part of the save.
// Returns false when the file could not be written.
bool SaveDocument(AppSettings& settings, ConfigDocument& doc);

}  // namespace zentrik
