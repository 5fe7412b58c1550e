#pragma once
// Map16 tiles as pictures. A map16 number stands for four tilemap words
// (top-left, top-right, bottom-left, bottom-right) in one table for every
// tileset; each word picks an 8x8 tile of the character memory, a colour row
// and the flips. Map16Tiles decodes each number the first time it is asked
// for, once per set of graphics, into 16x16 pixels laid over the level's
// background colour, and keeps copies scaled to the view's zooms.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "map/level_graphics.h"

namespace mw {

constexpr int kMap16Edge = 16;

// The four tilemap words of map16 number `n`, read from the ROM; zeros for
// what lies outside it.
std::array<uint16_t, 4> Map16Words(std::span<const uint8_t> image, uint16_t n);

// Pixel (x, y) (0-7) of the 8x8 tile of tilemap word `word`: a colour as
// 0xAARRGGBB, alpha 0 for colour 0 (transparent).
Argb TilemapPixel(const LevelGraphics& g, uint16_t word, int x, int y);

// What the pictures depend on: the ROM's contents and the graphics it was
// built from.
struct TileSetKey {
    uint64_t romGeneration = 0;
    GraphicsHeader header;
    bool world6 = false;
    bool operator==(const TileSetKey&) const = default;
};

class Map16Tiles {
public:
    // Takes the graphics built for `key`; the ROM image must stay as it is
    // until the next reset.
    void reset(const TileSetKey& key, std::span<const uint8_t> image, LevelGraphics graphics);
    bool built() const { return built_; }
    // Changes with every reset, unique across all Map16Tiles objects.
    uint64_t generation() const { return generation_; }
    const TileSetKey& key() const { return key_; }
    const LevelGraphics& graphics() const { return graphics_; }

    // The picture of `n`, `edge` x `edge` pixels (edge 16: the game's own
    // size; smaller edges are averaged, larger ones repeat pixels), rows of
    // `edge` pixels, opaque. Valid until the next call.
    const Argb* tile(uint16_t n, int edge);
    // How many numbers have been decoded since the last reset.
    int decodedCount() const { return static_cast<int>(full_.size() / 256); }

private:
    bool built_ = false;
    uint64_t generation_ = 0;
    TileSetKey key_;
    std::span<const uint8_t> image_;
    LevelGraphics graphics_;
    std::vector<int32_t> index_;  // per map16 number: its place in full_ / 256, or -1
    std::vector<Argb> full_;      // 16x16 pictures back to back
    struct Scaled {
        int edge = 0;
        std::vector<int32_t> index;
        std::vector<Argb> pixels;
    };
    std::vector<Scaled> scaled_;
    int32_t decode(uint16_t n);
};

}  // namespace mw
