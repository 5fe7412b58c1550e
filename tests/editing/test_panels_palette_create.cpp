// The object palette, and creating, removing and clearing objects and sprites.
#include <gtest/gtest.h>

#include "editing/exit_editor.h"
#include "editing/level_editor.h"
#include "editing/palette.h"
#include "support/rom_builder.h"
#include "test_editor_fixture.h"

namespace mw {
namespace {

int IndexOfCode(const LevelEditor& ed, int code) { return FindListValue(ed.panels.palette.items, code); }

class PanelsPalette : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    LevelEditor ed{prompter};
    void SetUp() override {
        ed.defs = test::SmallDefinitions();
        ed.session.levelLoaded = true;
        ed.defs.objectDefs[0x0A].name = "Ten";
        ed.defs.objectDefs[0x0A].kind = kKindFourByte;
        ed.defs.extendedDefs[0x0A].name = "Ext A";
        ed.defs.spriteDefs[0x10A].name = "Sprite 10A";
        ed.defs.spriteDefs[0x005].name = "Has s1 inside";
        ed.panels.RemakeObjectList();
    }
};

TEST_F(PanelsPalette, AllGroupsInOrderWithCaptionsAndCodes) {
    const auto& items = ed.panels.palette.items;
    ASSERT_EQ(items.size(), 1024u);
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(items[i].value, i);
    EXPECT_EQ(items[0x0A].text, "0A: Ten");
    EXPECT_EQ(items[0x20].text, "20: ");  // undefined: empty name
    EXPECT_EQ(items[256 + 0x0A].text, "0XA: Ext A");
    EXPECT_EQ(items[512 + 0x10A].text, "S10A: Sprite 10A");
    EXPECT_EQ(items[512 + 0x005].text, "0S5: Has s1 inside");
    EXPECT_EQ(items[512 + 0x1FF].text, "S1FF: Last");
}

TEST_F(PanelsPalette, FilterIgnoresCaseAndCoversTheWholeCaption) {
    ed.panels.txtFilter_KeyUp("s1");
    for (const auto& item : ed.panels.palette.items) {
        std::string upper = item.text;
        for (char& c : upper) c = static_cast<char>(toupper(c));
        EXPECT_NE(upper.find("S1"), std::string::npos) << item.text;
    }
    // Sprites 100..1FF, 10..1F and 1 ("0S1"), and sprite 5 by its name.
    EXPECT_EQ(ed.panels.palette.items.size(), 256u + 16u + 1u + 1u);
    EXPECT_GE(IndexOfCode(ed, 512 + 5), 0);

    ed.panels.txtFilter_KeyUp("X1");
    EXPECT_GE(IndexOfCode(ed, 256 + 0x1F), 0);
    EXPECT_GE(IndexOfCode(ed, 256 + 0x10), 0);
    EXPECT_EQ(IndexOfCode(ed, 256 + 0x20), -1);
}

TEST_F(PanelsPalette, CheckBoxesChooseGroupsAndRebuildLosesTheSelection) {
    ed.panels.lstObjects_Click(3);
    EXPECT_EQ(ed.panels.palette.selectedCode(), 3);
    ed.panels.chkListable_Click(kGroupNorm, false);
    EXPECT_EQ(ed.panels.palette.listIndex, -1);
    EXPECT_EQ(ed.panels.palette.items.size(), 768u);
    EXPECT_EQ(ed.panels.palette.items[0].value, 256);
    ed.panels.chkListable_Click(kGroupExtended, false);
    ed.panels.chkListable_Click(kGroupSprite, false);
    EXPECT_TRUE(ed.panels.palette.items.empty());
    EXPECT_EQ(ed.panels.palette.selectedCode(), -1);
}

TEST_F(PanelsPalette, SeparateWindowDrivesTheMainList) {
    ed.panels.mnuViewSeperateobjects_Click();
    EXPECT_TRUE(ed.panels.palette.windowVisible);
    ed.panels.frmObjectList_lstObjects_Click(2);
    EXPECT_EQ(ed.panels.palette.listIndex, 2);
    EXPECT_EQ(ed.panels.palette.selectedCode(), 2);
    ed.panels.frmObjectList_txtFilter_Change("guy");
    EXPECT_EQ(ed.panels.palette.txtFilter, "guy");
    ASSERT_EQ(ed.panels.palette.items.size(), 1u);
    EXPECT_EQ(ed.panels.palette.listIndex, -1);
    EXPECT_EQ(ed.panels.palette.windowListIndex, -1);
    ed.panels.txtFilter_KeyUp("");  // the main box does not copy back
    EXPECT_EQ(ed.panels.palette.windowFilter, "guy");
    ed.panels.frmObjectList_Form_Unload();
    EXPECT_FALSE(ed.panels.palette.windowVisible);
}

class PanelsCreateRemove : public PanelsPalette {
protected:
    void SetUp() override {
        PanelsPalette::SetUp();
        ed.defs.extendedDefs[0x12] = {"Tall", 0, 3, false, {}};
        // Two objects (5 + 4 bytes), one sprite.
        test::Reload(ed, [](LevelState& l) {
            l.objectList = {LevelObject{1, 0, 2, 3, 4, 1, false}, LevelObject{3, 0, 5, 6, 2, 1, false},
                            LevelObject{0x1E, 0, 7, 8, 1, 1, true}};
            l.objectBytesUsed = 9;
            l.objectBytesAvailable = 12;
            l.spriteBytesUsed = 3;
            l.spriteBytesAvailable = 6;
        });
        ed.view.hsc.maximum = 200;
        ed.view.vsc.maximum = 100;
        ed.view.hsc.value = 0x25;
        ed.view.vsc.value = 0x13;
    }
    void create(int code) {
        ed.panels.lstObjects_Click(IndexOfCode(ed, code));
        ed.commands.cmdAddObject_Click();
    }
};

TEST_F(PanelsCreateRemove, CreatedEntriesLandAtTheViewsTopLeft) {
    create(0x01);  // five-byte
    ASSERT_EQ(ed.level.objectLast(), 3);
    EXPECT_EQ(ed.level.objectList[3], (LevelObject{1, 0, 0x25, 0x13, 1, 1, false}));
    EXPECT_EQ(ed.level.objectBytesUsed, 14);
    EXPECT_EQ(ed.selectedObject(), 3);
    EXPECT_TRUE(ed.session.changed());
    EXPECT_TRUE(ed.repaintRequested);

    create(512 + 0x1A5);  // a sprite leaves the selection
    EXPECT_EQ(ed.level.objectList[4], (LevelObject{0xA5, 1, 0x25, 0x13, 1, 1, true}));
    EXPECT_EQ(ed.level.spriteBytesUsed, 6);
    EXPECT_EQ(ed.selectedObject(), 3);

    create(256 + 0x12);  // extended: width 0 becomes 1
    EXPECT_EQ(ed.level.objectList[5], (LevelObject{0, 0x12, 0x25, 0x13, 1, 3, false}));
    EXPECT_EQ(ed.level.objectBytesUsed, 18);
    EXPECT_EQ(ed.selectedObject(), 5);

    ed.commands.cmdRemoveObject_Click();  // extended counts 4 although its kind is 3
    EXPECT_EQ(ed.level.objectBytesUsed, 14);
    EXPECT_EQ(ed.selectedObject(), 4);
    create(256 + 0xE5);  // any extended ID can be created
    EXPECT_EQ(ed.level.objectBytesUsed, 18);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PanelsCreateRemove, CreateRefusals) {
    const LevelState before = ed.level;
    create(0);
    ed.panels.lstObjects_Click(-1);
    ed.commands.cmdAddObject_Click();
    create(0xFF);  // the end marker
    create(0x20);  // no definition
    ASSERT_EQ(prompter.messages.size(), 4u);
    EXPECT_EQ(prompter.messages[0],
              (PromptMessage{"Marlwick - Subtle nudge towards feature usage",
                             "You should add special objects using the options below with the prefix 'S'"}));
    EXPECT_EQ(prompter.messages[1],
              (PromptMessage{"Marlwick - User error", "Please select an object before attempting to add one"}));
    EXPECT_EQ(prompter.messages[2].title, "Marlwick - User error");
    EXPECT_NE(prompter.messages[2].text.find("FF: End"), std::string::npos);
    EXPECT_NE(prompter.messages[3].text.find("20: "), std::string::npos);
    EXPECT_EQ(ed.level, before);
    EXPECT_FALSE(ed.session.changed());
}

TEST_F(PanelsCreateRemove, RemoveKeepsOrderAndSelection) {
    ed.SelectObject(0);
    ed.commands.cmdRemoveObject_Click();
    EXPECT_EQ(ed.level.objectBytesUsed, 4);
    EXPECT_EQ(ed.selectedObject(), 0);
    EXPECT_EQ(ed.level.objectList[0].id, 3);  // the next entry took the place
    ed.SelectObject(1);                      // the sprite, last in the list
    ed.commands.cmdRemoveObject_Click();
    EXPECT_EQ(ed.level.spriteBytesUsed, 0);
    EXPECT_EQ(ed.selectedObject(), 0);
    ed.commands.cmdRemoveObject_Click();  // one entry left: refused
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "Marlwick - Stopping crashes before they happen");
    EXPECT_EQ(prompter.messages[0].text,
              "Cannot delete every object in level.\n(It wouldn't have anything to hold it up, and it'd fall down)");
    EXPECT_EQ(ed.level.objectLast(), 0);
}

TEST_F(PanelsCreateRemove, ClearRemovesEveryObjectAndSprite) {
    // Objects, an extended object and sprites, the selection on each place in turn.
    for (int selected : {0, 2, 4}) {
        SetUp();
        create(0x01);
        create(0x02);
        ed.SelectObject(selected);
        ed.commands.mnuRandomLevelClear_Click();
        EXPECT_EQ(ed.level.objectLast(), -1) << selected;
        EXPECT_EQ(ed.level.objectBytesUsed, 0);
        EXPECT_EQ(ed.level.spriteBytesUsed, 0);
        EXPECT_EQ(ed.selectedObject(), -1);
        EXPECT_TRUE(prompter.messages.empty());
    }
    ed.commands.mnuRandomLevelClear_Click();  // already empty: nothing to say
    EXPECT_TRUE(prompter.messages.empty());
}

}  // namespace
}  // namespace mw
