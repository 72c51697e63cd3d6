#pragma once

#include <iosfwd>
#include <string_view>

#include "link/link_host.h"

namespace zentrik {

// Answers the link's message boxes on a console. --yes answers every Yes/No question with
// Yes; otherwise a terminal user is asked, and without a terminal the answer is No. An
// Abort/Retry/Ignore question is put to a terminal user, else answered Abort. The question
// and the answer given are shown on `prompt`.
class ConsoleQuestions {
  public:
    ConsoleQuestions(bool yesToAll, bool interactive, std::istream& in, std::ostream& prompt);

    // Only Yes/No and Abort/Retry/Ignore boxes are questions; an OK box returns Ok.
    MessageAnswer Ask(std::string_view text, std::string_view caption, MessageButtons buttons);

  private:
    // Reads answers until one of the accepted letters comes; end of input gives `fallback`.
    MessageAnswer ReadAnswer(MessageButtons buttons, MessageAnswer fallback);

    bool m_yesToAll;
    bool m_interactive;
    std::istream& m_in;
    std::ostream& m_prompt;
};

}  // namespace zentrik
