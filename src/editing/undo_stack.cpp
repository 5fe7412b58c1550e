#include "editing/undo_stack.h"

#include <algorithm>

namespace mw {

void UndoStack::push(std::unique_ptr<UndoCommand> command) {
    if (!command) return;
    if (index_ < count()) {
        commands_.erase(commands_.begin() + index_, commands_.end());
        if (clean_ > index_) clean_ = -1;  // the saved state was in the dropped redo part
    }
    if (mergeOpen_ && index_ > 0 && index_ != clean_ && commands_.back()->mergeWith(*command)) return;
    commands_.push_back(std::move(command));
    ++index_;
    mergeOpen_ = true;
    if (count() > limit_) dropOldest(count() - limit_);
}

void UndoStack::undo() {
    if (!canUndo()) return;
    mergeOpen_ = false;
    commands_[static_cast<size_t>(--index_)]->undo();
}

void UndoStack::redo() {
    if (!canRedo()) return;
    mergeOpen_ = false;
    commands_[static_cast<size_t>(index_++)]->redo();
}

std::string UndoStack::undoText() const {
    return canUndo() ? commands_[static_cast<size_t>(index_ - 1)]->text() : std::string();
}

std::string UndoStack::redoText() const {
    return canRedo() ? commands_[static_cast<size_t>(index_)]->text() : std::string();
}

void UndoStack::dropTop() {
    if (index_ == 0 || index_ != count()) return;
    commands_.pop_back();
    --index_;
    if (clean_ > index_) clean_ = -1;
    mergeOpen_ = false;
}

void UndoStack::clear() {
    commands_.clear();
    index_ = 0;
    clean_ = 0;
    mergeOpen_ = false;
}

void UndoStack::setLimit(int limit) {
    limit_ = std::max(limit, 1);
    if (count() > limit_) dropOldest(count() - limit_);
}

void UndoStack::dropOldest(int n) {
    // Only commands below the index can be dropped: the limit counts the
    // whole stack, and a redo part is never longer than what was pushed.
    n = std::min(n, index_);
    commands_.erase(commands_.begin(), commands_.begin() + n);
    index_ -= n;
    clean_ = clean_ >= n ? clean_ - n : -1;
}

size_t UndoStack::memoryBytes() const {
    size_t total = sizeof(*this) + commands_.capacity() * sizeof(commands_[0]);
    for (const auto& c : commands_) total += c->memoryBytes();
    return total;
}

}  // namespace mw
