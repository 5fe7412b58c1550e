#include <gtest/gtest.h>

#include "level/demo_loader.h"
#include "level/demo_rom.h"
#include "level/level_codec.h"
#include "level/level_save.h"
#include "map/level_map.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

RomFile& OpenImage(const test::RomImage& image, RomFile& rom) {
    std::string err;
    EXPECT_TRUE(rom.open(image.writeTemp("map.smc"), err)) << err;
    return rom;
}

LevelState Load(const RomFile& rom, const DefinitionTables& defs, int index) {
    RecordingPrompter p;
    LevelState s;
    EXPECT_EQ(test::TakeLoad(LoadLevelIndex(rom, defs, index), p, s), LoadResult::Loaded) << index;
    return s;
}

// The shipped demo ROM, open, with the shipped definitions and a mapper.
class DemoMap : public ::testing::Test {
protected:
    const DefinitionTables& defs = test::ShippedDefinitions();
    test::RomImage image{0};
    RomFile rom;
    LevelMapper mapper;
    void SetUp() override {
        image.bytes = test::ShippedDemoRom();
        OpenImage(image, rom);
    }
};

TEST_F(DemoMap, EveryDemoLevelMapsAndTheTitleScreenSaysWhyNot) {
    for (int n = 0; n < kLevelCount; ++n) {
        const LevelState s = Load(rom, defs, n);
        const LevelMap map = mapper.make(rom, defs, s);
        if (defs.isHeaderless(n)) {
            EXPECT_FALSE(map.made);
            EXPECT_NE(map.reason.find("no header"), std::string::npos) << map.reason;
            continue;
        }
        ASSERT_TRUE(map.made) << n << ": " << map.reason;
        ASSERT_EQ(map.cells.size(), size_t(kMapRows * kMapColumns));
        // Every object with a standard size leaves a non-empty cell at its origin.
        int used = 0;
        for (const auto& o : s.objectList) {
            if (!o.isSprite && o.width > 0 && o.height > 0) {
                EXPECT_NE(map.at(o.x, o.y), 0) << n;
            }
        }
        for (int screen = 0; screen < 128; ++screen) {
            bool any = false;
            for (int i = 0; i < 256; ++i) any |= map.at((screen & 15) * 16 + (i & 15), (screen >> 4) * 16 + (i >> 4)) != 0;
            used += any;
        }
        EXPECT_EQ(map.screens, used) << n;
    }
    // Level 0's course: grass over ground fill, and a two-column pipe.
    const LevelMap first = mapper.make(rom, defs, Load(rom, defs, 0));
    EXPECT_EQ(first.at(0, 0x10), 0x0101);
    EXPECT_EQ(first.at(0, 0x11), 0x0100);
    EXPECT_EQ(first.at(110, 8), 0x0108);
    EXPECT_EQ(first.at(111, 8), 0x0109);
    EXPECT_EQ(first.at(111, 9), 0x0107);
    EXPECT_EQ(DescribeMap(first).rfind("Map: made by the game's code, ", 0), 0u);
}

TEST_F(DemoMap, AnEditInMemoryChangesTheMapAndNotTheFile) {
    const std::vector<uint8_t> before = rom.bytes();
    LevelState s = Load(rom, defs, 4);  // one land object of 16 x 8 at (0, 0x78)
    const LevelMap asFile = mapper.make(rom, defs, s);
    ASSERT_TRUE(asFile.made);
    s.objectList[0].x = 40;
    s.objectList.push_back(MakeObject(0x0D, 100, 20, 5, 1));  // the level grows past its room
    const LevelMap edited = mapper.make(rom, defs, s);
    ASSERT_TRUE(edited.made) << edited.reason;
    EXPECT_EQ(edited.at(0, 0x78), 0);
    EXPECT_EQ(edited.at(40, 0x78), 0x0101);
    EXPECT_EQ(edited.at(100, 20), 0x0103);
    EXPECT_EQ(edited.at(104, 20), 0x0105);
    EXPECT_EQ(rom.bytes(), before);
    // And back: the same level gives the same map again.
    EXPECT_EQ(mapper.make(rom, defs, Load(rom, defs, 4)).cells, asFile.cells);
}

TEST_F(DemoMap, ALevelGrownPastItsBankEndIsReadFromFreeSpace) {
    const std::vector<uint8_t> before = rom.bytes();
    // The level with a header that lies nearest to the end of its bank.
    int nearest = -1;
    int64_t gap = INT64_MAX;
    for (int n = 0; n < kLevelCount; ++n) {
        if (defs.isHeaderless(n)) continue;
        const LevelState s = Load(rom, defs, n);
        const int64_t g = BankEndOffset(s.headerOffset, BankMapping::LoRom) -
                          (s.headerOffset + int64_t(BuildObjectRegion(defs, s).size()));
        if (g < gap) gap = g, nearest = n;
    }
    ASSERT_GE(nearest, 0);
    LevelState s = Load(rom, defs, nearest);
    const LevelMap asFile = mapper.make(rom, defs, s, test::ShippedFreeBlocks());
    ASSERT_TRUE(asFile.made) << asFile.reason;
    // Rows of new objects in an empty part of the level until it runs past the bank end.
    const int64_t bankEnd = BankEndOffset(s.headerOffset, BankMapping::LoRom);
    for (int k = 0; s.headerOffset + int64_t(BuildObjectRegion(defs, s).size()) <= bankEnd; ++k) {
        s.objectList.push_back(MakeObject(0x0D, 8 * (k % 16), 100 + 2 * (k / 16), 5, 1));
        ASSERT_EQ(asFile.at(8 * (k % 16), 100 + 2 * (k / 16)), 0);
    }
    EXPECT_FALSE(mapper.make(rom, defs, s).made);  // no free space known: today's reason
    EXPECT_NE(mapper.make(rom, defs, s).reason.find("past the end of its ROM bank"), std::string::npos);
    const LevelMap grown = mapper.make(rom, defs, s, test::ShippedFreeBlocks());
    ASSERT_TRUE(grown.made) << grown.reason;
    // It is read from exactly where a save would move it.
    CountBytesUsed(defs, s);
    const SavePlan plan = PlanSave(rom.bytes(), defs, s, test::ShippedFreeBlocks(), 0);
    ASSERT_FALSE(plan.refused()) << plan.refusal;
    ASSERT_FALSE(plan.moves.empty());
    EXPECT_EQ(PrepareMap(rom, defs, s, test::ShippedFreeBlocks()).fileOffset, plan.moves.front().to);
    for (const auto& o : s.objectList) {
        if (!o.isSprite && o.width > 0 && o.height > 0) {
            EXPECT_NE(grown.at(o.x, o.y), 0) << o.x << "," << o.y;
        }
    }
    EXPECT_EQ(rom.bytes(), before);
    // What the grown level patched into the copy is put back.
    EXPECT_EQ(mapper.make(rom, defs, Load(rom, defs, nearest)).cells, asFile.cells);
}

// A ROM whose loader is a few hand-written bytes at $10:8B5D, level 0 at
// $14:8000 with an empty object list.
struct LoaderRom {
    test::RomImage image{0xC8000};
    RomFile rom;
    DefinitionTables defs = test::SmallDefinitions();
    explicit LoaderRom(const std::vector<uint8_t>& loader) {
        image.put(0x80D5D, loader);
        image.put(0x81C85, {0x80, 0xFE});  // the "level too big" loop
        image.put(0xA0200, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xFF, 0xFF});
        image.put(0xA0300, {0xFF, 0xFF});
        image.setLevel(0, 0xA0200, 0xA0300);
        OpenImage(image, rom);
    }
};

TEST(LevelMap, RunsThatDoNotFinishSayWhy) {
    struct Case {
        std::vector<uint8_t> loader;
        std::string phrase;
    };
    const std::vector<Case> cases = {
        {{0x80, 0xFE}, "still running after 50000 instructions"},                    // BRA *
        {{0x5C, 0x85, 0x9A, 0x10}, "\"level too big\""},                             // JML $109A85
        {{0xAF, 0x00, 0x00, 0x60}, "read of the unmapped address $60:0000 at $10:8B5D"},  // LDA $600000
        {{0x8D, 0x00, 0x42}, "write to the hardware register $00:4200"},           // STA $4200
        {{0xEA, 0x00}, "BRK at $10:8B5E"},
    };
    for (const Case& c : cases) {
        LoaderRom r(c.loader);
        LevelMapper mapper;
        mapper.setBudget(50000);
        const LevelMap map = mapper.make(r.rom, r.defs, Load(r.rom, r.defs, 0));
        EXPECT_FALSE(map.made);
        EXPECT_EQ(map.reason.rfind("The level's code did not finish: ", 0), 0u) << map.reason;
        EXPECT_NE(map.reason.find(c.phrase), std::string::npos) << map.reason;
    }
    // A loader that returns at once: a map with no screens.
    LoaderRom quick({0x6B});
    LevelMapper mapper;
    const LevelMap empty = mapper.make(quick.rom, quick.defs, Load(quick.rom, quick.defs, 0));
    ASSERT_TRUE(empty.made) << empty.reason;
    EXPECT_EQ(empty.screens, 0);
}

TEST(LevelMap, HostilePointersAndPlacesStayInside) {
    // The loader follows [$32] with every index and writes through long
    // pointers everywhere, into ROM (ignored) and RAM: the run ends at its
    // budget or with a reason, never outside the buffers.
    const std::vector<uint8_t> wild = {
        0xC2, 0x30,              // REP #$30
        0xA0, 0x00, 0x00,        // LDY #0
        0xB7, 0x32,              // loop: LDA [$32],Y
        0x97, 0x32,              // STA [$32],Y
        0xE6, 0x33,              // INC $33 (walks the pointer through the banks)
        0x88,                    // DEY
        0x80, 0xF7,              // BRA loop
    };
    LoaderRom r(wild);
    LevelMapper mapper;
    mapper.setBudget(2'000'000);
    const LevelMap map = mapper.make(r.rom, r.defs, Load(r.rom, r.defs, 0));
    EXPECT_FALSE(map.made);
    EXPECT_NE(map.reason.find("did not finish"), std::string::npos);

    // A level whose edited data would run past its bank is refused before running.
    LevelState s = Load(r.rom, r.defs, 0);
    s.headerOffset = 0xA81F0;  // 16 bytes before the end of bank $14
    for (int k = 0; k < 8; ++k) s.objectList.push_back(MakeObject(0x01, k, k, 1, 1));
    const LevelMap past = mapper.make(r.rom, r.defs, s);
    EXPECT_FALSE(past.made);
    EXPECT_NE(past.reason.find("past the end of its ROM bank"), std::string::npos) << past.reason;
}

TEST(DemoLoader, StaysOutOfTheLevelsAndTheFreeSpace) {
    const auto& defs = test::ShippedDefinitions();
    const std::vector<uint8_t> demo = test::ShippedDemoRom();
    for (const DemoLoaderPiece& piece : BuildDemoLoader(defs)) {
        const int64_t end = piece.fileOffset + int64_t(piece.bytes.size());
        for (const FreeBlock& b : test::ShippedFreeBlocks())
            EXPECT_TRUE(end <= b.start || piece.fileOffset >= b.end) << std::hex << b.start;
        RomFile rom;
        test::RomImage image(0);
        image.bytes = demo;
        OpenImage(image, rom);
        for (int n = 0; n < kLevelCount; ++n) {
            const LevelState s = Load(rom, defs, n);
            const int64_t levelEnd = s.headerOffset + s.objectBytesAvailable + 12;
            EXPECT_TRUE(end <= s.headerOffset || piece.fileOffset >= levelEnd) << n;
        }
    }
}

}  // namespace
}  // namespace mw
