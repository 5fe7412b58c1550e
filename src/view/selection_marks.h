#pragma once
// What the view shows of a selection beyond the current entry's red
// outline: an outline around every other selected entry, and the rubber
// band while one is being drawn.
#include <optional>
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

// Outlines the entries `selected` (objectList indices) except `current`,
// then draws the band when there is one. The surface's drawing state is as
// it was afterwards.
void DrawSelectionMarks(const LevelState& level, const ViewState& view, const std::vector<int>& selected,
                        int current, const std::optional<BandCorners>& band, Surface& surface);

}  // namespace mw
