#include <gtest/gtest.h>

#include <set>

#include "level/demo_rom.h"
#include "level/level_codec.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

// The demo ROM is what `make run` opens: every level must load and write
// back to the same bytes, and it must show each kind of record.
TEST(DemoRom, EveryLevelLoadsAndWritesBackUnchanged) {
    const auto& defs = test::ShippedDefinitions();
    test::RomImage image(0);
    image.bytes = test::ShippedDemoRom();
    ASSERT_EQ(static_cast<int64_t>(image.bytes.size()), kDemoRomSize);
    RomFile rom;
    std::string err;
    ASSERT_TRUE(rom.open(image.writeTemp("demo.smc"), err));
    std::set<int> kinds;
    std::set<std::pair<int32_t, int32_t>> levels;
    bool lowSprite = false, highSprite = false, slope = false, linear = false, freeBytes = false;
    for (int n = 0; n < kLevelCount; ++n) {
        RecordingPrompter p;
        LevelState s;
        ASSERT_EQ(test::TakeLoad(LoadLevelIndex(rom, defs, n), p, s), LoadResult::Loaded) << n;
        EXPECT_TRUE(p.messages.empty()) << n;
        EXPECT_EQ(CompareWithFile(rom, defs, s), "") << n;
        levels.insert({s.headerOffset, s.spriteOffset});
        linear |= rom.bytes()[kLevelPointerTable + 6 * n + 2] >= 0x40;
        freeBytes |= s.objectBytesAvailable > s.objectBytesUsed;
        for (const auto& o : s.objectList) {
            if (o.isSprite) {
                (o.extId ? highSprite : lowSprite) = true;
            } else {
                const auto& def = defs.objectDefs[o.id];
                kinds.insert(def.kind == kKindFourByte ? 40 + def.sizeMode : def.kind);
                slope |= def.isSlope;
            }
        }
    }
    EXPECT_GE(levels.size(), 8u);
    EXPECT_EQ(kinds, (std::set<int>{kKindExtended, 41, 42, kKindFiveByte}));
    EXPECT_TRUE(lowSprite && highSprite && slope && linear && freeBytes);
}

}  // namespace
}  // namespace mw
