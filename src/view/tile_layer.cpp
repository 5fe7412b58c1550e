#include "view/tile_layer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "view/view_geometry.h"

namespace mw {

void DrawTiles(const ViewState& view, const TileLayer& layer, Surface& surface) {
    if (!layer.usable()) return;
    const int zoom = view.zoom;
    const int viewW = std::min(static_cast<int>(view.viewWidth), surface.width());
    const int viewH = std::min(static_cast<int>(view.viewHeight), surface.height());
    // The level's part of the view, in view pixels.
    const int x0 = std::max(0, TileToPixelX(view, 0)), x1 = std::min(viewW, TileToPixelX(view, kLevelColumns));
    const int y0 = std::max(0, TileToPixelY(view, 0)), y1 = std::min(viewH, TileToPixelY(view, kLevelRows));
    if (x1 <= x0 || y1 <= y0) return;
    const int w = x1 - x0, h = y1 - y0;
    static thread_local std::vector<Argb> picture;
    picture.resize(static_cast<size_t>(w) * static_cast<size_t>(h));

    const int firstColumn = PixelToTileX(view, static_cast<float>(x0)), lastColumn = PixelToTileX(view, static_cast<float>(x1 - 1));
    const int firstRow = PixelToTileY(view, static_cast<float>(y0)), lastRow = PixelToTileY(view, static_cast<float>(y1 - 1));
    for (int ty = firstRow; ty <= lastRow; ++ty) {
        const int top = TileToPixelY(view, ty);
        const int rowFrom = std::max(0, y0 - top), rowTo = std::min(zoom, y1 - top);
        for (int tx = firstColumn; tx <= lastColumn; ++tx) {
            const int left = TileToPixelX(view, tx);
            const int colFrom = std::max(0, x0 - left), colTo = std::min(zoom, x1 - left);
            const uint16_t n = layer.map[static_cast<size_t>(ty) * kLevelColumns + static_cast<size_t>(tx)];
            const Argb* src = layer.tiles->tile(n, zoom);
            for (int r = rowFrom; r < rowTo; ++r)
                std::memcpy(&picture[static_cast<size_t>(top + r - y0) * static_cast<size_t>(w) + static_cast<size_t>(left + colFrom - x0)],
                            src + r * zoom + colFrom, sizeof(Argb) * static_cast<size_t>(colTo - colFrom));
        }
    }
    surface.pixels(x0, y0, w, h, picture.data(), w);
}

}  // namespace mw
