#pragma once
// A linear undo stack. Commands are pushed after they have been applied;
// undo and redo step through them. The clean index is the place where the
// data matches what is on disk (loaded or last saved); a command pushed on
// top of the previous one may be merged into it while merging is open.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace mw {

class UndoCommand {
public:
    virtual ~UndoCommand() = default;
    virtual void undo() = 0;
    virtual void redo() = 0;
    // What the command did, for "Undo <text>" and "Redo <text>".
    virtual std::string text() const = 0;
    // Absorbs `next`, which has been applied right after this command, so
    // that one undo takes back both. False when the two do not belong together.
    virtual bool mergeWith(const UndoCommand& /*next*/) { return false; }
    // Approximate heap and object size, for measuring the stack.
    virtual size_t memoryBytes() const { return sizeof(*this); }
};

class UndoStack {
public:
    static constexpr int kDefaultLimit = 1000;

    // Takes a command that has already been applied. Drops every command
    // above the current index first; merges into the top command when
    // merging is open and the top is not the clean state. Past the limit the
    // oldest command is forgotten.
    void push(std::unique_ptr<UndoCommand> command);
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < count(); }
    void undo();
    void redo();
    std::string undoText() const;  // empty when there is nothing to undo
    std::string redoText() const;

    int count() const { return static_cast<int>(commands_.size()); }
    // The command at `at` (0 .. count() - 1).
    const UndoCommand& command(int at) const { return *commands_.at(static_cast<size_t>(at)); }
    int index() const { return index_; }
    // -1 when the clean state can no longer be reached (dropped by the limit
    // or by a push after undoing past it).
    int cleanIndex() const { return clean_; }
    bool isClean() const { return index_ == clean_; }
    void setClean() { clean_ = index_; }
    // Forgets every command; the current state becomes the clean one.
    void clear();

    // Forgets the command just below the index when nothing is above it
    // (a command whose merged steps came to nothing).
    void dropTop();

    // The next push starts a new command instead of merging into the top.
    void closeMerge() { mergeOpen_ = false; }

    int limit() const { return limit_; }
    // At least 1; drops the oldest commands that no longer fit.
    void setLimit(int limit);

    size_t memoryBytes() const;

private:
    std::vector<std::unique_ptr<UndoCommand>> commands_;
    int index_ = 0;
    int clean_ = 0;
    int limit_ = kDefaultLimit;
    bool mergeOpen_ = false;
    void dropOldest(int n);
};

}  // namespace mw
