// Decoding a large level and checking a whole ROM, each against a loop that
// only sums the same bytes.
#include <benchmark/benchmark.h>

#include <numeric>

#include "level/demo_rom.h"
#include "level/level_codec.h"
#include "support/rom_builder.h"

namespace {

using namespace mw;

// A level of 450 objects (a mix of kinds) and 100 sprites.
struct BigLevel {
    RomFile rom;
    int32_t h = 0x90000, s = 0xA0000;
    size_t objectBytes = 0, spriteBytes = 0;
    BigLevel() {
        test::RomImage image;
        std::vector<uint8_t> objects = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        for (int k = 0; k < 450; ++k) {
            const int x = (k * 7) % 256, y = (k * 3) % 128;
            std::vector<uint8_t> rec;
            switch (k % 4) {
                case 0: rec = test::Obj5(0x01, x, y, 4, 2); break;
                case 1: rec = test::Obj4(0x0D, x, y, 5); break;
                case 2: rec = test::Obj4(0x3C, x, y, 7); break;
                default: rec = test::ObjExt(x, y, 0x50); break;
            }
            objects.insert(objects.end(), rec.begin(), rec.end());
        }
        objects = test::Cat({objects, {0xFF}, test::ExitRec(1, 2, 3, 4, 5, 6), {0xFF, 0, 0, 0}});
        std::vector<uint8_t> sprites;
        for (int k = 0; k < 100; ++k) {
            auto rec = test::SpriteRec((k * 37) % 0x1F0, (k * 11) % 256, k % 128);
            sprites.insert(sprites.end(), rec.begin(), rec.end());
        }
        sprites = test::Cat({sprites, {0xFF, 0xFF, 0, 0}});
        image.put(h, objects);
        image.put(s, sprites);
        image.setLevel(0, h, s);
        objectBytes = objects.size();
        spriteBytes = sprites.size();
        std::string err;
        rom.open(image.writeTemp("bench.smc"), err);
    }
};

BigLevel& Big() {
    static BigLevel level;
    return level;
}

void BM_DecodeLevel450x100(benchmark::State& state) {
    const auto& defs = test::ShippedDefinitions();
    RecordingPrompter p;
    LevelState level;
    for (auto _ : state) {
        auto r = test::TakeLoad(LoadLevelIndex(Big().rom, defs, 0), p, level);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_DecodeLevel450x100);

void BM_SumSameBytes(benchmark::State& state) {
    const auto& b = Big().rom.bytes();
    for (auto _ : state) {
        unsigned sum = std::accumulate(b.begin() + Big().h, b.begin() + Big().h + Big().objectBytes, 0u);
        sum = std::accumulate(b.begin() + Big().s, b.begin() + Big().s + Big().spriteBytes, sum);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SumSameBytes);

struct Demo {
    RomFile rom;
    Demo() {
        test::RomImage image(0);
        image.bytes = test::ShippedDemoRom();
        std::string err;
        rom.open(image.writeTemp("bench-demo.smc"), err);
    }
};

Demo& DemoRom() {
    static Demo d;
    return d;
}

// What `marlwick-cli check` does for every level, without the printing.
void BM_CheckAllLevels(benchmark::State& state) {
    const auto& defs = test::ShippedDefinitions();
    LevelState level;
    for (auto _ : state) {
        int failed = 0;
        for (int n = 0; n < kLevelCount; ++n) {
            RecordingPrompter p;
            if (test::TakeLoad(LoadLevelIndex(DemoRom().rom, defs, n), p, level) != LoadResult::Loaded ||
                !CompareWithFile(DemoRom().rom, defs, level).empty())
                ++failed;
        }
        benchmark::DoNotOptimize(failed);
    }
}
BENCHMARK(BM_CheckAllLevels)->Unit(benchmark::kMicrosecond);

void BM_CheckSumSameBytes(benchmark::State& state) {
    const auto& defs = test::ShippedDefinitions();
    // The byte ranges every level occupies, summed twice (read and compare).
    std::vector<std::pair<int64_t, int64_t>> ranges;
    LevelState level;
    for (int n = 0; n < kLevelCount; ++n) {
        RecordingPrompter p;
        test::TakeLoad(LoadLevelIndex(DemoRom().rom, defs, n), p, level);
        ranges.emplace_back(level.headerOffset, 12 + level.objectBytesAvailable);
        ranges.emplace_back(level.spriteOffset, 2 + level.spriteBytesAvailable);
    }
    const auto& b = DemoRom().rom.bytes();
    for (auto _ : state) {
        unsigned sum = 0;
        for (int pass = 0; pass < 2; ++pass)
            for (auto [at, len] : ranges) sum = std::accumulate(b.begin() + at, b.begin() + at + len, sum);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_CheckSumSameBytes)->Unit(benchmark::kMicrosecond);

}  // namespace


