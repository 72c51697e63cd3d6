#include "editor/curve_undo_stack.h"

namespace zentrik {

void CurveUndoStack::PushBounded(std::deque<Curve>& side, const Curve& curve) {
    side.push_back(curve);
    if (side.size() > kCapacity) {
        side.pop_front();
    }
}

void CurveUndoStack::Push(const Curve& before) {
    PushBounded(m_undo, before);
    m_redo.clear();
}

std::optional<Curve> CurveUndoStack::Undo(const Curve& current) {
    if (m_undo.empty()) {
        return std::nullopt;
    }
    const Curve restored = m_undo.back();
    m_undo.pop_back();
    PushBounded(m_redo, current);
    return restored;
}

std::optional<Curve> CurveUndoStack::Redo(const Curve& current) {
    if (m_redo.empty()) {
        return std::nullopt;
    }
    const Curve restored = m_redo.back();
    m_redo.pop_back();
    PushBounded(m_undo, current);
    return restored;
}

}  // namespace zentrik
