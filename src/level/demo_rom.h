#pragma once
// The synthetic demo ROM: a full-size image laid out like the game's own,
// with made-up levels. The pointer table is at its real place; the levels lie
// packed against the free tails of their banks; the unused blocks hold 0xFF;
// some entries share data as the game's do (one object pointer for two
// entries, both pointers for two others, a sprite pointer at another level's
// end marker); the title screen's entry has no header; two courses start
// on levels 0 and 3; the checksum is right.
// It holds none of the game's own data; the levels are encoded with the
// shipped definitions.
#include <cstdint>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "level/rom_layout.h"

namespace mw {

constexpr int64_t kDemoRomSize = kCopierHeaderSize + kImageSize;

// `freeBlocks` (FreeSpace.dat) are filled with 0xFF.
std::vector<uint8_t> BuildDemoRom(const DefinitionTables& defs, const std::vector<FreeBlock>& freeBlocks);

}  // namespace mw
