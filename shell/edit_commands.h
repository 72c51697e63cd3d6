#pragma once

#include <functional>
#include <optional>
#include <string>

#include "editor/curve_tools.h"
#include "shell/shell_skin.h"

namespace zentrik {

class StageForm;

// The Edit menu's behaviour: the form's Undo and Redo (the same commands as its buttons and
// keys) and the curve commands, on the form the window attached. Scale and Add ask for their
// number, again with a note while the answer is not a number; each remembers the last number
// taken for the next time.
class EditCommands {
  public:
    // Runs a number prompt as the frame's modal call; nothing when cancelled or closing.
    using AskNumber = std::function<std::optional<std::string>(const NumberPrompt&)>;

    explicit EditCommands(AskNumber ask);

    // The form the commands act on; nullptr before the window has one.
    void SetForm(StageForm* form) { m_form = form; }
    static bool Handles(int id);
    bool Enabled(int id) const;
    // Runs an enabled command; the status text it leaves, when it has one.
    std::optional<std::string> Run(int id);

  private:
    std::optional<double> Ask(const char* caption, const char* label, std::string& last,
                              AmountRange range);

    AskNumber m_ask;
    StageForm* m_form = nullptr;
    std::string m_lastScale;
    std::string m_lastAdd;
};

}  // namespace zentrik
