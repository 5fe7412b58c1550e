#include "snes/cpu.h"

namespace mw::snes {

#define MW_INLINE __attribute__((always_inline))

namespace {

// Out of the hot loop: what the slow path needs to say why a run ended.
struct SlowPath {
    [[gnu::noinline]] static uint8_t read(Bus& bus, uint32_t address, uint32_t lastOperandByte, bool& faulted,
                                          std::string& message) {
        uint8_t openBus = 0;
        bus.peek(lastOperandByte, openBus);
        uint8_t value = 0;
        if (!bus.slowRead(address, openBus, value) && !faulted) {
            faulted = true;
            message = "read of " + Bus::DescribeAddress(address);
        }
        return value;
    }
    [[gnu::noinline]] static void write(Bus& bus, uint32_t address, uint8_t value, bool& faulted,
                                        std::string& message) {
        if (!bus.slowWrite(address, value) && !faulted) {
            faulted = true;
            message = "write to " + Bus::DescribeAddress(address);
        }
    }
};

}  // namespace

void Cpu::push8(uint8_t value) {
    bus_.poke(r_.s, value);
    r_.s = r_.e ? static_cast<uint16_t>(0x100 | ((r_.s - 1) & 0xFF)) : static_cast<uint16_t>(r_.s - 1);
}

bool Cpu::fault(RunResult& result, uint32_t pc, std::string message) {
    result.stop = RunResult::Stop::Fault;
    result.pc = pc;
    result.message = std::move(message) + " at " + FormatAddress(pc);
    return false;
}

RunResult Cpu::run(uint64_t budget) {
    RunResult result;
    int64_t left = static_cast<int64_t>(budget > uint64_t(INT64_MAX) ? uint64_t(INT64_MAX) : budget);
    const int64_t start = left;
    for (;;) {
        bool again;
        if (r_.e) {
            r_.p |= kFlagM | kFlagX;
            again = loop<true, true, true>(left, result);
        } else {
            switch (r_.p & (kFlagM | kFlagX)) {
                case 0: again = loop<false, false, false>(left, result); break;
                case kFlagX: again = loop<false, true, false>(left, result); break;
                case kFlagM: again = loop<true, false, false>(left, result); break;
                default: again = loop<true, true, false>(left, result); break;
            }
        }
        if (!again) break;
    }
    result.instructions = static_cast<uint64_t>(start - left);
    return result;
}

template <bool M8, bool X8, bool E>
bool Cpu::loop(int64_t& budget, RunResult& result) {
    Bus& bus = bus_;
    uint16_t A = r_.a, X = r_.x, Y = r_.y, S = r_.s, D = r_.d, PC = r_.pc;
    uint32_t DB = uint32_t(r_.db) << 16, PB = uint32_t(r_.pb) << 16;
    bool fN = r_.p & kFlagN, fV = r_.p & kFlagV, fD = r_.p & kFlagD, fI = r_.p & kFlagI, fZ = r_.p & kFlagZ,
         fC = r_.p & kFlagC;
    const uint32_t stop0 = stops_[0], stop1 = stops_[1];
    bool faulted = false;
    std::string faultMessage;
    uint32_t opPc = 0;
    uint8_t newP = 0;
    bool modeChange = false;
    bool newE = E;
    constexpr uint16_t kTopM = M8 ? 0x80 : 0x8000;
    constexpr uint16_t kTopX = X8 ? 0x80 : 0x8000;
    constexpr uint16_t kMaskM = M8 ? 0xFF : 0xFFFF;

    auto packP = [&]() MW_INLINE -> uint8_t {
        return uint8_t((fN ? kFlagN : 0) | (fV ? kFlagV : 0) | (M8 ? kFlagM : 0) | (X8 ? kFlagX : 0) |
                       (fD ? kFlagD : 0) | (fI ? kFlagI : 0) | (fZ ? kFlagZ : 0) | (fC ? kFlagC : 0));
    };
    auto save = [&](uint8_t p, bool e) {
        r_.a = A;
        r_.x = X;
        r_.y = Y;
        r_.s = S;
        r_.d = D;
        r_.pc = PC;
        r_.db = uint8_t(DB >> 16);
        r_.pb = uint8_t(PB >> 16);
        r_.e = e;
        r_.p = e ? uint8_t(p | kFlagM | kFlagX) : p;
        if (r_.p & kFlagX) {
            r_.x &= 0xFF;
            r_.y &= 0xFF;
        }
        if (e) r_.s = uint16_t(0x100 | (r_.s & 0xFF));
    };

    // ---- memory ----
    auto rd8 = [&](uint32_t a) MW_INLINE -> uint8_t {
        if (const uint8_t* p = bus.readPage(a)) [[likely]]
            return p[a & kPageMask];
        return SlowPath::read(bus, a, PB | uint16_t(PC - 1), faulted, faultMessage);
    };
    auto wr8 = [&](uint32_t a, uint8_t v) MW_INLINE {
        if (uint8_t* p = bus.writePage(a)) [[likely]]
            p[a & kPageMask] = v;
        else
            SlowPath::write(bus, a, v, faulted, faultMessage);
    };
    auto fetch8 = [&]() MW_INLINE -> uint8_t {
        const uint8_t v = rd8(PB | PC);
        ++PC;
        return v;
    };
    auto fetch16 = [&]() MW_INLINE -> uint16_t {
        const uint16_t lo = fetch8();
        return uint16_t(lo | (fetch8() << 8));
    };
    auto fetch24 = [&]() MW_INLINE -> uint32_t {
        const uint32_t lo = fetch16();
        return lo | (uint32_t(fetch8()) << 16);
    };
    // Data of the accumulator's or the index registers' width; the second
    // byte at (ea + 1) & wrap (bank 0 for direct page and stack modes).
    auto rdM = [&](uint32_t ea, uint32_t wrap) MW_INLINE -> uint16_t {
        if constexpr (M8) return rd8(ea);
        else {
            const uint16_t lo = rd8(ea);
            return uint16_t(lo | (rd8((ea + 1) & wrap) << 8));
        }
    };
    auto rdX = [&](uint32_t ea, uint32_t wrap) MW_INLINE -> uint16_t {
        if constexpr (X8) return rd8(ea);
        else {
            const uint16_t lo = rd8(ea);
            return uint16_t(lo | (rd8((ea + 1) & wrap) << 8));
        }
    };
    auto wrM = [&](uint32_t ea, uint32_t wrap, uint16_t v) MW_INLINE {
        wr8(ea, uint8_t(v));
        if constexpr (!M8) wr8((ea + 1) & wrap, uint8_t(v >> 8));
    };
    auto wrX = [&](uint32_t ea, uint32_t wrap, uint16_t v) MW_INLINE {
        wr8(ea, uint8_t(v));
        if constexpr (!X8) wr8((ea + 1) & wrap, uint8_t(v >> 8));
    };
    auto fetchM = [&]() MW_INLINE -> uint16_t {
        if constexpr (M8) return fetch8();
        else return fetch16();
    };
    auto fetchX = [&]() MW_INLINE -> uint16_t {
        if constexpr (X8) return fetch8();
        else return fetch16();
    };
    // Direct page + offset + index. In emulation mode with the low byte of D
    // zero, the old addressing modes stay inside the page.
    auto dpIdx = [&](uint32_t o, uint32_t idx) MW_INLINE -> uint32_t {
        if constexpr (E) {
            if ((D & 0xFF) == 0) return D | ((o + idx) & 0xFF);
        }
        return (D + o + idx) & 0xFFFF;
    };
    auto dpPtr16 = [&](uint32_t o, uint32_t idx) MW_INLINE -> uint32_t {
        const uint32_t lo = rd8(dpIdx(o, idx));
        return lo | (uint32_t(rd8(dpIdx(o, idx + 1))) << 8);
    };
    auto dpPtr24 = [&](uint32_t o) MW_INLINE -> uint32_t {
        const uint32_t b = (D + o) & 0xFFFF;
        const uint32_t lo = rd8(b), mid = rd8((b + 1) & 0xFFFF);
        return lo | (mid << 8) | (uint32_t(rd8((b + 2) & 0xFFFF)) << 16);
    };

    // ---- stack ----
    auto push8 = [&](uint8_t v) MW_INLINE {
        wr8(S, v);
        if constexpr (E) S = uint16_t(0x100 | ((S - 1) & 0xFF));
        else --S;
    };
    auto pull8 = [&]() MW_INLINE -> uint8_t {
        if constexpr (E) S = uint16_t(0x100 | ((S + 1) & 0xFF));
        else ++S;
        return rd8(S);
    };
    auto push16 = [&](uint16_t v) MW_INLINE {
        push8(uint8_t(v >> 8));
        push8(uint8_t(v));
    };
    auto pull16 = [&]() MW_INLINE -> uint16_t {
        const uint16_t lo = pull8();
        return uint16_t(lo | (pull8() << 8));
    };
    // The 65816's own stack instructions do not wrap inside page 1 in
    // emulation mode; the page is restored when the instruction ends.
    auto pushN = [&](uint8_t v) MW_INLINE {
        wr8(S, v);
        --S;
    };
    auto pullN = [&]() MW_INLINE -> uint8_t {
        ++S;
        return rd8(S);
    };
    auto pushN16 = [&](uint16_t v) MW_INLINE {
        pushN(uint8_t(v >> 8));
        pushN(uint8_t(v));
    };
    auto pullN16 = [&]() MW_INLINE -> uint16_t {
        const uint16_t lo = pullN();
        return uint16_t(lo | (pullN() << 8));
    };
    auto fixS = [&]() MW_INLINE {
        if constexpr (E) S = uint16_t(0x100 | (S & 0xFF));
    };

    // ---- flags and arithmetic ----
    auto nzM = [&](uint32_t v) MW_INLINE {
        fZ = (v & kMaskM) == 0;
        fN = v & kTopM;
    };
    auto nzX = [&](uint32_t v) MW_INLINE {
        fZ = (v & (X8 ? 0xFF : 0xFFFF)) == 0;
        fN = v & kTopX;
    };
    auto nz16 = [&](uint32_t v) MW_INLINE {
        fZ = (v & 0xFFFF) == 0;
        fN = v & 0x8000;
    };
    auto setA = [&](uint32_t v) MW_INLINE {
        if constexpr (M8) A = uint16_t((A & 0xFF00) | (v & 0xFF));
        else A = uint16_t(v);
        nzM(v);
    };
    auto setX = [&](uint16_t& reg, uint32_t v) MW_INLINE {
        reg = uint16_t(v & (X8 ? 0xFF : 0xFFFF));
        nzX(reg);
    };
    auto adc = [&](uint32_t data) MW_INLINE {
        const int a = A & kMaskM;
        int r;
        if constexpr (M8) {
            if (!fD) [[likely]] {
                r = a + int(data) + fC;
            } else {
                r = (a & 0x0F) + int(data & 0x0F) + fC;
                if (r > 0x09) r += 0x06;
                const int c = r > 0x0F;
                r = (a & 0xF0) + int(data & 0xF0) + (c << 4) + (r & 0x0F);
            }
            fV = ~(a ^ int(data)) & (a ^ r) & 0x80;
            if (fD && r > 0x9F) r += 0x60;
            fC = r > 0xFF;
        } else {
            if (!fD) [[likely]] {
                r = a + int(data) + fC;
            } else {
                r = (a & 0x000F) + int(data & 0x000F) + fC;
                if (r > 0x0009) r += 0x0006;
                int c = r > 0x000F;
                r = (a & 0x00F0) + int(data & 0x00F0) + (c << 4) + (r & 0x000F);
                if (r > 0x009F) r += 0x0060;
                c = r > 0x00FF;
                r = (a & 0x0F00) + int(data & 0x0F00) + (c << 8) + (r & 0x00FF);
                if (r > 0x09FF) r += 0x0600;
                c = r > 0x0FFF;
                r = (a & 0xF000) + int(data & 0xF000) + (c << 12) + (r & 0x0FFF);
            }
            fV = ~(a ^ int(data)) & (a ^ r) & 0x8000;
            if (fD && r > 0x9FFF) r += 0x6000;
            fC = r > 0xFFFF;
        }
        setA(uint32_t(r));
    };
    auto sbc = [&](uint32_t data) MW_INLINE {
        const int a = A & kMaskM;
        const int d = int(~data & kMaskM);
        int r;
        if constexpr (M8) {
            if (!fD) [[likely]] {
                r = a + d + fC;
            } else {
                r = (a & 0x0F) + (d & 0x0F) + fC;
                if (r <= 0x0F) r -= 0x06;
                const int c = r > 0x0F;
                r = (a & 0xF0) + (d & 0xF0) + (c << 4) + (r & 0x0F);
            }
            fV = ~(a ^ d) & (a ^ r) & 0x80;
            if (fD && r <= 0xFF) r -= 0x60;
            fC = r > 0xFF;
        } else {
            if (!fD) [[likely]] {
                r = a + d + fC;
            } else {
                r = (a & 0x000F) + (d & 0x000F) + fC;
                if (r <= 0x000F) r -= 0x0006;
                int c = r > 0x000F;
                r = (a & 0x00F0) + (d & 0x00F0) + (c << 4) + (r & 0x000F);
                if (r <= 0x00FF) r -= 0x0060;
                c = r > 0x00FF;
                r = (a & 0x0F00) + (d & 0x0F00) + (c << 8) + (r & 0x00FF);
                if (r <= 0x0FFF) r -= 0x0600;
                c = r > 0x0FFF;
                r = (a & 0xF000) + (d & 0xF000) + (c << 12) + (r & 0x0FFF);
            }
            fV = ~(a ^ d) & (a ^ r) & 0x8000;
            if (fD && r <= 0xFFFF) r -= 0x6000;
            fC = r > 0xFFFF;
        }
        setA(uint32_t(r));
    };
    auto cmpM = [&](uint32_t reg, uint32_t v) MW_INLINE {
        const int r = int(reg & kMaskM) - int(v & kMaskM);
        fC = r >= 0;
        nzM(uint32_t(r));
    };
    auto cmpX = [&](uint32_t reg, uint32_t v) MW_INLINE {
        constexpr int mask = X8 ? 0xFF : 0xFFFF;
        const int r = int(reg & mask) - int(v & mask);
        fC = r >= 0;
        nzX(uint32_t(r));
    };
    auto bitM = [&](uint32_t v) MW_INLINE {
        fZ = (A & v & kMaskM) == 0;
        fN = v & kTopM;
        fV = v & (kTopM >> 1);
    };
    auto asl = [&](uint32_t v) MW_INLINE -> uint16_t {
        fC = v & kTopM;
        v = (v << 1) & kMaskM;
        nzM(v);
        return uint16_t(v);
    };
    auto lsr = [&](uint32_t v) MW_INLINE -> uint16_t {
        fC = v & 1;
        v = (v & kMaskM) >> 1;
        nzM(v);
        return uint16_t(v);
    };
    auto rol = [&](uint32_t v) MW_INLINE -> uint16_t {
        const bool c = fC;
        fC = v & kTopM;
        v = ((v << 1) | c) & kMaskM;
        nzM(v);
        return uint16_t(v);
    };
    auto ror = [&](uint32_t v) MW_INLINE -> uint16_t {
        const bool c = fC;
        fC = v & 1;
        v = ((v & kMaskM) >> 1) | (c ? kTopM : 0);
        nzM(v);
        return uint16_t(v);
    };
    auto inc = [&](uint32_t v) MW_INLINE -> uint16_t {
        v = (v + 1) & kMaskM;
        nzM(v);
        return uint16_t(v);
    };
    auto dec = [&](uint32_t v) MW_INLINE -> uint16_t {
        v = (v - 1) & kMaskM;
        nzM(v);
        return uint16_t(v);
    };
    auto tsb = [&](uint32_t v) MW_INLINE -> uint16_t {
        fZ = (A & v & kMaskM) == 0;
        return uint16_t((v | A) & kMaskM);
    };
    auto trb = [&](uint32_t v) MW_INLINE -> uint16_t {
        fZ = (A & v & kMaskM) == 0;
        return uint16_t(v & ~A & kMaskM);
    };
    auto branch = [&](bool taken) MW_INLINE {
        const int8_t rel = int8_t(fetch8());
        if (taken) PC = uint16_t(PC + rel);
    };

    uint32_t ea = 0, wm = 0xFFFFFF;
    // Addressing modes: each sets ea and wm.
#define AM_DPXI                             \
    {                                       \
        const uint32_t o = fetch8();        \
        ea = DB | dpPtr16(o, X);            \
        wm = 0xFFFFFF;                      \
    }
#define AM_SR                               \
    {                                       \
        ea = (S + fetch8()) & 0xFFFF;       \
        wm = 0xFFFF;                        \
    }
#define AM_DP                               \
    {                                       \
        ea = (D + fetch8()) & 0xFFFF;       \
        wm = 0xFFFF;                        \
    }
#define AM_DPIL                             \
    {                                       \
        ea = dpPtr24(fetch8());             \
        wm = 0xFFFFFF;                      \
    }
#define AM_ABS                              \
    {                                       \
        ea = DB | fetch16();                \
        wm = 0xFFFFFF;                      \
    }
#define AM_LONG                             \
    {                                       \
        ea = fetch24();                     \
        wm = 0xFFFFFF;                      \
    }
#define AM_DPIY                                          \
    {                                                    \
        const uint32_t o = fetch8();                     \
        ea = ((DB | dpPtr16(o, 0)) + Y) & 0xFFFFFF;      \
        wm = 0xFFFFFF;                                   \
    }
#define AM_DPI                              \
    {                                       \
        const uint32_t o = fetch8();        \
        ea = DB | dpPtr16(o, 0);            \
        wm = 0xFFFFFF;                      \
    }
#define AM_SRIY                                                    \
    {                                                              \
        const uint32_t b = (S + fetch8()) & 0xFFFF;                \
        const uint32_t lo = rd8(b);                                \
        const uint32_t ptr = lo | (uint32_t(rd8((b + 1) & 0xFFFF)) << 8); \
        ea = ((DB | ptr) + Y) & 0xFFFFFF;                          \
        wm = 0xFFFFFF;                                             \
    }
#define AM_DPX                              \
    {                                       \
        ea = dpIdx(fetch8(), X);            \
        wm = 0xFFFF;                        \
    }
#define AM_DPY                              \
    {                                       \
        ea = dpIdx(fetch8(), Y);            \
        wm = 0xFFFF;                        \
    }
#define AM_DPILY                                  \
    {                                             \
        ea = (dpPtr24(fetch8()) + Y) & 0xFFFFFF;  \
        wm = 0xFFFFFF;                            \
    }
#define AM_ABY                                    \
    {                                             \
        ea = ((DB | fetch16()) + Y) & 0xFFFFFF;   \
        wm = 0xFFFFFF;                            \
    }
#define AM_ABX                                    \
    {                                             \
        ea = ((DB | fetch16()) + X) & 0xFFFFFF;   \
        wm = 0xFFFFFF;                            \
    }
#define AM_LONGX                                  \
    {                                             \
        ea = (fetch24() + X) & 0xFFFFFF;          \
        wm = 0xFFFFFF;                            \
    }

// The accumulator group: the same operation in fifteen addressing modes.
#define G1_READ(base, BODY)                                         \
    case base | 0x01: AM_DPXI { const uint32_t v = rdM(ea, wm); BODY; } break;  \
    case base | 0x03: AM_SR { const uint32_t v = rdM(ea, wm); BODY; } break;    \
    case base | 0x05: AM_DP { const uint32_t v = rdM(ea, wm); BODY; } break;    \
    case base | 0x07: AM_DPIL { const uint32_t v = rdM(ea, wm); BODY; } break;  \
    case base | 0x09: { const uint32_t v = fetchM(); BODY; } break;             \
    case base | 0x0D: AM_ABS { const uint32_t v = rdM(ea, wm); BODY; } break;   \
    case base | 0x0F: AM_LONG { const uint32_t v = rdM(ea, wm); BODY; } break;  \
    case base | 0x11: AM_DPIY { const uint32_t v = rdM(ea, wm); BODY; } break;  \
    case base | 0x12: AM_DPI { const uint32_t v = rdM(ea, wm); BODY; } break;   \
    case base | 0x13: AM_SRIY { const uint32_t v = rdM(ea, wm); BODY; } break;  \
    case base | 0x15: AM_DPX { const uint32_t v = rdM(ea, wm); BODY; } break;   \
    case base | 0x17: AM_DPILY { const uint32_t v = rdM(ea, wm); BODY; } break; \
    case base | 0x19: AM_ABY { const uint32_t v = rdM(ea, wm); BODY; } break;   \
    case base | 0x1D: AM_ABX { const uint32_t v = rdM(ea, wm); BODY; } break;   \
    case base | 0x1F: AM_LONGX { const uint32_t v = rdM(ea, wm); BODY; } break;

#define RMW(OP)                                \
    {                                          \
        const uint16_t r = OP(rdM(ea, wm));    \
        wrM(ea, wm, r);                        \
    }

    for (;;) {
        const uint32_t full = PB | PC;
        if (full == stop0 || full == stop1) [[unlikely]] {
            save(packP(), E);
            result.stop = RunResult::Stop::AtAddress;
            result.pc = full;
            return false;
        }
        if (budget <= 0) [[unlikely]] {
            save(packP(), E);
            result.stop = RunResult::Stop::Budget;
            result.pc = full;
            return false;
        }
        --budget;
        opPc = full;
        const uint8_t op = fetch8();
        switch (op) {
            G1_READ(0x00, setA(A | v))
            G1_READ(0x20, setA(A & v))
            G1_READ(0x40, setA(A ^ v))
            G1_READ(0x60, adc(v))
            G1_READ(0xA0, setA(v))
            G1_READ(0xC0, cmpM(A, v))
            G1_READ(0xE0, sbc(v))

            // STA
            case 0x81: AM_DPXI wrM(ea, wm, A); break;
            case 0x83: AM_SR wrM(ea, wm, A); break;
            case 0x85: AM_DP wrM(ea, wm, A); break;
            case 0x87: AM_DPIL wrM(ea, wm, A); break;
            case 0x8D: AM_ABS wrM(ea, wm, A); break;
            case 0x8F: AM_LONG wrM(ea, wm, A); break;
            case 0x91: AM_DPIY wrM(ea, wm, A); break;
            case 0x92: AM_DPI wrM(ea, wm, A); break;
            case 0x93: AM_SRIY wrM(ea, wm, A); break;
            case 0x95: AM_DPX wrM(ea, wm, A); break;
            case 0x97: AM_DPILY wrM(ea, wm, A); break;
            case 0x99: AM_ABY wrM(ea, wm, A); break;
            case 0x9D: AM_ABX wrM(ea, wm, A); break;
            case 0x9F: AM_LONGX wrM(ea, wm, A); break;
            // STZ
            case 0x64: AM_DP wrM(ea, wm, 0); break;
            case 0x74: AM_DPX wrM(ea, wm, 0); break;
            case 0x9C: AM_ABS wrM(ea, wm, 0); break;
            case 0x9E: AM_ABX wrM(ea, wm, 0); break;
            // BIT
            case 0x89: {
                const uint32_t v = fetchM();
                fZ = (A & v & kMaskM) == 0;
            } break;
            case 0x24: AM_DP bitM(rdM(ea, wm)); break;
            case 0x2C: AM_ABS bitM(rdM(ea, wm)); break;
            case 0x34: AM_DPX bitM(rdM(ea, wm)); break;
            case 0x3C: AM_ABX bitM(rdM(ea, wm)); break;
            // TSB / TRB
            case 0x04: AM_DP RMW(tsb) break;
            case 0x0C: AM_ABS RMW(tsb) break;
            case 0x14: AM_DP RMW(trb) break;
            case 0x1C: AM_ABS RMW(trb) break;
            // shifts and rotates
            case 0x06: AM_DP RMW(asl) break;
            case 0x0E: AM_ABS RMW(asl) break;
            case 0x16: AM_DPX RMW(asl) break;
            case 0x1E: AM_ABX RMW(asl) break;
            case 0x0A: setA(asl(A)); break;
            case 0x26: AM_DP RMW(rol) break;
            case 0x2E: AM_ABS RMW(rol) break;
            case 0x36: AM_DPX RMW(rol) break;
            case 0x3E: AM_ABX RMW(rol) break;
            case 0x2A: setA(rol(A)); break;
            case 0x46: AM_DP RMW(lsr) break;
            case 0x4E: AM_ABS RMW(lsr) break;
            case 0x56: AM_DPX RMW(lsr) break;
            case 0x5E: AM_ABX RMW(lsr) break;
            case 0x4A: setA(lsr(A)); break;
            case 0x66: AM_DP RMW(ror) break;
            case 0x6E: AM_ABS RMW(ror) break;
            case 0x76: AM_DPX RMW(ror) break;
            case 0x7E: AM_ABX RMW(ror) break;
            case 0x6A: setA(ror(A)); break;
            // INC / DEC
            case 0xE6: AM_DP RMW(inc) break;
            case 0xEE: AM_ABS RMW(inc) break;
            case 0xF6: AM_DPX RMW(inc) break;
            case 0xFE: AM_ABX RMW(inc) break;
            case 0x1A: setA(inc(A)); break;
            case 0xC6: AM_DP RMW(dec) break;
            case 0xCE: AM_ABS RMW(dec) break;
            case 0xD6: AM_DPX RMW(dec) break;
            case 0xDE: AM_ABX RMW(dec) break;
            case 0x3A: setA(dec(A)); break;
            case 0xE8: setX(X, X + 1u); break;
            case 0xC8: setX(Y, Y + 1u); break;
            case 0xCA: setX(X, X - 1u); break;
            case 0x88: setX(Y, Y - 1u); break;
            // index loads, stores, compares
            case 0xA2: setX(X, fetchX()); break;
            case 0xA6: AM_DP setX(X, rdX(ea, wm)); break;
            case 0xAE: AM_ABS setX(X, rdX(ea, wm)); break;
            case 0xB6: AM_DPY setX(X, rdX(ea, wm)); break;
            case 0xBE: AM_ABY setX(X, rdX(ea, wm)); break;
            case 0xA0: setX(Y, fetchX()); break;
            case 0xA4: AM_DP setX(Y, rdX(ea, wm)); break;
            case 0xAC: AM_ABS setX(Y, rdX(ea, wm)); break;
            case 0xB4: AM_DPX setX(Y, rdX(ea, wm)); break;
            case 0xBC: AM_ABX setX(Y, rdX(ea, wm)); break;
            case 0x86: AM_DP wrX(ea, wm, X); break;
            case 0x8E: AM_ABS wrX(ea, wm, X); break;
            case 0x96: AM_DPY wrX(ea, wm, X); break;
            case 0x84: AM_DP wrX(ea, wm, Y); break;
            case 0x8C: AM_ABS wrX(ea, wm, Y); break;
            case 0x94: AM_DPX wrX(ea, wm, Y); break;
            case 0xE0: cmpX(X, fetchX()); break;
            case 0xE4: AM_DP cmpX(X, rdX(ea, wm)); break;
            case 0xEC: AM_ABS cmpX(X, rdX(ea, wm)); break;
            case 0xC0: cmpX(Y, fetchX()); break;
            case 0xC4: AM_DP cmpX(Y, rdX(ea, wm)); break;
            case 0xCC: AM_ABS cmpX(Y, rdX(ea, wm)); break;
            // branches
            case 0x10: branch(!fN); break;
            case 0x30: branch(fN); break;
            case 0x50: branch(!fV); break;
            case 0x70: branch(fV); break;
            case 0x90: branch(!fC); break;
            case 0xB0: branch(fC); break;
            case 0xD0: branch(!fZ); break;
            case 0xF0: branch(fZ); break;
            case 0x80: branch(true); break;
            case 0x82: {
                const uint16_t rel = fetch16();
                PC = uint16_t(PC + rel);
            } break;
            // flags
            case 0x18: fC = false; break;
            case 0x38: fC = true; break;
            case 0x58: fI = false; break;
            case 0x78: fI = true; break;
            case 0xB8: fV = false; break;
            case 0xD8: fD = false; break;
            case 0xF8: fD = true; break;
            case 0xC2: newP = uint8_t(packP() & ~fetch8()); newE = E; modeChange = true;
                break;
            case 0xE2: newP = uint8_t(packP() | fetch8()); newE = E; modeChange = true;
                break;
            case 0xFB: {
                const bool wasE = E;
                newP = packP();
                newE = fC;
                fC = wasE;
                newP = uint8_t((newP & ~kFlagC) | (fC ? kFlagC : 0));
                if (newE) newP |= kFlagM | kFlagX;
                modeChange = true;
                break;
            }
            // transfers
            case 0xAA: setX(X, A); break;
            case 0xA8: setX(Y, A); break;
            case 0x8A: setA(X); break;  // an 8-bit X has a zero high byte
            case 0x98: setA(Y); break;
            case 0x9B: setX(Y, X); break;
            case 0xBB: setX(X, Y); break;
            case 0xBA: setX(X, S); break;
            case 0x9A:
                if constexpr (E) S = uint16_t(0x100 | (X & 0xFF));
                else S = X;
                break;
            case 0x5B: D = A; nz16(D); break;
            case 0x7B: A = D; nz16(A); break;
            case 0x1B:
                if constexpr (E) S = uint16_t(0x100 | (A & 0xFF));
                else S = A;
                break;
            case 0x3B: A = S; nz16(A); break;
            case 0xEB:
                A = uint16_t((A >> 8) | (A << 8));
                fZ = (A & 0xFF) == 0;
                fN = A & 0x80;
                break;
            // stack
            case 0x48:
                if constexpr (M8) push8(uint8_t(A));
                else push16(A);
                break;
            case 0x68:
                if constexpr (M8) setA(pull8());
                else setA(pull16());
                break;
            case 0xDA:
                if constexpr (X8) push8(uint8_t(X));
                else push16(X);
                break;
            case 0x5A:
                if constexpr (X8) push8(uint8_t(Y));
                else push16(Y);
                break;
            case 0xFA:
                if constexpr (X8) setX(X, pull8());
                else setX(X, pull16());
                break;
            case 0x7A:
                if constexpr (X8) setX(Y, pull8());
                else setX(Y, pull16());
                break;
            case 0x08: push8(packP()); break;
            case 0x28: newP = pull8(); newE = E; modeChange = true;
                break;
            case 0x8B: push8(uint8_t(DB >> 16)); break;
            case 0x4B: push8(uint8_t(PB >> 16)); break;
            case 0xAB: {
                const uint8_t b = pullN();
                fixS();
                DB = uint32_t(b) << 16;
                fZ = b == 0;
                fN = b & 0x80;
            } break;
            case 0x0B: pushN16(D); fixS(); break;
            case 0x2B: D = pullN16(); fixS(); nz16(D); break;
            case 0xF4: pushN16(fetch16()); fixS(); break;
            case 0xD4: {
                const uint32_t o = fetch8();
                pushN16(uint16_t(dpPtr16(o, 0)));
                fixS();
            } break;
            case 0x62: {
                const uint16_t rel = fetch16();
                pushN16(uint16_t(PC + rel));
                fixS();
            } break;
            // jumps, calls, returns
            case 0x4C: PC = fetch16(); break;
            case 0x5C: {
                const uint32_t t = fetch24();
                PB = t & 0xFF0000;
                PC = uint16_t(t);
            } break;
            case 0x6C: {
                const uint16_t a = fetch16();
                const uint16_t lo = rd8(a);
                PC = uint16_t(lo | (rd8(uint16_t(a + 1)) << 8));
            } break;
            case 0x7C: {
                const uint16_t a = uint16_t(fetch16() + X);
                const uint16_t lo = rd8(PB | a);
                PC = uint16_t(lo | (rd8(PB | uint16_t(a + 1)) << 8));
            } break;
            case 0xDC: {
                const uint16_t a = fetch16();
                const uint32_t lo = rd8(a), mid = rd8(uint16_t(a + 1));
                const uint32_t bank = rd8(uint16_t(a + 2));
                PC = uint16_t(lo | (mid << 8));
                PB = bank << 16;
            } break;
            case 0x20: {
                const uint16_t t = fetch16();
                push16(uint16_t(PC - 1));
                PC = t;
            } break;
            case 0x22: {
                const uint32_t t = fetch24();
                pushN(uint8_t(PB >> 16));
                pushN16(uint16_t(PC - 1));
                fixS();
                PB = t & 0xFF0000;
                PC = uint16_t(t);
            } break;
            case 0xFC: {
                const uint16_t a = uint16_t(fetch16() + X);
                pushN16(uint16_t(PC - 1));
                fixS();
                const uint16_t lo = rd8(PB | a);
                PC = uint16_t(lo | (rd8(PB | uint16_t(a + 1)) << 8));
            } break;
            case 0x60: PC = uint16_t(pull16() + 1); break;
            case 0x6B: {
                const uint16_t t = pullN16();
                PB = uint32_t(pullN()) << 16;
                fixS();
                PC = uint16_t(t + 1);
            } break;
            case 0x40: {
                newP = pull8();
                PC = pull16();
                if constexpr (!E) PB = uint32_t(pull8()) << 16;
                newE = E;
                modeChange = true;
                break;
            }
            // block moves: one byte per step; the instruction repeats until
            // the count in A runs out
            case 0x54:
            case 0x44: {
                const uint32_t dst = fetch8(), src = fetch8();
                DB = dst << 16;
                wr8(DB | Y, rd8((src << 16) | X));
                const uint16_t step = op == 0x54 ? 1 : 0xFFFF;
                if constexpr (X8) {
                    X = uint8_t(X + step);
                    Y = uint8_t(Y + step);
                } else {
                    X = uint16_t(X + step);
                    Y = uint16_t(Y + step);
                }
                if (A-- != 0) PC = uint16_t(PC - 3);
            } break;
            // the rest
            case 0xEA: break;
            case 0x42: fetch8(); break;
            case 0x00:
            case 0x02:
            case 0xCB:
            case 0xDB: {
                static const char* const kNames[] = {"BRK", "COP", "WAI", "STP"};
                const int which = op == 0x00 ? 0 : op == 0x02 ? 1 : op == 0xCB ? 2 : 3;
                save(packP(), E);
                return fault(result, opPc, std::string(kNames[which]));
            }
        }
        if (faulted) [[unlikely]] {
            save(packP(), E);
            r_.pc = uint16_t(opPc);
            r_.pb = uint8_t(opPc >> 16);
            return fault(result, opPc, faultMessage);
        }
        if (modeChange) [[unlikely]] {
            modeChange = false;
            fC = newP & kFlagC;
            fZ = newP & kFlagZ;
            fI = newP & kFlagI;
            fD = newP & kFlagD;
            fV = newP & kFlagV;
            fN = newP & kFlagN;
            const uint8_t widths = newE ? (kFlagM | kFlagX) : (newP & (kFlagM | kFlagX));
            if (newE == E && widths == ((M8 ? kFlagM : 0) | (X8 ? kFlagX : 0))) continue;
            save(newP, newE);
            return true;
        }
    }

#undef AM_DPXI
#undef AM_SR
#undef AM_DP
#undef AM_DPIL
#undef AM_ABS
#undef AM_LONG
#undef AM_DPIY
#undef AM_DPI
#undef AM_SRIY
#undef AM_DPX
#undef AM_DPY
#undef AM_DPILY
#undef AM_ABY
#undef AM_ABX
#undef AM_LONGX
#undef G1_READ
#undef RMW
}

template bool Cpu::loop<false, false, false>(int64_t&, RunResult&);
template bool Cpu::loop<false, true, false>(int64_t&, RunResult&);
template bool Cpu::loop<true, false, false>(int64_t&, RunResult&);
template bool Cpu::loop<true, true, false>(int64_t&, RunResult&);
template bool Cpu::loop<true, true, true>(int64_t&, RunResult&);

}  // namespace mw::snes
