// The object info panel's texts, the byte counters, and stepping through
// the object list with the view following.
#include "editing/entry_list.h"
#include "editing/status_line.h"
#include "test_editor_fixture.h"

namespace mw::test {
namespace {

class ObjectInfoTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ed.defs.objectDefs[0x12].name = "Thing";
        ed.defs.objectDefs[0x12].kind = kKindFiveByte;
        ed.defs.spriteDefs[0x13C].name = "Shy";
    }
};

TEST_F(ObjectInfoTest, TextsForTheThreeKindsOfEntry) {
    std::vector<LevelObject> entries(12, Obj(0x01, 0, 0));
    entries[10] = Obj(0x12, 0x1A, 0x5F, 3, -2);
    entries[11] = Spr(0x13C, 0x40, 0x11);
    entries[1] = Ext(0x10, 5, 6, 3, 2);
    entries[2] = Obj(0x02, 1, 2, 16, 1);
    SetEntries(entries);
    const std::pair<int, const char*> texts[] = {
        {10, "Object number 12 - \nThing\n(1A, 5F)\n3 * -2\n#A"},
        {11, "Sprite number S13C - \nShy\n(40, 11)\n1 * 1\n#B"},
        {1, "Special 4 byte object number X10 - \nExt ten\n(5, 6)\n#1"},
        {2, "Object number 2 - \nNib\n(1, 2)\n10 * 1\n#2"},
    };
    for (const auto& [index, text] : texts) {
        ed.SelectObject(index);
        ed.panels.ShowObjectInfo();
        EXPECT_EQ(ed.panels.lblObjectInfo.text, text) << index;
    }
}

TEST_F(ObjectInfoTest, EmptyListOrStaleSelectionShowsNoEntry) {
    SetEntries({});
    ed.panels.ShowObjectInfo();
    EXPECT_EQ(ed.panels.lblObjectInfo.text, "");
    ed.panels.cmdObjectNext_Click();
    ed.panels.cmdObjectPrev_Click();
    ed.panels.cmdGotoObject_Click();
    EXPECT_EQ(ed.selectedObject(), -1);
    SetEntries({Obj(0x01, 1, 1)});
    ed.SelectObject(5);
    ed.panels.ShowObjectInfo();
    EXPECT_EQ(ed.panels.lblObjectInfo.text, "");
}

TEST_F(ObjectInfoTest, CountersTurnRedOnlyWhenOverBudget) {
    Reload(ed, [](LevelState& l) {
        l.objectBytesUsed = 40;
        l.objectBytesAvailable = 38;
        l.spriteBytesUsed = 6;
        l.spriteBytesAvailable = 6;
    });
    ed.panels.ShowObjectInfo();
    EXPECT_EQ(ed.panels.lblByteUsage.text, "40/38");
    EXPECT_TRUE(ed.panels.lblByteUsage.red);
    EXPECT_EQ(ed.panels.lblSByteUsage.text, "6/6");
    EXPECT_FALSE(ed.panels.lblSByteUsage.red);
    Reload(ed, [](LevelState& l) { l.objectBytesUsed = 38; });
    ed.panels.ShowObjectInfo();
    EXPECT_FALSE(ed.panels.lblByteUsage.red);
}

TEST_F(ObjectInfoTest, StepsStopAtBothEndsAndCentreTheView) {
    SetEntries({Obj(0x01, 3, 2), Obj(0x01, 100, 60), Obj(0x01, 250, 120)});
    ed.panels.cmdObjectPrev_Click();
    EXPECT_EQ(ed.selectedObject(), 0);
    EXPECT_EQ(ed.view.scrollX(), 0);  // not -10
    ed.panels.cmdObjectNext_Click();
    EXPECT_EQ(ed.selectedObject(), 1);
    EXPECT_EQ(ed.panels.lblObjectInfo.text.substr(0, 18), "Object number 1 - ");
    EXPECT_EQ(ed.view.scrollX(), 87);  // 100 - 413 / 32 = 87.09
    EXPECT_EQ(ed.view.scrollY(), 45);  // 60 - 488 / 32 = 44.75
    EXPECT_EQ(ed.view.visibleLast(), 0);
    EXPECT_TRUE(ed.repaintRequested);
    ed.panels.cmdObjectNext_Click();
    EXPECT_EQ(ed.selectedObject(), 2);
    EXPECT_EQ(ed.view.scrollX(), 231);  // as far as the bar goes
    EXPECT_EQ(ed.view.scrollY(), 98);
    ed.view.hsc.value = 0;  // moved away without the handler
    ed.panels.cmdObjectNext_Click();
    EXPECT_EQ(ed.selectedObject(), 2);
    EXPECT_EQ(ed.view.scrollX(), 231);  // still re-centred
}

TEST_F(ObjectInfoTest, GotoRoundsHalfToEven) {
    ed.Form_Resize(432 + 320, 504);  // 320 pixels: half the view is 10 tiles at zoom 16
    SetEntries({Obj(0x01, 40, 2)});
    ed.mnuViewZoom_Click(64);        // 320 / 128 = 2.5 tiles
    ed.panels.cmdGotoObject_Click();
    EXPECT_EQ(ed.view.scrollX(), 38);  // 37.5 rounds to 38
    Reload(ed, [](LevelState& l) { l.objectList[0].x = 41; });
    ed.panels.cmdGotoObject_Click();
    EXPECT_EQ(ed.view.scrollX(), 38);  // 38.5 rounds to 38
}

TEST_F(ObjectInfoTest, EntriesListFollowsTheSelectionBothWays) {
    ed.defs.destinationLevels = {{"00 Start", 0}, {"2A Tower", 0x2A}};
    SetEntries({Obj(0x12, 0x1A, 0x5F, 3, -2), Spr(0x13C, 4, 5), Obj(0x12, 0xC0, 2)}, {Exit(3, 1, 0x2A)});
    std::vector<EntryRow> rows = EntryRows(ed);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].kind, "Object");
    EXPECT_NE(rows[0].name.find("Thing"), std::string::npos);
    EXPECT_EQ(rows[0].x, 0x1A);
    EXPECT_EQ(rows[0].size, "3 * -2");
    EXPECT_NE(rows[1].name.find("Shy"), std::string::npos);
    EXPECT_TRUE(rows[3].isExit);
    EXPECT_NE(rows[3].name.find("Tower"), std::string::npos);

    // The current exit is no selection while the exit editor is closed.
    EXPECT_EQ(SelectedEntryRows(ed, rows), (std::vector<int>{0}));
    // The list picks two entries and the exit: the document follows (the
    // exit editor opens on the exit), and the list reads the same selection back.
    SelectEntryRows(ed, rows, {0, 2, 3}, 2);
    EXPECT_TRUE(ed.panels.fraScreenExitsVisible);
    EXPECT_EQ(ed.document.selectedIndices(), (std::vector<int>{0, 2}));
    EXPECT_EQ(ed.selectedObject(), 2);
    EXPECT_EQ(ed.selectedExit(), 0);
    EXPECT_EQ(SelectedEntryRows(ed, rows), (std::vector<int>{0, 2, 3}));
    ed.SelectObject(1);
    EXPECT_EQ(SelectedEntryRows(ed, rows), (std::vector<int>{1, 3}));

    // A double-click goes to the entry far to the right.
    const int before = ed.view.hsc.value;
    GoToEntryRow(ed, rows[2]);
    EXPECT_EQ(ed.selectedObject(), 2);
    EXPECT_GT(ed.view.hsc.value, before);
    EXPECT_LE(ed.view.scrollX(), 0xC0);

    // The status line: the level's bytes, red when over budget.
    StatusLine status = DescribeStatus(ed);
    EXPECT_EQ(status.zoom, "Zoom 16");
    EXPECT_FALSE(status.overBudget);
    Reload(ed, [](LevelState& l) { l.spriteBytesAvailable = l.spriteBytesUsed - 1; });
    status = DescribeStatus(ed);
    EXPECT_TRUE(status.overBudget);
    EXPECT_NE(status.bytes.find("sprites"), std::string::npos);
}

}  // namespace
}  // namespace mw::test
