#include "shell/upload_confirmation.h"

#include "editor/check_texts.h"
#include "editor/stage_form.h"

namespace zentrik {

namespace texts = check_texts;

BoxRequest UploadCheckBox(const std::vector<UploadProblem>& problems) {
    BoxRequest box;
    box.text = texts::kIntro;
    box.caption = texts::kCaption;
    box.icon = MessageIcon::Exclamation;
    box.acceptButton = texts::kCorrectAndUpload;
    box.cancelButton = texts::kCancel;
    for (const UploadProblem& problem : problems) {
        box.items.push_back(problem.text);
    }
    return box;
}

bool ConfirmUpload(CQuarnelDoc& doc, const BoxAsker& ask) {
    const std::vector<UploadProblem> problems = doc.Check();
    if (problems.empty()) {
        return true;
    }
    if (ask(UploadCheckBox(problems)) != MessageAnswer::Ok) {
        return false;
    }
    CorrectConfiguration(doc.Document(), &doc.Loaded());
    doc.UpdateAllViews(StageForm::kHintChanged);
    return true;
}

}  // namespace zentrik
