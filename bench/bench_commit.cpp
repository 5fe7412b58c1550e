// Committing a changed 2 MiB image to the ROM file (check against the disk,
// checksum, temporary file, flush, rename) against copying the image in
// memory and against writing it to a file without the flush.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "level/rom_checksum.h"
#include "level/rom_file.h"
#include "support/rom_builder.h"

namespace {

using namespace mw;

std::vector<uint8_t> Image() {
    test::RomImage image(0x200 + 0x200000, 0xEA);
    WriteChecksum(image.bytes);
    return image.bytes;
}

void BM_CopyImage(benchmark::State& state) {
    const std::vector<uint8_t> image = Image();
    for (auto _ : state) {
        std::vector<uint8_t> copy = image;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_CopyImage)->Unit(benchmark::kMillisecond);

void BM_WriteImageUnflushed(benchmark::State& state) {
    test::TempDir dir;
    const std::vector<uint8_t> image = Image();
    const std::string path = dir.file("plain.smc");
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(image.data(), 1, image.size(), f);
        std::fclose(f);
    }
}
BENCHMARK(BM_WriteImageUnflushed)->Unit(benchmark::kMillisecond);

// The same commit with the flush left out, to show what the rest costs.
struct NoFlush : FileOps {
    bool flush(platform::NativeFile, std::string&) override { return true; }
};

void BM_CommitImage(benchmark::State& state) {
    NoFlush noFlush;
    RomFile rom;
    if (state.range(0) == 0) rom.setFileOps(&noFlush);
    std::string error;
    test::RomImage file;
    file.bytes = Image();
    rom.open(file.writeTemp("commit.smc"), error);
    uint8_t value = 0;
    for (auto _ : state) {
        std::vector<uint8_t> image = rom.bytes();
        image[0x100000] = ++value;
        if (rom.commit(std::move(image), {{{0x100000, 1}}}).status != CommitResult::Status::Done)
            state.SkipWithError("commit failed");
    }
}
BENCHMARK(BM_CommitImage)->Arg(1)->Arg(0)->ArgName("flushed")->Unit(benchmark::kMillisecond);

}  // namespace
