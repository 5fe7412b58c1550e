#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "snes/cpu.h"
#include "support/rom_builder.h"

namespace mw::snes {
namespace {

// A 128 KiB image (LoROM banks 00-03, linear banks 40-41) with a program at
// $00:8000. The run stops when the program counter passes its last byte.
struct Machine {
    explicit Machine(const std::vector<uint8_t>& code, std::vector<uint8_t> image = std::vector<uint8_t>(0x20000, 0))
        : rom(std::move(image)) {
        std::copy(code.begin(), code.end(), rom.begin());
        bus = std::make_unique<Bus>(rom);
        cpu = std::make_unique<Cpu>(*bus);
        cpu->setStopAddresses(0x8000 + static_cast<uint32_t>(code.size()));
        Registers& r = cpu->regs();
        r.e = false;
        r.p = kFlagM | kFlagX;
        r.pc = 0x8000;
    }
    RunResult run(uint64_t budget = 100000) { return cpu->run(budget); }
    Registers& r() { return cpu->regs(); }
    uint8_t at(uint32_t address) {
        uint8_t v = 0xEE;
        bus->peek(address, v);
        return v;
    }
    std::vector<uint8_t> rom;
    std::unique_ptr<Bus> bus;
    std::unique_ptr<Cpu> cpu;
};

uint32_t FromBcd(uint32_t v) {
    uint32_t r = 0, scale = 1;
    for (; v; v >>= 4, scale *= 10) r += (v & 15) * scale;
    return r;
}
uint32_t ToBcd(uint32_t v) {
    uint32_t r = 0;
    for (int shift = 0; v; v /= 10, shift += 4) r |= (v % 10) << shift;
    return r;
}

TEST(Cpu, AdcSbcMatchAnArithmeticModelInBothWidthsAndModes) {
    test::Lcg rng(1234);
    Machine m({});
    for (int n = 0; n < 4000; ++n) {
        const bool wide = rng(2), decimal = rng(2), subtract = rng(2), carry = rng(2);
        const int digits = wide ? 4 : 2;
        const uint32_t mask = wide ? 0xFFFF : 0xFF, top = wide ? 0x8000 : 0x80;
        uint32_t a = rng(0x10000) & mask, b = rng(0x10000) & mask;
        if (decimal) {  // the model knows valid BCD only
            a = ToBcd(a % (digits == 4 ? 10000 : 100));
            b = ToBcd(b % (digits == 4 ? 10000 : 100));
        }
        // Model.
        uint32_t result;
        bool c, v = false;
        if (!decimal) {
            const int64_t r = subtract ? int64_t(a) - b - (1 - carry) : int64_t(a) + b + carry;
            result = uint32_t(r) & mask;
            c = subtract ? r >= 0 : r > mask;
            v = subtract ? ((a ^ b) & (a ^ result) & top) : (~(a ^ b) & (a ^ result) & top);
        } else {
            const int64_t limit = digits == 4 ? 10000 : 100;
            int64_t r = subtract ? int64_t(FromBcd(a)) - FromBcd(b) - (1 - carry)
                                 : int64_t(FromBcd(a)) + FromBcd(b) + carry;
            c = subtract ? r >= 0 : r >= limit;
            r = (r + limit) % limit;
            result = ToBcd(uint32_t(r));
        }
        // Program: CLC/SEC, CLD/SED, REP/SEP #$20, LDA #a, ADC/SBC #b.
        std::vector<uint8_t> code = {uint8_t(carry ? 0x38 : 0x18), uint8_t(decimal ? 0xF8 : 0xD8),
                                     uint8_t(wide ? 0xC2 : 0xE2), 0x20, 0xA9, uint8_t(a)};
        if (wide) code.push_back(uint8_t(a >> 8));
        code.push_back(subtract ? 0xE9 : 0x69);
        code.push_back(uint8_t(b));
        if (wide) code.push_back(uint8_t(b >> 8));
        m.bus->restoreRom();
        m.bus->patchRom(0, code);
        m.cpu->setStopAddresses(0x8000 + uint32_t(code.size()));
        m.r() = Registers{};
        m.r().e = false;
        m.r().pc = 0x8000;
        m.r().a = 0xAB00;
        ASSERT_EQ(m.run().stop, RunResult::Stop::AtAddress);
        const Registers& r = m.r();
        SCOPED_TRACE(testing::Message() << std::hex << "a=" << a << " b=" << b << " c=" << carry << " dec=" << decimal
                                        << " sub=" << subtract << " wide=" << wide);
        EXPECT_EQ(r.a & mask, result);
        if (!wide) {
            EXPECT_EQ(r.a >> 8, 0xABu);  // B survives 8-bit arithmetic
        }
        EXPECT_EQ(bool(r.p & kFlagC), c);
        EXPECT_EQ(bool(r.p & kFlagZ), result == 0);
        EXPECT_EQ(bool(r.p & kFlagN), bool(result & top));
        if (!decimal) {
            EXPECT_EQ(bool(r.p & kFlagV), v);
        }
    }
}

TEST(Cpu, DecimalOverflowFollowsTheChip) {
    // Documented 65816 results: 8-bit 0x79 + 0x10 in decimal sets V (it is
    // computed before the high digit is adjusted); 0x50 - 0x01 sets none.
    Machine add({0xF8, 0x18, 0xA9, 0x79, 0x69, 0x10});
    add.run();
    EXPECT_EQ(add.r().a & 0xFF, 0x89);
    EXPECT_TRUE(add.r().p & kFlagV);
    Machine sub({0xF8, 0x38, 0xA9, 0x50, 0xE9, 0x01});
    sub.run();
    EXPECT_EQ(sub.r().a & 0xFF, 0x49);
    EXPECT_FALSE(sub.r().p & (kFlagV | kFlagN | kFlagZ));
    EXPECT_TRUE(sub.r().p & kFlagC);
}

struct FlagCase {
    const char* what;
    std::vector<uint8_t> code;
    uint16_t a;            // expected A (16 bits)
    uint8_t flags;         // expected N V Z C
};

TEST(Cpu, CompareShiftRotateBitTestAndSet) {
    // Memory at $7E:0010 holds $C1 $80 before each program (written by the
    // first instructions).
    const std::vector<uint8_t> setup = {0xA9, 0xC1, 0x85, 0x10, 0xA9, 0x80, 0x85, 0x11};  // LDA #; STA $10 ...
    const uint8_t NVZC = kFlagN | kFlagV | kFlagZ | kFlagC;
    const std::vector<FlagCase> cases = {
        {"cmp equal", {0xA9, 0x40, 0xC9, 0x40}, 0x40, kFlagZ | kFlagC},
        {"cmp less", {0xA9, 0x10, 0xC9, 0x20}, 0x10, kFlagN},
        {"cmp 16-bit", {0xC2, 0x20, 0xA9, 0x00, 0x90, 0xC9, 0x00, 0x10}, 0x9000, kFlagN | kFlagC},
        {"cpx 8-bit ignores the old high byte", {0xA2, 0x05, 0xE0, 0x05}, 0x80, kFlagZ | kFlagC},
        {"asl a", {0xA9, 0x81, 0x0A}, 0x02, kFlagC},
        {"lsr a", {0xA9, 0x01, 0x4A}, 0x00, kFlagZ | kFlagC},
        {"rol a with carry", {0x38, 0xA9, 0x40, 0x2A}, 0x81, kFlagN},
        {"ror a with carry", {0x38, 0xA9, 0x01, 0x6A}, 0x80, kFlagN | kFlagC},
        {"rol 16-bit", {0xC2, 0x20, 0x18, 0xA9, 0x00, 0x80, 0x2A}, 0x0000, kFlagZ | kFlagC},
        {"asl memory", {0x06, 0x10, 0xA5, 0x10}, 0x82, kFlagN | kFlagC},
        {"ror memory 16-bit", {0xC2, 0x20, 0x18, 0x66, 0x10, 0xA5, 0x10}, 0x4060, kFlagC},
        {"bit memory takes N and V from memory", {0xA9, 0x01, 0x24, 0x10}, 0x01, kFlagN | kFlagV},
        {"bit immediate leaves N and V", {0xB8, 0xA9, 0x01, 0x89, 0xC0}, 0x01, kFlagZ},
        {"tsb", {0xA9, 0x06, 0x04, 0x10, 0xA5, 0x10}, 0xC7, kFlagN},
        {"trb", {0xA9, 0x41, 0x14, 0x10, 0xA5, 0x10}, 0x80, kFlagN},
        {"inc wraps 8-bit", {0xA9, 0xFF, 0x1A}, 0x00, kFlagZ},
        {"dec memory 16-bit", {0xC2, 0x20, 0xC6, 0x10, 0xA5, 0x10}, 0x80C0, kFlagN},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> code = setup;
        code.insert(code.end(), c.code.begin(), c.code.end());
        Machine m(code);
        ASSERT_EQ(m.run().stop, RunResult::Stop::AtAddress) << c.what;
        EXPECT_EQ(m.r().a & ((m.r().p & kFlagM) ? 0xFF : 0xFFFF), c.a) << c.what;
        EXPECT_EQ(m.r().p & NVZC, c.flags) << c.what;
    }
}

TEST(Cpu, WidthChangesAndTransfers) {
    // 16-bit X=$1234, SEP #$10 drops the high byte; REP brings it back as 0.
    Machine m({0xC2, 0x30, 0xA2, 0x34, 0x12, 0xA0, 0xCD, 0xAB,  // REP #$30; LDX #$1234; LDY #$ABCD
               0xE2, 0x10, 0xC2, 0x10,                          // SEP #$10; REP #$10
               0xA9, 0x78, 0x56,                                // LDA #$5678
               0xE2, 0x20, 0xAA,                                // SEP #$20; TAX (16-bit X takes all of C)
               0x9B, 0x86, 0x20,                                // TXY; STX $20 (16-bit)
               0xC2, 0x20, 0xE2, 0x10, 0x8A});                  // REP #$20; SEP #$10; TXA (A = $0078)
    ASSERT_EQ(m.run().stop, RunResult::Stop::AtAddress);
    EXPECT_EQ(m.r().x, 0x78);
    EXPECT_EQ(m.r().y, 0x78);
    EXPECT_EQ(m.r().a, 0x0078);
    EXPECT_EQ(m.at(0x20), 0x78);
    EXPECT_EQ(m.at(0x21), 0x56);

    // XBA, TCD/TDC and TSC are 16-bit whatever M says.
    Machine o({0xA9, 0x12, 0xEB, 0xA9, 0x80, 0x5B, 0xA9, 0x00, 0x7B, 0x3B});
    o.r().a = 0x3400;
    ASSERT_EQ(o.run().stop, RunResult::Stop::AtAddress);
    EXPECT_EQ(o.r().d, 0x1280);
    EXPECT_EQ(o.r().a, 0x01FF);
}

TEST(Cpu, EmulationModeStackAndXce) {
    // CLC; XCE (native), REP #$30, LDX #$1234, SEC; XCE (emulation): X loses
    // its high byte, M and X are set, C holds the old E.
    Machine m({0x18, 0xFB, 0xC2, 0x30, 0xA2, 0x34, 0x12, 0x38, 0xFB});
    m.r().e = true;
    ASSERT_EQ(m.run().stop, RunResult::Stop::AtAddress);
    EXPECT_TRUE(m.r().e);
    EXPECT_EQ(m.r().x, 0x34);
    EXPECT_EQ(m.r().p & (kFlagM | kFlagX), kFlagM | kFlagX);
    EXPECT_FALSE(m.r().p & kFlagC);

    // Emulation: pushes at S=$0100 wrap to $01FF and pulls come back the
    // same way. PEA does not wrap (its low byte lands at $00FF) and S
    // returns to page 1 afterwards.
    Machine e({0xA9, 0x5A, 0x48, 0xA9, 0xA5, 0x48, 0x68, 0x68,  // PHA $5A; PHA $A5; PLA; PLA
               0xF4, 0x22, 0x11});                              // PEA $1122
    e.r().e = true;
    e.r().s = 0x0100;
    ASSERT_EQ(e.run().stop, RunResult::Stop::AtAddress);
    EXPECT_EQ(e.r().a & 0xFF, 0x5A);
    EXPECT_EQ(e.at(0x7E01FF), 0xA5);
    EXPECT_EQ(e.at(0x7E0100), 0x11);
    EXPECT_EQ(e.at(0x7E00FF), 0x22);
    EXPECT_EQ(e.r().s, 0x01FE);
}

TEST(Cpu, DirectPageAndIndexedAddressingWrapRules) {
    // D = $1234 (DL != 0): LDA $10,X with X=$F0 reads $7E:1334 (no page wrap).
    Machine dp({0xA9, 0x77, 0x8F, 0x34, 0x13, 0x7E,  // STA $7E:1334
                0xC2, 0x20, 0xA9, 0x34, 0x12, 0x5B, 0xE2, 0x20,  // D = $1234
                0xA2, 0xF0, 0xA9, 0x00, 0xB5, 0x10});            // LDX #$F0; LDA #0; LDA $10,X
    ASSERT_EQ(dp.run().stop, RunResult::Stop::AtAddress);
    EXPECT_EQ(dp.r().a & 0xFF, 0x77);

    // Emulation with DL = 0: LDA $F0,X with X=$20 wraps inside the page to $0010.
    Machine ew({0xA9, 0x99, 0x85, 0x10, 0xA9, 0x11, 0x8D, 0x10, 0x01, 0xA2, 0x20, 0xB5, 0xF0});
    ew.r().e = true;
    ASSERT_EQ(ew.run().stop, RunResult::Stop::AtAddress);
    EXPECT_EQ(ew.r().a & 0xFF, 0x99);

    // Absolute indexed crosses into the next bank: DB=$7E, LDA $FFFF,X with
    // X=1 reads $7F:0000. Long indexed likewise; [dp],Y with a 24-bit pointer.
    Machine ax({0xA9, 0x42, 0x8F, 0x00, 0x00, 0x7F,   // STA $7F:0000
                0xA9, 0x7E, 0x48, 0xAB,               // DB = $7E
                0xA2, 0x01, 0xA9, 0x00, 0xBD, 0xFF, 0xFF, 0x85, 0x20,  // LDA $FFFF,X -> $20
                0xA9, 0x00, 0xBF, 0xFF, 0xFF, 0x7E, 0x85, 0x21,        // LDA $7EFFFF,X -> $21
                0xA9, 0xFE, 0x85, 0x30, 0xA9, 0xFF, 0x85, 0x31, 0xA9, 0x7E, 0x85, 0x32,  // $30 = $7E:FFFE
                0xA0, 0x02, 0xB7, 0x30, 0x85, 0x22});  // LDA [$30],Y -> $22
    ASSERT_EQ(ax.run().stop, RunResult::Stop::AtAddress);
    EXPECT_EQ(ax.at(0x20), 0x42);
    EXPECT_EQ(ax.at(0x21), 0x42);
    EXPECT_EQ(ax.at(0x22), 0x42);

    // 16-bit direct page data at $FFFF wraps to $0000 of bank 0.
    std::vector<uint8_t> image(0x20000, 0);
    image[0x7FFF] = 0xCD;                             // ROM $00:FFFF
    Machine dw({0xA9, 0xAB, 0x85, 0x00,               // $0000 = $AB
                0xC2, 0x20, 0xA9, 0xFF, 0xFF, 0x5B,   // D = $FFFF
                0xA5, 0x00},                          // LDA $00: $00:FFFF, then $00:0000
               image);
    ASSERT_EQ(dw.run().stop, RunResult::Stop::AtAddress);
    EXPECT_EQ(dw.r().a, 0xABCD);
}

TEST(Cpu, CallsJumpTablesAndReturns) {
    // $8000: LDX #2; JSR ($8020,X) -> $8030: LDA #$11; RTS
    //        JSL $00:8040 -> LDA #$22 (stored); RTL; then a RTI frame.
    std::vector<uint8_t> code(0x60, 0xEA);
    const std::vector<uint8_t> main = {0xA2, 0x02, 0xFC, 0x20, 0x80,  // LDX #2; JSR ($8020,X)
                                       0x85, 0x10,                    // STA $10
                                       0x22, 0x40, 0x80, 0x00,        // JSL $008040
                                       0x85, 0x11,                    // STA $11
                                       0x80, 0x16};                   // BRA -> $8025
    std::copy(main.begin(), main.end(), code.begin());
    code[0x22] = 0x30; code[0x23] = 0x80;  // table entry 1 -> $8030
    // $8025: a native interrupt frame (PB, PC, P = $C1: 16-bit A and X)
    // and RTI.
    const std::vector<uint8_t> rti = {0x4B, 0xF4, 0x50, 0x80, 0xA9, 0xC1, 0x48, 0x40};  // PHK; PEA; LDA; PHA; RTI
    std::copy(rti.begin(), rti.end(), code.begin() + 0x25);
    code[0x30] = 0xA9; code[0x31] = 0x11; code[0x32] = 0x60;  // LDA #$11; RTS
    code[0x40] = 0xA9; code[0x41] = 0x22; code[0x42] = 0x6B;  // LDA #$22; RTL
    code[0x50] = 0x85; code[0x51] = 0x12;                     // STA $12 (16-bit after RTI)
    Machine m(code);
    m.cpu->setStopAddresses(0x8052);
    const RunResult res = m.run();
    ASSERT_EQ(res.stop, RunResult::Stop::AtAddress) << res.message;
    EXPECT_EQ(m.at(0x10), 0x11);
    EXPECT_EQ(m.at(0x11), 0x22);
    EXPECT_EQ(m.at(0x12), 0xC1);
    EXPECT_EQ(m.at(0x13), 0x00);
    EXPECT_EQ(m.r().p, 0xC1);
    EXPECT_EQ(m.r().s, 0x01FF);
}

TEST(Cpu, BlockMovesCopyBothWays) {
    // Source $7E:1000.. = 1 2 3 4; MVN to $7F:2000; MVP the same bytes to
    // end at $7F:3003. DB ends as the destination bank.
    Machine m({0xC2, 0x30,
               0xA9, 0x01, 0x02, 0x8F, 0x00, 0x10, 0x7E, 0xA9, 0x03, 0x04, 0x8F, 0x02, 0x10, 0x7E,
               0xA2, 0x00, 0x10, 0xA0, 0x00, 0x20, 0xA9, 0x03, 0x00, 0x54, 0x7F, 0x7E,  // MVN $7E -> $7F
               0xA2, 0x03, 0x10, 0xA0, 0x03, 0x30, 0xA9, 0x03, 0x00, 0x44, 0x7F, 0x7E}); // MVP
    ASSERT_EQ(m.run().stop, RunResult::Stop::AtAddress);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m.at(0x7F2000 + i), i + 1);
        EXPECT_EQ(m.at(0x7F3000 + i), i + 1);
    }
    EXPECT_EQ(m.r().a, 0xFFFF);
    EXPECT_EQ(m.r().db, 0x7F);
    EXPECT_EQ(m.r().x, 0x0FFF);
    EXPECT_EQ(m.r().y, 0x2FFF);
}

TEST(Cpu, RunsEndWithAReason) {
    for (const auto& [op, name] : std::vector<std::pair<uint8_t, std::string>>{
             {0x00, "BRK"}, {0x02, "COP"}, {0xCB, "WAI"}, {0xDB, "STP"}}) {
        Machine m({0xEA, op, 0x00});
        const RunResult r = m.run();
        EXPECT_EQ(r.stop, RunResult::Stop::Fault);
        EXPECT_NE(r.message.find(name), std::string::npos);
        EXPECT_NE(r.message.find("$00:8001"), std::string::npos) << r.message;
    }
    Machine loop({0x80, 0xFE});  // BRA to itself
    const RunResult spent = loop.run(12345);
    EXPECT_EQ(spent.stop, RunResult::Stop::Budget);
    EXPECT_EQ(spent.instructions, 12345u);
}

TEST(Bus, MirrorsViewsAndRefusals) {
    std::vector<uint8_t> image(0x20000);
    for (size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(i * 7 + (i >> 8));
    Bus bus(image);
    // Both ROM views give the same bytes.
    for (uint32_t off : {0u, 0x7FFFu, 0x8000u, 0x1ABCDu}) {
        uint8_t lo = 0, lin = 1, high = 2;
        ASSERT_TRUE(bus.peek(((off / 0x8000) << 16) | (0x8000 + off % 0x8000), lo));
        ASSERT_TRUE(bus.peek(0x400000 + off, lin));
        ASSERT_TRUE(bus.peek(0x800000 | ((off / 0x8000) << 16) | (0x8000 + off % 0x8000), high));
        EXPECT_EQ(lo, image[off]);
        EXPECT_EQ(lin, image[off]);
        EXPECT_EQ(high, image[off]);
    }
    // Each mirror reads what the other wrote.
    const std::vector<std::pair<uint32_t, uint32_t>> mirrors = {
        {0x7E0123, 0x000123}, {0x7E1FFF, 0x3F1FFF}, {0x700000, 0x006000}, {0x701FFF, 0x817FFF}};
    uint8_t value = 1;
    for (const auto& [home, mirror] : mirrors) {
        uint8_t got = 0;
        ASSERT_TRUE(bus.poke(home, value));
        ASSERT_TRUE(bus.peek(mirror, got));
        EXPECT_EQ(got, value);
        ASSERT_TRUE(bus.poke(mirror, uint8_t(value + 1)));
        ASSERT_TRUE(bus.peek(home, got));
        EXPECT_EQ(got, value + 1);
        value += 2;
    }
    uint8_t got;
    EXPECT_FALSE(bus.peek(0x601234, got));
    EXPECT_TRUE(bus.peek(0x712345, got));

    // The CPU names the address and the instruction for a refused access.
    for (const auto& [code, phrase] : std::vector<std::pair<std::vector<uint8_t>, std::string>>{
             {{0xEA, 0xAF, 0x34, 0x12, 0x60}, "read of the unmapped address $60:1234 at $00:8001"},
             {{0xEA, 0x8D, 0x00, 0x21}, "write to the hardware register $00:2100 at $00:8001"},
             {{0xEA, 0x8D, 0x18, 0x21}, "$00:2118"}}) {
        Machine m(code);
        const RunResult r = m.run();
        EXPECT_EQ(r.stop, RunResult::Stop::Fault);
        EXPECT_NE(r.message.find(phrase), std::string::npos) << r.message;
    }
    // A client may take the video-memory registers; writes to ROM are lost.
    Machine hooked({0xA9, 0x55, 0x8D, 0x18, 0x21, 0x8D, 0x00, 0x90});
    std::vector<std::pair<uint32_t, uint8_t>> seen;
    hooked.bus->setRegisterWriteHook([&](uint32_t a, uint8_t v) {
        seen.emplace_back(a, v);
        return true;
    });
    ASSERT_EQ(hooked.run().stop, RunResult::Stop::AtAddress);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, 0x2118u);
    EXPECT_EQ(hooked.at(0x9000), 0);
}

TEST(Bus, BeamCountersAreTheSameEveryRun) {
    // The game's random helper: LDA $002137; LSR; LDA $00213C; ADC $00213D.
    const std::vector<uint8_t> helper = {0xAF, 0x37, 0x21, 0x00, 0x4A, 0xAF, 0x3C, 0x21, 0x00,
                                         0x6F, 0x3D, 0x21, 0x00, 0x85, 0x10};
    std::vector<uint8_t> twice = helper;
    twice.insert(twice.end(), helper.begin(), helper.end() - 1);
    twice.push_back(0x11);
    std::vector<uint8_t> first;
    for (int run = 0; run < 2; ++run) {
        Machine m(twice);
        m.bus->clearRam();
        ASSERT_EQ(m.run().stop, RunResult::Stop::AtAddress);
        const std::vector<uint8_t> now = {m.at(0x10), m.at(0x11)};
        if (run == 0) first = now;
        else EXPECT_EQ(now, first);
    }
    EXPECT_NE(first[0], first[1]);  // successive latches differ
}

}  // namespace
}  // namespace mw::snes
