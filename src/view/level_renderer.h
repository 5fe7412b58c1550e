#pragma once
// Drawing the level view: the tile and screen grids, the level's entries as
// coloured, labelled boxes ("WireBlocks"), the screens that carry exits, and
// the outline of the current object. Everything goes through a Surface whose
// drawing state carries over from one paint to the next.
#include "definitions/definition_tables.h"
#include "level/level_state.h"
#include <vector>

#include "view/surface.h"
#include "view/tile_layer.h"
#include "view/view_state.h"

namespace mw {

constexpr Rgb kSmallGridColour{192, 192, 255};
constexpr Rgb kSpriteLabelColour{0, 128, 0};
constexpr Rgb kExtendedLabelColour{0, 0, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kExitColour{255, 128, 0};
constexpr Rgb kCurrentObjectColour{255, 0, 0};

// The small grid (when its option is on) and the screen grid. Every line
// runs from the view's top or left border to the level's bottom or right
// edge; lines off the view are left to the surface's clipping.
void DrawGrid(const ViewState& view, Surface& surface);

// The entries of view.visibleList in list order, then the screens that carry
// exits, then the outlines of the other `selected` entries, then the red
// outline of objectList[selectedObject] (wherever it lies; none when
// selectedObject is not an index of objectList). `overTiles`: the objects
// are outlines in their colours (cross-hatched with "Transparent
// WireBlocks") so the tiles under them show; sprites stay filled boxes.
// Each exit's screen names its destination level ("Exit to Level N: name");
// exitList[editedExit], the exit being edited, is outlined thick in red.
void DrawLevel(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
               int selectedObject, Surface& surface, const std::vector<int>& selected = {},
               bool overTiles = false, int editedExit = -1);

// The drawing part of a repaint: sets the label font size for the zoom and
// the boxes' fill pattern for "Transparent WireBlocks" (so a switched option
// fills the first box of this paint the new way), clears to the button-face
// colour (and draws the tiles, when `tiles` can be drawn), then DrawGrid and
// DrawLevel.
void PaintView(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
               int selectedObject, Surface& surface, const std::vector<int>& selected = {},
               const TileLayer* tiles = nullptr, int editedExit = -1);

// The level's tiles alone, the rest of the view in the level's background
// colour; no grid, boxes or marks.
void PaintTilesOnly(const ViewState& view, const TileLayer& tiles, Surface& surface);

}  // namespace mw
