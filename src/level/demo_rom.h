#pragma once
// The synthetic demo ROM: a full-size image with the level pointer table at
// its real place and a handful of made-up levels. It holds none of the
// game's own data; the levels are encoded with the shipped definitions.
#include <cstdint>
#include <vector>

#include "definitions/definition_tables.h"

namespace mw {

constexpr int64_t kDemoRomSize = 0x200 + 0x200000;

// The three pointer bytes (low, high, bank) of a file offset, LoROM style
// (banks 0x00..0x3F) or in a linear 64 KiB bank (0x40..0x5F).
std::array<uint8_t, 3> LoRomPointer(int32_t fileOffset);
std::array<uint8_t, 3> LinearPointer(int32_t fileOffset);

std::vector<uint8_t> BuildDemoRom(const DefinitionTables& defs);

}  // namespace mw
