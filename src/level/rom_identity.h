#pragma once
// Which ROM is this: the internal header that the game's image carries at
// $00:FFC0, compared with the one of Yoshi's Island 1.0 (U), and the
// headerless dumps that lack the 0x200-byte copier header.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "level/rom_layout.h"

namespace mw {

constexpr int64_t kInternalHeaderTitleLength = 21;

// The identifying bytes of the 1.0 (U) internal header, from the title to
// the version (28 bytes: title, map mode, cartridge type, ROM size, RAM
// size, region, developer, version).
const std::array<uint8_t, 28>& UsInternalHeader();

// Writes those bytes where a ".smc" file holds them (0x200 + 0x7FC0); the
// file must be large enough.
void PutUsInternalHeader(std::vector<uint8_t>& smcFile);

// What differs from 1.0 (U) in a ".smc" file's internal header (title,
// size code, region, version), as one message; nullopt when nothing does.
std::optional<std::string> RomIdentityWarning(const std::vector<uint8_t>& smcFile);

// A headerless dump: exactly 2 MiB, with an internal header at 0x7FC0.
bool IsHeaderlessDump(const std::vector<uint8_t>& file);
// The dump with a copier header of zeros in front: the ".smc" file (as
// RomFile holds a dump in memory).
std::vector<uint8_t> WithCopierHeader(const std::vector<uint8_t>& dump);

}  // namespace mw
