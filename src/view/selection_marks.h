#pragma once
// What the view shows of a selection beyond the current entry's red
// outline: an outline around every other selected entry, and the rubber
// band while one is being drawn. Both leave the surface's drawing state as
// they found it.
#include <vector>

#include "level/level_state.h"
#include "view/surface.h"
#include "view/view_state.h"

namespace mw {

constexpr Rgb kSelectedObjectColour{0, 96, 255};
constexpr Rgb kBandColour{0, 0, 0};

// Two opposite corners of a rubber band, in view pixels.
struct BandCorners {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Outlines the entries `selected` (objectList indices) except `current`.
void DrawSelectedOutlines(const LevelState& level, const ViewState& view, const std::vector<int>& selected,
                          int current, Surface& surface);

// The band as a dashed rectangle.
void DrawBand(const BandCorners& band, Surface& surface);

}  // namespace mw
