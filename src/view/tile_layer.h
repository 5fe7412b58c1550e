#pragma once
// The level's own tiles under the boxes: the map16 grid drawn from the
// decoded pictures at the view's zoom (at zoom 16 one view pixel is one game
// pixel; smaller zooms average, larger ones repeat pixels), over the level's
// background colour.
#include <cstdint>
#include <span>

#include "map/map16_tiles.h"
#include "view/surface.h"
#include "view/view_state.h"

namespace mw {

struct TileLayer {
    std::span<const uint16_t> map;  // kLevelRows rows of kLevelColumns map16 numbers
    Map16Tiles* tiles = nullptr;    // built for the level's graphics
    bool usable() const { return tiles != nullptr && tiles->built() && map.size() == 256u * 128u; }
};

// Covers the whole surface with one picture: the level's tiles where the
// level lies in the view, `outside` elsewhere.
void DrawTiles(const ViewState& view, const TileLayer& layer, Argb outside, Surface& surface);

}  // namespace mw
