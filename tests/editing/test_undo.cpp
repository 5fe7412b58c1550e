// Undo and redo: the stack on its own, then the editor's commands through
// the document on levels of the demo ROM.
#include <fstream>
#include <iterator>
#include <random>

#include "editing/undo_stack.h"
#include "level/demo_rom.h"
#include "level/header_fields.h"
#include "level/level_codec.h"
#include "test_editor_fixture.h"
#include "view/view_geometry.h"

namespace mw::test {
namespace {

// A command that adds `amount` to a counter, merging with one of the same tag.
struct AddCommand : UndoCommand {
    int& value;
    int amount;
    int tag;
    AddCommand(int& v, int a, int t) : value(v), amount(a), tag(t) { value += amount; }
    void undo() override { value -= amount; }
    void redo() override { value += amount; }
    std::string text() const override { return "Add " + std::to_string(tag); }
    bool mergeWith(const UndoCommand& next) override {
        const auto& n = static_cast<const AddCommand&>(next);
        if (tag == 0 || n.tag != tag) return false;
        amount += n.amount;
        return true;
    }
};

TEST(UndoStackTest, CleanIndexMergingAndLimit) {
    int value = 0;
    UndoStack s;
    auto push = [&](int amount, int tag = 0) { s.push(std::make_unique<AddCommand>(value, amount, tag)); };
    EXPECT_FALSE(s.canUndo());
    EXPECT_EQ(s.undoText(), "");
    push(1);
    push(2);
    EXPECT_FALSE(s.isClean());
    s.setClean();  // saved at 2 commands
    push(4, 7);
    push(8, 7);  // merges with the previous one of tag 7
    EXPECT_EQ(s.count(), 3);
    EXPECT_EQ(s.undoText(), "Add 7");
    s.undo();
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(s.isClean());
    EXPECT_EQ(s.redoText(), "Add 7");
    s.undo();
    EXPECT_FALSE(s.isClean());
    s.redo();
    EXPECT_TRUE(s.isClean());
    // Right after the clean state nothing merges into it, and after an
    // undo or closeMerge the next push starts a command of its own.
    push(16, 7);
    push(32, 7);
    EXPECT_EQ(s.count(), 3);
    s.closeMerge();
    push(64, 7);
    EXPECT_EQ(s.count(), 4);
    // A push after undoing past the clean state makes it unreachable.
    s.undo();
    s.undo();
    s.undo();
    EXPECT_EQ(value, 1);
    push(100);
    EXPECT_EQ(s.cleanIndex(), -1);
    EXPECT_FALSE(s.canRedo());
    // The limit drops the oldest commands.
    s.clear();
    EXPECT_TRUE(s.isClean());
    s.setLimit(3);
    for (int k = 0; k < 5; ++k) push(1);
    EXPECT_EQ(s.count(), 3);
    EXPECT_EQ(s.cleanIndex(), -1);
    while (s.canUndo()) s.undo();
    EXPECT_EQ(value, 101 + 2);
    EXPECT_FALSE(s.isClean());
}

// The editor on the demo ROM (shipped definitions), level `index`.
class UndoTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingPrompter prompter;
    LevelEditor ed{prompter};
    std::string path;
    std::vector<uint8_t> original;

    void SetUp() override {
        original = BuildDemoRom(ShippedDefinitions());
        path = dir.file("demo.smc");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(original.data()), static_cast<std::streamsize>(original.size()));
        ed.Form_Load(MW_DATA_DIR, path);
        ASSERT_FALSE(ed.quitRequested);
        ed.Form_Resize(845, 504);
    }
    std::vector<uint8_t> FileBytes() const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // A left-button drag from the entry's origin tile by (dx, dy) tiles.
    void Drag(int index, int dx, int dy) {
        ed.selectedObject = index;
        ed.cmdGotoObject_Click();
        const LevelObject& e = ed.level.objectList[static_cast<size_t>(index)];
        const float px = static_cast<float>(TileToPixelX(ed.view, static_cast<int>(e.x))) + 1;
        const float py = static_cast<float>(TileToPixelY(ed.view, static_cast<int>(e.y))) + 1;
        ed.Level_MouseDown(1, 0, px, py);
        for (int k = 1; k <= 3; ++k) ed.Level_MouseMove(1, 0, px + 16.0f * dx * k / 3, py + 16.0f * dy * k / 3);
        ed.Level_MouseUp(1, 0, px + 16.0f * dx, py + 16.0f * dy);
    }
};

// What undo and redo must bring back at each place of the stack.
struct Snapshot {
    LevelState level;
    int object = -1;
    int exit = -1;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const LevelEditor& ed) {
    auto valid = [](int i, int last) { return i >= 0 && i <= last ? i : -1; };
    return {ed.level, valid(ed.selectedObject, ed.level.objectLast()), valid(ed.selectedExit, ed.level.exitLast())};
}

TEST_F(UndoTest, RandomEditsUndoToTheLoadedLevelAndRedoToTheEnd) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const bool saves = seed % 2 == 0;
        std::mt19937 rng(seed);
        auto pick = [&rng](int n) { return n <= 0 ? 0 : static_cast<int>(rng() % static_cast<uint32_t>(n)); };
        ASSERT_TRUE(ed.LoadLevelIndex(static_cast<int>(seed % 9)));
        if (ed.InScreenExitMode()) ed.Level_MouseDown(1, 0, -100, -100);  // closes the exit editor
        const Snapshot loaded = Take(ed);
        // befores[k] and afters[k]: around the command that leads to index k.
        std::vector<Snapshot> befores(1), afters{loaded};
        int savedIndex = 0;

        for (int step = 0; step < 60; ++step) {
            const UndoStack& s = ed.document.stack();
            const int index0 = s.index();
            Snapshot before = Take(ed);
            const int last = ed.level.objectLast();
            switch (pick(saves ? 13 : 12)) {
                case 0:
                case 1:
                    if (last >= 0 && !ed.InScreenExitMode()) {
                        Drag(pick(last + 1), pick(7) - 3, pick(5) - 2);
                        before.object = ed.selectedObject;  // picked by the press, before any move
                        before.level = afters[static_cast<size_t>(index0)].level;
                    }
                    break;
                case 2: {  // an arrow key, with or without Shift
                    const int by = pick(2) ? 16 : 1, way = pick(2) ? by : -by;
                    if (pick(2)) ed.mnuEditNudge_Click(way, 0);
                    else ed.mnuEditNudge_Click(0, way);
                    break;
                }
                case 3:
                    ed.palette.listIndex = pick(static_cast<int>(ed.palette.items.size()));
                    ed.cmdAddObject_Click();
                    break;
                case 4: ed.cmdRemoveObject_Click(); break;
                case 5:
                    if (pick(4) == 0) ed.mnuRandomLevelClear_Click();
                    break;
                case 6:
                    if (last >= 0) {
                        const LevelObject& e = ed.level.objectList[static_cast<size_t>(pick(last + 1))];
                        const float px = static_cast<float>(TileToPixelX(ed.view, static_cast<int>(e.x))) + 1;
                        const float py = static_cast<float>(TileToPixelY(ed.view, static_cast<int>(e.y))) + 1;
                        ed.FillPickList(px, py);
                        ed.lstPopup_Click(pick(static_cast<int>(ed.lstPopup.items.size())));
                    }
                    break;
                case 7: {
                    const std::string text = "0123456789ABCDEFG"[pick(17)] + std::string(pick(2) ? "F" : "");
                    const int box = pick(4);
                    for (const std::string& typed : {text.substr(0, 1), text}) {
                        switch (box) {
                            case 0: ed.txtExitDestination_Change(typed); break;
                            case 1: ed.txtEntranceType_Change(typed); break;
                            case 2: ed.txtEntranceX_Change(typed); break;
                            default: ed.txtEntranceY_Change(typed); break;
                        }
                    }
                    ed.ExitBoxDone();
                    break;
                }
                case 8: ed.cmdMoveScreen_Click(pick(4)); break;
                case 9: {
                    HeaderValues v{};
                    for (size_t f = 0; f < v.size(); ++f) v[f] = pick(kHeaderFields[f].maximum + 1);
                    ed.ResetHeader(PackHeader(v));
                    break;
                }
                case 10:  // no edit: a new selection, in or out of exit mode
                    if (pick(3) == 0) ed.mnuViewScreenExit_Click();
                    else if (ed.InScreenExitMode()) ed.Level_MouseDown(1, 0, -100, -100);
                    ed.selectedObject = pick(last + 2);
                    ed.selectedExit = pick(ed.level.exitLast() + 2) - 1;
                    continue;
                case 11:
                    if (pick(2)) ed.mnuEditUndo_Click();
                    else ed.mnuEditRedo_Click();
                    ASSERT_EQ(Take(ed).level, afters[static_cast<size_t>(s.index())].level);
                    continue;
                default:
                    ed.mnuFileSave_Click();
                    if (!ed.changed()) savedIndex = s.index();
                    continue;
            }
            const Snapshot now = Take(ed);
            if (s.index() == index0 + 1) {  // a new command
                befores.resize(static_cast<size_t>(index0) + 1);
                afters.resize(static_cast<size_t>(index0) + 1);
                befores.push_back(before);
                afters.push_back(now);
                if (savedIndex > index0) savedIndex = -1;
            } else {
                ASSERT_EQ(s.index(), index0);
                if (!(now.level == afters[static_cast<size_t>(index0)].level)) afters.back() = now;  // merged
            }
            ASSERT_EQ(ed.changed(), s.index() != savedIndex) << "step " << step;
        }

        const UndoStack& s = ed.document.stack();
        while (ed.mnuEditRedoEnabled()) ed.mnuEditRedo_Click();  // the end state is the top of the stack
        const Snapshot end = Take(ed);
        while (ed.mnuEditUndoEnabled()) {
            const int k = s.index();
            ed.mnuEditUndo_Click();
            ASSERT_EQ(Take(ed), (Snapshot{afters[static_cast<size_t>(k) - 1].level, befores[static_cast<size_t>(k)].object,
                                          befores[static_cast<size_t>(k)].exit}));
            ASSERT_EQ(ed.changed(), s.index() != savedIndex);
        }
        EXPECT_EQ(ed.level, loaded.level);
        EXPECT_EQ(ed.caption.ends_with(" *"), savedIndex != 0);
        if (savedIndex == 0) EXPECT_EQ(CompareWithFile(ed.rom, ed.defs, ed.level), "");
        while (ed.mnuEditRedoEnabled()) {
            ed.mnuEditRedo_Click();
            ASSERT_EQ(Take(ed), afters[static_cast<size_t>(s.index())]);
        }
        EXPECT_EQ(Take(ed), end);
        // Back at the start and saved, the file is the one we began with.
        while (ed.mnuEditUndoEnabled()) ed.mnuEditUndo_Click();
        ed.mnuFileSave_Click();
        EXPECT_FALSE(ed.changed());
        EXPECT_EQ(FileBytes(), original);
        EXPECT_FALSE(ed.mnuEditUndoEnabled());
    }
}

}  // namespace
}  // namespace mw::test
