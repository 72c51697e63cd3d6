#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <optional>

#include "config/controller_config.h"
#include "editor/curve_math.h"

namespace zentrik {

// A stage's settings as the history keeps them: its part of the record and its three
// pressures, in the unit they were entered in.
struct StageSettings {
    StageConfig record{};
    std::array<double, 3> pressures{};  // MAP Trigger, MAP End, MAP Cutoff
    bool inBar = false;
};

// One step of history: what a change replaced. A curve step made on the form goes back into
// the stage on display, whichever stage it came from; a step made for one stage (a copy to
// the other stage) goes back into that stage, its curve or all its settings.
struct UndoStep {
    static constexpr int kShownStage = -1;

    int stage = kShownStage;
    Curve curve{};
    std::optional<StageSettings> settings;  // all the stage's settings, not only its curve

    bool ForOneStage() const { return stage != kShownStage; }
};

// The form's history of changes for Undo, and of what an Undo replaced for Redo. The form keeps
// one history for both stages. Each side keeps its newest 20 steps.
class CurveUndoStack {
  public:
    static constexpr std::size_t kCapacity = 20;

    // A new step: what a change is about to replace. Clears the redo side.
    void Push(const UndoStep& before);

    // The step an Undo (a Redo) would take; nullptr when there is none.
    const UndoStep* NextUndo() const { return m_undo.empty() ? nullptr : &m_undo.back(); }
    const UndoStep* NextRedo() const { return m_redo.empty() ? nullptr : &m_redo.back(); }

    // Takes the newest step; `current`, what it is about to replace (the same stage and kind
    // of step), becomes redoable.
    std::optional<UndoStep> Undo(const UndoStep& current);
    // Takes what the last Undo replaced; `current` goes back on the undo side.
    std::optional<UndoStep> Redo(const UndoStep& current);

    // Forgets the steps made for one stage: once the document has been replaced (a download,
    // a file opened) they would write settings of the old document over the new one.
    void ForgetStageSteps();

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    std::size_t UndoCount() const { return m_undo.size(); }
    std::size_t RedoCount() const { return m_redo.size(); }

  private:
    static void PushBounded(std::deque<UndoStep>& side, const UndoStep& step);

    std::deque<UndoStep> m_undo;  // newest at the back
    std::deque<UndoStep> m_redo;
};

}  // namespace zentrik
