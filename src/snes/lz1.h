#pragma once
// The command-byte compression of most tile graphics files ("LZ1").
//
// Each command byte b ($FF ends the file) is cmd = b >> 5 with a length of
// (b & $1F) + 1; cmd 7 is the long form: cmd = (b >> 2) & 7, length
// ((b & 3) << 8 | next) + 1. Commands: 0 literal bytes; 1 one byte repeated;
// 2 two bytes alternating (an odd length ends on the first); 3 a byte
// counting up (8-bit wrap); 4-7 a copy from a big-endian offset into the
// output, byte by byte (the copy may overlap what it writes).
#include <cstddef>

#include "snes/gfx_source.h"

namespace mw {

// The game decompresses into a 64 KiB window of cartridge RAM.
constexpr size_t kLz1MaxOutput = 0x10000;

// Decompresses the file at `source` into at most `capacity` bytes. A copy
// from bytes not yet written reads zeros (the buffer's earlier contents).
// Ends with an error, keeping what was decoded, when the stream runs off the
// image, would write past `capacity` or copies from past it.
GfxFile DecompressLz1(const GfxSource& source, size_t capacity = kLz1MaxOutput);

}  // namespace mw
