#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "editor/curve_math.h"

namespace zentrik {

// Snapshots of a curve for Undo, and the curves an Undo replaced for Redo. Snapshots carry the
// points only: the form keeps one history for both stages. Each side keeps its newest 20.
class CurveUndoStack {
  public:
    static constexpr std::size_t kCapacity = 20;

    // A new step of history: the curve as it was before a change. Clears the redo side.
    void Push(const Curve& before);

    // Takes the newest snapshot; `current` (the curve it replaces) becomes redoable.
    std::optional<Curve> Undo(const Curve& current);
    // Takes the curve the last Undo replaced; `current` goes back on the undo side.
    std::optional<Curve> Redo(const Curve& current);

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    std::size_t UndoCount() const { return m_undo.size(); }
    std::size_t RedoCount() const { return m_redo.size(); }

  private:
    static void PushBounded(std::deque<Curve>& side, const Curve& curve);

    std::deque<Curve> m_undo;  // newest at the back
    std::deque<Curve> m_redo;
};

}  // namespace zentrik
