#include <gtest/gtest.h>

#include <filesystem>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

// A complete, small set of definition files.
class DefinitionFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("O5Data.dat", "01,\"Land, rectangle\",000 0 0,0,B4DC96\n"
                                "04,\"Slope\",100 2 1,1,102030\n"
                                "30,\"Five then four\",000 0 0,0,111111\n"
                                "FF,\"Five-byte end\",000 0 0,0,222222\n");
        dir.write("O4Data.dat", "00,\"Introducer\",2,111 1 1,1,A8E4E4\n"
                                "0D,\"Thin platform\",1,000 0 0,0,EAD6A2\n"
                                "30,\"Four wins\",2,1,0,333333\n"
                                "FF,\"End of object list\",1,000 0 0,0,C8C8C8\n");
        dir.write("O4SData.dat", "83,\"Cloud\",32,22,1,C8F2F6\n");
        dir.write("SpriteData.dat", "000,\"Log\",EAD6A8\n1f0,\"Generator\",D4D4D4\n200,\"Beyond\",010203\n");
        dir.write("LevelList.dat", "00,\"1-1 First\"\n0a,\"Tenth, with comma\"\n");
        dir.write("EntranceTypes.dat", "00,\"Plain\"\r\n9,\"Launched\"\r\n");
        dir.write("Headerless.dat", "38,\"Title screen\"\n");
    }

    DefinitionTables load() {
        DefinitionTables t;
        auto error = LoadDefinitions(dir.path(), t);
        EXPECT_FALSE(error) << error->describe();
        return t;
    }

    std::optional<DefinitionError> loadExpectingError() {
        DefinitionTables t;
        return LoadDefinitions(dir.path(), t);
    }

    test::TempDir dir;
};

TEST_F(DefinitionFiles, FillsEveryTableRowFromItsFile) {
    DefinitionTables t = load();
    const ObjectDefinition& land = t.objectDefs[0x01];
    EXPECT_EQ(land.name, "Land, rectangle");
    EXPECT_EQ(land.kind, kKindFiveByte);
    EXPECT_EQ(land.colour, (Rgb{0xB4, 0xDC, 0x96}));
    EXPECT_FALSE(land.isSlope);

    const ObjectDefinition& slope = t.objectDefs[0x04];
    EXPECT_TRUE(slope.isSlope);
    EXPECT_FALSE(slope.slopeDirectionA);
    EXPECT_FALSE(slope.slopeDirectionB);
    EXPECT_EQ(slope.slopeRun, 2);
    EXPECT_EQ(slope.slopeRise, 1);
    EXPECT_TRUE(slope.crossSectionFlag);

    const ObjectDefinition& ledge = t.objectDefs[0x0D];
    EXPECT_EQ(ledge.kind, kKindFourByte);
    EXPECT_EQ(ledge.sizeMode, 1);

    EXPECT_EQ(t.extendedDefs[0x83].name, "Cloud");
    EXPECT_EQ(t.extendedDefs[0x83].width, 32);
    EXPECT_EQ(t.extendedDefs[0x83].height, 22);
    EXPECT_TRUE(t.extendedDefs[0x83].crossSectionFlag);

    EXPECT_EQ(t.spriteDefs[0x1F0].name, "Generator");
    EXPECT_EQ(t.spriteDefs[0x200].name, "Beyond");  // 0x200 is accepted
    EXPECT_EQ(t.spriteDefs[0x200].colour, (Rgb{1, 2, 3}));

    // Rows that no line fills keep their initial values.
    EXPECT_EQ(t.objectDefs[0x02].kind, kKindNone);
    EXPECT_TRUE(t.objectDefs[0x02].name.empty());
    EXPECT_EQ(t.spriteDefs[0x001].colour, Rgb{});
}

TEST_F(DefinitionFiles, RowsZeroAndFFAreFixedButKeepTheirNames) {
    DefinitionTables t = load();
    EXPECT_EQ(t.objectDefs[0x00].name, "Introducer");
    EXPECT_EQ(t.objectDefs[0x00].kind, kKindExtended);
    EXPECT_EQ(t.objectDefs[0x00].sizeMode, 0);
    EXPECT_TRUE(t.objectDefs[0x00].isSlope);  // other fields stay as the file gave them
    EXPECT_EQ(t.objectDefs[0xFF].name, "End of object list");
    EXPECT_EQ(t.objectDefs[0xFF].kind, kKindEndMarker);
    EXPECT_EQ(t.objectDefs[0xFF].sizeMode, 1);
}

TEST_F(DefinitionFiles, FourByteDefinitionOverridesFiveByteOne) {
    DefinitionTables t = load();
    const ObjectDefinition& row = t.objectDefs[0x30];
    EXPECT_EQ(row.name, "Four wins");
    EXPECT_EQ(row.kind, kKindFourByte);
    EXPECT_EQ(row.sizeMode, 2);
    EXPECT_TRUE(row.isSlope);  // flags "1"
    EXPECT_EQ(row.slopeRun, 0);
    EXPECT_EQ(row.colour, (Rgb{0x33, 0x33, 0x33}));
}

TEST_F(DefinitionFiles, ListEntriesShowTheIdAsWritten) {
    DefinitionTables t = load();
    for (int level = -1; level <= 0x100; ++level) EXPECT_EQ(t.isHeaderless(level), level == 0x38) << level;
    EXPECT_EQ(t.destinationLevels,
              (std::vector<ListEntry>{{"00 1-1 First", 0x00}, {"0a Tenth, with comma", 0x0A}}));
    EXPECT_EQ(t.entranceTypes, (std::vector<ListEntry>{{"00 Plain", 0}, {"9 Launched", 9}}));
}

TEST_F(DefinitionFiles, LoadingAgainStartsFromEmptyTables) {
    DefinitionTables t = load();
    dir.write("O5Data.dat", "02,\"Other\",000 0 0,0,B4DC96\n");
    dir.write("LevelList.dat", "01,\"Only\"\n");
    ASSERT_FALSE(LoadDefinitions(dir.path(), t));
    EXPECT_EQ(t.objectDefs[0x01].kind, kKindNone);
    EXPECT_EQ(t.destinationLevels.size(), 1u);
}

TEST_F(DefinitionFiles, EachMissingOrUnreadableFileIsNamedWithTheSystemsReason) {
    for (const char* name :
         {"O5Data.dat", "O4Data.dat", "O4SData.dat", "SpriteData.dat", "LevelList.dat", "EntranceTypes.dat",
          "Headerless.dat"}) {
        SetUp();
        std::filesystem::remove(dir.file(name));
        auto error = loadExpectingError();
        ASSERT_TRUE(error) << name;
        EXPECT_EQ(error->file, name);
        EXPECT_EQ(error->line, 0);
        EXPECT_EQ(error->describe().rfind(std::string(name) + ": ", 0), 0u) << error->describe();
        EXPECT_NE(error->reason.find("No such file"), std::string::npos) << error->reason;
        // A directory in its place is refused as such.
        std::filesystem::create_directory(dir.file(name));
        error = loadExpectingError();
        ASSERT_TRUE(error) << name;
        EXPECT_EQ(error->file, name);
        EXPECT_NE(error->reason.find("not a regular file"), std::string::npos) << error->reason;
        std::filesystem::remove(dir.file(name));
    }
}

TEST_F(DefinitionFiles, AnObjectOrSpriteTableWithoutRecordsIsAnError) {
    for (const char* name : {"O5Data.dat", "O4Data.dat", "O4SData.dat", "SpriteData.dat"}) {
        SetUp();
        dir.write(name, "\n  \r\n");
        auto error = loadExpectingError();
        ASSERT_TRUE(error) << name;
        EXPECT_EQ(error->describe(), std::string(name) + ": holds no records");
    }
    // The lists may be empty.
    SetUp();
    dir.write("Headerless.dat", "");
    dir.write("LevelList.dat", "");
    EXPECT_FALSE(loadExpectingError());
}

struct BadLine {
    const char* file;
    const char* text;  // written as line 3, after two blank lines
    const char* reasonPart;
};

TEST_F(DefinitionFiles, MalformedLinesAreReportedWithFileAndLine) {
    const BadLine cases[] = {
        {"O5Data.dat", "100,\"Too big\",000 0 0,0,FFFFFF", "ID \"100\""},
        {"O5Data.dat", "05,\"Short colour\",000 0 0,0,FFFFF", "colour"},
        {"O5Data.dat", "05,\"Too few\",000 0 0,0", "expected 5 fields, found 4"},
        {"O5Data.dat", "05,\"Bad cross\",000 0 0,yes,FFFFFF", "cross-section"},
        {"O4Data.dat", "05,\"Bad mode\",256,000 0 0,0,FFFFFF", "size mode 256"},
        {"O4Data.dat", "05,\"Too many\",1,000 0 0,0,FFFFFF,extra", "expected 6 fields, found 7"},
        {"O4SData.dat", "05,\"Wide\",256,1,0,FFFFFF", "width 256"},
        {"O4SData.dat", "05,\"Tall\",1,1000,0,FFFFFF", "height 1000"},
        {"SpriteData.dat", "201,\"Beyond\",FFFFFF", "ID \"201\""},
        {"LevelList.dat", "100,\"Level\"", "ID \"100\""},
        {"EntranceTypes.dat", "0B", "expected 2 fields, found 1"},
        {"Headerless.dat", "1AB,\"Level\"", "ID \"1AB\""},
    };
    for (const BadLine& c : cases) {
        SetUp();
        dir.write(c.file, std::string("\n \n") + c.text + "\n");
        auto error = loadExpectingError();
        ASSERT_TRUE(error) << c.file << ": " << c.text;
        EXPECT_EQ(error->file, c.file);
        EXPECT_EQ(error->line, 3) << c.text;
        EXPECT_NE(error->reason.find(c.reasonPart), std::string::npos) << error->reason;
        EXPECT_EQ(error->describe().rfind(std::string(c.file) + ", line 3: ", 0), 0u) << error->describe();
    }
}

// ---- level list files ----

TEST(DefinitionsFolder, BesideTheProgramFirstThenTheInstalledDataFolder) {
    test::TempDir dir;
    const std::string bin = dir.file("bin"), data = dir.file("share/marlwick");
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(data);
    // (compared as places: Windows may spell the separators the other way)
    EXPECT_TRUE(std::filesystem::equivalent(FindDefinitionsFolder(bin), bin));  // none: the first place looked at
    test::WriteFileBytes(data + "/O5Data.dat", {});
    EXPECT_TRUE(std::filesystem::equivalent(FindDefinitionsFolder(bin), data));
    test::WriteFileBytes(bin + "/O5Data.dat", {});
    EXPECT_TRUE(std::filesystem::equivalent(FindDefinitionsFolder(bin), bin));
}

TEST(LevelLists, LevelListMatchesTheExitEditorEntries) {
    test::TempDir dir;
    dir.write("LevelList.dat", "1F,\"Some level\"\n\nzz,\"broken\"\n");
    std::vector<ListEntry> entries{{"stale", 1}};
    auto error = ReadLevelList(dir.path(), entries);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->file, "LevelList.dat");
    EXPECT_EQ(error->line, 3);
    EXPECT_EQ(entries, (std::vector<ListEntry>{{"1F Some level", 0x1F}}));  // entries read so far
}

TEST(LevelLists, OffsetsAreHexadecimalWithNames) {
    test::TempDir dir;
    dir.write("LevelOffsets.dat", "B03C7,\"00 1-1 Make Eggs, Throw Eggs\"\r\n6dd4,Castle\r\n7FFFFFFF,\"Far\"\r\n");
    std::vector<LevelOffsetEntry> entries;
    ASSERT_FALSE(ReadLevelOffsets(dir.path(), entries));
    EXPECT_EQ(entries, (std::vector<LevelOffsetEntry>{
                           {0xB03C7, "00 1-1 Make Eggs, Throw Eggs"}, {0x6DD4, "Castle"}, {0x7FFFFFFF, "Far"}}));
}

TEST(LevelLists, OffsetOutsideSigned32BitsIsMalformed) {
    test::TempDir dir;
    dir.write("LevelOffsets.dat", "10,\"ok\"\n80000000,\"Too far\"\n");
    std::vector<LevelOffsetEntry> entries;
    auto error = ReadLevelOffsets(dir.path(), entries);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->line, 2);
    EXPECT_EQ(entries.size(), 1u);
}

TEST(LevelLists, OffsetsStopAfter256Rows) {
    test::TempDir dir;
    std::string text;
    for (int k = 0; k < 256; ++k) text += std::to_string(k) + ",\"Level " + std::to_string(k) + "\"\n";
    dir.write("LevelOffsets.dat", text);
    std::vector<LevelOffsetEntry> entries;
    ASSERT_FALSE(ReadLevelOffsets(dir.path(), entries));
    ASSERT_EQ(entries.size(), 256u);
    EXPECT_EQ(entries[255].offset, 0x255);

    dir.write("LevelOffsets.dat", text + "\n300,\"One too many\"\n301,\"And another\"\n");
    auto error = ReadLevelOffsets(dir.path(), entries);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->file, "LevelOffsets.dat");
    EXPECT_EQ(error->line, 258);
    EXPECT_EQ(entries.size(), 256u);
    EXPECT_EQ(entries.back().name, "Level 255");
}

TEST(LevelLists, MissingOffsetsFileIsNamedAndLeavesNoEntries) {
    test::TempDir dir;
    std::vector<LevelOffsetEntry> offsets{{1, "stale"}};
    auto error = ReadLevelOffsets(dir.path(), offsets);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->file, "LevelOffsets.dat");
    EXPECT_TRUE(offsets.empty());
}

TEST(LevelLists, FreeSpaceBlocksAndWhatIsRefused) {
    test::TempDir dir;
    std::vector<FreeBlock> blocks;
    dir.write("FreeSpace.dat", "881A3,881FF,lorom,\"end of bank 10\"\n115548,1201ff,linear,\"\"\n");
    ASSERT_FALSE(ReadFreeSpace(dir.path(), blocks));
    EXPECT_EQ(blocks, (std::vector<FreeBlock>{{0x881A3, 0x88200, false}, {0x115548, 0x120200, true}}));
    for (const char* bad : {"10,F,lorom,\"\"", "10,20,hirom,\"\"", "10,20,lorom", "zz,20,lorom,\"\""}) {
        dir.write("FreeSpace.dat", std::string("8,9,lorom,\"\"\n") + bad + "\n");
        auto error = ReadFreeSpace(dir.path(), blocks);
        ASSERT_TRUE(error) << bad;
        EXPECT_EQ(error->describe().rfind("FreeSpace.dat, line 2", 0), 0u) << error->describe();
    }
}

}  // namespace
}  // namespace mw
