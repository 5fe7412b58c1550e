#include "map/tile_animation.h"

#include "snes/bus.h"
#include "snes/cpu.h"
#include "util/hex_text.h"

namespace mw {

namespace {

constexpr uint32_t kAnimationStart = 0x00D571;
// The routine is entered as by a long call whose return address is
// $00:FFFE: a short return and a long one both come back to $00:FFFF.
constexpr uint32_t kReturnedTo = 0x00FFFF;
constexpr uint64_t kBudget = 5'000'000;

// Video memory as the DMA registers fill it: the address and increment
// registers, the data port, and channel 0 of the DMA unit.
class VramDma {
public:
    VramDma(snes::Bus& bus, std::vector<uint8_t>& vram) : bus_(bus), vram_(vram) {}

    bool write(uint32_t address, uint8_t v) {
        const uint16_t reg = static_cast<uint16_t>(address);
        if (reg >= 0x4300 && reg <= 0x4306) {
            dma_[reg - 0x4300] = v;
            return true;
        }
        switch (reg) {
        case 0x2115: vmain_ = v; return true;
        case 0x2116: vmadd_ = static_cast<uint16_t>((vmadd_ & 0xFF00) | v); return true;
        case 0x2117: vmadd_ = static_cast<uint16_t>((vmadd_ & 0x00FF) | v << 8); return true;
        case 0x2118: port(0, v); return true;
        case 0x2119: port(1, v); return true;
        case 0x420B: return v == 0 || (v == 1 && transfer());
        default: return false;
        }
    }
    const std::string& error() const { return error_; }

private:
    void port(int high, uint8_t v) {
        vram_[(static_cast<size_t>(vmadd_ & 0x7FFF) * 2 + static_cast<size_t>(high))] = v;
        if ((vmain_ >> 7) == high) {
            static constexpr uint16_t kStep[4] = {1, 32, 128, 128};
            vmadd_ = static_cast<uint16_t>(vmadd_ + kStep[vmain_ & 3]);
        }
    }
    // Channel 0, A bus to B bus, in modes 0-2 towards the data port.
    bool transfer() {
        const uint8_t mode = dma_[0];
        const uint8_t target = dma_[1];
        if ((mode & 0x80) || (mode & 7) > 2 || (target != 0x18 && target != 0x19)) {
            error_ = "a DMA transfer the model does not cover (mode $" + ToHex(mode) + " to $21" + ToHex(target) + ")";
            return false;
        }
        uint32_t a = static_cast<uint32_t>(dma_[4]) << 16 | dma_[3] << 8 | dma_[2];
        uint32_t count = static_cast<uint32_t>(dma_[6] << 8 | dma_[5]);
        if (count == 0) count = 0x10000;
        const int step = (mode & 0x08) ? 0 : ((mode & 0x10) ? -1 : 1);
        for (uint32_t i = 0; i < count; ++i) {
            uint8_t v = 0;
            if (!bus_.peek(a, v)) {
                error_ = "a DMA transfer from " + snes::Bus::DescribeAddress(a);
                return false;
            }
            const int reg = target - 0x18 + ((mode & 7) == 1 ? static_cast<int>(i & 1) : 0);
            if (reg > 1) {
                error_ = "a DMA transfer past the data port";
                return false;
            }
            port(reg, v);
            a = (a & 0xFF0000) | ((a + static_cast<uint32_t>(step)) & 0xFFFF);
        }
        dma_[5] = dma_[6] = 0;
        return true;
    }

    snes::Bus& bus_;
    std::vector<uint8_t>& vram_;
    uint8_t vmain_ = 0;
    uint16_t vmadd_ = 0;
    uint8_t dma_[7] = {};
    std::string error_;
};

}  // namespace

std::string RunTileAnimationStart(std::span<const uint8_t> image, const GraphicsHeader& h, bool world6,
                                  std::vector<uint8_t>& vram) {
    std::vector<uint8_t> work = vram;
    snes::Bus bus(image);
    VramDma dma(bus, work);
    bus.setRegisterWriteHook([&](uint32_t address, uint8_t v) { return dma.write(address, v); });
    // The header words as the level loader leaves them, and the world.
    auto word = [&](uint32_t at, int v) {
        bus.poke(0x7E0000 | at, static_cast<uint8_t>(v & 0xFF));
        bus.poke(0x7E0000 | (at + 1), static_cast<uint8_t>(v >> 8));
    };
    word(0x0134, h.backgroundColour);
    word(0x0136, h.bg1Tileset);
    word(0x0138, h.bg1Palette);
    word(0x013A, h.bg2Tileset);
    word(0x013C, h.bg2Palette);
    word(0x013E, h.bg3Tileset);
    word(0x0140, h.bg3Palette);
    word(0x0146, h.levelMode);
    word(0x0148, h.animationTileset);
    word(0x0218, world6 ? 0x0A : 0x00);

    snes::Cpu cpu(bus);
    snes::Registers& r = cpu.regs();
    r.e = false;
    r.p = snes::kFlagM | snes::kFlagX | snes::kFlagI;
    r.s = 0x01FF;
    r.d = 0;
    r.db = 0;
    r.pb = static_cast<uint8_t>(kAnimationStart >> 16);
    r.pc = static_cast<uint16_t>(kAnimationStart);
    cpu.push8(0x00);
    cpu.push8(static_cast<uint8_t>((kReturnedTo - 1) >> 8));
    cpu.push8(static_cast<uint8_t>((kReturnedTo - 1) & 0xFF));
    cpu.setStopAddresses(kReturnedTo);
    const snes::RunResult run = cpu.run(kBudget);
    if (run.stop == snes::RunResult::Stop::AtAddress) {
        vram = std::move(work);
        return {};
    }
    if (!dma.error().empty()) return dma.error() + " at " + snes::FormatAddress(run.pc);
    if (run.stop == snes::RunResult::Stop::Budget) return "the routine did not return within " + std::to_string(kBudget) + " instructions";
    return run.message;
}

}  // namespace mw
