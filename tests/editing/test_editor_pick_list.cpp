// The pick list: which entries it lists and in which order, where it opens,
// and how a pick reorders the object list.
#include "test_editor_fixture.h"

namespace mw::test {
namespace {

using PickListTest = EditorTest;
constexpr int kRight = 2;

std::vector<LevelObject> Pile() {
    std::vector<LevelObject> entries;
    for (int i = 0; i < 11; ++i) entries.push_back(Obj(0x02, 20 + i, 20));  // apart from the pile
    entries[2] = Obj(0x01, 2, 2, 3, 3);
    entries[5] = Obj(0x02, 3, 3, 2, 2);
    entries[9] = Spr(0x1E, 3, 3);
    return entries;
}

TEST_F(PickListTest, ListsThePileTopmostFirstAtThePointer) {
    SetEntries(Pile());
    ed.tool.Level_MouseDown(kRight, 0, 56, 60);
    ASSERT_EQ(ed.panels.lstPopup.items.size(), 3u);
    EXPECT_EQ(ed.panels.lstPopup.items[0], (ListEntry{"S1E - Guy", 9}));
    EXPECT_EQ(ed.panels.lstPopup.items[1], (ListEntry{"2 - Nib", 5}));
    EXPECT_EQ(ed.panels.lstPopup.items[2], (ListEntry{"1 - Block", 2}));
    EXPECT_EQ(ed.panels.lstPopup.left, 40);
    EXPECT_EQ(ed.panels.lstPopup.top, 44);
    EXPECT_TRUE(ed.panels.lstPopup.visible());
    EXPECT_EQ(ed.tool.dragMode, DragMode::NON);
    ed.tool.Level_MouseMove(kRight, 0, 60, 60);  // a button held: the list stays
    EXPECT_TRUE(ed.panels.lstPopup.visible());
    ed.tool.Level_MouseMove(0, 0, 60, 60);
    EXPECT_FALSE(ed.panels.lstPopup.visible());
}

TEST_F(PickListTest, PickMovesTheEntryToTheTopOfThePile) {
    std::vector<LevelObject> entries = Pile();
    SetEntries(entries);
    ed.SelectObject(4);
    ed.tool.Level_MouseDown(kRight, 0, 56, 60);
    ed.panels.lstPopup_Click(2);  // the block at 2
    std::vector<LevelObject> expected = entries;
    expected.erase(expected.begin() + 2);
    expected.insert(expected.begin() + 9, entries[2]);
    EXPECT_EQ(ed.level.objectList, expected);
    EXPECT_EQ(ed.selectedObject(), 9);  // the selection went with the picked entry
    EXPECT_FALSE(ed.panels.lstPopup.visible());
    EXPECT_TRUE(ed.session.changed());
    // The next left press there grabs it.
    EXPECT_EQ(ed.tool.FindObjectAt(56, 60), 9);
    EXPECT_EQ(ed.level.objectList[9], entries[2]);
}

TEST_F(PickListTest, SelectionFollowsThePickedEntryAndRemoveTakesIt) {
    const std::vector<LevelObject> entries = Pile();
    for (int item = 0; item < 3; ++item) {
        for (int selected : {2, 5, 9, 4}) {  // the picked entry itself, another of the pile, one apart
            SetEntries(entries);
            ed.SelectObject(selected);
            ed.tool.Level_MouseDown(kRight, 0, 56, 60);
            const int picked = ed.panels.lstPopup.items.at(static_cast<size_t>(item)).value;
            ed.panels.lstPopup_Click(item);
            ASSERT_EQ(At(ed.selectedObject()), entries[static_cast<size_t>(picked)]) << item << " " << selected;
            ed.commands.cmdRemoveObject_Click();
            std::vector<LevelObject> expected = entries;
            expected.erase(expected.begin() + picked);
            EXPECT_EQ(ed.level.objectList, expected) << item << " " << selected;
        }
    }
}

TEST_F(PickListTest, PickingTheTopItemChangesNothing) {
    SetEntries(Pile());
    const std::vector<LevelObject> before = ed.level.objectList;
    ed.tool.Level_MouseDown(kRight, 0, 56, 60);
    ed.panels.lstPopup_Click(0);
    EXPECT_EQ(ed.level.objectList, before);
    EXPECT_FALSE(ed.session.changed());
    EXPECT_FALSE(ed.panels.lstPopup.visible());
    ed.panels.lstPopup_Click(7);  // no such item
    EXPECT_EQ(ed.level.objectList, before);
}

TEST_F(PickListTest, AnObjectPickedFromUnderASpriteGoesAfterIt) {
    SetEntries({Obj(0x01, 2, 2, 3, 3), Spr(0x1E, 3, 3)});
    ed.tool.Level_MouseDown(kRight, 0, 56, 60);
    ed.panels.lstPopup_Click(1);
    EXPECT_TRUE(ed.level.objectList[0].isSprite);
    EXPECT_FALSE(ed.level.objectList[1].isSprite);
}

TEST_F(PickListTest, HiddenEntriesAreNotListedAndEmptySpaceHidesTheList) {
    SetEntries({Obj(0x07, 2, 2, 3, 3), Obj(0x01, 3, 3, 1, 1)});
    ed.mnuViewCross_Click();
    ed.tool.Level_MouseDown(kRight, 0, 56, 60);
    ASSERT_EQ(ed.panels.lstPopup.items.size(), 1u);
    EXPECT_EQ(ed.panels.lstPopup.items[0].value, 1);
    ed.tool.Level_MouseDown(kRight, 0, 300, 300);
    EXPECT_TRUE(ed.panels.lstPopup.items.empty());
    EXPECT_EQ(ed.panels.lstPopup.top, -512);
}

}  // namespace
}  // namespace mw::test
