#pragma once
// The checksum of the internal header. The game never reads it, but emulators
// and patching tools report a mismatch, so a change to a ROM whose checksum
// was right keeps it right.
#include <cstdint>
#include <optional>
#include <vector>

#include "level/rom_layout.h"

namespace mw {

// File offsets in the ".smc" layout: the complement at $00:FFDC, the
// checksum at $00:FFDE, 16-bit little-endian, in the internal header.
constexpr int64_t kChecksumComplementOffset = kCopierHeaderSize + kInternalHeaderInImage + 0x1C;
constexpr int64_t kChecksumOffset = kCopierHeaderSize + kInternalHeaderInImage + 0x1E;

// The 16-bit sum of every byte of the image after the copier header, counted
// as if the four checksum bytes held FF FF 00 00 (so that writing the result
// does not change it). Nullopt when the file is too short to hold them.
std::optional<uint16_t> ComputeChecksum(const std::vector<uint8_t>& file);

// True when the file's checksum and complement agree with ComputeChecksum.
bool ChecksumIsRight(const std::vector<uint8_t>& file);

// Writes the computed checksum and its complement into the file. False (and
// nothing changed) when the file is too short to hold them.
bool WriteChecksum(std::vector<uint8_t>& file);

}  // namespace mw
