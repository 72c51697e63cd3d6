#include "editor/curve_undo_stack.h"

#include <gtest/gtest.h>

namespace zentrik {
namespace {

UndoStep Numbered(int n) {
    UndoStep step;
    step.curve[0] = static_cast<std::uint8_t>(n);
    return step;
}

TEST(CurveUndoStack, KeepsTheNewestTwentyAndUndoesNewestFirst) {
    CurveUndoStack stack;
    EXPECT_FALSE(stack.Undo(Numbered(99)).has_value());
    for (int n = 0; n < 25; ++n) {
        stack.Push(Numbered(n));
    }
    EXPECT_EQ(stack.UndoCount(), 20u);
    for (int n = 24; n >= 5; --n) {
        const auto restored = stack.Undo(Numbered(100));
        ASSERT_TRUE(restored.has_value());
        EXPECT_EQ(restored->curve[0], n);
    }
    EXPECT_FALSE(stack.CanUndo());
    EXPECT_FALSE(stack.Undo(Numbered(100)).has_value());
}

TEST(CurveUndoStack, RedoReappliesWhatUndoReplacedUntilANewChange) {
    CurveUndoStack stack;
    stack.Push(Numbered(1));  // curve was 1, became 2
    stack.Push(Numbered(2));  // curve was 2, became 3
    EXPECT_EQ(stack.Undo(Numbered(3))->curve[0], 2);
    EXPECT_EQ(stack.Undo(Numbered(2))->curve[0], 1);
    EXPECT_TRUE(stack.CanRedo());
    EXPECT_EQ(stack.Redo(Numbered(1))->curve[0], 2);
    EXPECT_EQ(stack.Redo(Numbered(2))->curve[0], 3);
    EXPECT_FALSE(stack.CanRedo());
    // The redone steps can be undone again.
    EXPECT_EQ(stack.Undo(Numbered(3))->curve[0], 2);
    // A new change forgets what could be redone.
    stack.Push(Numbered(7));
    EXPECT_FALSE(stack.CanRedo());
    EXPECT_FALSE(stack.Redo(Numbered(8)).has_value());
}

}  // namespace
}  // namespace zentrik
