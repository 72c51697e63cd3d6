#include "shell/upgrade_progress.h"

#include "base/text_format.h"
#include "shell/shell_texts.h"

namespace zentrik {

namespace texts = shell_texts;

void UpgradeProgress::Begin(int total) {
    m_total = total;
    m_barValue = 0;
    m_step = 0;
    m_running = true;
    m_finished = false;
    m_text = texts::kProgressBeginning;
}

void UpgradeProgress::ShowStep(int step) {
    m_step = step;
    if (step == -1) {
        m_text = texts::kProgressChecking;
        return;
    }
    m_barValue = step;
    m_text = FormatNumbers(texts::kProgressSendingFormat,
                           {static_cast<double>(step), static_cast<double>(m_total)});
}

void UpgradeProgress::FinishWithText(const std::string& text) {
    m_finished = true;
    m_text = text;
}

void UpgradeProgress::FinishWithSuccess() {
    FinishWithText(texts::kProgressSuccess);
}

}  // namespace zentrik
