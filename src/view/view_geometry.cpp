#include "view/view_geometry.h"

namespace mw {

void RebuildVisibleList(const LevelState& level, ViewState& view) {
    // clear() keeps the storage, so once the list has grown to its largest a
    // rebuild allocates nothing.
    std::vector<int16_t>& list = view.visibleList;
    list.clear();
    const int scrollX = view.scrollX();
    const int scrollY = view.scrollY();
    const int columns = VisibleColumns(view);
    const int rows = VisibleRows(view);
    const int count = static_cast<int>(level.objectList.size());
    const LevelObject* entries = level.objectList.data();
    for (int i = 0; i < count; ++i) {
        if (ReachesIntoView(ExtentOf(entries[i]), scrollX, scrollY, columns, rows)) {
            list.push_back(static_cast<int16_t>(i));
        }
    }
}

bool CrossSectionFlagOf(const LevelState& level, const DefinitionTables& defs,
                        const ViewOptions& options, int index) {
    if (!options.crossSection || index < 0 || index > level.objectLast()) return false;
    const LevelObject& e = level.objectList[static_cast<size_t>(index)];
    if (e.isSprite) return false;
    if (defs.kindOf(e) == kKindExtended) return defs.extendedDefs[e.extId].crossSectionFlag;
    return defs.objectDefs[e.id].crossSectionFlag;
}

Rgb FillColourOf(const DefinitionTables& defs, const LevelObject& e) {
    if (e.isSprite) {
        const int id = e.spriteId();
        return id < static_cast<int>(defs.spriteDefs.size()) ? defs.spriteDefs[static_cast<size_t>(id)].colour
                                                             : Rgb{};
    }
    if (defs.kindOf(e) == kKindExtended) return defs.extendedDefs[e.extId].colour;
    return defs.objectDefs[e.id].colour;
}

}  // namespace mw
