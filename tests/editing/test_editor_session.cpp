// The ROM session: start-up, opening another ROM, loading levels, saving,
// ending the program, the caption and the question about unsaved changes.
#include <filesystem>
#include <fstream>
#include <functional>


#include "editing/exit_editor.h"
#include "editing/header_dialog.h"
#include "editing/hex_poke.h"
#include "level/level_opening.h"
#include "test_editor_fixture.h"

namespace mw::test {
namespace {

const PromptMessage kNotice{"Marlwick - RTFM",
                            "Marlwick only supports version 1.0 (U) of Yoshi's Island!\n"
                            "Please select a ROM of this version; others will not work."};
const PromptMessage kUnsaved{"Marlwick", "The level has unsaved changes. Save them first?"};

class SessionTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingPrompter prompter;
    LevelEditor ed{prompter};
    std::string romA, romB;

    void SetUp() override {
        dir.writeSmallDefinitionFiles();
        romA = WriteRom("a.smc", 10);
        romB = WriteRom("b.smc", 20);
    }

    // Level 0: one object at column `x`, an exit, a sprite and some free room.
    // Level 1: nothing at all. Level 2: an object type nobody defined.
    std::string WriteRom(const std::string& name, int x) {
        RomImage img;
        img.setLevel(0, 0x10000, 0x10100);
        img.put(0x10000, Cat({{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, Obj5(0x01, x, 4, 1, 2), {0xFF},
                              ExitRec(2, 1, 0x2A, 1, 2, 3), {0xFF, 0, 0, 0, 0}}));
        img.put(0x10100, Cat({SpriteRec(0x1E, 5, 6), {0xFF, 0xFF, 0, 0, 0}}));
        img.setLevel(1, 0x10200, 0x10300);
        img.put(0x10200, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0});
        img.put(0x10300, {0xFF, 0xFF});
        img.setLevel(2, 0x10400, 0x10500);
        img.put(0x10400, Cat({{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, Obj5(0x50, 1, 1, 0, 0), {0xFF, 0xFF}}));
        img.put(0x10500, {0xFF, 0xFF});
        const std::string path = dir.file(name);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(img.bytes.data()), static_cast<std::streamsize>(img.bytes.size()));
        return path;
    }

    void Start(const std::string& rom) {
        ed.session.Form_Load(dir.path(), rom);
        ASSERT_FALSE(ed.quitRequested);
        ed.Form_Resize(845, 504);
        prompter.messages.clear();
    }
    // An edit through the mouse: drags the object one tile to the right.
    void DragObjectRight() {
        const LevelObject& o = ed.level.objectList.at(0);
        const float px = (o.x - ed.view.scrollX()) * 16 + 2.0f, py = (o.y - ed.view.scrollY()) * 16 + 2.0f;
        ed.tool.Level_MouseDown(1, 0, px, py);
        ed.tool.Level_MouseMove(1, 0, px + 16, py);
        ed.tool.Level_MouseUp(1, 0, px + 16, py);
    }
};

TEST_F(SessionTest, StartUpWithAPathLoadsLevelZero) {
    EXPECT_EQ(ed.session.caption, "Marlwick - Yoshi's Island Editor by Tolliver");
    ed.session.Form_Load(dir.path(), romA);
    EXPECT_FALSE(ed.quitRequested);
    EXPECT_TRUE(prompter.messages.empty());  // 1.0 (U): no version notice
    EXPECT_EQ(ed.view.zoom, 16);
    EXPECT_EQ(ed.session.caption, "a.smc - Marlwick");
    EXPECT_TRUE(ed.rom.isOpen());
    ASSERT_EQ(ed.level.objectLast(), 1);  // the object, then the sprite
    EXPECT_EQ(ed.level.objectList[0].x, 10);
    EXPECT_TRUE(ed.level.objectList[1].isSprite);
    EXPECT_EQ(ed.selectedObject(), 0);
    EXPECT_EQ(ed.selectedExit(), 0);
    EXPECT_EQ(ed.panels.lblByteUsage.text, "10/14");
    EXPECT_EQ(ed.panels.lblSByteUsage.text, "3/6");
    EXPECT_FALSE(ed.session.changed());
    EXPECT_EQ(ed.panels.palette.items.size(), 1024u);
    ed.Form_Resize(845, 504);
    EXPECT_EQ(ed.view.visibleLast(), 1);
}

TEST_F(SessionTest, CancelledStartUpEndsTheProgram) {
    ed.session.Form_Load(dir.path());
    EXPECT_TRUE(ed.quitRequested);
    EXPECT_FALSE(ed.rom.isOpen());
    EXPECT_FALSE(ed.session.levelLoaded);
    EXPECT_EQ(prompter.messages,
              (std::vector<PromptMessage>{
                  {"Marlwick - User Error", "A valid ROM must be selected to run Marlwick."}}));
    EXPECT_TRUE(ed.session.Form_Unload());
    EXPECT_TRUE(prompter.questions.empty());
}

TEST_F(SessionTest, StartUpReportsARomThatCannotBeOpened) {
    const std::string missing = dir.file("missing.smc");
    ed.session.Form_Load(dir.path(), missing);
    EXPECT_TRUE(ed.quitRequested);
    EXPECT_FALSE(ed.rom.isOpen());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "Marlwick");
    EXPECT_NE(prompter.messages[0].text.find(missing), std::string::npos);
    EXPECT_NE(prompter.messages[0].text.find("No such file"), std::string::npos);
}

TEST_F(SessionTest, TheVersionNoticeComesOnlyForAnotherVersion) {
    // Another region byte: the notice, then what differs; the level still loads.
    std::vector<uint8_t> bytes = ReadFileBytes(romA);
    bytes[0x200 + 0x7FD9] ^= 1;
    const std::string other = dir.file("other.smc");
    std::ofstream(other, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    ed.session.Form_Load(dir.path(), other);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0], kNotice);
    EXPECT_NE(prompter.messages[1].text.find("does not look like"), std::string::npos);
    EXPECT_TRUE(ed.session.levelLoaded);
}

TEST_F(SessionTest, StartUpStopsOnBrokenDefinitions) {
    std::filesystem::remove(dir.file("SpriteData.dat"));
    ed.session.Form_Load(dir.path(), romA);
    EXPECT_TRUE(ed.quitRequested);
    ASSERT_EQ(prompter.messages.size(), 1u);  // no notice, no ROM
    EXPECT_NE(prompter.messages[0].text.find("SpriteData.dat"), std::string::npos);
    EXPECT_FALSE(ed.rom.isOpen());
}

TEST_F(SessionTest, CaptionTakesTheLastPieceOfEitherKindOfPath) {
#ifdef _WIN32
    GTEST_SKIP() << "a file name with backslashes and a colon exists only on POSIX systems";
#endif
    const std::string odd = WriteRom("C:\\roms\\yi.smc", 3);  // one file name on this system
    ed.session.Form_Load(dir.path(), odd);
    EXPECT_EQ(ed.session.caption, "yi.smc - Marlwick");
}

TEST_F(SessionTest, AReadOnlyRomIsViewedAndItsSaveRefused) {
    SetReadOnly(romA, true);
    ed.session.Form_Load(dir.path(), romA);
    ASSERT_FALSE(ed.quitRequested);
    ASSERT_EQ(prompter.messages.size(), 1u);  // once that it is read-only
    EXPECT_NE(prompter.messages[0].text.find(romA + " is read-only"), std::string::npos);
    EXPECT_TRUE(ed.session.levelLoaded);
    ASSERT_EQ(ed.level.objectList.at(0).x, 10);
    prompter.messages.clear();
    ed.Form_Resize(845, 504);
    DragObjectRight();
    ed.session.mnuFileSave_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find(romA), std::string::npos);
    EXPECT_TRUE(ed.session.changed());
    // Another level of the same file loads without saying it again.
    prompter.saveChoice = SaveChoice::Discard;
    EXPECT_TRUE(ed.session.LoadLevelIndex(1));
    EXPECT_EQ(prompter.messages.size(), 1u);
    SetReadOnly(romA, false);
}

// A headerless dump of the image that romA holds, at `name`.
std::string WriteDump(const TempDir& dir, const std::string& smcPath, const std::string& name) {
    std::ifstream in(smcPath, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes.resize(0x200 + 0x200000, 0xEA);
    const std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()) + 0x200, static_cast<std::streamsize>(bytes.size() - 0x200));
    return path;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(SessionTest, AHeaderlessDumpIsEditedAndSavedInItsOwnLayout) {
    const std::string dump = WriteDump(dir, romA, "yi.sfc");
    const std::vector<uint8_t> before = FileBytes(dump);
    Start(dump);
    EXPECT_TRUE(prompter.questions.empty());
    EXPECT_EQ(ed.rom.path(), dump);
    EXPECT_EQ(ed.level.objectList.at(0).x, 10);
    DragObjectRight();
    ed.session.mnuFileSave_Click();
    EXPECT_FALSE(ed.session.changed());

    // Still a dump, with the edit in it; the backup is the dump as it was.
    RomFile reread;
    std::string error;
    ASSERT_TRUE(reread.open(dump, error)) << error;
    EXPECT_TRUE(reread.isHeaderless());
    EXPECT_EQ(FileBytes(dump).size(), 0x200000u);
    const LevelLoad load = LoadLevelIndex(reread, ed.defs, 0);
    ASSERT_TRUE(load.loaded());
    EXPECT_EQ(load.level.objectList.at(0).x, 11);
    const std::vector<std::string> backups = reread.Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(std::filesystem::path(backups[0]).extension(), ".sfc");
    EXPECT_EQ(FileBytes(backups[0]), before);

    // Offsets typed are the dump's own: the internal header's title at 7FC0,
    // the level's data 0x200 before its ".smc" offsets.
    HexPokeDialog poke;
    poke.txtOffset = "7FC0";
    ASSERT_TRUE(poke.cmdGet_Click(ed.rom, prompter));
    EXPECT_EQ(poke.txtValue, "59");  // 'Y'
    poke.txtOffset = "200000";
    EXPECT_FALSE(poke.cmdGet_Click(ed.rom, prompter));
    EXPECT_NE(prompter.messages.back().text.find("its last byte is at 1FFFFF"), std::string::npos);
    poke.txtOffset = "1FFFFF";
    poke.txtValue = "42";
    ASSERT_TRUE(poke.cmdPut_Click(ed.rom, prompter));
    EXPECT_EQ(FileBytes(dump).at(0x1FFFFF), 0x42);
    ASSERT_TRUE(ed.session.LoadLevelOffset(0x10000 - 0x200, 0x10100 - 0x200));
    EXPECT_EQ(ed.level.objectList.at(0).x, 11);
    EXPECT_EQ(FileBytes(dump).size(), 0x200000u);
}

TEST_F(SessionTest, APokeIntoTheLoadedLevelReloadsItAfterAskingAboutChanges) {
    // Header byte 3 of level 0, then a byte no level holds.
    struct Case {
        bool edited;
        SaveChoice choice;
        const char* offset;
        bool written, asked, stillEdited;
    };
    const Case cases[] = {
        {false, SaveChoice::Cancel, "10003", true, false, false},
        {true, SaveChoice::Cancel, "10003", false, true, true},
        {true, SaveChoice::Discard, "10003", true, true, false},
        {true, SaveChoice::Save, "10003", true, true, false},
        {true, SaveChoice::Cancel, "C7FFF", true, false, true},
    };
    for (const Case& c : cases) {
        SetUp();
        Start(romA);
        if (c.edited) DragObjectRight();
        const std::vector<uint8_t> before = FileBytes(romA);
        prompter.saveChoice = c.choice;
        prompter.questions.clear();
        HexPokeDialog poke;
        poke.txtOffset = c.offset;
        poke.txtValue = "5A";
        EXPECT_EQ(ed.session.PokeByte(poke), c.written) << c.offset;
        const int64_t at = static_cast<int64_t>(std::stoul(c.offset, nullptr, 16));
        EXPECT_EQ(FileBytes(romA).at(static_cast<size_t>(at)), c.written ? 0x5A : before.at(static_cast<size_t>(at)));
        EXPECT_EQ(prompter.questions.size(), c.asked ? 1u : 0u);
        EXPECT_EQ(ed.session.changed(), c.stillEdited);
        // The editor holds what the file holds: the poked header byte, and
        // the saved drag when the changes were saved first.
        if (c.written && at == 0x10003) {
            EXPECT_EQ(ed.level.headerBytes[3], 0x5A);
            EXPECT_EQ(ed.level.objectList.at(0).x, c.choice == SaveChoice::Save ? 11 : 10);
        }
    }
}

TEST_F(SessionTest, EditsMarkTheCaptionAndSavingClearsIt) {
    Start(romA);
    DragObjectRight();
    EXPECT_TRUE(ed.session.changed());
    EXPECT_EQ(ed.session.caption, "a.smc - Marlwick *");
    ed.session.mnuFileSave_Click();
    EXPECT_EQ(prompter.messages, (std::vector<PromptMessage>{{"Marlwick", "Level saved succesfully."}}));
    EXPECT_FALSE(ed.session.changed());
    EXPECT_EQ(ed.session.caption, "a.smc - Marlwick");
    // The file holds the moved object.
    const LevelLoad reread = mw::LoadLevelIndex(ed.rom, ed.defs, 0);
    ASSERT_TRUE(reread.loaded());
    EXPECT_EQ(reread.level.objectList, ed.level.objectList);
    EXPECT_EQ(reread.level.objectList[0].x, 11);
}

TEST_F(SessionTest, ADragBackToItsStartLeavesNoStepAndASaveMidDragStartsANewOne) {
    Start(romA);
    const LevelObject& o = ed.level.objectList.at(0);
    const int startX = o.x;
    const float px = (o.x - ed.view.scrollX()) * 16 + 2.0f, py = (o.y - ed.view.scrollY()) * 16 + 2.0f;
    ed.tool.Level_MouseDown(1, 0, px, py);
    ed.tool.Level_MouseMove(1, 0, px + 32, py);
    ed.tool.Level_MouseMove(1, 0, px, py);
    EXPECT_FALSE(ed.session.changed());
    EXPECT_FALSE(ed.commands.mnuEditUndoEnabled());
    EXPECT_EQ(ed.session.caption, "a.smc - Marlwick");

    // Saved while the button is still down; the drag goes on from the saved state.
    ed.tool.Level_MouseMove(1, 0, px + 16, py);
    ed.session.mnuFileSave_Click();
    ASSERT_FALSE(ed.session.changed());
    ed.tool.Level_MouseMove(1, 0, px + 48, py);
    ed.tool.Level_MouseUp(1, 0, px + 48, py);
    EXPECT_TRUE(ed.session.changed());
    EXPECT_EQ(ed.level.objectList[0].x, startX + 3);
    ed.commands.mnuEditUndo_Click();  // back to what was saved, not to before the drag
    EXPECT_EQ(ed.level.objectList[0].x, startX + 1);
    EXPECT_FALSE(ed.session.changed());
}

TEST_F(SessionTest, OpenRomCancelChangesNothing) {
    Start(romA);
    ed.session.mnuFileOpen_Click();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(ed.session.caption, "a.smc - Marlwick");
    EXPECT_EQ(ed.level.objectList.at(0).x, 10);
    EXPECT_EQ(ed.rom.path(), romA);
}

TEST_F(SessionTest, OpenRomFailureKeepsTheOldRomAndLevel) {
    Start(romA);
    DragObjectRight();
    prompter.saveChoice = SaveChoice::Discard;
    const std::string missing = dir.file("gone.smc");
    prompter.openFileAnswers = {missing};
    ed.session.mnuFileOpen_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find(missing), std::string::npos);
    EXPECT_EQ(ed.rom.path(), romA);
    EXPECT_TRUE(ed.rom.isOpen());
    EXPECT_EQ(ed.level.objectList.at(0).x, 11);
    EXPECT_EQ(ed.session.caption, "a.smc - Marlwick *");

    // A file whose level 0 cannot be read is refused the same way.
    RomImage tiny(0x1000);
    const std::string small = dir.file("tiny.smc");
    std::ofstream(small, std::ios::binary).write(reinterpret_cast<const char*>(tiny.bytes.data()), 0x1000);
    prompter.messages.clear();
    prompter.openFileAnswers = {small};
    ed.session.mnuFileOpen_Click();
    ASSERT_EQ(prompter.messages.size(), 3u);  // the version notice, what it is, why its level 0 is refused
    EXPECT_EQ(prompter.messages[0], kNotice);
    EXPECT_NE(prompter.messages[1].text.find("too small"), std::string::npos);
    EXPECT_EQ(prompter.messages[2].title, "Marlwick - This is bad");
    EXPECT_EQ(ed.rom.path(), romA);
    EXPECT_EQ(ed.level.objectList.at(0).x, 11);
}

TEST_F(SessionTest, UnsavedChangesAreNeverDroppedWithoutAQuestion) {
    Start(romA);
    DragObjectRight();
    prompter.saveChoice = SaveChoice::Cancel;
    prompter.openFileAnswers = {romB};

    ed.session.mnuFileOpen_Click();
    EXPECT_EQ(prompter.questions, std::vector<PromptMessage>{kUnsaved});
    EXPECT_EQ(prompter.openFileAnswers.size(), 1u);  // no file dialog
    EXPECT_FALSE(ed.session.LoadLevelIndex(1));
    EXPECT_FALSE(ed.session.LoadLevelOffset(0x10200, 0x10300));
    ed.session.mnuMainQuit_Click();
    EXPECT_FALSE(ed.quitRequested);
    EXPECT_FALSE(ed.session.Form_Unload());
    EXPECT_EQ(prompter.questions.size(), 5u);
    EXPECT_EQ(ed.rom.path(), romA);
    EXPECT_EQ(ed.level.objectList.at(0).x, 11);
    EXPECT_TRUE(ed.session.changed());
    EXPECT_TRUE(prompter.messages.empty());

    prompter.saveChoice = SaveChoice::Discard;
    EXPECT_TRUE(ed.session.LoadLevelIndex(0));
    EXPECT_EQ(ed.level.objectList.at(0).x, 10);
    EXPECT_FALSE(ed.session.changed());
    EXPECT_EQ(ed.session.caption, "a.smc - Marlwick");
    // Nothing unsaved: no question. The new ROM's level 0 replaces the
    // level; the view stays where it was.
    ed.hscLevelPos_Change(5);
    ed.session.mnuFileOpen_Click();
    EXPECT_EQ(prompter.questions.size(), 6u);
    EXPECT_EQ(ed.rom.path(), romB);
    EXPECT_EQ(ed.session.caption, "b.smc - Marlwick");
    EXPECT_EQ(ed.level.objectList.at(0).x, 20);
    EXPECT_EQ(ed.view.scrollX(), 5);
}

TEST_F(SessionTest, SaveFromTheQuestionGoesOnOnlyWhenTheSaveSucceeds) {
    Start(romA);
    DragObjectRight();
    prompter.saveChoice = SaveChoice::Save;
    ASSERT_TRUE(ed.session.LoadLevelIndex(1));
    EXPECT_EQ(prompter.messages.back().text, "Level saved succesfully.");
    ASSERT_TRUE(ed.session.LoadLevelIndex(0));  // nothing unsaved: no second question
    EXPECT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(ed.level.objectList.at(0).x, 11);

    // Level 0 has 4 free bytes: a five-byte object more is refused by the save.
    ed.panels.lstObjects_Click(FindListValue(ed.panels.palette.items, 0x01));
    ed.commands.cmdAddObject_Click();
    ASSERT_TRUE(ed.session.changed());
    const std::vector<uint8_t> before = ed.rom.bytes();
    const std::vector<LevelObject> edited = ed.level.objectList;
    prompter.openFileAnswers = {romB};
    ed.session.mnuFileOpen_Click();
    EXPECT_FALSE(ed.session.LoadLevelIndex(1));
    EXPECT_FALSE(ed.session.Form_Unload());
    EXPECT_FALSE(ed.quitRequested);
    EXPECT_EQ(prompter.questions.size(), 4u);
    EXPECT_EQ(prompter.openFileAnswers.size(), 1u);  // the open went no further
    EXPECT_EQ(ed.rom.path(), romA);
    EXPECT_EQ(ed.level.objectList, edited);
    EXPECT_TRUE(ed.session.changed());
    EXPECT_EQ(ed.rom.bytes(), before);
}

TEST_F(SessionTest, AFileThatIsNoRomLeavesNothingToEdit) {
    dir.write("notes.txt", "This is not a ROM.\n");
    ed.session.Form_Load(dir.path(), dir.file("notes.txt"));
    ASSERT_FALSE(ed.quitRequested);
    ASSERT_FALSE(ed.session.levelLoaded);
    ed.Form_Resize(845, 504);
    ed.panels.lstObjects_Click(FindListValue(ed.panels.palette.items, 0x01));
    HeaderDialog header;
    header.Show(ed.level.headerBytes);
    header.boxes[0] = "3";
    const std::function<void()> commands[] = {
        [&] { ed.commands.cmdAddObject_Click(); },
        [&] { ed.commands.cmdRemoveObject_Click(); },
        [&] { ed.commands.mnuRandomLevelClear_Click(); },
        [&] { ed.session.mnuFileSave_Click(); },
        [&] { header.cmdOK_Click(ed); },
        [&] { ed.commands.ResetHeader(LevelHeader{9}); },  // the window's own way back from the dialog
        [&] {
            ed.panels.mnuViewScreenExit_Click();
            ed.commands.cmdAddObject_Click();
            ed.tool.Level_MouseDown(1, 0, 20, 20);
        },
    };
    for (const auto& command : commands) {
        prompter.messages.clear();
        command();
        EXPECT_EQ(prompter.messages, (std::vector<PromptMessage>{{"Marlwick", "No level is loaded."}}));
    }
    ed.tool.Level_MouseDown(2, 0, 20, 20);  // no pick list either
    EXPECT_FALSE(ed.panels.lstPopup.visible());
    EXPECT_TRUE(ed.level.objectList.empty());
    EXPECT_TRUE(ed.level.exitList.empty());
    EXPECT_FALSE(ed.session.changed());
    EXPECT_EQ(ed.session.caption, "notes.txt - Marlwick");
}

TEST_F(SessionTest, EndingClosesTheRomAndAsksAtMostOnce) {
    Start(romA);
    EXPECT_TRUE(ed.session.Form_Unload());  // nothing unsaved: no question
    EXPECT_TRUE(prompter.questions.empty());
    EXPECT_FALSE(ed.rom.isOpen());

    LevelEditor other(prompter);
    other.session.Form_Load(dir.path(), romA);
    other.Form_Resize(845, 504);
    other.hscLevelPos_Change(0);  // the pixels below are for the level's top-left
    other.vscLevelPos_Change(0);
    other.tool.Level_MouseDown(1, 0, 162, 66);
    other.tool.Level_MouseMove(1, 0, 180, 66);
    ASSERT_TRUE(other.session.changed());
    other.session.mnuMainQuit_Click();
    EXPECT_TRUE(other.quitRequested);
    EXPECT_FALSE(other.rom.isOpen());
    other.quitRequested = false;  // the shell closes the window in turn
    EXPECT_TRUE(other.session.Form_Unload());
    EXPECT_EQ(prompter.questions.size(), 1u);
}

TEST_F(SessionTest, LoadersResetSelectionAndLabels) {
    Start(romA);
    ed.SelectObject(1);
    ed.panels.lstPopup.top = 10;
    ASSERT_TRUE(ed.session.LoadLevelIndex(1));
    EXPECT_EQ(ed.level.objectLast(), -1);
    EXPECT_EQ(ed.selectedObject(), -1);
    EXPECT_EQ(ed.selectedExit(), -1);  // no exit to select
    EXPECT_EQ(ed.panels.lblByteUsage.text, "0/2");
    EXPECT_EQ(ed.panels.lblSByteUsage.text, "0/0");
    EXPECT_EQ(ed.panels.lblObjectInfo.text, "");
    EXPECT_FALSE(ed.panels.lstPopup.visible());
    EXPECT_EQ(ed.view.visibleLast(), -1);

    ASSERT_TRUE(ed.session.LoadLevelOffset(0x10000, 0x10100));
    EXPECT_EQ(prompter.messages.back(),
              (PromptMessage{"Marlwick - Substandard loading feature", "Level and sprites loaded."}));
    EXPECT_EQ(ed.level.objectLast(), 1);
    EXPECT_EQ(ed.selectedExit(), 0);
    EXPECT_EQ(ed.view.visibleLast(), 1);
}

TEST_F(SessionTest, LoadingALevelScrollsToWhereItOpens) {
    Start(romA);
    auto scroll = [&] { return std::pair(ed.view.scrollX(), ed.view.scrollY()); };
    EXPECT_EQ(scroll(), std::pair(5, 4));  // its entries' top-left: the sprite's column, the object's row
    ed.SetScroll(ed.view.hsc, 100);
    ed.SetScroll(ed.view.vsc, 50);
    ASSERT_TRUE(ed.session.LoadLevelIndex(1));  // empty: the old scroll is not kept
    EXPECT_EQ(scroll(), std::pair(0, 0));

    // A course that starts on level 0 at tile (80, 40) puts that tile in the
    // middle of the 25 by 30 tile view.
    std::vector<uint8_t> bytes = ReadFileBytes(romB);
    bytes[kCourseStartTable] = 0x00;
    bytes[kCourseStartTable + 1] = 0x80;
    bytes[kCourseStartTable + 2] = 0x40;
    WriteFileBytes(romB, bytes);
    prompter.openFileAnswers = {romB};
    ed.session.mnuFileOpen_Click();
    EXPECT_EQ(scroll(), std::pair(0x80 - 13, 0x40 - 15));
}

TEST_F(SessionTest, RefusedLoadKeepsTheLevelAndItsChanges) {
    Start(romA);
    DragObjectRight();
    prompter.saveChoice = SaveChoice::Discard;
    // Indices past the table: one message with the range, and no question
    // about the changes, since nothing would replace them.
    for (int32_t index : {0xDE, 0xFF, 0x7FFFFF, -1}) {
        prompter.messages.clear();
        EXPECT_FALSE(ed.session.LoadLevelIndex(index)) << index;
        ASSERT_EQ(prompter.messages.size(), 1u) << index;
        EXPECT_NE(prompter.messages[0].text.find("0 to DD"), std::string::npos);
    }
    EXPECT_TRUE(prompter.questions.empty());
    EXPECT_EQ(ed.level.objectList.at(0).x, 11);
    EXPECT_TRUE(ed.session.changed());
    EXPECT_FALSE(ed.quitRequested);
}

TEST_F(SessionTest, UnknownObjectTypeRefusesTheLevelAndKeepsTheEdits) {
    Start(romA);
    DragObjectRight();
    const std::vector<uint8_t> before = ed.rom.bytes();
    prompter.saveChoice = SaveChoice::Discard;
    EXPECT_FALSE(ed.session.LoadLevelIndex(2));
    EXPECT_FALSE(ed.quitRequested);
    EXPECT_TRUE(ed.rom.isOpen());
    EXPECT_EQ(ed.level.objectList.at(0).x, 11);
    EXPECT_TRUE(ed.session.changed());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0],
              (PromptMessage{"Marlwick - This is bad",
                             "Unknown object type (WEIRD error!) : Object 50 thinks it's type0\nThe level was not loaded."}));
    std::ifstream in(romA, std::ios::binary);
    const std::vector<uint8_t> after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace mw::test
