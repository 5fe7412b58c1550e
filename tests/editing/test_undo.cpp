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
#include "view/view_controls.h"
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
        original = ShippedDemoRom();
        path = dir.file("demo.smc");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(original.data()), static_cast<std::streamsize>(original.size()));
        ed.session.Form_Load(MW_DATA_DIR, path);
        ASSERT_FALSE(ed.quitRequested);
        ed.Form_Resize(845, 504);
    }
    std::vector<uint8_t> FileBytes() const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // A left-button drag from the entry's origin tile by (dx, dy) tiles.
    void Drag(int index, int dx, int dy) {
        ed.SelectObject(index);
        ed.panels.cmdGotoObject_Click();
        const LevelObject& e = ed.level.objectList[static_cast<size_t>(index)];
        const float px = static_cast<float>(TileToPixelX(ed.view, static_cast<int>(e.x))) + 1;
        const float py = static_cast<float>(TileToPixelY(ed.view, static_cast<int>(e.y))) + 1;
        ed.tool.Level_MouseDown(1, 0, px, py);
        for (int k = 1; k <= 3; ++k) ed.tool.Level_MouseMove(1, 0, px + 16.0f * dx * k / 3, py + 16.0f * dy * k / 3);
        ed.tool.Level_MouseUp(1, 0, px + 16.0f * dx, py + 16.0f * dy);
    }
};

// What undo and redo must bring back at each place of the stack.
struct Snapshot {
    LevelState level;
    int object = -1;
    int exit = -1;
    bool operator==(const Snapshot&) const = default;
};

// A save may move the level into free space; undo and redo keep its new
// place and room, so the place is not part of what they bring back.
Snapshot Take(const LevelEditor& ed) {
    auto valid = [](int i, int last) { return i >= 0 && i <= last ? i : -1; };
    LevelState content = ed.level;
    content.headerOffset = content.spriteOffset = 0;
    content.objectBytesAvailable = content.spriteBytesAvailable = 0;
    content.ownsExitEndMarker = true;
    return {content, valid(ed.selectedObject(), ed.level.objectLast()), valid(ed.selectedExit(), ed.level.exitLast())};
}

TEST_F(UndoTest, RandomEditsUndoToTheLoadedLevelAndRedoToTheEnd) {
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const bool saves = seed % 2 == 0;
        std::mt19937 rng(seed);
        auto pick = [&rng](int n) { return n <= 0 ? 0 : static_cast<int>(rng() % static_cast<uint32_t>(n)); };
        ASSERT_TRUE(ed.session.LoadLevelIndex(static_cast<int>(seed % 9)));
        if (ed.tool.InScreenExitMode()) ed.tool.Level_MouseDown(1, 0, -100, -100);  // closes the exit editor
        const Snapshot loaded = Take(ed);
        const int32_t loadedAt = ed.level.headerOffset, loadedSpritesAt = ed.level.spriteOffset;
        const std::vector<uint8_t> startBytes = FileBytes();
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
                    if (last >= 0 && !ed.tool.InScreenExitMode()) {
                        Drag(pick(last + 1), pick(7) - 3, pick(5) - 2);
                        before.object = ed.selectedObject();  // picked by the press, before any move
                        before.level = afters[static_cast<size_t>(index0)].level;
                    }
                    break;
                case 2: {  // an arrow key, with or without Shift
                    const int by = pick(2) ? 16 : 1, way = pick(2) ? by : -by;
                    if (pick(2)) ed.commands.mnuEditNudge_Click(way, 0);
                    else ed.commands.mnuEditNudge_Click(0, way);
                    break;
                }
                case 3:
                    ed.panels.palette.listIndex = pick(static_cast<int>(ed.panels.palette.items.size()));
                    ed.commands.cmdAddObject_Click();
                    break;
                case 4: ed.commands.cmdRemoveObject_Click(); break;
                case 5:
                    if (pick(4) == 0) ed.commands.mnuRandomLevelClear_Click();
                    break;
                case 6:
                    if (last >= 0) {
                        const LevelObject& e = ed.level.objectList[static_cast<size_t>(pick(last + 1))];
                        const float px = static_cast<float>(TileToPixelX(ed.view, static_cast<int>(e.x))) + 1;
                        const float py = static_cast<float>(TileToPixelY(ed.view, static_cast<int>(e.y))) + 1;
                        ed.panels.FillPickList(px, py);
                        ed.panels.lstPopup_Click(pick(static_cast<int>(ed.panels.lstPopup.items.size())));
                    }
                    break;
                case 7: {
                    const std::string text = "0123456789ABCDEFG"[pick(17)] + std::string(pick(2) ? "F" : "");
                    const int box = pick(4);
                    for (const std::string& typed : {text.substr(0, 1), text}) {
                        switch (box) {
                            case 0: ed.panels.txtExitDestination_Change(typed); break;
                            case 1: ed.panels.txtEntranceType_Change(typed); break;
                            case 2: ed.panels.txtEntranceX_Change(typed); break;
                            default: ed.panels.txtEntranceY_Change(typed); break;
                        }
                    }
                    ed.panels.ExitBoxDone();
                    break;
                }
                case 8: ed.panels.cmdMoveScreen_Click(pick(4)); break;
                case 9: {
                    HeaderValues v{};
                    for (size_t f = 0; f < v.size(); ++f) v[f] = pick(kHeaderFields[f].maximum + 1);
                    ed.commands.ResetHeader(PackHeader(v));
                    break;
                }
                case 10:  // no edit: a new selection, in or out of exit mode
                    if (pick(3) == 0) ed.panels.mnuViewScreenExit_Click();
                    else if (ed.tool.InScreenExitMode()) ed.tool.Level_MouseDown(1, 0, -100, -100);
                    ed.SelectObject(pick(last + 2));
                    ed.SelectExit(pick(ed.level.exitLast() + 2) - 1);
                    continue;
                case 11:
                    if (pick(2)) ed.commands.mnuEditUndo_Click();
                    else ed.commands.mnuEditRedo_Click();
                    ASSERT_EQ(Take(ed).level, afters[static_cast<size_t>(s.index())].level);
                    continue;
                default:
                    ed.session.mnuFileSave_Click();
                    if (!ed.session.changed()) savedIndex = s.index();
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
            ASSERT_EQ(ed.session.changed(), s.index() != savedIndex) << "step " << step;
        }

        const UndoStack& s = ed.document.stack();
        while (ed.commands.mnuEditRedoEnabled()) ed.commands.mnuEditRedo_Click();  // the end state is the top of the stack
        const Snapshot end = Take(ed);
        while (ed.commands.mnuEditUndoEnabled()) {
            const int k = s.index();
            ed.commands.mnuEditUndo_Click();
            ASSERT_EQ(Take(ed), (Snapshot{afters[static_cast<size_t>(k) - 1].level, befores[static_cast<size_t>(k)].object,
                                          befores[static_cast<size_t>(k)].exit}));
            ASSERT_EQ(ed.session.changed(), s.index() != savedIndex);
        }
        EXPECT_EQ(Take(ed).level, loaded.level);
        EXPECT_EQ(ed.session.caption.ends_with(" *"), savedIndex != 0);
        if (savedIndex == 0) {
            EXPECT_EQ(CompareWithFile(ed.rom, ed.defs, ed.level), "");
        }
        while (ed.commands.mnuEditRedoEnabled()) {
            ed.commands.mnuEditRedo_Click();
            ASSERT_EQ(Take(ed), afters[static_cast<size_t>(s.index())]);
        }
        // The selection was checked after each redo; at the top it may
        // differ from `end`, which a selection without an edit can change.
        EXPECT_EQ(Take(ed).level, end.level);
        // Back at the start and saved, the file is the one we began with,
        // unless a save moved the level: then it reads back as loaded.
        while (ed.commands.mnuEditUndoEnabled()) ed.commands.mnuEditUndo_Click();
        ed.session.mnuFileSave_Click();
        EXPECT_FALSE(ed.session.changed());
        if (ed.level.headerOffset == loadedAt && ed.level.spriteOffset == loadedSpritesAt) {
            EXPECT_EQ(FileBytes(), startBytes);
        } else {
            ASSERT_TRUE(ed.session.LoadLevelIndex(static_cast<int>(seed % 9)));
            EXPECT_EQ(Take(ed).level, loaded.level);
        }
        EXPECT_FALSE(ed.commands.mnuEditUndoEnabled());
    }
}

}  // namespace
}  // namespace mw::test

namespace mw::test {
namespace {

class EditTest : public EditorTest {
protected:
    const UndoStack& stack() const { return ed.document.stack(); }
};

TEST_F(EditTest, ADragIsOneCommandAndSoIsTypingIntoOneBox) {
    SetEntries({Obj(0x01, 2, 2), Obj(0x01, 10, 10)}, {Exit(0, 0, 1, 2, 3, 4)});
    auto drag = [&](int fromX, int toX) {
        ed.tool.Level_MouseDown(1, 0, fromX * 16 + 1.0f, 33);
        for (int x = fromX + 1; x <= toX; ++x) ed.tool.Level_MouseMove(1, 0, x * 16 + 1.0f, 33);
        ed.tool.Level_MouseUp(1, 0, toX * 16 + 1.0f, 33);
    };
    drag(2, 5);
    EXPECT_EQ(At(0).x, 5);
    EXPECT_EQ(stack().count(), 1);
    EXPECT_EQ(ed.commands.mnuEditUndoCaption(), "&Undo Move");
    drag(5, 7);  // the same entry again: a command of its own
    EXPECT_EQ(stack().count(), 2);
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(At(0).x, 5);
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(At(0).x, 2);
    EXPECT_FALSE(ed.session.changed());
    EXPECT_EQ(ed.commands.mnuEditUndoCaption(), "&Undo");
    EXPECT_EQ(ed.commands.mnuEditRedoCaption(), "&Redo Move");

    ed.panels.mnuViewScreenExit_Click();
    ed.panels.txtEntranceX_Change("1");
    ed.panels.txtEntranceX_Change("1F");
    ed.panels.txtEntranceY_Change("7");  // another box: another command
    ed.panels.ExitBoxDone();
    ed.panels.txtEntranceY_Change("8");  // the box again, after it lost the focus
    EXPECT_EQ(stack().count(), 3);
    EXPECT_FALSE(ed.commands.mnuEditRedoEnabled());  // the new commands replaced the drags' redo
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level.exitList[0].entranceY, 7);
    ed.commands.mnuEditUndo_Click();
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level.exitList[0], Exit(0, 0, 1, 2, 3, 4));
    EXPECT_EQ(ed.panels.exitEditor.txtEntranceX, "2");  // the boxes show the restored exit
}

TEST_F(EditTest, UndoBringsBackRemovedEntriesWithTheirSelection) {
    const std::vector<LevelObject> entries = {Obj(0x01, 1, 1), Obj(0x02, 2, 2), Obj(0x03, 3, 3), Spr(0x1E, 4, 4)};
    SetEntries(entries, {Exit(1, 1), Exit(2, 2)});
    const LevelState loaded = ed.level;
    ed.SelectObject(2);
    ed.commands.cmdRemoveObject_Click();
    ASSERT_EQ(ed.level.objectList.size(), 3u);
    EXPECT_EQ(ed.selectedObject(), 2);  // now the sprite
    ed.SelectObject(0);
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level, loaded);  // entries and byte counters
    EXPECT_EQ(ed.selectedObject(), 2);
    ed.commands.mnuEditRedo_Click();
    EXPECT_EQ(ed.level.objectList[2], entries[3]);
    EXPECT_EQ(ed.selectedObject(), 2);

    // A clear is one command.
    ed.commands.mnuEditUndo_Click();
    ed.commands.mnuRandomLevelClear_Click();
    ASSERT_EQ(ed.level.objectList.size(), 0u);
    EXPECT_EQ(ed.commands.mnuEditUndoCaption(), "&Undo Clear");
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level, loaded);
    ed.panels.mnuViewScreenExit_Click();
    ed.SelectExit(1);
    ed.commands.cmdRemoveObject_Click();
    ed.SelectExit(0);
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level, loaded);
    EXPECT_EQ(ed.selectedExit(), 1);
    EXPECT_FALSE(ed.session.changed());
}

TEST_F(EditTest, TheStackForgetsItsOldestStepsPastItsLimit) {
    SetEntries({Obj(0x01, 2, 2)});
    ed.SelectObject(0);
    ed.document.SetUndoLimit(5);
    for (int k = 0; k < 8; ++k) ed.commands.mnuEditNudge_Click(1, 0);
    EXPECT_EQ(At(0).x, 10);
    EXPECT_EQ(stack().count(), 5);
    while (ed.commands.mnuEditUndoEnabled()) ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(At(0).x, 5);
    EXPECT_TRUE(ed.session.changed());  // the loaded state is out of reach
}

TEST_F(EditTest, ArrowsStayInsideTheLevelAndMoveExitsByScreens) {
    SetEntries({Obj(0x01, 0, 126)}, {Exit(15, 0)});
    ed.SelectObject(0);
    // Left and down at the level's edge change nothing; Shift+Right moves 16.
    const struct {
        int dx, dy, x, y;
    } steps[] = {{-1, 0, 0, 126}, {0, 16, 0, 127}, {0, 1, 0, 127}, {16, 0, 16, 127}, {0, -16, 16, 111}};
    for (const auto& s : steps) {
        ed.commands.mnuEditNudge_Click(s.dx, s.dy);
        EXPECT_EQ(At(0).x, s.x);
        EXPECT_EQ(At(0).y, s.y);
    }
    EXPECT_EQ(stack().count(), 3);
    ed.panels.mnuViewScreenExit_Click();
    ed.commands.mnuEditNudge_Click(1, 0);  // already in the last column
    ed.commands.mnuEditNudge_Click(-16, 0);
    ed.commands.mnuEditNudge_Click(0, 1);
    EXPECT_EQ(ed.level.exitList[0], Exit(14, 1));
    EXPECT_EQ(stack().count(), 5);
    ed.commands.mnuEditDelete_Click();  // in exit mode: the exit
    EXPECT_TRUE(ed.level.exitList.empty());
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level.exitList[0], Exit(14, 1));
}

TEST_F(EditTest, ZoomStepsKeepTheTileUnderThePointer) {
    SetEntries({Obj(0x01, 2, 2)});
    std::mt19937 rng(7);
    for (int k = 0; k < 200; ++k) {
        ed.hscLevelPos_Change(static_cast<int>(rng() % 120));
        ed.vscLevelPos_Change(static_cast<int>(rng() % 60));
        const float px = static_cast<float>(rng() % 413), py = static_cast<float>(rng() % 488);
        const int steps = rng() % 2 ? 1 : -1;
        const int zoom = ed.view.zoom;
        const int tileX = PixelToTileX(ed.view, px), tileY = PixelToTileY(ed.view, py);
        ed.commands.ZoomStep(steps, px, py);
        const int* at = std::find(std::begin(kZoomLevels), std::end(kZoomLevels), zoom);
        const int* want = steps > 0 ? std::min(at + 1, std::end(kZoomLevels) - 1) : std::max(at - 1, std::begin(kZoomLevels));
        ASSERT_EQ(ed.view.zoom, *want);
        // Unless the scroll range stops it, the same tile is under the pointer.
        if (ed.view.scrollX() > 0 && ed.view.scrollX() < ed.view.hsc.maximum) {
            EXPECT_EQ(PixelToTileX(ed.view, px), tileX);
        }
        if (ed.view.scrollY() > 0 && ed.view.scrollY() < ed.view.vsc.maximum) {
            EXPECT_EQ(PixelToTileY(ed.view, py), tileY);
        }
    }
    EXPECT_EQ(stack().count(), 0);  // zooming is not an edit
}

TEST_F(EditTest, ADroppedPaletteItemIsCreatedUnderThePointer) {
    SetEntries({Obj(0x01, 2, 2)});
    ed.session.levelLoaded = false;  // nothing to drop into
    ed.commands.DropPaletteItem(0x02, 5 * 16 + 3, 7 * 16 + 15);
    ed.session.levelLoaded = true;
    ed.commands.DropPaletteItem(0x02, 5 * 16 + 3, 7 * 16 + 15);
    ASSERT_EQ(ed.level.objectList.size(), 2u);
    EXPECT_EQ(At(1).x, 5);
    EXPECT_EQ(At(1).y, 7);
    EXPECT_EQ(ed.selectedObject(), 1);
    ed.commands.DropPaletteItem(0, 16, 16);  // refused with its message, nothing recorded
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(stack().count(), 1);
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level.objectList.size(), 1u);
    EXPECT_EQ(ed.selectedObject(), 0);
}

}  // namespace
}  // namespace mw::test
