#pragma once
// Encoders for the game's two graphics formats (see snes/lz1.h and
// snes/lz16.h). Only the demo ROM's generator and the tests use them: the
// editor itself only ever decompresses.
#include <cstdint>
#include <vector>

namespace mw::demo {

// Greedy command-byte encoding of `data`, ending with $FF. Uses literals,
// repeats, alternating pairs, counting bytes and copies from the last 1 KiB,
// in their short and long forms.
std::vector<uint8_t> EncodeLz1(const std::vector<uint8_t>& data);

// Row-codec encoding of a 128-pixel-wide image of colour indices (0-15),
// `pixels.size() / 128` rows, row by row. Each row is coded both as plain
// runs and against the row above (skipping runs it shares), whichever is
// shorter.
std::vector<uint8_t> EncodeLz16(const std::vector<uint8_t>& pixels);

}  // namespace mw::demo
