#include <gtest/gtest.h>

#include "level/demo_rom.h"
#include "level/level_codec.h"
#include "level/room.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

struct PointerCase {
    uint8_t low, high, bank;
    int32_t offset;
    std::vector<std::string> titles;
};

TEST(PointerToOffset, ConvertsBanksAndReportsOddOnes) {
    const std::string abnormal = "Marlwick - Do you subtract 0x80 from banks over 80 and then treat them normally?";
    const std::string invalid = "Marlwick - Index points to invalid bank";
    const std::vector<PointerCase> cases = {
        {0xC3, 0xF7, 0x17, 0xBF9C3, {}},
        {0x00, 0x80, 0x00, 0x200, {}},
        {0x00, 0x80, 0x01, 0x8200, {}},
        {0x00, 0x00, 0x01, 0x8200, {}},  // bit 15 of the address follows the bank's lowest bit
        {0xFF, 0x7F, 0x00, 0x81FF, {}},
        {0x00, 0x00, 0x40, 0x200, {}},
        {0x34, 0x12, 0x45, 0x51434, {}},
        {0xFF, 0xFF, 0x5F, 0x2001FF, {}},
        {0x00, 0x80, 0x97, 0xB8200, {abnormal}},
        {0x00, 0x80, 0x65, 0, {invalid}},
        {0x00, 0x80, 0xE5, 0, {abnormal, invalid}},
    };
    for (const auto& c : cases) {
        Messages said;
        EXPECT_EQ(PointerToOffset(c.low, c.high, c.bank, said), c.offset) << std::hex << int(c.bank);
        ASSERT_EQ(said.size(), c.titles.size());
        for (size_t k = 0; k < c.titles.size(); ++k) EXPECT_EQ(said[k].title, c.titles[k]);
    }
    Messages said;
    PointerToOffset(0x00, 0x80, 0xE5, said);
    EXPECT_EQ(said[0].text, "Abnormal bank number.  Level may not load properly.");
    EXPECT_EQ(said[1].text,
              "This index points to an invalid bank.  It will load incorrectly.\nBank number: E5");
}

TEST(PointerToOffset, DemoPointerHelpersRoundTrip) {
    for (int32_t off : {0x200, 0x80200, 0x8FFFF, 0xBF9C3, 0xFFFFF}) {
        auto p = LoRomPointer(off);
        EXPECT_EQ(PointerToOffsetQuiet(p[0], p[1], p[2]), off);
    }
    auto lin = LinearPointer(0x1E0234);
    EXPECT_EQ(lin[2], 0x5E);
    EXPECT_EQ(PointerToOffsetQuiet(lin[0], lin[1], lin[2]), 0x1E0234);
}

TEST(LoadLevelIndex, ReadsBothPointersOfTheEntry) {
    test::RomImage rom;
    const auto defs = test::SmallDefinitions();
    rom.put(0x90000, test::Cat({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {0xFF, 0xFF}}));
    rom.put(0x91000, {0xFF, 0xFF});
    rom.setLevel(0x1F, 0x90000, 0x91000);
    RomFile f;
    std::string err;
    ASSERT_TRUE(f.open(rom.writeTemp(), err)) << err;
    RecordingPrompter p;
    LevelState s;
    ASSERT_EQ(test::TakeLoad(LoadLevelIndex(f, defs, 0x1F), p, s), LoadResult::Loaded);
    EXPECT_EQ(s.headerOffset, 0x90000);
    EXPECT_EQ(s.spriteOffset, 0x91000);
    EXPECT_EQ(s.headerBytes, (LevelHeader{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(p.messages.empty());

    // The offset loader says so when it is done.
    ASSERT_EQ(test::TakeLoad(LoadLevelOffset(f, defs, 0x90000, 0x91000), p, s), LoadResult::Loaded);
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].title, "Marlwick - Substandard loading feature");
    EXPECT_EQ(p.messages[0].text, "Level and sprites loaded.");
}

}  // namespace
}  // namespace mw
