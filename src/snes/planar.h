#pragma once
// The console's 4-bit planar tiles: 8x8 pixels in 32 bytes. Bytes 0-15 hold
// rows 0-7 of planes 0 and 1 interleaved (row r in bytes 2r and 2r+1), bytes
// 16-31 planes 2 and 3 the same way; bit 7 is the leftmost pixel.
#include <array>
#include <cstddef>
#include <cstdint>

namespace mw {

constexpr int kTileBytes4bpp = 32;

// The colour index (0-15) of pixel (x, y) of the tile at `tile`.
inline uint8_t PlanarPixel(const uint8_t* tile, int x, int y) {
    const int bit = 7 - x;
    const uint8_t* row = tile + y * 2;
    return static_cast<uint8_t>(((row[0] >> bit) & 1) | (((row[1] >> bit) & 1) << 1) |
                                (((row[16] >> bit) & 1) << 2) | (((row[17] >> bit) & 1) << 3));
}

// Sets pixel (x, y) of the tile at `tile` to colour index `colour` (0-15).
void SetPlanarPixel(uint8_t* tile, int x, int y, uint8_t colour);

// The whole tile as 64 colour indices, row by row.
std::array<uint8_t, 64> DecodePlanarTile(const uint8_t* tile);

}  // namespace mw
