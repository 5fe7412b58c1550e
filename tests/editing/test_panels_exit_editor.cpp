// The screen exit editor and screen exits' create/remove.
#include <gtest/gtest.h>

#include "editing/exit_editor.h"
#include "editing/level_editor.h"
#include "support/rom_builder.h"
#include "test_editor_fixture.h"

namespace mw {
namespace {

class PanelsExitEditor : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    LevelEditor ed{prompter};

    void SetUp() override {
        ed.defs = test::SmallDefinitions();
        ed.defs.destinationLevels = {{"00 Start", 0}, {"2A Cave", 0x2A}, {"1F Tower", 0x1F}};
        ed.defs.entranceTypes = {{"0 Walk", 0}, {"3 Pipe", 3}};
        test::Reload(ed, [](LevelState& l) {
            l.objectList = {LevelObject{1, 0, 2, 3, 4, 1, false}, LevelObject{3, 0, 5, 6, 2, 1, false}};
            l.exitList = {ScreenExit{3, 2, 0x10, 0x20, 0x30, 3}, ScreenExit{15, 7, 1, 2, 3, 0},
                          ScreenExit{0, 0, 4, 5, 6, 0}};
            l.objectBytesUsed = 9 + 15;
            l.objectBytesAvailable = 30;
        });
        ed.view.hsc.maximum = 236;
        ed.view.vsc.maximum = 100;
        ed.session.levelLoaded = true;
    }
    void enterExitMode(int exit) {
        ed.panels.mnuViewScreenExit_Click();
        ed.SelectExit(exit);
        ed.panels.ShowExitEditor();
    }
};

TEST_F(PanelsExitEditor, ScreenExitModeShowsFirstExitInHex) {
    ed.panels.mnuViewScreenExit_Click();
    EXPECT_EQ(ed.tool.dragMode, DragMode::SCX);
    EXPECT_TRUE(ed.panels.fraScreenExitsVisible);
    EXPECT_EQ(ed.selectedExit(), 0);
    const auto& p = ed.panels.exitEditor;
    EXPECT_TRUE(p.enabled);
    EXPECT_EQ(p.txtExitDestination, "10");
    EXPECT_EQ(p.txtEntranceX, "20");
    EXPECT_EQ(p.txtEntranceY, "30");
    EXPECT_EQ(p.txtEntranceType, "3");
    EXPECT_EQ(p.lstEntranceTypesIndex, 1);
    EXPECT_EQ(p.lstDestinationLevelsIndex, -1);  // no level 10 in the list
    EXPECT_EQ(p.lblByteUsage2.text, "24/30");
    EXPECT_FALSE(p.lblByteUsage2.red);
}

TEST_F(PanelsExitEditor, BoxEditsStoreOnlyValidBytes) {
    enterExitMode(1);
    ed.panels.txtEntranceX_Change("002");  // the stored value again: no edit
    EXPECT_FALSE(ed.session.changed());
    using H = void (SidePanels::*)(const std::string&);
    struct Step {
        H handler;
        ExitField field;
        const char* text;
        int stored;  // the field afterwards
    };
    const H x = &SidePanels::txtEntranceX_Change, y = &SidePanels::txtEntranceY_Change,
            type = &SidePanels::txtEntranceType_Change, dest = &SidePanels::txtExitDestination_Change;
    const Step steps[] = {
        {x, ExitField::EntranceX, "1", 0x01},         {x, ExitField::EntranceX, "1F", 0x1F},
        {y, ExitField::EntranceY, "", 3},             {type, ExitField::EntranceType, "zz", 0},
        {type, ExitField::EntranceType, "3", 3},      {dest, ExitField::Destination, "9", 9},
        {dest, ExitField::Destination, "99", 0x99},   {dest, ExitField::Destination, "999", 0x99},
        {dest, ExitField::Destination, "1AB", 0x99},  {dest, ExitField::Destination, "0x1", 0x99},
        {dest, ExitField::Destination, "00A", 0x0A},  {y, ExitField::EntranceY, " 5", 3},
        {y, ExitField::EntranceY, "5z", 3},           {y, ExitField::EntranceY, "ff", 0xFF},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.text);
        (ed.panels.*s.handler)(s.text);
        ScreenExit now = ed.level.exitList[1];
        EXPECT_EQ(ExitFieldRef(now, s.field), s.stored);
        // While focused the box shows what was typed, red unless it is a value.
        const bool valid = ReadExitBox(s.text).has_value();
        EXPECT_EQ(ed.panels.exitEditor.invalidBox[static_cast<size_t>(s.field)], !valid);
    }
    EXPECT_TRUE(ed.session.changed());
    // Typing an invalid text and leaving the box: the stored value again.
    ed.panels.txtExitDestination_Change("999");
    EXPECT_EQ(ed.panels.exitEditor.txtExitDestination, "999");
    ed.panels.ExitBoxDone();
    EXPECT_EQ(ed.panels.exitEditor.txtExitDestination, "A");
    EXPECT_EQ(ed.panels.exitEditor.txtEntranceY, "FF");
    EXPECT_EQ(ed.panels.exitEditor.invalidBox, (std::array<bool, 4>{}));
    EXPECT_EQ(ed.level.exitList[1], (ScreenExit{15, 7, 0x0A, 0x1F, 0xFF, 3}));
    EXPECT_EQ(ed.level.exitList[0], (ScreenExit{3, 2, 0x10, 0x20, 0x30, 3}));
}

TEST_F(PanelsExitEditor, ListClicksSetTheFieldAndTheBox) {
    enterExitMode(2);
    ed.panels.lstDestinationLevels_Click(1);
    EXPECT_EQ(ed.panels.exitEditor.txtExitDestination, "2A");
    EXPECT_EQ(ed.level.exitList[2].destination, 0x2A);
    ed.panels.lstEntranceTypes_Click(1);
    EXPECT_EQ(ed.panels.exitEditor.txtEntranceType, "3");
    EXPECT_EQ(ed.level.exitList[2].entranceType, 3);
    ed.panels.ShowExitEditor();
    EXPECT_EQ(ed.panels.exitEditor.lstDestinationLevelsIndex, 1);
}

TEST_F(PanelsExitEditor, MoveButtonsStayInsideTheLevelArea) {
    enterExitMode(0);  // column 3, row 2
    ed.panels.cmdMoveScreen_Click(0);
    EXPECT_EQ(ed.level.exitList[0].screenX, 4);
    ed.panels.cmdMoveScreen_Click(1);
    EXPECT_EQ(ed.level.exitList[0].screenY, 1);
    EXPECT_TRUE(ed.repaintRequested);

    ed.SelectExit(1);  // column 15, row 7: right and down refused
    ed.panels.cmdMoveScreen_Click(0);
    ed.panels.cmdMoveScreen_Click(3);
    EXPECT_EQ(ed.level.exitList[1].screenX, 15);
    EXPECT_EQ(ed.level.exitList[1].screenY, 7);
    ed.SelectExit(2);  // column 0, row 0: left and up refused
    ed.panels.cmdMoveScreen_Click(2);
    ed.panels.cmdMoveScreen_Click(1);
    EXPECT_EQ(ed.level.exitList[2].screenX, 0);
    EXPECT_EQ(ed.level.exitList[2].screenY, 0);

    // An exit read from below the level area can be brought back up.
    test::Reload(ed, [](LevelState& l) { l.exitList[2].screenY = 12; });
    ed.panels.cmdMoveScreen_Click(3);
    EXPECT_EQ(ed.level.exitList[2].screenY, 12);
    ed.panels.cmdMoveScreen_Click(1);
    EXPECT_EQ(ed.level.exitList[2].screenY, 11);
}

TEST_F(PanelsExitEditor, StepAndGotoScrollToTheExitsScreen) {
    enterExitMode(0);
    ed.panels.cmdScreenGoto_Click();
    EXPECT_EQ(ed.view.scrollX(), 0x30);
    EXPECT_EQ(ed.view.scrollY(), 0x20);
    ed.panels.cmdScreenNext_Click();  // column 15 lowered to the maximum 236, row 7 to 100
    EXPECT_EQ(ed.selectedExit(), 1);
    EXPECT_EQ(ed.view.scrollX(), 236);
    EXPECT_EQ(ed.view.scrollY(), 100);
    ed.panels.cmdScreenNext_Click();
    ed.panels.cmdScreenNext_Click();  // no wrap: stays on the last
    EXPECT_EQ(ed.selectedExit(), 2);
    EXPECT_EQ(ed.view.scrollX(), 0);
    ed.view.hsc.value = 50;
    ed.panels.cmdScreenNext_Click();  // scrolls to the same exit again
    EXPECT_EQ(ed.view.scrollX(), 0);
    ed.SelectExit(0);
    ed.panels.cmdScreenPrev_Click();
    EXPECT_EQ(ed.selectedExit(), 0);
    EXPECT_EQ(ed.panels.exitEditor.txtEntranceY, "30");
}

TEST_F(PanelsExitEditor, LevelWithoutExitsShowsAnEmptyDisabledEditor) {
    test::Reload(ed, [](LevelState& l) {
        l.exitList.clear();
        l.objectBytesUsed = 9;
    });
    ed.SelectExit(0);  // what a decoder leaves behind
    ed.panels.exitEditor.txtEntranceX = "7";
    ed.panels.ShowExitEditor();
    EXPECT_FALSE(ed.panels.exitEditor.enabled);
    EXPECT_EQ(ed.panels.exitEditor.txtEntranceX, "");
    ed.panels.txtEntranceX_Change("5");
    ed.panels.lstDestinationLevels_Click(1);
    ed.panels.cmdMoveScreen_Click(0);
    ed.panels.cmdScreenGoto_Click();
    EXPECT_TRUE(ed.level.exitList.empty());
    EXPECT_FALSE(ed.session.changed());
    ed.panels.mnuViewScreenExit_Click();
    EXPECT_EQ(ed.selectedExit(), -1);
    EXPECT_FALSE(ed.panels.exitEditor.enabled);
}

TEST_F(PanelsExitEditor, CreateAndRemoveExitsKeepTheCounter) {
    ed.panels.mnuViewScreenExit_Click();
    ed.view.hsc.value = 0x25;
    ed.view.vsc.value = 0x13;
    ed.commands.cmdAddObject_Click();
    ASSERT_EQ(ed.level.exitLast(), 3);
    EXPECT_EQ(ed.level.exitList[3], (ScreenExit{2, 1, 0, 0, 0, 0}));
    EXPECT_EQ(ed.selectedExit(), 3);
    EXPECT_EQ(ed.level.objectBytesUsed, 29);
    EXPECT_EQ(ed.level.objectList.size(), 2u);  // the palette is not consulted
    EXPECT_TRUE(ed.session.changed());

    ed.SelectExit(1);
    ed.commands.cmdRemoveObject_Click();
    EXPECT_EQ(ed.level.exitLast(), 2);
    EXPECT_EQ(ed.level.exitList[1], (ScreenExit{0, 0, 4, 5, 6, 0}));  // the next one moved up
    EXPECT_EQ(ed.selectedExit(), 1);
    EXPECT_EQ(ed.level.objectBytesUsed, 24);
    ed.SelectExit(2);
    ed.commands.cmdRemoveObject_Click();
    EXPECT_EQ(ed.selectedExit(), 1);  // past the end: the new last
}

TEST_F(PanelsExitEditor, ClearingExitsDisablesTheEditor) {
    ed.panels.mnuViewScreenExit_Click();
    ed.SelectExit(1);
    ed.commands.mnuRandomLevelClear_Click();
    EXPECT_TRUE(ed.level.exitList.empty());
    EXPECT_EQ(ed.selectedExit(), -1);
    EXPECT_EQ(ed.level.objectBytesUsed, 9);
    EXPECT_FALSE(ed.panels.exitEditor.enabled);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(ed.level.objectList.size(), 2u);

    ed.commands.cmdRemoveObject_Click();
    ed.commands.mnuRandomLevelClear_Click();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0], (PromptMessage{"Marlwick", "All screen exits deleted"}));

    ed.commands.cmdAddObject_Click();  // a new exit on the view's top-left screen, selected
    EXPECT_EQ(ed.selectedExit(), 0);
    EXPECT_TRUE(ed.panels.exitEditor.enabled);
}

TEST_F(PanelsExitEditor, LevelWithoutItsOwnEndMarkerNeedsRoomForOne) {
    test::Reload(ed, [](LevelState& l) {
        l.exitList.clear();
        l.objectBytesUsed = 9;
        l.objectBytesAvailable = 9;
        l.ownsExitEndMarker = false;
    });
    ed.panels.mnuViewScreenExit_Click();
    ed.commands.cmdAddObject_Click();
    EXPECT_TRUE(ed.level.exitList.empty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(ed.level.objectBytesUsed, 9);

    test::Reload(ed, [](LevelState& l) { l.objectBytesAvailable = 9 + 5; });  // the record fits, its end marker does not
    ed.commands.cmdAddObject_Click();
    EXPECT_TRUE(ed.level.exitList.empty());
    test::Reload(ed, [](LevelState& l) { l.objectBytesAvailable = 9 + 6; });
    ed.commands.cmdAddObject_Click();
    EXPECT_EQ(ed.level.exitList.size(), 1u);
    EXPECT_EQ(prompter.messages.size(), 2u);

    // A level that owns its end marker takes exits beyond its room; only saving refuses.
    test::Reload(ed, [](LevelState& l) { l.ownsExitEndMarker = true; });
    ed.commands.cmdAddObject_Click();
    EXPECT_EQ(ed.level.objectBytesUsed, 19);
    EXPECT_TRUE(ed.panels.exitEditor.lblByteUsage2.red);
}

}  // namespace
}  // namespace mw
