#include "config/config_persistence.h"

namespace zentrik {

void LoadDocument(const AppSettings& settings, ConfigDocument& doc) {
    settings.LoadConfig(doc.record);
    SyncDisplayPressures(doc);
}

bool SaveDocument(AppSettings& settings, ConfigDocument& doc) {
    SyncRecordPressures(doc);
    return settings.SaveConfig(doc.record);
}

}  // namespace zentrik
