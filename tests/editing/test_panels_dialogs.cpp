// The header dialog, the byte poke dialog, the level choosers and the About box.
#include <gtest/gtest.h>

#include <filesystem>

#include "editing/about.h"
#include "editing/header_dialog.h"
#include "editing/hex_poke.h"
#include "editing/level_choosers.h"
#include "level/level_codec.h"
#include "support/rom_builder.h"
#include "test_editor_fixture.h"
#include "util/hex_text.h"

namespace mw {
namespace {

using test::RomImage;

// ---- header dialog ----

TEST(PanelsHeaderDialog, AllOnesAndAllZerosRoundTrip) {
    RecordingPrompter prompter;
    HeaderDialog dialog;
    LevelHeader ones;
    ones.fill(0xFF);
    dialog.Show(ones);
    const char* expected[17] = {"31", "15", "31", "31", "63", "63", "63", "127", "15",
                                "31", "3",  "3",  "127", "3", "3",  "31", "127"};
    for (int f = 0; f < 17; ++f) EXPECT_EQ(dialog.boxes[f], expected[f]) << kHeaderFields[f].caption;
    // Rows: Music right under Special Effects, layer 2 position above layer 1.
    EXPECT_STREQ(dialog.rowField(13).boxName, "m");
    EXPECT_STREQ(dialog.rowField(14).boxName, "y");
    EXPECT_STREQ(dialog.rowField(15).boxName, "g");
    auto packed = dialog.cmdOK_Click(prompter);
    ASSERT_TRUE(packed);
    EXPECT_EQ(*packed, ones);
    EXPECT_FALSE(dialog.visible);

    dialog.Show(LevelHeader{});
    for (const auto& box : dialog.boxes) EXPECT_EQ(box, "0");
}

TEST(PanelsHeaderDialog, SingleFieldsPackIntoTheirBits) {
    struct Case {
        const char* box;
        const char* value;
        int byte;
        uint8_t expected;
    } cases[] = {{"t", "1", 1, 0x80}, {"m", "1", 9, 0x80}, {"m", "2", 8, 0x01}, {"g", "1", 8, 0x40}, {"y", "1", 8, 0x10}};
    for (const Case& c : cases) {
        RecordingPrompter prompter;
        HeaderDialog dialog;
        dialog.Show(LevelHeader{});
        for (int row = 0; row < 17; ++row)
            if (std::string(dialog.rowField(row).boxName) == c.box) dialog.boxText(row) = c.value;
        auto packed = dialog.cmdOK_Click(prompter);
        ASSERT_TRUE(packed);
        LevelHeader expected{};
        expected[c.byte] = c.expected;
        EXPECT_EQ(*packed, expected) << c.box << "=" << c.value;
    }
}

TEST(PanelsHeaderDialog, BadBoxesAreRefusedNamingTheField) {
    const char* bad[] = {"", "32", "-1", "3.5", "1e1", "x", "99999999999999999999"};
    for (const char* text : bad) {
        RecordingPrompter prompter;
        HeaderDialog dialog;
        dialog.Show(LevelHeader{});
        dialog.boxes[0] = text;  // Background Color, 0 to 31
        EXPECT_FALSE(dialog.cmdOK_Click(prompter)) << text;
        EXPECT_TRUE(dialog.visible);
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].title, "Marlwick - User error");
        EXPECT_EQ(prompter.messages[0].text, "Background Color must be a whole decimal number from 0 to 31.");
    }
    RecordingPrompter prompter;
    HeaderDialog dialog;
    dialog.Show(LevelHeader{});
    dialog.boxes[16] = " 127 ";
    EXPECT_TRUE(dialog.cmdOK_Click(prompter));
}

TEST(PanelsHeaderDialog, OkGoesThroughResetHeaderAndMarksTheLevel) {
    RecordingPrompter prompter;
    LevelEditor ed(prompter);
    test::Reload(ed, [](LevelState& l) { l.headerBytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}; });
    HeaderDialog dialog;
    dialog.Show(ed.level.headerBytes);
    EXPECT_TRUE(dialog.cmdOK_Click(ed));
    EXPECT_FALSE(ed.session.changed());  // the same bytes: no edit
    dialog.Show(ed.level.headerBytes);
    dialog.boxes[0] = "31";
    EXPECT_TRUE(dialog.cmdOK_Click(ed));
    EXPECT_EQ(ed.level.headerBytes[0], 0xF8 | 1);
    EXPECT_TRUE(ed.session.changed());
}

TEST(PanelsHeaderDialog, ALevelWithoutAHeaderHasNothingToEdit) {
    RecordingPrompter prompter;
    LevelEditor ed(prompter);
    test::Reload(ed, [](LevelState& l) { l.hasHeader = false; });
    HeaderDialog dialog;
    EXPECT_FALSE(dialog.Open(ed.level, prompter));
    EXPECT_FALSE(dialog.visible);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("no header"), std::string::npos);
    ed.commands.ResetHeader({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});  // should a caller get here anyway
    EXPECT_EQ(ed.level.headerBytes, LevelHeader{});
    EXPECT_FALSE(ed.session.changed());
}

class PanelsHeaderImport : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    RomFile rom;
    HeaderDialog dialog;
    DefinitionTables defs;
    const LevelHeader other{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x0F, 0xA5};

    void SetUp() override {
        RomImage image;
        image.put(0x8200, {other.begin(), other.end()});
        image.setRawPointers(0x1A, {0x00, 0x80, 0x01}, {0, 0x80, 0x01});  // LoROM bank 1 -> 0x8200
        image.setRawPointers(3, {0x00, 0x82, 0x40}, {0, 0, 0});            // linear bank 0x40 -> 0x8400
        image.put(0x8400, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        image.setRawPointers(4, {0x00, 0x80, 0x81}, {0, 0, 0});  // not folded: refused
        image.setRawPointers(5, {0x00, 0x80, 0x60}, {0, 0, 0});
        image.setRawPointers(6, {0x00, 0x80, 0x3F}, {0, 0, 0});  // past the end of this image
        image.setRawPointers(0x38, {0x00, 0x80, 0x01}, {0, 0x80, 0x01});  // data like 1A, but no header
        image.setRawPointers(0xDE, {0x00, 0x80, 0x01}, {0, 0x80, 0x01});  // past the table: not a level
        defs.headerlessLevels[0x38] = true;
        std::string error;
        ASSERT_TRUE(rom.open(image.writeTemp(), error)) << error;
        dialog.Show(LevelHeader{});
    }
};

TEST_F(PanelsHeaderImport, ImportsTheOtherLevelsHeaderExactly) {
    dialog.txtImportNum = "1A";
    ASSERT_TRUE(dialog.cmdImport_Click(rom, defs, prompter));
    auto packed = dialog.cmdOK_Click(prompter);
    ASSERT_TRUE(packed);
    EXPECT_EQ(*packed, other);
    EXPECT_EQ(dialog.txtImportNum, "1A");  // kept for the next opening

    dialog.txtImportNum = "3";
    ASSERT_TRUE(dialog.cmdImport_Click(rom, defs, prompter));
    EXPECT_EQ(*dialog.cmdOK_Click(prompter), (LevelHeader{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PanelsHeaderImport, HighBanksAndMissingDataLeaveTheBoxes) {
    dialog.boxes[0] = "7";
    const auto before = dialog.boxes;
    for (const char* level : {"4", "5"}) {
        dialog.txtImportNum = level;
        EXPECT_FALSE(dialog.cmdImport_Click(rom, defs, prompter));
        EXPECT_EQ(prompter.messages.back(),
                  (PromptMessage{"Marlwick - Programmer Error",
                                 "Eep, I didn't think that bank would get used.  Tell me. (Object data area)"}));
    }
    dialog.txtImportNum = "6";
    EXPECT_FALSE(dialog.cmdImport_Click(rom, defs, prompter));
    dialog.txtImportNum = "FFFFFF";
    EXPECT_FALSE(dialog.cmdImport_Click(rom, defs, prompter));
    dialog.txtImportNum = "38";
    EXPECT_FALSE(dialog.cmdImport_Click(rom, defs, prompter));
    EXPECT_EQ(prompter.messages.back().text, "Level 38 has no header; nothing was imported.");
    dialog.txtImportNum = "DE";
    EXPECT_FALSE(dialog.cmdImport_Click(rom, defs, prompter));
    EXPECT_EQ(prompter.messages.back().text, "There is no level DE. Level indices run from 0 to DD.");
    EXPECT_EQ(prompter.messages.size(), 6u);
    EXPECT_EQ(dialog.boxes, before);
}

// ---- byte poke ----

class PanelsHexPoke : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    RomFile rom;
    HexPokeDialog dialog;
    std::string path;
    void SetUp() override {
        RomImage image(0x10000);
        image.put(0, {0x5A});
        image.put(0x8000, {0x42});
        path = image.writeTemp();
        std::string error;
        ASSERT_TRUE(rom.open(path, error)) << error;
    }
};

TEST_F(PanelsHexPoke, GetAndPut) {
    ASSERT_TRUE(dialog.cmdGet_Click(rom, prompter));
    EXPECT_EQ(dialog.txtValue, "5A");
    dialog.txtOffset = "8000";
    dialog.cmdGet_Click(rom, prompter);
    EXPECT_EQ(dialog.txtValue, "42");
    EXPECT_TRUE(prompter.messages.empty());
    dialog.txtOffset = "ffff";
    dialog.txtValue = "0A";
    ASSERT_TRUE(dialog.cmdPut_Click(rom, prompter));
    // The put says what it wrote, and where.
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("Wrote A at offset FFFF"), std::string::npos);
    dialog.txtValue = "";
    dialog.cmdGet_Click(rom, prompter);
    EXPECT_EQ(dialog.txtValue, "A");
    // In the file, and nothing else may be written afterwards.
    RomFile again;
    std::string error;
    ASSERT_TRUE(again.open(path, error));
    EXPECT_EQ(again.byteAt(0xFFFF), 0x0A);
}

TEST_F(PanelsHexPoke, RefusesOffsetsPastTheEndAndValuesAboveFF) {
    const std::vector<uint8_t> before = rom.bytes();
    dialog.txtValue = "77";
    for (const char* offset : {"10000", "FFFFFFFFFF"}) {
        dialog.txtOffset = offset;
        EXPECT_FALSE(dialog.cmdGet_Click(rom, prompter));
        EXPECT_FALSE(dialog.cmdPut_Click(rom, prompter));
    }
    EXPECT_EQ(dialog.txtValue, "77");
    dialog.txtOffset = "10";
    dialog.txtValue = "100";
    EXPECT_FALSE(dialog.cmdPut_Click(rom, prompter));
    ASSERT_EQ(prompter.messages.size(), 5u);
    for (const auto& m : prompter.messages) EXPECT_EQ(m.title, "Marlwick - User error");
    EXPECT_NE(prompter.messages[0].text.find("10000"), std::string::npos);
    EXPECT_NE(prompter.messages[4].text.find("100"), std::string::npos);
    EXPECT_EQ(rom.bytes(), before);
}

TEST_F(PanelsHexPoke, PutWritesOnlyWhatBothBoxesSayExactly) {
    struct Case {
        const char* offset;
        const char* value;
        const char* refusedBox;  // nullptr: written
    };
    const Case cases[] = {
        {"0x200", "1", "Offset"}, {"200", "zz", "Value"},     {"", "1", "Offset"},       {"200", "", "Value"},
        {" 200", "1", "Offset"},  {"200 ", "1", "Offset"},    {"123456789", "1", "Offset"}, {"200", "100", "Value"},
        {"200", "-1", "Value"},   {"2g0", "1", "Offset"},     {"200", "1 ", "Value"},     {"10000", "1", "past"},
        {"200", "7", nullptr},    {"0000FFFF", "ff", nullptr}, {"0", "0", nullptr},      {"8000", "C3", nullptr},
    };
    std::vector<uint8_t> expected = rom.bytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.offset) + " / " + c.value);
        prompter.messages.clear();
        dialog.txtOffset = c.offset;
        dialog.txtValue = c.value;
        const bool written = dialog.cmdPut_Click(rom, prompter);
        EXPECT_EQ(written, c.refusedBox == nullptr);
        ASSERT_EQ(prompter.messages.size(), 1u);
        if (c.refusedBox) {
            EXPECT_EQ(prompter.messages[0].title, "Marlwick - User error");
            EXPECT_NE(prompter.messages[0].text.find(c.refusedBox), std::string::npos) << prompter.messages[0].text;
        } else {
            expected[ParseHex(c.offset)] = static_cast<uint8_t>(ParseHex(c.value));
            EXPECT_NE(prompter.messages[0].text.find("Wrote"), std::string::npos);
        }
        EXPECT_EQ(rom.bytes(), expected);
    }
    // On disk too: exactly the successful puts.
    RomFile again;
    std::string error;
    ASSERT_TRUE(again.open(path, error));
    EXPECT_EQ(again.bytes(), expected);
}

// ---- level choosers ----

class PanelsChooser : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    LevelEditor ed{prompter};
    test::TempDir dir;

    void SetUp() override {
        ed.defs = test::SmallDefinitions();
        RomImage image;
        // Level 1F and level 0 share one layout at two places; both have
        // one object and no sprites.
        const auto level = test::Cat({std::vector<uint8_t>(10, 0), test::Obj5(1, 2, 3, 0, 0), {0xFF, 0xFF, 0, 0}});
        image.put(0x8200, level);
        image.put(0x8300, level);
        image.put(0x8400, {0xFF, 0xFF});
        image.put(0x8500, {0x1E, 0x02, 0x05, 0xFF, 0xFF});  // one sprite
        image.setLevel(0, 0x8200, 0x8400);
        image.setLevel(0x1F, 0x8300, 0x8500);
        std::string error;
        ASSERT_TRUE(ed.rom.open(image.writeTemp(), error)) << error;
    }
};

TEST_F(PanelsChooser, ByIndexListsTheFileAndLoadsTheTypedIndex) {
    dir.write("LevelList.dat", "00, Start\n01, One\n0a, \"Ten, really\"\n10,Sixteen\n1F,Tower\n");
    LevelIndexChooser chooser;
    chooser.Show(dir.path(), prompter, ed.rom);
    ASSERT_EQ(chooser.lstLevels.size(), 5u);
    EXPECT_EQ(chooser.lstLevels[2], (ListEntry{"0a Ten, really", 0x0A}));
    chooser.lstLevels_Click(2, ed.rom);
    EXPECT_EQ(chooser.txtValue, "A");

    // Typing: an index selects exactly its row ("1" is not "10"), other
    // text lists the rows that hold it; what is left selected is loaded.
    const struct {
        const char* typed;
        size_t listed;
        int selectedValue;  // -1: none
    } kTyping[] = {{"1", 5, 0x01}, {"10", 5, 0x10}, {"0A", 5, 0x0A}, {"2", 5, -1},
                   {"tower", 1, 0x1F}, {"TEN, r", 1, 0x0A}, {"xyz", 0, -1}, {"", 5, -1}};
    for (const auto& t : kTyping) {
        chooser.txtValue_Change(t.typed);
        EXPECT_EQ(chooser.shown.size(), t.listed) << t.typed;
        const int selected = chooser.listIndex < 0 ? -1 : chooser.lstLevels[chooser.shown[chooser.listIndex]].value;
        EXPECT_EQ(selected, t.selectedValue) << t.typed;
    }
    // A name that selects nothing loads nothing and keeps the dialog.
    chooser.txtValue_Change("xyz");
    EXPECT_FALSE(chooser.cmdOK_Click(ed));
    EXPECT_TRUE(chooser.visible);

    chooser.txtValue_Change("tow");
    ASSERT_TRUE(chooser.cmdOK_Click(ed));
    EXPECT_FALSE(chooser.visible);
    EXPECT_EQ(ed.level.headerOffset, 0x8300);
    EXPECT_EQ(ed.level.spriteOffset, 0x8500);

    chooser.txtValue_Change("0");
    ASSERT_TRUE(chooser.cmdOK_Click(ed));
    EXPECT_EQ(ed.level.headerOffset, 0x8200);

    dir.write("LevelList.dat", "");  // read once per run
    chooser.Show(dir.path(), prompter, ed.rom);
    EXPECT_EQ(chooser.lstLevels.size(), 5u);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PanelsChooser, ByOffsetKeepsItsSpriteOffsetAndFollowsThePointerTable) {
    // "1F Tower" is listed at its old place; the table points elsewhere now.
    dir.write("LevelOffsets.dat", "8200, Level zero\n9000,1F Tower\n8600,Padding\n");
    RomImage image;
    const auto level = test::Cat({std::vector<uint8_t>(10, 0), test::Obj5(1, 2, 3, 0, 0), {0xFF, 0xFF, 0, 0}});
    image.put(0x8200, level);
    image.put(0x8300, level);
    image.put(0x8400, {0xFF, 0xFF});
    image.put(0x8500, {0x1E, 0x02, 0x05, 0xFF, 0xFF});
    image.put(0x8600, std::vector<uint8_t>(16, 0xFF));
    image.setLevel(0x1F, 0x8300, 0x8500);
    std::string error;
    ed.rom.close();
    ASSERT_TRUE(ed.rom.open(image.writeTemp(), error)) << error;

    LevelOffsetChooser chooser;
    chooser.Show(dir.path(), prompter, ed.rom);
    ASSERT_EQ(chooser.lstLevels.size(), 3u);
    EXPECT_EQ(chooser.lstLevels[1].text, "1F Tower");
    chooser.lstLevels_Click(1, ed.rom);
    EXPECT_EQ(chooser.txtValue, "8300");
    EXPECT_EQ(chooser.txtSpriteOffset, "8500");
    ASSERT_TRUE(chooser.cmdOK_Click(ed));
    EXPECT_EQ(ed.level.spriteBytesUsed, 3);
    EXPECT_EQ(prompter.messages.back().text, "Level and sprites loaded.");

    // A row outside the table keeps the sprite offset typed before.
    chooser.Show(dir.path(), prompter, ed.rom);
    chooser.lstLevels_Click(0, ed.rom);
    EXPECT_EQ(chooser.txtValue, "8200");
    EXPECT_EQ(chooser.txtSpriteOffset, "8500");
    ASSERT_TRUE(chooser.cmdOK_Click(ed));
    EXPECT_EQ(ed.level.headerOffset, 0x8200);
    EXPECT_EQ(ed.level.spriteOffset, 0x8500);

    // Padding is no level: said so, and the level stays.
    chooser.txtValue_Change("8600");
    EXPECT_EQ(chooser.lstLevels[chooser.shown[chooser.listIndex]].text, "Padding");
    ASSERT_TRUE(chooser.cmdOK_Click(ed));
    EXPECT_NE(prompter.messages.back().text.find("holds padding"), std::string::npos);
    EXPECT_EQ(ed.level.headerOffset, 0x8200);
}

TEST_F(PanelsChooser, MissingOrOverlongFilesAreReported) {
    LevelIndexChooser byIndex;
    byIndex.Show(dir.path(), prompter, ed.rom);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find("LevelList.dat"), std::string::npos);
    EXPECT_TRUE(byIndex.visible);

    std::string lines;
    for (int i = 0; i < 257; ++i) lines += std::to_string(i) + ", L\n";
    dir.write("LevelOffsets.dat", lines);
    LevelOffsetChooser byOffset;
    byOffset.Show(dir.path(), prompter, ed.rom);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_NE(prompter.messages[1].text.find("LevelOffsets.dat"), std::string::npos);
    EXPECT_EQ(byOffset.lstLevels.size(), 256u);

    // A file that exists but cannot be read is reported the same way, with
    // the reason.
    std::filesystem::remove(dir.file("LevelOffsets.dat"));
    std::filesystem::create_directory(dir.file("LevelOffsets.dat"));
    LevelOffsetChooser unreadable;
    unreadable.Show(dir.path(), prompter, ed.rom);
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_NE(prompter.messages[2].text.find("LevelOffsets.dat"), std::string::npos);
    EXPECT_NE(prompter.messages[2].text.find("not a regular file"), std::string::npos) << prompter.messages[2].text;
}

// ---- About box and badger ----

TEST(PanelsAbout, CreditsOnceAndCancelKeepsItOpen) {
    RecordingPrompter prompter;
    AboutDialog about;
    about.Show();
    const std::string text = about.lblAbout;
    EXPECT_EQ(text.rfind("\n\n", 0), 0u);  // two empty lines first
    about.cmdOK_Click();
    about.Show();
    EXPECT_EQ(about.lblAbout, text);
    about.cmdCancel_Click(prompter);
    EXPECT_TRUE(about.visible);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "Marlwick - User Error");
}

TEST(PanelsAbout, BadgersCountUp) {
    RecordingPrompter prompter;
    LevelEditor ed(prompter);
    ed.commands.mnuRandomBadger_Click();
    ed.commands.mnuRandomBadger_Click();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0], (PromptMessage{"Marlwick - Sillyness", "Badger fetched.  You now have 1 badgers."}));
    EXPECT_EQ(prompter.messages[1].text, "Badger fetched.  You now have 2 badgers.");
}

}  // namespace
}  // namespace mw
