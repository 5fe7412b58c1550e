#pragma once
// The game cartridge's address space as the CPU sees it:
//   banks 00-3F and 80-BF  $0000-$1FFF  work RAM $7E:0000-$1FFF (mirror)
//                          $2000-$5FFF  hardware registers (only a few answered)
//                          $6000-$7FFF  cartridge RAM $70:0000-$1FFF (mirror)
//                          $8000-$FFFF  ROM, 32 KiB per bank
//   banks 40-5F            $0000-$FFFF  the same ROM, 64 KiB per bank
//   banks 70-71            cartridge RAM, 128 KiB
//   banks 7E-7F            work RAM, 128 KiB
// Everything else is unmapped. The map is a table of 4 KiB pages with direct
// pointers; pages without a pointer go through the slow path (registers,
// unmapped addresses, writes to ROM).
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace mw::snes {

constexpr int kPageBits = 12;
constexpr uint32_t kPageSize = 1u << kPageBits;
constexpr uint32_t kPageMask = kPageSize - 1;
constexpr int kPageCount = 1 << (24 - kPageBits);
constexpr uint32_t kWramSize = 0x20000;
constexpr uint32_t kCartRamSize = 0x20000;

class Bus {
public:
    // `image` is the headerless ROM image (up to 4 MiB; the part past what
    // the two views can show is never read). The bus keeps its own copy.
    explicit Bus(std::span<const uint8_t> image);
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    // Fast-path tables: null where the slow path decides.
    const uint8_t* readPage(uint32_t address) const { return read_[address >> kPageBits]; }
    uint8_t* writePage(uint32_t address) const { return write_[address >> kPageBits]; }

    // The slow path. False when the access ends the run (an unmapped
    // address, or a register nobody answers). `openBus` is what the data
    // lines held last (a read of a write-only latch answers it).
    bool slowRead(uint32_t address, uint8_t openBus, uint8_t& value);
    bool slowWrite(uint32_t address, uint8_t value);
    // Plain reads and writes through the map, for setting up a run and
    // reading its results; false where the CPU would be refused.
    bool peek(uint32_t address, uint8_t& value);
    bool poke(uint32_t address, uint8_t value);

    // Zeroes both RAMs and restarts the beam-counter sequence.
    void clearRam();
    std::span<uint8_t> wram() { return wram_; }
    std::span<uint8_t> cartRam() { return cartRam_; }
    std::span<const uint8_t> rom() const { return {rom_.data(), romSize_}; }

    // Replaces ROM bytes from `imageOffset` on (a private change: the image
    // given to the constructor is not touched). The bytes must lie inside
    // the image. restoreRom() puts back what every patch replaced.
    bool patchRom(uint32_t imageOffset, std::span<const uint8_t> bytes);
    void restoreRom();

    // A client may answer writes to the DMA registers that copy into video
    // memory ($2115-$2119, $4300-$4306, $420B). Without a hook, or when it
    // returns false, such a write ends the run like any other register.
    using RegisterWriteHook = std::function<bool(uint32_t address, uint8_t value)>;
    void setRegisterWriteHook(RegisterWriteHook hook) { registerHook_ = std::move(hook); }
    static bool IsHookRegister(uint16_t address);

    // The beam counters: every latch (a read of $2137) takes the next pair
    // of a fixed sequence, restarted by clearRam(); $213C and $213D give
    // the low bytes of the latched horizontal and vertical counts.
    uint16_t latchedH() const { return latchH_; }
    uint16_t latchedV() const { return latchV_; }

    // "the hardware register $00:2100" / "the unmapped address $60:1234".
    static std::string DescribeAddress(uint32_t address);

private:
    void mapPages();

    std::vector<uint8_t> rom_;  // padded to whole pages
    uint32_t romSize_ = 0;
    std::vector<uint8_t> wram_;
    std::vector<uint8_t> cartRam_;
    std::array<const uint8_t*, kPageCount> read_{};
    std::array<uint8_t*, kPageCount> write_{};
    struct Saved {
        uint32_t offset;
        std::vector<uint8_t> bytes;
    };
    std::vector<Saved> patches_;
    RegisterWriteHook registerHook_;
    uint32_t latches_ = 0;
    uint16_t latchH_ = 0;
    uint16_t latchV_ = 0;
};

// "$12:8875"
std::string FormatAddress(uint32_t address);

}  // namespace mw::snes
