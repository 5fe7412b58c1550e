#include "editing/level_document.h"

#include "editing/rom_writes.h"

#include "level/level_save.h"

#include <algorithm>
#include <type_traits>
#include <unordered_map>

#include "editing/create_remove.h"
#include "level/level_codec.h"

namespace mw {

namespace {

// One change to the level, with what it replaced, so that it can be taken
// back. Positions are those at the time of the change: a command's steps
// are applied in order and reverted in reverse order.
struct Step {
    enum class Op : uint8_t { Object, InsertObject, EraseObject, Exit, InsertExit, EraseExit, Header };
    Op op = Op::Object;
    int index = 0;
    EntryId id = kNoEntry;
    LevelObject objectBefore, objectAfter;
    ScreenExit exitBefore, exitAfter;
    LevelHeader headerBefore{}, headerAfter{};
};

struct ByteCounters {
    int objectBytesUsed = 0;
    int spriteBytesUsed = 0;
};

// `bit` when `on` holds, else none.
ChangeSet BitIf(bool on, DocumentChange bit) { return on ? ChangeSet{bit} : ChangeSet{0}; }

ByteCounters CountersOf(const LevelState& level) { return {level.objectBytesUsed, level.spriteBytesUsed}; }

}  // namespace

class LevelDocument::Command : public UndoCommand {
public:
    Command(LevelDocument& doc, std::string text, MergeKey key)
        : doc_(doc), text_(std::move(text)), key_(key), selectionBefore_(doc.selection_),
          countersBefore_(CountersOf(doc.level_)) {}

    // Applies a new step to the level and records it.
    void take(const Step& step) {
        apply(step);
        add(step);
    }

    // Records a step that has just been applied.
    void add(const Step& step) {
        // Replacements of an entry since the last insertion or removal of one
        // are kept as one step (a group drag replaces many entries on every
        // move); steps of other entries, exits and the header in between
        // change nothing the step depends on.
        if (step.op == Step::Op::InsertObject || step.op == Step::Op::EraseObject) replaced_.clear();
        if (step.op == Step::Op::Object) {
            const auto [at, isNew] = replaced_.try_emplace(step.id, steps_.size());
            if (!isNew) {
                steps_[at->second].objectAfter = step.objectAfter;
                return;
            }
        }
        // Consecutive replacements of the same thing keep the first "before".
        if (!steps_.empty()) {
            Step& last = steps_.back();
            if (last.op == step.op && last.index == step.index && last.id == step.id) {
                if (step.op == Step::Op::Object) {
                    last.objectAfter = step.objectAfter;
                    return;
                }
                if (step.op == Step::Op::Exit) {
                    last.exitAfter = step.exitAfter;
                    return;
                }
                if (step.op == Step::Op::Header) {
                    last.headerAfter = step.headerAfter;
                    return;
                }
            }
        }
        steps_.push_back(step);
    }
    bool empty() const { return steps_.empty(); }
    // Every step puts back what was there: merged moves that returned to
    // where they started.
    bool changesNothing() const {
        return std::all_of(steps_.begin(), steps_.end(), [](const Step& s) {
            return (s.op == Step::Op::Object && s.objectBefore == s.objectAfter) ||
                   (s.op == Step::Op::Exit && s.exitBefore == s.exitAfter) ||
                   (s.op == Step::Op::Header && s.headerBefore == s.headerAfter);
        });
    }
    // What the command's steps change.
    ChangeSet touched() const {
        ChangeSet what = 0;
        for (const Step& s : steps_) {
            switch (s.op) {
                case Step::Op::Object:
                case Step::Op::InsertObject:
                case Step::Op::EraseObject: what |= kChangedEntries; break;
                case Step::Op::Exit:
                case Step::Op::InsertExit:
                case Step::Op::EraseExit: what |= kChangedExits; break;
                case Step::Op::Header: what |= kChangedHeader; break;
            }
        }
        return what;
    }
    void finish() {
        selectionAfter_ = doc_.selection_;
        countersAfter_ = CountersOf(doc_.level_);
    }

    void undo() override {
        for (auto s = steps_.rbegin(); s != steps_.rend(); ++s) revert(*s);
        setCounters(countersBefore_);
        doc_.selection_ = selectionBefore_;
    }
    void redo() override {
        for (const Step& s : steps_) apply(s);
        setCounters(countersAfter_);
        doc_.selection_ = selectionAfter_;
    }
    std::string text() const override { return text_; }
    bool mergeWith(const UndoCommand& other) override {
        const auto* next = dynamic_cast<const Command*>(&other);
        if (!next || key_.kind == 0 || !(next->key_ == key_)) return false;
        for (const Step& s : next->steps_) add(s);
        selectionAfter_ = next->selectionAfter_;
        countersAfter_ = next->countersAfter_;
        return true;
    }
    size_t memoryBytes() const override {
        return sizeof(*this) + text_.capacity() + steps_.capacity() * sizeof(Step) +
               (selectionBefore_.objects.capacity() + selectionAfter_.objects.capacity()) * sizeof(EntryId) +
               replaced_.size() * (sizeof(EntryId) + 2 * sizeof(size_t) + sizeof(void*));
    }

    // The one place that changes the level's lists, forwards and back.
    void apply(const Step& s) {
        LevelState& l = doc_.level_;
        switch (s.op) {
            case Step::Op::Object: l.objectList[static_cast<size_t>(s.index)] = s.objectAfter; break;
            case Step::Op::InsertObject:
                l.objectList.insert(l.objectList.begin() + s.index, s.objectAfter);
                doc_.objectIds_.insert(doc_.objectIds_.begin() + s.index, s.id);
                break;
            case Step::Op::EraseObject:
                l.objectList.erase(l.objectList.begin() + s.index);
                doc_.objectIds_.erase(doc_.objectIds_.begin() + s.index);
                break;
            case Step::Op::Exit: l.exitList[static_cast<size_t>(s.index)] = s.exitAfter; break;
            case Step::Op::InsertExit:
                l.exitList.insert(l.exitList.begin() + s.index, s.exitAfter);
                doc_.exitIds_.insert(doc_.exitIds_.begin() + s.index, s.id);
                break;
            case Step::Op::EraseExit:
                l.exitList.erase(l.exitList.begin() + s.index);
                doc_.exitIds_.erase(doc_.exitIds_.begin() + s.index);
                break;
            case Step::Op::Header: l.headerBytes = s.headerAfter; break;
        }
    }

private:
    LevelDocument& doc_;
    std::string text_;
    MergeKey key_;
    std::vector<Step> steps_;
    std::unordered_map<EntryId, size_t> replaced_;  // entry -> its Object step
    Selection selectionBefore_, selectionAfter_;
    ByteCounters countersBefore_, countersAfter_;

    void revert(const Step& s) {
        Step back = s;
        switch (s.op) {
            case Step::Op::Object: back.objectAfter = s.objectBefore; break;
            case Step::Op::InsertObject: back.op = Step::Op::EraseObject; break;
            case Step::Op::EraseObject:
                back.op = Step::Op::InsertObject;
                back.objectAfter = s.objectBefore;
                break;
            case Step::Op::Exit: back.exitAfter = s.exitBefore; break;
            case Step::Op::InsertExit: back.op = Step::Op::EraseExit; break;
            case Step::Op::EraseExit:
                back.op = Step::Op::InsertExit;
                back.exitAfter = s.exitBefore;
                break;
            case Step::Op::Header: back.headerAfter = s.headerBefore; break;
        }
        apply(back);
    }
    void setCounters(const ByteCounters& c) {
        doc_.level_.objectBytesUsed = c.objectBytesUsed;
        doc_.level_.spriteBytesUsed = c.spriteBytesUsed;
    }
};

LevelDocument::LevelDocument(const DefinitionTables& defs) : defs_(defs) {}

void LevelDocument::Load(LevelState level) {
    level_ = std::move(level);
    objectIds_.resize(level_.objectList.size());
    for (EntryId& id : objectIds_) id = nextId_++;
    exitIds_.resize(level_.exitList.size());
    for (EntryId& id : exitIds_) id = nextId_++;
    selection_ = {};
    selection_ = WithCurrentExit(0);
    selection_ = WithCurrent(0);
    stack_.clear();
    Notify(kChangedLevel | kChangedEntries | kChangedExits | kChangedHeader | kChangedSelection |
           kChangedCleanState);
}

bool LevelDocument::Save(Prompter& prompter, const std::vector<FreeBlock>& freeBlocks) {
    if (!SaveLevel(rom, defs_, level_, prompter, freeBlocks)) return false;
    const bool wasChanged = changed();
    stack_.setClean();
    Notify(kChangedRom | BitIf(wasChanged, kChangedCleanState));
    return true;
}

void LevelDocument::Select(Selection selection) {
    if (selection == selection_) return;
    selection_ = std::move(selection);
    Notify(kChangedSelection);
}

std::vector<int> LevelDocument::selectedIndices() const {
    std::vector<int> out;
    for (const EntryId id : selection_.objects)
        if (const int i = objectIndex(id); i >= 0) out.push_back(i);
    std::sort(out.begin(), out.end());
    return out;
}

Selection LevelDocument::WithCurrent(int index) const {
    Selection s = selection_;
    s.current = objectId(index);
    if (s.current == kNoEntry) {
        s.objects.clear();
    } else if (std::find(s.objects.begin(), s.objects.end(), s.current) == s.objects.end()) {
        s.objects = {s.current};
    }
    return s;
}

Selection LevelDocument::WithCurrentExit(int index) const {
    Selection s = selection_;
    s.currentExit = exitId(index);
    return s;
}

Selection LevelDocument::WithEntries(const std::vector<int>& indices, int current) const {
    Selection s = selection_;
    s.objects.clear();
    for (const int i : indices)
        if (const EntryId id = objectId(i); id != kNoEntry) s.objects.push_back(id);
    if (s.objects.empty()) {
        // The current entry stays selected whatever else goes.
        if (s.current != kNoEntry) s.objects.push_back(s.current);
        return s;
    }
    if (const EntryId wanted = objectId(current);
        wanted != kNoEntry && std::find(s.objects.begin(), s.objects.end(), wanted) != s.objects.end())
        s.current = wanted;
    else if (std::find(s.objects.begin(), s.objects.end(), s.current) == s.objects.end())
        s.current = s.objects.back();
    return s;
}

void LevelDocument::Undo() {
    if (canUndo()) HistoryStep(true);
}

void LevelDocument::Redo() {
    if (canRedo()) HistoryStep(false);
}

void LevelDocument::HistoryStep(bool undo) {
    const auto& command = static_cast<const Command&>(stack_.command(undo ? stack_.index() - 1 : stack_.index()));
    const Selection before = selection_;
    const bool wasChanged = changed();
    undo ? stack_.undo() : stack_.redo();
    Notify(command.touched() | kChangedHistory | BitIf(before != selection_, kChangedSelection) |
           BitIf(wasChanged != changed(), kChangedCleanState));
}

EntryId LevelDocument::objectId(int index) const {
    return index >= 0 && index < static_cast<int>(objectIds_.size()) ? objectIds_[static_cast<size_t>(index)]
                                                                     : kNoEntry;
}

EntryId LevelDocument::exitId(int index) const {
    return index >= 0 && index < static_cast<int>(exitIds_.size()) ? exitIds_[static_cast<size_t>(index)] : kNoEntry;
}

int LevelDocument::objectIndex(EntryId id) const {
    if (id == kNoEntry) return -1;
    auto it = std::find(objectIds_.begin(), objectIds_.end(), id);
    return it == objectIds_.end() ? -1 : static_cast<int>(it - objectIds_.begin());
}

int LevelDocument::exitIndex(EntryId id) const {
    if (id == kNoEntry) return -1;
    auto it = std::find(exitIds_.begin(), exitIds_.end(), id);
    return it == exitIds_.end() ? -1 : static_cast<int>(it - exitIds_.begin());
}

bool LevelDocument::Apply(const std::string& text, MergeKey key, const std::function<void(Edit&)>& change) {
    auto command = std::make_unique<Command>(*this, text, key);
    const Selection before = selection_;
    const bool wasChanged = changed();
    Edit edit(*this, *command);
    change(edit);
    const ChangeSet selection = BitIf(before != selection_, kChangedSelection);
    if (command->empty()) {
        Notify(selection);
        return false;
    }
    command->finish();
    const ChangeSet touched = command->touched();
    stack_.push(std::move(command));
    // A drag that ends where it started leaves no step behind.
    if (static_cast<const Command&>(stack_.command(stack_.index() - 1)).changesNothing()) stack_.dropTop();
    Notify(touched | selection | BitIf(wasChanged != changed(), kChangedCleanState));
    return true;
}

// ---- the edit's steps ----

bool LevelDocument::Edit::empty() const { return command_.empty(); }

namespace {

// How the steps of an edit name the parts of one kind of entry.
template <typename Entry>
struct StepsOf;

template <>
struct StepsOf<LevelObject> {
    static constexpr Step::Op kReplace = Step::Op::Object, kInsert = Step::Op::InsertObject,
                              kErase = Step::Op::EraseObject;
    static constexpr LevelObject Step::*before = &Step::objectBefore;
    static constexpr LevelObject Step::*after = &Step::objectAfter;
    static constexpr std::vector<LevelObject> LevelState::*list = &LevelState::objectList;
    // The byte count that holds the entry's record, and the record's size.
    static int& Counter(LevelState& l, const LevelObject& e) { return e.isSprite ? l.spriteBytesUsed : l.objectBytesUsed; }
    static int Bytes(const DefinitionTables& defs, const LevelObject& e) { return RecordByteCount(defs, e); }
};

template <>
struct StepsOf<ScreenExit> {
    static constexpr Step::Op kReplace = Step::Op::Exit, kInsert = Step::Op::InsertExit, kErase = Step::Op::EraseExit;
    static constexpr ScreenExit Step::*before = &Step::exitBefore;
    static constexpr ScreenExit Step::*after = &Step::exitAfter;
    static constexpr std::vector<ScreenExit> LevelState::*list = &LevelState::exitList;
    static int& Counter(LevelState& l, const ScreenExit&) { return l.objectBytesUsed; }
    static int Bytes(const DefinitionTables&, const ScreenExit&) { return kExitRecordBytes; }
};

}  // namespace

template <typename Entry>
std::vector<EntryId>& LevelDocument::Edit::idsOf() {
    if constexpr (std::is_same_v<Entry, LevelObject>)
        return doc_.objectIds_;
    else
        return doc_.exitIds_;
}

template <typename Entry>
void LevelDocument::Edit::replaceEntry(int index, const Entry& entry) {
    using S = StepsOf<Entry>;
    const Entry& old = (doc_.level_.*S::list).at(static_cast<size_t>(index));
    if (old == entry) return;
    Step s;
    s.op = S::kReplace;
    s.index = index;
    s.id = idsOf<Entry>()[static_cast<size_t>(index)];
    s.*S::before = old;
    s.*S::after = entry;
    command_.take(s);
}

template <typename Entry>
EntryId LevelDocument::Edit::insertEntry(int index, const Entry& entry, EntryId id) {
    using S = StepsOf<Entry>;
    Step s;
    s.op = S::kInsert;
    s.index = std::clamp(index, 0, static_cast<int>((doc_.level_.*S::list).size()));
    s.id = id;
    s.*S::after = entry;
    command_.take(s);
    S::Counter(doc_.level_, entry) += S::Bytes(doc_.defs_, entry);
    return s.id;
}

template <typename Entry>
void LevelDocument::Edit::eraseEntry(int index) {
    using S = StepsOf<Entry>;
    Step s;
    s.op = S::kErase;
    s.index = index;
    s.id = idsOf<Entry>().at(static_cast<size_t>(index));
    s.*S::before = (doc_.level_.*S::list)[static_cast<size_t>(index)];
    command_.take(s);
    S::Counter(doc_.level_, s.*S::before) -= S::Bytes(doc_.defs_, s.*S::before);
}

void LevelDocument::Edit::replaceObject(int index, const LevelObject& entry) { replaceEntry(index, entry); }

EntryId LevelDocument::Edit::insertObject(int index, const LevelObject& entry) {
    return insertEntry(index, entry, doc_.nextId_++);
}

void LevelDocument::Edit::eraseObject(int index) { eraseEntry<LevelObject>(index); }

void LevelDocument::Edit::moveObject(int from, int to) {
    if (from == to) return;
    // The record's bytes are taken off and counted again.
    const LevelObject entry = doc_.level_.objectList.at(static_cast<size_t>(from));
    const EntryId id = doc_.objectIds_[static_cast<size_t>(from)];
    eraseObject(from);
    insertEntry(to, entry, id);
}

void LevelDocument::Edit::replaceExit(int index, const ScreenExit& exit) { replaceEntry(index, exit); }

EntryId LevelDocument::Edit::insertExit(int index, const ScreenExit& exit) {
    return insertEntry(index, exit, doc_.nextId_++);
}

void LevelDocument::Edit::eraseExit(int index) { eraseEntry<ScreenExit>(index); }

void LevelDocument::Edit::replaceHeader(const LevelHeader& header) {
    if (doc_.level_.headerBytes == header) return;
    Step s;
    s.op = Step::Op::Header;
    s.headerBefore = doc_.level_.headerBytes;
    s.headerAfter = header;
    command_.take(s);
}

}  // namespace mw
