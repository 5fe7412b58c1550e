// The live map over the whole pointer table (what opening a ROM builds) and
// a save that moves a 450-object level, each against copying the 2 MiB image.
#include <benchmark/benchmark.h>

#include "level/level_codec.h"
#include "level/level_save.h"
#include "level/room.h"
#include "support/rom_builder.h"

namespace {

using namespace mw;

const std::vector<uint8_t>& Image() {
    static const std::vector<uint8_t> image = test::ShippedDemoRom();
    return image;
}

void BM_CopyImageForRoom(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<uint8_t> copy = Image();
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_CopyImageForRoom)->Unit(benchmark::kMicrosecond);

void BM_LiveMapAndFreeSpace(benchmark::State& state) {
    const auto& defs = test::ShippedDefinitions();
    for (auto _ : state) {
        const LiveMap map(Image(), defs);
        benchmark::DoNotOptimize(TotalFree(FindFreeRuns(Image(), test::ShippedFreeBlocks(), map)));
    }
}
BENCHMARK(BM_LiveMapAndFreeSpace)->Unit(benchmark::kMicrosecond);

// Level 0 of the demo with 450 more objects: it no longer fits and moves.
void BM_PlanMovingSave450(benchmark::State& state) {
    const auto& defs = test::ShippedDefinitions();
    test::RomImage image(0);
    image.bytes = Image();
    RomFile rom;
    std::string err;
    rom.open(image.writeTemp("bench-room.smc"), err);
    RecordingPrompter p;
    LevelState level;
    test::TakeLoad(LoadLevelIndex(rom, defs, 0), p, level);
    for (int k = 0; k < 450; ++k) {
        level.objectList.push_back(MakeObject(0x01, (k * 7) % 256, (k * 3) % 128, 4, 2));
        level.objectBytesUsed += 5;
    }
    for (auto _ : state) {
        SavePlan plan = PlanSave(Image(), defs, level, test::ShippedFreeBlocks());
        if (plan.moves.empty()) state.SkipWithError("the level did not move");
        benchmark::DoNotOptimize(plan.image.data());
    }
}
BENCHMARK(BM_PlanMovingSave450)->Unit(benchmark::kMicrosecond);

}  // namespace
