// The 65816 interpreter on a typical mix of instructions: loads and stores in
// several addressing modes (direct page, absolute indexed, long indexed,
// [dp],Y), adds, compares, branches, a subroutine call and width changes,
// against a plain C++ loop doing the same memory work.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "snes/cpu.h"

namespace {

using namespace mw::snes;

// At $00:8000 (see the listing in the comments).
const std::vector<uint8_t> kMix = {
    0x18, 0xFB,              // 8000 CLC; XCE (native)
    0xC2, 0x30,              // 8002 REP #$30
    0xF4, 0x7F, 0x7F,        // 8004 PEA $7F7F
    0xAB, 0xAB,              // 8007 PLB; PLB (DB = $7F)
    0xA9, 0x00, 0x80,        // 8009 LDA #$8000
    0x85, 0x10,              // 800C STA $10
    0xA9, 0x00, 0x00,        // 800E LDA #$0000
    0x85, 0x12,              // 8011 STA $12 ([$10] = $00:8000, ROM)
    0xA2, 0x00, 0x00,        // 8013 outer: LDX #0
    0xA0, 0x00, 0x00,        // 8016 LDY #0
    0xB7, 0x10,              // 8019 inner: LDA [$10],Y
    0x29, 0xFF, 0x03,        // 801B AND #$03FF
    0x18,                    // 801E CLC
    0x65, 0x20,              // 801F ADC $20
    0x9D, 0x00, 0x80,        // 8021 STA $8000,X
    0xBF, 0x00, 0x20, 0x7E,  // 8024 LDA $7E2000,X
    0x85, 0x20,              // 8028 STA $20
    0x20, 0x40, 0x80,        // 802A JSR $8040
    0xE8, 0xE8, 0xC8, 0xC8,  // 802D INX; INX; INY; INY
    0xE0, 0xFE, 0x3F,        // 8031 CPX #$3FFE
    0xD0, 0xE3,              // 8034 BNE inner
    0x80, 0xDB,              // 8036 BRA outer
    0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA,
    0xE2, 0x20,              // 8040 SEP #$20
    0xA5, 0x21,              // 8042 LDA $21
    0x1A,                    // 8044 INC A
    0x85, 0x21,              // 8045 STA $21
    0xC2, 0x20,              // 8047 REP #$20
    0x60,                    // 8049 RTS
};

struct MixMachine {
    std::vector<uint8_t> image = std::vector<uint8_t>(0x200000, 0);
    std::unique_ptr<Bus> bus;
    std::unique_ptr<Cpu> cpu;
    MixMachine() {
        std::copy(kMix.begin(), kMix.end(), image.begin());
        bus = std::make_unique<Bus>(image);
        cpu = std::make_unique<Cpu>(*bus);
    }
    void reset() {
        cpu->regs() = Registers{};
        cpu->regs().pc = 0x8000;
    }
};

void BM_Cpu_TypicalMix(benchmark::State& state) {
    MixMachine m;
    m.reset();
    uint64_t total = 0;
    for (auto _ : state) {
        const RunResult r = m.cpu->run(10'000'000);
        if (r.stop != RunResult::Stop::Budget) state.SkipWithError(r.message.c_str());
        total += r.instructions;
    }
    state.SetItemsProcessed(static_cast<int64_t>(total));
}
BENCHMARK(BM_Cpu_TypicalMix)->Unit(benchmark::kMillisecond);

// What a level's map costs: the RAM cleared, then 2.5 million instructions.
void BM_Cpu_Synthetic2_5MInstructionRun(benchmark::State& state) {
    MixMachine m;
    for (auto _ : state) {
        m.bus->clearRam();
        m.reset();
        const RunResult r = m.cpu->run(2'500'000);
        benchmark::DoNotOptimize(r.instructions);
    }
}
BENCHMARK(BM_Cpu_Synthetic2_5MInstructionRun)->Unit(benchmark::kMillisecond);

// Baseline: the same memory work as one pass of the inner loop (20
// instructions) in plain C++; items are the interpreted instructions it stands for.
void BM_Cpu_NativeBaselineOfTheMix(benchmark::State& state) {
    MixMachine m;
    auto rom = m.bus->rom();
    auto wram = m.bus->wram();
    uint16_t acc = 0;
    uint8_t counter = 0;
    int64_t items = 0;
    for (auto _ : state) {
        for (int pass = 0; pass < 10'000'000 / 20 / 0x1FFF + 1; ++pass) {
            for (uint32_t x = 0, y = 0; x != 0x3FFE; x += 2, y += 2) {
                const uint16_t v = uint16_t(rom[y] | (rom[y + 1] << 8));
                const uint16_t sum = uint16_t((v & 0x3FF) + acc);
                wram[0x18000 + x] = uint8_t(sum);
                wram[0x18001 + x] = uint8_t(sum >> 8);
                acc = uint16_t(wram[0x2000 + x] | (wram[0x2001 + x] << 8));
                ++counter;
                items += 20;
            }
        }
        benchmark::DoNotOptimize(acc);
        benchmark::DoNotOptimize(counter);
    }
    state.SetItemsProcessed(items);
}
BENCHMARK(BM_Cpu_NativeBaselineOfTheMix)->Unit(benchmark::kMillisecond);

}  // namespace
