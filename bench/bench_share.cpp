// Sharing work: a BPS patch of a 2 MiB image with a few KiB changed, against
// a CRC-32 of the same image, and a search of all 222 levels, against
// loading them without searching.
#include <benchmark/benchmark.h>

#include <random>

#include "level/level_codec.h"
#include "level/level_search.h"
#include "patch/patch.h"
#include "support/rom_builder.h"

namespace {

using namespace mw;

std::vector<uint8_t> DemoImage() {
    const std::vector<uint8_t> file = test::ShippedDemoRom();
    return std::vector<uint8_t>(file.begin() + 0x200, file.end());
}

// The image with 4 KiB changed in 64 places.
std::vector<uint8_t> Edited(std::vector<uint8_t> image) {
    std::mt19937 rng(5);
    for (int k = 0; k < 64; ++k) {
        const size_t at = rng() % (image.size() - 64);
        for (size_t j = 0; j < 64; ++j) image[at + j] = static_cast<uint8_t>(rng());
    }
    return image;
}

void BM_Crc32Of2MiB(benchmark::State& state) {
    const std::vector<uint8_t> image = DemoImage();
    for (auto _ : state) benchmark::DoNotOptimize(Crc32(image.data(), image.size()));
}
BENCHMARK(BM_Crc32Of2MiB)->Unit(benchmark::kMillisecond);

void BM_CreateBps2MiB4KiBChanged(benchmark::State& state) {
    const std::vector<uint8_t> original = DemoImage();
    const std::vector<uint8_t> modified = Edited(original);
    size_t size = 0;
    for (auto _ : state) size = CreateBps(original, modified).size();
    state.counters["patch_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_CreateBps2MiB4KiBChanged)->Unit(benchmark::kMillisecond);

// The shipped demo ROM, open.
void OpenDemo(RomFile& rom) {
    std::string error;
    test::RomImage image(0);
    image.bytes = test::ShippedDemoRom();
    rom.open(image.writeTemp("find.smc"), error);
}

void BM_LoadAll222Levels(benchmark::State& state) {
    RomFile rom;
    OpenDemo(rom);
    const auto& defs = test::ShippedDefinitions();
    for (auto _ : state)
        for (int n = 0; n < kLevelCount; ++n) benchmark::DoNotOptimize(LoadLevelIndex(rom, defs, n).level.objectList.size());
}
BENCHMARK(BM_LoadAll222Levels)->Unit(benchmark::kMillisecond);

void BM_FindInAll222Levels(benchmark::State& state) {
    RomFile rom;
    OpenDemo(rom);
    const auto& defs = test::ShippedDefinitions();
    FindQuery query;
    query.kind = FindQuery::Kind::Name;
    query.text = "guy";
    for (auto _ : state) benchmark::DoNotOptimize(FindInAllLevels(rom, defs, query).size());
}
BENCHMARK(BM_FindInAll222Levels)->Unit(benchmark::kMillisecond);

}  // namespace
