#include "shell/notice_countdown.h"

#include "base/text_format.h"
#include "shell/shell_texts.h"

namespace zentrik {

namespace texts = shell_texts;

void NoticeCountdown::Start(int kind) {
    m_kind = kind;
    if (kind == static_cast<int>(NoticeKind::Downloaded)) {
        m_title = texts::kDownloadedTitle;
        m_message = texts::kDownloadedText;
    } else if (kind == static_cast<int>(NoticeKind::Uploaded)) {
        m_title = texts::kUploadedTitle;
        m_message = texts::kUploadedText;
    }
    m_secondsLeft = texts::kNoticeSeconds;
}

bool NoticeCountdown::Tick() {
    --m_secondsLeft;
    return m_secondsLeft <= 0;
}

std::string NoticeCountdown::ButtonText() const {
    return FormatNumbers(texts::kNoticeButtonFormat, {static_cast<double>(m_secondsLeft)});
}

}  // namespace zentrik
