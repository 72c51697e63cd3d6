#include "shell/configuration_opening.h"

#include "config/config_file.h"
#include "editor/stage_form.h"
#include "shell/shell_texts.h"

namespace zentrik {

namespace texts = shell_texts;

bool OpenConfigurationPath(const std::string& path, CQuarnelDoc& doc, const BoxAsker& ask) {
    const ConfigFileRead read = ReadConfigFile(path);
    BoxRequest box;
    box.text = ConfigFileProblemText(read);
    box.caption = texts::kOpenConfigurationTitle;
    box.icon = MessageIcon::Exclamation;
    switch (read.status) {
        case ConfigFileStatus::Ok:
            break;
        case ConfigFileStatus::Incomplete:
            box.text += '\n';
            box.text += texts::kOpenAnywayQuestion;
            box.acceptButton = texts::kOpenAnywayButton;
            box.cancelButton = texts::kCancelButton;
            if (ask(box) != MessageAnswer::Ok) {
                return false;
            }
            break;
        default:
            ask(box);
            return false;
    }
    doc.Replace(read.document, read.notes);
    doc.UpdateAllViews(StageForm::kHintReplaced);
    return true;
}

}  // namespace zentrik
