#include <gtest/gtest.h>

#include "level/level_codec.h"
#include "level/level_opening.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

using test::Cat;
using test::ExitRec;
using test::Obj5;

const std::vector<uint8_t> kHeader(10, 0x00);
const std::vector<uint8_t> kNoSprites = {0xFF, 0xFF};
using From = LevelOpening::From;

// Levels 2 to 6 in bank 2: level 2 has an object whose negative width
// reaches left of its origin and an exit to itself; 3 and 4 lead to level 2;
// 5 has one object far from the origin; 6 is empty.
test::RomImage OpeningRom() {
    test::RomImage rom;
    int32_t at = 0x10200;
    auto level = [&](int index, std::vector<uint8_t> objects, std::vector<uint8_t> exits) {
        const auto data = Cat({kHeader, objects, {0xFF}, exits, {0xFF}});
        rom.put(at, data);
        rom.put(at + static_cast<int32_t>(data.size()), kNoSprites);
        rom.setLevel(index, at, at + static_cast<int32_t>(data.size()));
        at += static_cast<int32_t>(data.size()) + 2;
    };
    level(2, Cat({Obj5(0x01, 20, 30, 3, 3), Obj5(0x01, 10, 40, 0xFD, 0)}), ExitRec(0, 0, 0x02, 1, 1, 0));
    level(3, Obj5(0x01, 0, 0, 0, 0), ExitRec(1, 0, 0x02, 0x40, 0x50, 0));
    level(4, {}, Cat({ExitRec(0, 0, 0xDE, 0x02, 0, 0), ExitRec(0, 0, 0x02, 0x60, 0x10, 0)}));
    level(5, Obj5(0x01, 0x90, 0x44, 0, 0), {});
    level(6, {}, {});
    return rom;
}

LevelOpening OpenAt(const test::RomImage& image, int index, bool byOffsets = false) {
    RomFile rom;
    std::string err;
    EXPECT_TRUE(rom.open(image.writeTemp(), err)) << err;
    LevelLoad load = LoadLevelIndex(rom, test::SmallDefinitions(), index);
    EXPECT_TRUE(load.loaded());
    if (byOffsets) {
        load = LoadLevelOffset(rom, test::SmallDefinitions(), load.level.headerOffset, load.level.spriteOffset);
        EXPECT_TRUE(load.loaded());
    }
    return WhereLevelOpens(rom, test::SmallDefinitions(), load.level);
}

TEST(LevelOpening, CourseStartThenEntranceThenEntries) {
    test::RomImage rom = OpeningRom();
    struct Case {
        int level;
        From from;
        int x, y;
    };
    // No course table yet (the filler names no level): level 2 opens at the
    // entrance of level 3's exit, the first of another level leading there.
    for (const Case& c : {Case{2, From::Entrance, 0x40, 0x50}, Case{5, From::Entries, 0x90, 0x44},
                          Case{6, From::Nothing, 0, 0}}) {
        const LevelOpening o = OpenAt(rom, c.level);
        EXPECT_EQ(o.from, c.from) << c.level;
        EXPECT_EQ(std::pair(o.x, o.y), std::pair(c.x, c.y)) << c.level;
    }
    // A course start wins over the entrances; loaded by offsets, the level
    // has no index that either could name, so its entries decide.
    rom.put(kStageTable + 2 * 5, {0x08, 0x00});
    rom.put(kCourseStartTable + 8, {0x02, 0x11, 0x22, 0x00});
    LevelOpening o = OpenAt(rom, 2);
    EXPECT_EQ(o.from, From::CourseStart);
    EXPECT_EQ(std::pair(o.x, o.y), std::pair(0x11, 0x22));
    o = OpenAt(rom, 2, true);
    EXPECT_EQ(o.from, From::Entries);
    EXPECT_EQ(std::pair(o.x, o.y), std::pair(10 - 4, 30));
}

TEST(LevelOpening, CourseTableRecordsThatNameNoPlaceAreSkipped) {
    test::RomImage rom;
    rom.put(kStageTable, std::vector<uint8_t>(2 * kStageCount, 0x00));
    // Stage words: a record (4), one not at a record's start (6), one past
    // any course (0x0700, where the table's own bytes would be read as words).
    rom.put(kStageTable + 2, {0x04, 0x00, 0x06, 0x00, 0x00, 0x07});
    rom.put(kCourseStartTable, {0x05, 0x07, 0x80, 0x00, 0x03, 0x02, 0x7F, 0x00, 0xDE, 0x01, 0x01, 0x00});
    rom.put(kCourseStartTable + 0x700, {0x04, 0x01, 0x01, 0x00});
    EXPECT_EQ(ReadCourseStarts(rom.bytes), (std::vector<CourseStart>{{3, 2, 0x7F}}));
    rom.bytes.resize(kCourseStartTable + 6);  // a record cut by the end of the file
    EXPECT_TRUE(ReadCourseStarts(rom.bytes).empty());
}

}  // namespace
}  // namespace mw
