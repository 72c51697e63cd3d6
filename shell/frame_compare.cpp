// What the frame does with the user's choice in the comparison with the controller.
#include "base/text_format.h"
#include "editor/selective_merge.h"
#include "link/link_texts.h"
#include "shell/frame_shell.h"
#include "shell/shell_texts.h"

namespace zentrik {

namespace texts = shell_texts;

void FrameShell::ActOnComparison(CompareChoice choice, const ConfigDocument& controller,
                                 const std::vector<SettingRef>& ticked, std::size_t rows) {
    if (choice == CompareChoice::Close) {
        return;
    }
    if (ticked.empty()) {
        SetStatusText(texts::kStatusNoneTicked);
        return;
    }
    const bool every = ticked.size() == rows;
    if (choice == CompareChoice::UseControllers) {
        if (every) {
            // As after a download: the record replaced, the form refreshed.
            m_doc.Replace(controller, {});
            m_doc.UpdateAllViews(1);
            SetStatusText(link_texts::kStatusDownloaded);
            return;
        }
        // What the document was read from stays: a setting kept from the file keeps its
        // problem in the check before an upload.
        TakeSettings(m_doc.Document(), controller, ticked);
        m_doc.UpdateAllViews(1);
        SetStatusText(FormatText(texts::kStatusSomeTakenFormat, static_cast<int>(ticked.size())));
        return;
    }
    if (every) {
        if (ConfirmUpload()) {
            m_link.QueueRequest(RequestType::UploadConfig);
        }
        return;
    }
    // The controller's configuration with the ticked settings of this one. The form takes it,
    // so that it shows what the controller will hold and the check and its correction apply
    // to it; a cancelled check gives the form back what it held.
    const ConfigDocument before = m_doc.Document();
    ConfigDocument upload = controller;
    TakeSettings(upload, before, ticked);
    m_doc.Document() = upload;
    m_doc.UpdateAllViews(1);
    if (!ConfirmUpload()) {
        m_doc.Document() = before;
        m_doc.UpdateAllViews(1);
        return;
    }
    m_link.QueueRequest(RequestType::UploadConfig);
}

}  // namespace zentrik
