#include "editor/curve_undo_stack.h"

#include <algorithm>

namespace zentrik {

void CurveUndoStack::PushBounded(std::deque<UndoStep>& side, const UndoStep& step) {
    side.push_back(step);
    if (side.size() > kCapacity) {
        side.pop_front();
    }
}

void CurveUndoStack::Push(const UndoStep& before) {
    PushBounded(m_undo, before);
    m_redo.clear();
}

std::optional<UndoStep> CurveUndoStack::Undo(const UndoStep& current) {
    if (m_undo.empty()) {
        return std::nullopt;
    }
    UndoStep restored = m_undo.back();
    m_undo.pop_back();
    PushBounded(m_redo, current);
    return restored;
}

std::optional<UndoStep> CurveUndoStack::Redo(const UndoStep& current) {
    if (m_redo.empty()) {
        return std::nullopt;
    }
    UndoStep restored = m_redo.back();
    m_redo.pop_back();
    PushBounded(m_undo, current);
    return restored;
}

void CurveUndoStack::ForgetStageSteps() {
    const auto forOneStage = [](const UndoStep& step) { return step.ForOneStage(); };
    std::erase_if(m_undo, forOneStage);
    std::erase_if(m_redo, forOneStage);
}

}  // namespace zentrik
