#include "shell/setup_sheet_command.h"

#include "base/text_format.h"
#include "config/config_file.h"
#include "editor/setup_sheet.h"
#include "shell/frame_shell.h"
#include "shell/shell_texts.h"

namespace zentrik {

namespace texts = shell_texts;

void ExportSetupSheet(FrameShell& shell) {
    shell.Skin().CommitPendingInput();
    const std::string today = TodayText();
    const std::optional<std::string> path = shell.ChooseFileToSave(
        texts::kExportSheetTitle, texts::kSheetFilterName, texts::kSheetPattern,
        FormatText(texts::kSheetFileNameFormat, today.c_str()));
    if (!path) {
        return;
    }
    const SheetContext context{today, shell.ConfigFilePath(), shell.Link().LastControllerInfo()};
    if (!WriteSetupSheet(*path, shell.Doc().Document(), context)) {
        shell.ShowMessageBox(FormatText(texts::kSheetNotSavedFormat, path->c_str()),
                             texts::kExportSheetTitle, MessageIcon::Exclamation,
                             MessageButtons::Ok);
        return;
    }
    shell.SetStatusText(FormatText(texts::kStatusSheetSavedFormat, path->c_str()));
    shell.Skin().OpenInBrowser(*path);
}

}  // namespace zentrik
