#include <gtest/gtest.h>

#include <random>

#include "level/demo_rom.h"
#include "level/level_codec.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

// Whatever bytes a level is made of, a level that loads writes back to the
// very same bytes, and saving accepts every entry it decoded. Random ROMs
// also exercise the decoders' end-of-file and refusal paths.
TEST(RandomRoms, EveryLoadableLevelWritesBackUnchanged) {
    const auto& defs = test::ShippedDefinitions();
    std::mt19937 rng(2026);
    int loaded = 0, withObjects = 0;
    for (int round = 0; round < 12; ++round) {
        test::RomImage rom(0xC8000, 0x00);
        // Mostly small bytes, so that object IDs are often defined, with runs
        // of zeros for free space.
        for (size_t k = 0x200; k < rom.bytes.size(); ++k) {
            const int r = static_cast<int>(rng() % 100);
            rom.bytes[k] = r < 30 ? 0x00 : r < 35 ? 0xFF : static_cast<uint8_t>(rng() % (r < 80 ? 0x40 : 0x100));
        }
        for (int n = 0; n < kLevelCount; ++n) {
            // Some pointers land near the end of the file.
            const int32_t h = static_cast<int32_t>(0x200 + rng() % (rom.bytes.size() - 0x200));
            const int32_t s = static_cast<int32_t>(0x200 + rng() % (rom.bytes.size() - 0x200));
            rom.setLevel(n, h, s);
        }
        RomFile f;
        std::string err;
        ASSERT_TRUE(f.open(rom.writeTemp("random.smc"), err));
        for (int n = 0; n < kLevelCount; ++n) {
            RecordingPrompter p;
            LevelState s;
            if (test::TakeLoad(LoadLevelIndex(f, defs, n), p, s) != LoadResult::Loaded) continue;
            ++loaded;
            withObjects += !s.objectList.empty();
            EXPECT_EQ(CompareWithFile(f, defs, s), "") << "round " << round << " level " << n;
            for (const auto& o : s.objectList) EXPECT_FALSE(CheckEntryWritable(defs, o));
            for (const auto& e : s.exitList) EXPECT_FALSE(CheckExitWritable(e));
        }
    }
    // The generator must actually produce loadable levels for this to mean anything.
    EXPECT_GT(loaded, 100);
    EXPECT_GT(withObjects, 20);
}

}  // namespace
}  // namespace mw
