#pragma once
// The open ROM and the level loaded from it, with the undo stack and the
// selection. This is the only way to change the loaded level: every edit is
// made inside Apply, which records it as one undoable command (or merges it
// into the previous one). Entries and exits carry identities that last for
// the document's lifetime (they are never saved), so that the selection and
// the commands do not depend on list positions.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "editing/undo_stack.h"
#include "level/level_state.h"
#include "level/rom_file.h"
#include "util/prompter.h"

namespace mw {

using EntryId = uint32_t;
constexpr EntryId kNoEntry = 0;

// The selected entries (objects and sprites) and screen exit. `current` is
// the entry the panels show and single-entry commands act on; when set it is
// also one of `objects`.
struct Selection {
    std::vector<EntryId> objects;
    EntryId current = kNoEntry;
    EntryId currentExit = kNoEntry;
    bool operator==(const Selection&) const = default;
};

// What a change notice reports: a set of these bits.
enum DocumentChange : unsigned {
    kChangedEntries = 1u << 0,     // objects or sprites (their lists or their records)
    kChangedExits = 1u << 1,       // screen exits
    kChangedHeader = 1u << 2,      // the header bytes
    kChangedSelection = 1u << 3,   // the selection, the current entry or the current exit
    kChangedCleanState = 1u << 4,  // changed() flipped
    kChangedLevel = 1u << 5,       // another level is loaded (all of the above with it)
    kChangedRom = 1u << 6,         // the file was written: the level's place and room may differ
    kChangedHistory = 1u << 7,     // an undo or a redo
};
using ChangeSet = unsigned;

// Which consecutive edits merge into one command: the same kind and entry,
// while merging is open (EndMerge closes it). Kind 0 never merges.
struct MergeKey {
    int kind = 0;
    EntryId entry = kNoEntry;
    bool operator==(const MergeKey&) const = default;
};

class LevelDocument {
public:
    // `defs` gives the record lengths behind the byte counters.
    explicit LevelDocument(const DefinitionTables& defs);

    RomFile rom;

    const LevelState& level() const { return level_; }

    // Replaces the level, gives its entries new identities, clears the undo
    // stack and selects the first entry and the first exit; the level
    // counts as unchanged.
    void Load(LevelState level);
    // Saves the level into the ROM (reporting through `prompter`); on
    // success the current state becomes the clean one. True when saved.
    // A level that outgrew its place may move into `freeBlocks`.
    bool Save(Prompter& prompter, const std::vector<FreeBlock>& freeBlocks = {});
    // After a change to the file made elsewhere (a byte poke).
    void RomWritten() { Notify(kChangedRom); }
    // The level differs from the loaded or last saved one: the undo stack
    // is away from its clean index.
    bool changed() const { return !stack_.isClean(); }

    // Identities by list position and back (-1 / kNoEntry when absent).
    EntryId objectId(int index) const;
    EntryId exitId(int index) const;
    int objectIndex(EntryId id) const;
    int exitIndex(EntryId id) const;

    // Every Apply, Undo, Redo, Save, Load and Select tells `handler` what it
    // changed (nothing is said when nothing changed).
    void SetChangeHandler(std::function<void(ChangeSet)> handler) { onChange_ = std::move(handler); }

    const Selection& selection() const { return selection_; }
    // Not an edit: the selection is recorded with the next command.
    void Select(Selection selection);
    // The current entry and exit as list positions, -1 when there is none.
    int currentIndex() const { return objectIndex(selection_.current); }
    int currentExitIndex() const { return exitIndex(selection_.currentExit); }
    // The selected entries' list positions, ascending.
    std::vector<int> selectedIndices() const;
    // `index` becomes the current entry (none when it names no entry); a
    // wider selection that holds it is kept, else it alone is selected.
    Selection WithCurrent(int index) const;
    Selection WithCurrentExit(int index) const;
    // `indices` become the selection; the current entry stays current when it
    // is among them, else `current` (or the last of them) becomes current. An
    // empty list leaves the current entry alone selected.
    Selection WithEntries(const std::vector<int>& indices, int current = -1) const;

    class Command;

    // The changes one command is made of. Each call applies at once, so
    // later calls see the list positions the earlier ones left.
    class Edit {
    public:
        const LevelState& level() const { return doc_.level_; }
        void replaceObject(int index, const LevelObject& entry);
        // Inserts a new entry (new identity) and counts its record's bytes.
        EntryId insertObject(int index, const LevelObject& entry);
        // Removes an entry and its record's bytes.
        void eraseObject(int index);
        // Moves an entry to another position, keeping its identity.
        void moveObject(int from, int to);
        void replaceExit(int index, const ScreenExit& exit);
        EntryId insertExit(int index, const ScreenExit& exit);
        void eraseExit(int index);
        void replaceHeader(const LevelHeader& header);
        // The selection after the command (recorded with it; undo restores
        // the one from before).
        void select(Selection selection) { doc_.selection_ = std::move(selection); }
        bool empty() const;

    private:
        friend class LevelDocument;
        Edit(LevelDocument& doc, Command& command) : doc_(doc), command_(command) {}
        // The steps of either kind of entry (objects and sprites, or exits).
        template <typename Entry>
        std::vector<EntryId>& idsOf();
        template <typename Entry>
        void replaceEntry(int index, const Entry& entry);
        template <typename Entry>
        EntryId insertEntry(int index, const Entry& entry, EntryId id);
        template <typename Entry>
        void eraseEntry(int index);
        LevelDocument& doc_;
        Command& command_;
    };

    // Runs `change` as one command named `text` and records it unless it
    // changed nothing in the level. True when the level changed.
    bool Apply(const std::string& text, MergeKey key, const std::function<void(Edit&)>& change);
    // The next Apply starts a new command even if it would merge.
    void EndMerge() { stack_.closeMerge(); }

    bool canUndo() const { return stack_.canUndo(); }
    bool canRedo() const { return stack_.canRedo(); }
    std::string undoText() const { return stack_.undoText(); }
    std::string redoText() const { return stack_.redoText(); }
    // Take back / do again one command, with the selection it had.
    void Undo();
    void Redo();
    const UndoStack& stack() const { return stack_; }
    void SetUndoLimit(int limit) { stack_.setLimit(limit); }

private:
    const DefinitionTables& defs_;
    LevelState level_;
    std::vector<EntryId> objectIds_;  // parallel to level_.objectList
    std::vector<EntryId> exitIds_;    // parallel to level_.exitList
    Selection selection_;
    EntryId nextId_ = 1;
    UndoStack stack_;
    std::function<void(ChangeSet)> onChange_;
    void Notify(ChangeSet what) {
        if (what != 0 && onChange_) onChange_(what);
    }
    // Runs a step of the history and reports what it changed.
    void HistoryStep(bool undo);
};

}  // namespace mw
