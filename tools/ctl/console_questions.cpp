#include "ctl/console_questions.h"

#include <cctype>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "ctl/ctl_texts.h"

namespace zentrik {

namespace texts = ctl_texts;

namespace {

// "Yes", "y", " n " -> the answer the first letter names, if the buttons offer it.
std::optional<MessageAnswer> AnswerFromLine(const std::string& line, MessageButtons buttons) {
    std::size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos) {
        return std::nullopt;
    }
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(line[start])));
    if (buttons == MessageButtons::YesNo) {
        if (letter == 'y') {
            return MessageAnswer::Yes;
        }
        if (letter == 'n') {
            return MessageAnswer::No;
        }
        return std::nullopt;
    }
    switch (letter) {
        case 'a':
            return MessageAnswer::Abort;
        case 'r':
            return MessageAnswer::Retry;
        case 'i':
            return MessageAnswer::Ignore;
        default:
            return std::nullopt;
    }
}

}  // namespace

ConsoleQuestions::ConsoleQuestions(bool yesToAll, bool interactive, std::istream& in,
                                   std::ostream& prompt)
    : m_yesToAll(yesToAll), m_interactive(interactive), m_in(in), m_prompt(prompt) {}

MessageAnswer ConsoleQuestions::Ask(std::string_view text, std::string_view caption,
                                    MessageButtons buttons) {
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    // Some questions end in a line break of their own.
    while (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    m_prompt << caption << ": " << text << '\n';
    if (buttons == MessageButtons::YesNo) {
        if (m_yesToAll) {
            m_prompt << texts::kAnsweredYes << std::endl;
            return MessageAnswer::Yes;
        }
        if (!m_interactive) {
            m_prompt << texts::kAnsweredNo << std::endl;
            return MessageAnswer::No;
        }
        return ReadAnswer(buttons, MessageAnswer::No);
    }
    if (!m_interactive) {
        m_prompt << texts::kAnsweredAbort << std::endl;
        return MessageAnswer::Abort;
    }
    return ReadAnswer(buttons, MessageAnswer::Abort);
}

MessageAnswer ConsoleQuestions::ReadAnswer(MessageButtons buttons, MessageAnswer fallback) {
    const char* prompt =
        buttons == MessageButtons::YesNo ? texts::kYesNoPrompt : texts::kAbortRetryIgnorePrompt;
    std::string line;
    for (;;) {
        m_prompt << prompt << std::flush;
        if (!std::getline(m_in, line)) {
            m_prompt << '\n';
            return fallback;
        }
        if (const auto answer = AnswerFromLine(line, buttons)) {
            return *answer;
        }
    }
}

}  // namespace zentrik
