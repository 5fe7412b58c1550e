#pragma once
// The level view's picture of a loaded document: what the window paints and
// what `marlwick-cli render` writes, from the document and the view state alone.
#include <optional>

#include "definitions/definition_tables.h"
#include "editing/level_document.h"
#include "view/selection_marks.h"
#include "view/surface.h"
#include "view/tile_layer.h"
#include "view/view_state.h"

namespace mw {

// The level's tiles (when `tiles` can be drawn), the grid, the level's
// entries with the document's selection marked, and the rubber band while
// one is drawn. `exitEditing`: the document's current exit is being edited
// and stands out.
void PaintDocument(const LevelDocument& document, const DefinitionTables& defs, const ViewState& view,
                   Surface& surface, const std::optional<BandCorners>& band = std::nullopt,
                   const TileLayer* tiles = nullptr, bool exitEditing = false);

}  // namespace mw
