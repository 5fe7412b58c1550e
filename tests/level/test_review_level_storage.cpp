// A level loaded by explicit offsets has no pointer table entry to bound its
// free space, and its two streams may have been typed to overlap.
#include <gtest/gtest.h>

#include <fstream>

#include "editing/rom_writes.h"
#include "level/level_codec.h"
#include "level/level_save.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

const std::vector<uint8_t> kHeader = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

struct ByOffsets {
    std::string path;
    RomFile file;
    LevelState state;
};

void LoadByOffsets(ByOffsets& l, const test::RomImage& rom, int32_t h, int32_t s) {
    l.path = rom.writeTemp();
    std::string err;
    ASSERT_TRUE(l.file.open(l.path, err)) << err;
    RecordingPrompter p;
    ASSERT_EQ(test::TakeLoad(LoadLevelOffset(l.file, test::SmallDefinitions(), h, s), p, l.state), LoadResult::Loaded);
}

TEST(FreeSpaceByOffsets, StopsWhereTheLevelsOtherStreamBegins) {
    // Objects, three zeros, then the sprite stream, whose first record is
    // sprite 000 at (0, 0): three more zeros that belong to the sprites.
    test::RomImage rom;
    const int32_t h = 0x90000, s = h + 15;
    rom.put(h, test::Cat({kHeader, {0xFF, 0xFF, 0x00, 0x00, 0x00}, test::SpriteRec(0x000, 0, 0), {0xFF, 0xFF}}));
    ByOffsets l;
    LoadByOffsets(l, rom, h, s);
    EXPECT_EQ(l.state.objectBytesAvailable, 3);
    EXPECT_EQ(l.state.spriteBytesUsed, 3);

    // The same the other way round: sprites first, then the level's header,
    // which begins with zeros.
    test::RomImage rev;
    const int32_t s2 = 0x90000, h2 = s2 + 4;
    rev.put(s2, test::Cat({{0xFF, 0xFF, 0x00, 0x00}, {0x00, 0x00, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A},
                           {0xFF, 0xFF, 0xEA}}));
    ByOffsets r;
    LoadByOffsets(r, rev, h2, s2);
    EXPECT_EQ(r.state.spriteBytesAvailable, 2);

    // Saving writes the two streams side by side, as they were.
    RecordingPrompter p;
    ASSERT_TRUE(SaveLevel(l.file, test::SmallDefinitions(), l.state, p));
    EXPECT_EQ(test::ReadFileBytes(l.path), rom.bytes);
}

TEST(SaveLevel, RefusesStreamsThatOverlap) {
    // A sprite offset typed equal to the header offset: the header's first
    // two bytes read as the sprites' end marker.
    test::RomImage rom;
    const int32_t h = 0x90000;
    rom.put(h, test::Cat({{0xFF, 0xFF, 3, 4, 5, 6, 7, 8, 9, 10}, {0xFF, 0xFF}}));
    ByOffsets l;
    LoadByOffsets(l, rom, h, h);
    RecordingPrompter p;
    EXPECT_FALSE(SaveLevel(l.file, test::SmallDefinitions(), l.state, p));
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].title, "Marlwick");
    EXPECT_NE(p.messages[0].text.find("overlap"), std::string::npos) << p.messages[0].text;
    EXPECT_EQ(test::ReadFileBytes(l.path), rom.bytes);
}

}  // namespace
}  // namespace mw
