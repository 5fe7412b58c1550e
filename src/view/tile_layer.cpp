#include "view/tile_layer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "view/view_geometry.h"

namespace mw {

namespace {

// The last picture drawn, so that a repaint of the same view redraws only
// the cells whose map16 number changed (none, most of the time).
struct LastPicture {
    std::vector<Argb> pixels;
    int width = 0, height = 0, zoom = 0, scrollX = 0, scrollY = 0;
    Argb outside = 0;
    uint64_t tilesGeneration = 0;
    std::vector<uint32_t> map;  // per cell: the number drawn there, or kNotDrawn
};
constexpr uint32_t kNotDrawn = 0x10000;

}  // namespace

void DrawTiles(const ViewState& view, const TileLayer& layer, Argb outside, Surface& surface) {
    const int w = surface.width(), h = surface.height();
    if (w <= 0 || h <= 0) return;
    static thread_local LastPicture last;
    const int zoom = view.zoom;
    const uint64_t generation = layer.usable() ? layer.tiles->generation() : 0;
    const bool sameTiles = last.width == w && last.height == h && last.zoom == zoom && last.outside == outside &&
                           last.tilesGeneration == generation;
    bool same = sameTiles && last.scrollX == view.scrollX() && last.scrollY == view.scrollY();
    std::vector<Argb>& picture = last.pixels;
    // Scrolled with the level filling the view before and after: the
    // picture moves and only the cells that come into view are drawn.
    const auto fills = [&](int sx, int sy) {
        return -sx * zoom <= 0 && (kLevelColumns - sx) * zoom >= w && -sy * zoom <= 0 && (kLevelRows - sy) * zoom >= h;
    };
    if (sameTiles && !same && layer.usable() && fills(last.scrollX, last.scrollY) && fills(view.scrollX(), view.scrollY())) {
        const int dx = (last.scrollX - view.scrollX()) * zoom, dy = (last.scrollY - view.scrollY()) * zoom;
        if (std::abs(dx) < w && std::abs(dy) < h) {
            // Rows move up or down, pixels within a row left or right.
            const int keepW = w - std::abs(dx);
            auto moveRow = [&](int from, int to) {
                Argb* src = picture.data() + static_cast<size_t>(from) * static_cast<size_t>(w);
                Argb* dst = picture.data() + static_cast<size_t>(to) * static_cast<size_t>(w);
                std::memmove(dst + std::max(0, dx), src + std::max(0, -dx), sizeof(Argb) * static_cast<size_t>(keepW));
            };
            if (dy >= 0)
                for (int y = h - 1; y >= dy; --y) moveRow(y - dy, y);
            else
                for (int y = 0; y < h + dy; ++y) moveRow(y - dy, y);
            // Cells that were not wholly in view before are drawn anew.
            const int oldFirstColumn = last.scrollX, oldLastColumn = last.scrollX + w / zoom - 1;
            const int oldFirstRow = last.scrollY, oldLastRow = last.scrollY + h / zoom - 1;
            for (int ty = 0; ty < kLevelRows; ++ty)
                for (int tx = 0; tx < kLevelColumns; ++tx)
                    if (tx < oldFirstColumn || tx > oldLastColumn || ty < oldFirstRow || ty > oldLastRow)
                        last.map[static_cast<size_t>(ty) * kLevelColumns + static_cast<size_t>(tx)] = kNotDrawn;
            last.scrollX = view.scrollX();
            last.scrollY = view.scrollY();
            same = true;
        }
    }
    if (!same) {
        last = LastPicture{std::move(last.pixels), w, h, zoom, view.scrollX(), view.scrollY(), outside, generation, {}};
        last.map.assign(static_cast<size_t>(kLevelColumns) * kLevelRows, kNotDrawn);
        picture.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    }
    // The level's part of the surface, in view pixels; `outside` around it.
    int x0 = std::max(0, TileToPixelX(view, 0)), x1 = std::min(w, TileToPixelX(view, kLevelColumns));
    int y0 = std::max(0, TileToPixelY(view, 0)), y1 = std::min(h, TileToPixelY(view, kLevelRows));
    if (!layer.usable() || x1 <= x0 || y1 <= y0) x0 = x1 = y0 = y1 = 0;
    if (!same) {
        for (int y = 0; y < h; ++y) {
            Argb* row = picture.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
            if (y < y0 || y >= y1) {
                std::fill(row, row + w, outside);
            } else {
                std::fill(row, row + x0, outside);
                std::fill(row + x1, row + w, outside);
            }
        }
    }
    if (x1 > x0) {
        const int firstColumn = PixelToTileX(view, static_cast<float>(x0)), lastColumn = PixelToTileX(view, static_cast<float>(x1 - 1));
        const int firstRow = PixelToTileY(view, static_cast<float>(y0)), lastRow = PixelToTileY(view, static_cast<float>(y1 - 1));
        for (int ty = firstRow; ty <= lastRow; ++ty) {
            const int top = TileToPixelY(view, ty);
            const int rowFrom = std::max(0, y0 - top), rowTo = std::min(zoom, y1 - top);
            for (int tx = firstColumn; tx <= lastColumn; ++tx) {
                const size_t cell = static_cast<size_t>(ty) * kLevelColumns + static_cast<size_t>(tx);
                const uint16_t n = layer.map[cell];
                if (last.map[cell] == n) continue;
                last.map[cell] = n;
                const int left = TileToPixelX(view, tx);
                const int colFrom = std::max(0, x0 - left), colTo = std::min(zoom, x1 - left);
                const Argb* src = layer.tiles->tile(n, zoom);
                for (int r = rowFrom; r < rowTo; ++r)
                    std::memcpy(&picture[static_cast<size_t>(top + r) * static_cast<size_t>(w) + static_cast<size_t>(left + colFrom)],
                                src + r * zoom + colFrom, sizeof(Argb) * static_cast<size_t>(colTo - colFrom));
            }
        }
    }
    surface.pixels(0, 0, w, h, picture.data(), w);
}

}  // namespace mw
