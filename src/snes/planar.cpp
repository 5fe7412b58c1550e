#include "snes/planar.h"

namespace mw {

void SetPlanarPixel(uint8_t* tile, int x, int y, uint8_t colour) {
    const uint8_t mask = static_cast<uint8_t>(0x80 >> x);
    static constexpr int kPlaneByte[4] = {0, 1, 16, 17};
    for (int k = 0; k < 4; ++k) {
        uint8_t& b = tile[y * 2 + kPlaneByte[k]];
        b = (colour >> k) & 1 ? static_cast<uint8_t>(b | mask) : static_cast<uint8_t>(b & ~mask);
    }
}

std::array<uint8_t, 64> DecodePlanarTile(const uint8_t* tile) {
    std::array<uint8_t, 64> out{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) out[static_cast<size_t>(y * 8 + x)] = PlanarPixel(tile, x, y);
    return out;
}

}  // namespace mw
