// The level's graphics: character memory, colour rows and the pictures of
// the map16 numbers a large level uses, built from the demo ROM.
#include <benchmark/benchmark.h>

#include "level/demo_rom.h"
#include "map/map16_tiles.h"
#include "support/rom_builder.h"

namespace {

using namespace mw;

const std::vector<uint8_t>& DemoRom() {
    static const std::vector<uint8_t> rom = test::ShippedDemoRom();
    return rom;
}

// Everything a level load builds: the files decompressed into the character
// memory (three LZ1, five LZ16), the start-of-level animation run, the
// colours, and 600 distinct map16 pictures (a large level of the game uses
// a few hundred).
void BM_LevelGraphicsAndTileCache(benchmark::State& state) {
    const RomImageView v = ImageOf(DemoRom());
    GraphicsHeader h;
    h.bg1Tileset = 3;
    for (auto _ : state) {
        Map16Tiles tiles;
        tiles.reset(TileSetKey{}, v.image, BuildLevelGraphics(v, h, false));
        for (int n = 0; n < 600; ++n) benchmark::DoNotOptimize(tiles.tile(static_cast<uint16_t>(n * 7), 16));
    }
}
BENCHMARK(BM_LevelGraphicsAndTileCache)->Unit(benchmark::kMillisecond);

// The graphics alone (character memory, animation, colours).
void BM_LevelGraphicsOnly(benchmark::State& state) {
    const RomImageView v = ImageOf(DemoRom());
    GraphicsHeader h;
    for (auto _ : state) benchmark::DoNotOptimize(BuildLevelGraphics(v, h, false));
}
BENCHMARK(BM_LevelGraphicsOnly)->Unit(benchmark::kMillisecond);

}  // namespace
