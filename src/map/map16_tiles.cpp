#include "map/map16_tiles.h"

#include <algorithm>
#include <atomic>

namespace mw {

namespace {

constexpr int64_t kMap16PageOffsets = 0xC32A4;  // $18:B2A4, a word per page
constexpr int64_t kMap16Data = 0xC33F2;         // $18:B3F2
constexpr int kCharBaseWord = 0x7000;           // layer 1's character base in every level mode drawn

Argb Over(Argb c, Argb background) { return (c >> 24) != 0 ? c : background; }

}  // namespace

std::array<uint16_t, 4> Map16Words(std::span<const uint8_t> image, uint16_t n) {
    auto word = [&](int64_t at) -> uint16_t {
        if (at < 0 || at + 1 >= static_cast<int64_t>(image.size())) return 0;
        return static_cast<uint16_t>(image[static_cast<size_t>(at)] | image[static_cast<size_t>(at + 1)] << 8);
    };
    const int64_t entry = kMap16Data + word(kMap16PageOffsets + 2 * (n >> 8)) + 8 * (n & 0xFF);
    return {word(entry), word(entry + 2), word(entry + 4), word(entry + 6)};
}

Argb TilemapPixel(const LevelGraphics& g, uint16_t word, int x, int y) {
    const int tile = word & 0x3FF;
    const int row = word >> 10 & 7;
    if (word & 0x4000) x = 7 - x;
    if (word & 0x8000) y = 7 - y;
    // The tile's place in video memory wraps within the 32 K words.
    const size_t at = static_cast<size_t>((kCharBaseWord + 16 * tile) & 0x7FFF) * 2;
    const uint8_t* p = g.vram.data() + at + static_cast<size_t>(y) * 2;
    const int bit = 7 - x;
    const int colour = (p[0] >> bit & 1) | (p[1] >> bit & 1) << 1 | (p[16] >> bit & 1) << 2 | (p[17] >> bit & 1) << 3;
    if (colour == 0) return 0;
    return Bgr555ToArgb(g.cgram[static_cast<size_t>(row * 16 + colour)]);
}

void Map16Tiles::reset(const TileSetKey& key, std::span<const uint8_t> image, LevelGraphics graphics) {
    key_ = key;
    image_ = image;
    graphics_ = std::move(graphics);
    index_.assign(0x10000, -1);
    full_.clear();
    scaled_.clear();
    built_ = true;
    static std::atomic<uint64_t> next{0};
    generation_ = ++next;
}

int32_t Map16Tiles::decode(uint16_t n) {
    int32_t& slot = index_[n];
    if (slot >= 0) return slot;
    slot = static_cast<int32_t>(full_.size() / 256);
    full_.resize(full_.size() + 256);
    Argb* out = full_.data() + static_cast<size_t>(slot) * 256;
    const auto words = Map16Words(image_, n);
    for (int q = 0; q < 4; ++q) {
        const int ox = (q & 1) * 8, oy = (q >> 1) * 8;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                out[(oy + y) * 16 + ox + x] = Over(TilemapPixel(graphics_, words[static_cast<size_t>(q)], x, y), graphics_.background);
    }
    return slot;
}

const Argb* Map16Tiles::tile(uint16_t n, int edge) {
    const int32_t at = decode(n);
    const Argb* src = full_.data() + static_cast<size_t>(at) * 256;
    if (edge == kMap16Edge) return src;
    Scaled* s = nullptr;
    for (Scaled& c : scaled_)
        if (c.edge == edge) s = &c;
    if (s == nullptr) {
        scaled_.push_back(Scaled{edge, std::vector<int32_t>(0x10000, -1), {}});
        s = &scaled_.back();
    }
    int32_t& slot = s->index[n];
    const size_t area = static_cast<size_t>(edge) * static_cast<size_t>(edge);
    if (slot >= 0) return s->pixels.data() + static_cast<size_t>(slot) * area;
    slot = static_cast<int32_t>(s->pixels.size() / area);
    s->pixels.resize(s->pixels.size() + area);
    Argb* out = s->pixels.data() + static_cast<size_t>(slot) * area;
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x) {
            if (edge > kMap16Edge) {  // sharp: each game pixel becomes a block
                out[y * edge + x] = src[(y * 16 / edge) * 16 + x * 16 / edge];
                continue;
            }
            // Smooth: the average of the game pixels the screen pixel covers
            // (weighted by how much of each it covers).
            uint32_t sum[3] = {}, weight = 0;
            for (int gy = y * 16 / edge; gy < 16 && gy * edge < (y + 1) * 16; ++gy)
                for (int gx = x * 16 / edge; gx < 16 && gx * edge < (x + 1) * 16; ++gx) {
                    const int wx = std::min((gx + 1) * edge, (x + 1) * 16) - std::max(gx * edge, x * 16);
                    const int wy = std::min((gy + 1) * edge, (y + 1) * 16) - std::max(gy * edge, y * 16);
                    const uint32_t w = static_cast<uint32_t>(wx * wy);
                    const Argb c = src[gy * 16 + gx];
                    sum[0] += (c >> 16 & 0xFF) * w;
                    sum[1] += (c >> 8 & 0xFF) * w;
                    sum[2] += (c & 0xFF) * w;
                    weight += w;
                }
            out[y * edge + x] = 0xFF000000u | (sum[0] / weight) << 16 | (sum[1] / weight) << 8 | sum[2] / weight;
        }
    return out;
}

}  // namespace mw
