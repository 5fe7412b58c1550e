#pragma once
// A 65816 interpreter: all 256 opcodes in native and emulation mode, decimal
// ADC/SBC, the bank and page wrap rules of every addressing mode, MVN/MVP.
// It runs until an instruction budget is spent, the program counter reaches
// a stop address, or the program does something the machine cannot answer
// (BRK, COP, WAI, STP, an unmapped address, an unanswered register).
#include <array>
#include <cstdint>
#include <string>

#include "snes/bus.h"

namespace mw::snes {

// Processor status bits.
enum : uint8_t {
    kFlagC = 0x01,
    kFlagZ = 0x02,
    kFlagI = 0x04,
    kFlagD = 0x08,
    kFlagX = 0x10,  // 8-bit index registers (native); B in emulation
    kFlagM = 0x20,  // 8-bit accumulator (native)
    kFlagV = 0x40,
    kFlagN = 0x80,
};

struct Registers {
    uint16_t a = 0, x = 0, y = 0;
    uint16_t s = 0x01FF, d = 0;
    uint8_t db = 0, pb = 0;
    uint16_t pc = 0;
    uint8_t p = kFlagM | kFlagX | kFlagI;
    bool e = true;  // emulation mode

    uint32_t fullPc() const { return (uint32_t(pb) << 16) | pc; }
};

struct RunResult {
    enum class Stop {
        AtAddress,  // the program counter reached a stop address
        Budget,     // the instruction budget is spent
        Fault,      // see `message`
    };
    Stop stop = Stop::Budget;
    uint64_t instructions = 0;  // executed in this run
    uint32_t pc = 0;            // where it stopped (the faulting instruction's address for a fault)
    std::string message;        // why, for a fault: "BRK at $12:8000", "read of the unmapped address ..."
};

class Cpu {
public:
    explicit Cpu(Bus& bus) : bus_(bus) {}

    Registers& regs() { return r_; }
    const Registers& regs() const { return r_; }

    // Up to two 24-bit addresses where the run stops before executing the
    // instruction there (a hang loop, the return address of a sentinel).
    void setStopAddresses(uint32_t first, uint32_t second = kNoStop) { stops_ = {first, second}; }
    static constexpr uint32_t kNoStop = 0xFFFFFFFF;

    // Runs at most `budget` instructions (a block move counts one per byte).
    RunResult run(uint64_t budget);

    // Pushes a byte as the program would (for setting up a call).
    void push8(uint8_t value);

private:
    template <bool M8, bool X8, bool E>
    bool loop(int64_t& budget, RunResult& result);

    bool fault(RunResult& result, uint32_t pc, std::string message);

    Bus& bus_;
    Registers r_;
    std::array<uint32_t, 2> stops_{kNoStop, kNoStop};
};

}  // namespace mw::snes
