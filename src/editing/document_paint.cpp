#include "editing/document_paint.h"

#include "view/level_renderer.h"

namespace mw {

void PaintDocument(const LevelDocument& document, const DefinitionTables& defs, const ViewState& view,
                   Surface& surface, const std::optional<BandCorners>& band, const TileLayer* tiles,
                   bool exitEditing) {
    PaintView(document.level(), defs, view, document.currentIndex(), surface, document.selectedIndices(), tiles,
              exitEditing ? document.currentExitIndex() : -1);
    if (band) DrawBand(*band, surface);
}

}  // namespace mw
