#pragma once
// The synthetic demo ROM: a full-size image with the level pointer table at
// its real place and a handful of made-up levels. It holds none of the
// game's own data; the levels are encoded with the shipped definitions.
#include <cstdint>
#include <vector>

#include "definitions/definition_tables.h"

namespace mw {

constexpr int64_t kDemoRomSize = 0x200 + 0x200000;

std::vector<uint8_t> BuildDemoRom(const DefinitionTables& defs);

}  // namespace mw
