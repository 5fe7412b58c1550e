#include "snes/bus.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace mw::snes {

namespace {

bool IsLowBank(uint32_t bank) { return (bank & 0x7F) < 0x40; }

}  // namespace

std::string FormatAddress(uint32_t address) {
    static const char* kDigits = "0123456789ABCDEF";
    std::string s = "$00:0000";
    s[1] = kDigits[(address >> 20) & 15];
    s[2] = kDigits[(address >> 16) & 15];
    for (int i = 0; i < 4; ++i) s[4 + i] = kDigits[(address >> (12 - 4 * i)) & 15];
    return s;
}

std::string Bus::DescribeAddress(uint32_t address) {
    const uint32_t bank = address >> 16, offset = address & 0xFFFF;
    if (IsLowBank(bank) && offset >= 0x2000 && offset < 0x6000) return "the hardware register " + FormatAddress(address);
    return "the unmapped address " + FormatAddress(address);
}

Bus::Bus(std::span<const uint8_t> image)
    : romSize_(static_cast<uint32_t>(std::min<size_t>(image.size(), 0x400000))),
      wram_(kWramSize, 0),
      cartRam_(kCartRamSize, 0) {
    rom_.assign((romSize_ + kPageMask) & ~kPageMask, 0);
    std::memcpy(rom_.data(), image.data(), romSize_);
    mapPages();
}

void Bus::mapPages() {
    read_.fill(nullptr);
    write_.fill(nullptr);
    auto romPage = [&](uint32_t offset) -> const uint8_t* { return offset < rom_.size() ? rom_.data() + offset : nullptr; };
    for (uint32_t page = 0; page < kPageCount; ++page) {
        const uint32_t address = page << kPageBits;
        const uint32_t bank = address >> 16, offset = address & 0xFFFF;
        if (IsLowBank(bank)) {
            if (offset < 0x2000) {
                read_[page] = write_[page] = wram_.data() + offset;
            } else if (offset >= 0x6000 && offset < 0x8000) {
                read_[page] = write_[page] = cartRam_.data() + (offset - 0x6000);
            } else if (offset >= 0x8000) {
                read_[page] = romPage((bank & 0x3F) * 0x8000 + (offset - 0x8000));
            }
        } else if (bank >= 0x40 && bank <= 0x5F) {
            read_[page] = romPage((bank - 0x40) * 0x10000 + offset);
        } else if (bank == 0x70 || bank == 0x71) {
            read_[page] = write_[page] = cartRam_.data() + (bank - 0x70) * 0x10000 + offset;
        } else if (bank == 0x7E || bank == 0x7F) {
            read_[page] = write_[page] = wram_.data() + (bank - 0x7E) * 0x10000 + offset;
        }
    }
}

bool Bus::IsHookRegister(uint16_t address) {
    return (address >= 0x2115 && address <= 0x2119) || (address >= 0x4300 && address <= 0x4306) || address == 0x420B;
}

bool Bus::slowRead(uint32_t address, uint8_t openBus, uint8_t& value) {
    const uint32_t bank = address >> 16, offset = address & 0xFFFF;
    if (!IsLowBank(bank)) return false;
    switch (offset) {
        case 0x2137:
            // Latches the counters; the register itself drives nothing.
            ++latches_;
            latchH_ = static_cast<uint16_t>((latches_ * 97 + 31) % 340);
            latchV_ = static_cast<uint16_t>((latches_ * 59 + 13) % 262);
            value = openBus;
            return true;
        case 0x213C: value = static_cast<uint8_t>(latchH_); return true;
        case 0x213D: value = static_cast<uint8_t>(latchV_); return true;
        default: return false;
    }
}

bool Bus::slowWrite(uint32_t address, uint8_t value) {
    const uint32_t bank = address >> 16, offset = address & 0xFFFF;
    if (readPage(address) != nullptr) return true;  // ROM: the cartridge ignores writes
    if (IsLowBank(bank) && IsHookRegister(static_cast<uint16_t>(offset)) && registerHook_)
        return registerHook_(address, value);
    return false;
}

bool Bus::peek(uint32_t address, uint8_t& value) {
    address &= 0xFFFFFF;
    if (const uint8_t* p = readPage(address)) {
        value = p[address & kPageMask];
        return true;
    }
    return false;
}

bool Bus::poke(uint32_t address, uint8_t value) {
    address &= 0xFFFFFF;
    if (uint8_t* p = writePage(address)) {
        p[address & kPageMask] = value;
        return true;
    }
    return false;
}

void Bus::clearRam() {
    std::fill(wram_.begin(), wram_.end(), 0);
    std::fill(cartRam_.begin(), cartRam_.end(), 0);
    latches_ = 0;
    latchH_ = latchV_ = 0;
}

bool Bus::patchRom(uint32_t imageOffset, std::span<const uint8_t> bytes) {
    if (imageOffset > romSize_ || bytes.size() > romSize_ - imageOffset) return false;
    patches_.push_back({imageOffset, std::vector<uint8_t>(rom_.begin() + imageOffset,
                                                          rom_.begin() + imageOffset + bytes.size())});
    std::copy(bytes.begin(), bytes.end(), rom_.begin() + imageOffset);
    return true;
}

void Bus::restoreRom() {
    for (auto it = patches_.rbegin(); it != patches_.rend(); ++it)
        std::copy(it->bytes.begin(), it->bytes.end(), rom_.begin() + it->offset);
    patches_.clear();
}

}  // namespace mw::snes
