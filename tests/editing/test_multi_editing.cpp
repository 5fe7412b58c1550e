// Working on many entries: selecting by Ctrl+click, band and keys; moving,
// nudging, deleting and the clipboard, each one undoable step.
#include "editing/multi_select.h"
#include "level/level_json.h"
#include "test_editor_fixture.h"

namespace mw::test {
namespace {

constexpr int kLeft = 1, kCtrl = 2;

class MultiTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ed.session.levelLoaded = true;
    }
    // Pixel of the middle of tile (x, y) at zoom 16, scrolled to 0, 0.
    static float Px(int x) { return static_cast<float>(x * 16 + 8); }
    void Click(int x, int y, int shift = 0) {
        ed.tool.Level_MouseDown(kLeft, shift, Px(x), Px(y));
        ed.tool.Level_MouseUp(kLeft, shift, Px(x), Px(y));
    }
    void Drag(float x0, float y0, float x1, float y1, int shift = 0) {
        ed.tool.Level_MouseDown(kLeft, shift, x0, y0);
        ed.tool.Level_MouseMove(kLeft, shift, x1, y1);
        ed.tool.Level_MouseUp(kLeft, shift, x1, y1);
    }
    std::vector<int> Selected() const { return ed.commands.SelectedIndices(); }
};

TEST_F(MultiTest, ClicksBandsAndKeysChangeTheSelection) {
    // 3 is a backdrop that cross-section mode hides; 4 lies out of view.
    SetEntries({Obj(0x01, 2, 2), Obj(0x01, 6, 2, 2, 2), Spr(0x1E, 10, 3), Obj(0x07, 4, 8, 3, 1), Obj(0x01, 60, 60)});
    Click(2, 2);
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    Click(10, 3, kCtrl);  // adds, and becomes the current entry
    EXPECT_EQ(Selected(), (std::vector<int>{0, 2}));
    EXPECT_EQ(ed.selectedObject(), 2);
    EXPECT_NE(ed.panels.lblObjectInfo.text.find("2 selected"), std::string::npos) << ed.panels.lblObjectInfo.text;
    Click(10, 3, kCtrl);  // takes it out again: the one before is current
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(ed.selectedObject(), 0);
    Click(2, 2, kCtrl);  // the last selected entry stays
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    EXPECT_EQ(ed.panels.lblObjectInfo.text.find("selected"), std::string::npos);

    // A band from empty space takes what it touches, in either direction.
    Drag(Px(12), Px(1), Px(6) - 7, Px(9) - 7);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(ed.tool.band);
    ed.mnuViewCross_Click();
    Drag(Px(12), Px(1), Px(6) - 7, Px(9) - 7);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
    Drag(Px(1), Px(1), Px(2), Px(2) + 7, kCtrl);  // Ctrl adds to it
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
    Drag(Px(20), Px(20), Px(22), Px(22));  // nothing: the current entry alone
    EXPECT_EQ(Selected(), (std::vector<int>{ed.selectedObject()}));

    ed.commands.mnuEditSelectAll_Click();  // what is in view and not hidden
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
    const int current = ed.selectedObject();
    ed.commands.mnuEditSelectCurrent_Click();
    EXPECT_EQ(Selected(), (std::vector<int>{current}));
    // A plain click on an entry outside the selection makes it the selection.
    ed.commands.mnuEditSelectAll_Click();
    ed.mnuViewCross_Click();
    Click(5, 8);
    EXPECT_EQ(Selected(), (std::vector<int>{3}));
    EXPECT_FALSE(ed.session.changed());
}

TEST_F(MultiTest, GroupMovesStayInTheLevelAndUndoInOneStep) {
    SetEntries({Obj(0x01, 5, 5, 2, 2), Spr(0x1E, 8, 6), Obj(0x02, 20, 20), Obj(0x01, 3, 10)});
    const LevelState before = ed.level;
    Click(5, 5);
    Click(8, 6, kCtrl);
    Click(3, 10, kCtrl);
    // Dragging one selected entry moves them all, one command for the drag.
    ed.tool.Level_MouseDown(kLeft, 0, Px(8), Px(6));
    ed.tool.Level_MouseMove(kLeft, 0, Px(10), Px(7));
    ed.tool.Level_MouseMove(kLeft, 0, Px(12), Px(9));
    ed.tool.Level_MouseUp(kLeft, 0, Px(12), Px(9));
    EXPECT_EQ(At(0), Obj(0x01, 9, 8, 2, 2));
    EXPECT_EQ(At(1), Spr(0x1E, 12, 9));
    EXPECT_EQ(At(3), Obj(0x01, 7, 13));
    EXPECT_EQ(At(2), before.objectList[2]);
    // A long drag keeps one step per entry: its command does not grow.
    const size_t undoBytes = ed.document.stack().memoryBytes();
    ed.tool.Level_MouseDown(kLeft, 0, Px(12), Px(9));
    for (int k = 0; k < 40; ++k) ed.tool.Level_MouseMove(kLeft, 0, Px(k % 2 ? 13 : 12), Px(10));
    ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    EXPECT_EQ(At(1), Spr(0x1E, 13, 10));
    EXPECT_LT(ed.document.stack().memoryBytes() - undoBytes, 3000u);
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(At(1), Spr(0x1E, 12, 9));
    // Far to the left and down: the leftmost stops at column 0, the lowest at row 127.
    ed.tool.Level_MouseDown(kLeft, 0, Px(12), Px(9));
    ed.tool.Level_MouseMove(kLeft, 0, -5000, 5000);
    ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    EXPECT_EQ(At(3).x, 0);
    EXPECT_EQ(At(0).x, 2);
    EXPECT_EQ(At(3).y, 127);
    EXPECT_EQ(At(0).y, 122);
    // Arrow keys nudge the group, clamped the same way.
    ed.commands.mnuEditNudge_Click(-1, 0);
    EXPECT_EQ(At(0).x, 2);
    ed.commands.mnuEditNudge_Click(16, -16);
    EXPECT_EQ(At(3), Obj(0x01, 16, 111));
    EXPECT_EQ(At(1), Spr(0x1E, 21, 107));
    for (int k = 0; k < 3; ++k) ed.commands.mnuEditUndo_Click();  // nudge, drag, drag
    EXPECT_EQ(ed.level, before);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 3}));

    // Delete takes the group in one step; undo brings it back in its places.
    ed.commands.mnuEditDelete_Click();
    EXPECT_EQ(ed.level.objectList, (std::vector<LevelObject>{before.objectList[2]}));
    EXPECT_EQ(ed.level.objectBytesUsed, before.objectBytesUsed - 10);
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level, before);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 3}));
    // Not every entry can go.
    ed.commands.mnuEditSelectAll_Click();
    ed.commands.mnuEditDelete_Click();
    EXPECT_EQ(ed.level, before);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "Marlwick - Stopping crashes before they happen");
}

// Copy in one editor, paste in another (the clipboard is text between them).
TEST_F(MultiTest, CopyPasteRoundTripsBetweenTwoEditors) {
    // Entry 0 lies above its origin (height -2); 2 stays behind.
    SetEntries({Obj(0x01, 10, 12, 3, -2), Spr(0x1E, 13, 13), Obj(0x02, 20, 20), Ext(0x10, 11, 17, 3, 2),
                Spr(0x1F0, 12, 12)});
    Click(10, 11);
    for (const auto& [x, y] : {std::pair{13, 13}, {12, 18}, {12, 12}}) Click(x, y, kCtrl);
    ASSERT_EQ(Selected(), (std::vector<int>{0, 1, 3, 4}));
    const std::string text = ed.commands.mnuEditCopy_Click();

    RecordingPrompter otherPrompter;
    LevelEditor other(otherPrompter);
    other.defs = SmallDefinitions();
    other.Form_Resize(845, 504);
    other.session.levelLoaded = true;
    Reload(other, [](LevelState& l) {
        l.objectList = {Obj(0x01, 0, 0)};
        l.objectBytesUsed = 5;
        l.objectBytesAvailable = 30;
        l.spriteBytesAvailable = 6;
    });
    RebuildVisibleList(other.level, other.view);
    other.commands.mnuEditPaste_Click(text, EditCommands::ViewPoint{Px(5), Px(6)});
    // The top-left origin (10, 12) lands on the pointer's tile; kinds and order stay.
    EXPECT_EQ(other.level.objectList, (std::vector<LevelObject>{Obj(0x01, 0, 0), Obj(0x01, 5, 6, 3, -2), Spr(0x1E, 8, 7),
                                                                Ext(0x10, 6, 11, 3, 2), Spr(0x1F0, 7, 6)}));
    EXPECT_EQ(other.commands.SelectedIndices(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(other.level.objectBytesUsed, 5 + 5 + 4);
    EXPECT_EQ(other.level.spriteBytesUsed, 6);
    EXPECT_TRUE(otherPrompter.messages.empty());
    // From the menu: at the view's top-left; a third sprite is over budget.
    other.commands.mnuEditPaste_Click(text, std::nullopt);
    EXPECT_EQ(other.level.objectList.size(), 9u);
    EXPECT_EQ(other.level.objectList[5], Obj(0x01, 0, 0, 3, -2));
    ASSERT_EQ(otherPrompter.messages.size(), 1u);
    EXPECT_NE(otherPrompter.messages[0].text.find("sprites 12/6"), std::string::npos) << otherPrompter.messages[0].text;
    other.commands.mnuEditUndo_Click();
    other.commands.mnuEditUndo_Click();
    EXPECT_EQ(other.level.objectList, (std::vector<LevelObject>{Obj(0x01, 0, 0)}));
    EXPECT_FALSE(other.session.changed());

    // An editor whose definition files lack sprite 1F0 refuses the lot.
    other.defs.spriteDefs[0x1F0].name.clear();
    other.commands.mnuEditPaste_Click(text, std::nullopt);
    EXPECT_EQ(other.level.objectList.size(), 1u);
    EXPECT_FALSE(other.session.changed());
    ASSERT_EQ(otherPrompter.messages.size(), 2u);
    EXPECT_NE(otherPrompter.messages[1].text.find("sprite 1F0 is not in the definition files"), std::string::npos);
}

// A paste that would make the level larger than the loader reads back is
// refused at once, naming the bytes; the level and its history stay.
TEST_F(MultiTest, APasteBeyondWhatALevelCanLoadIsRefused) {
    SetEntries({Obj(0x01, 0, 0)});
    std::vector<LevelObject> many(6600, Obj(0x01, 1, 1));
    ed.commands.mnuEditPaste_Click(EntriesToJson(many), std::nullopt);
    EXPECT_EQ(ed.level.objectList.size(), 1u);
    EXPECT_FALSE(ed.session.changed());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("Nothing was pasted"), std::string::npos);
    EXPECT_NE(prompter.messages[0].text.find("33005 bytes of objects"), std::string::npos) << prompter.messages[0].text;
    many.resize(6500);  // 32505 bytes with the one already there: pasted
    ed.commands.mnuEditPaste_Click(EntriesToJson(many), std::nullopt);
    EXPECT_EQ(ed.level.objectList.size(), 6501u);
}

TEST_F(MultiTest, CutAndDuplicateAreOneStepEach) {
    SetEntries({Obj(0x01, 5, 5), Spr(0x1E, 6, 6), Obj(0x02, 40, 40)});
    const LevelState before = ed.level;
    Click(5, 5);
    Click(6, 6, kCtrl);
    ed.commands.mnuEditDuplicate_Click();
    EXPECT_EQ(ed.level.objectList.size(), 5u);
    EXPECT_EQ(ed.level.objectList[3], Obj(0x01, 6, 6));
    EXPECT_EQ(ed.level.objectList[4], Spr(0x1E, 7, 7));
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4}));
    const std::string text = ed.commands.mnuEditCut_Click();
    EXPECT_EQ(ed.level.objectList.size(), 3u);
    std::vector<LevelObject> back;
    ASSERT_EQ(EntriesFromClipboard(text, ed.defs, 6, 6, back), std::nullopt);
    EXPECT_EQ(back, (std::vector<LevelObject>{Obj(0x01, 6, 6), Spr(0x1E, 7, 7)}));
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level.objectList.size(), 5u);
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(ed.level, before);
    EXPECT_FALSE(ed.session.changed());
}

}  // namespace
}  // namespace mw::test
