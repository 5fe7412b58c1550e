#include "editing/hit_test.h"

#include "view/view_geometry.h"

namespace mw {

namespace {

// Pixel positions are compared as the floats the pointer arrives in; every
// tile edge is a whole number of pixels well inside float precision.
inline bool BoxHoldsAt(const LevelObject& e, int h, int v, int z, float px, float py) {
    const TileExtent t = ExtentOf(e);
    return py >= static_cast<float>((t.top - v) * z) && py < static_cast<float>((t.bottom - v) * z) &&
           px >= static_cast<float>((t.left - h) * z) && px < static_cast<float>((t.right - h) * z);
}

}  // namespace

bool WidthIsResizable(const DefinitionTables& defs, const LevelObject& e) {
    if (e.isSprite) return false;
    const ObjectDefinition& d = defs.objectDefs[e.id];
    return d.kind == kKindFiveByte || (d.kind == kKindFourByte && d.sizeMode != 2);
}

bool HeightIsResizable(const DefinitionTables& defs, const LevelObject& e) {
    if (e.isSprite) return false;
    const ObjectDefinition& d = defs.objectDefs[e.id];
    return d.kind == kKindFiveByte || (d.kind == kKindFourByte && d.sizeMode != 1);
}

bool BoxHolds(const ViewState& view, const LevelObject& e, float px, float py) {
    return BoxHoldsAt(e, view.scrollX(), view.scrollY(), view.zoom, px, py);
}

int FindObjectAt(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
                 float px, float py) {
    const int h = view.scrollX(), v = view.scrollY(), z = view.zoom;
    const LevelObject* entries = level.objectList.data();
    const int count = static_cast<int>(level.objectList.size());
    for (int j = view.visibleLast(); j >= 0; --j) {
        const int i = view.visibleList[static_cast<size_t>(j)];
        if (i < 0 || i >= count) continue;
        const LevelObject& e = entries[i];
        if (!BoxHoldsAt(e, h, v, z, px, py)) continue;
        if (CrossSectionFlagOf(level, defs, view.options, i)) continue;
        return i;
    }
    return -1;
}

int FindWidthEdgeAt(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
                    float px, float py) {
    const int h = view.scrollX(), v = view.scrollY(), z = view.zoom;
    const LevelObject* entries = level.objectList.data();
    const int count = static_cast<int>(level.objectList.size());
    const int last = view.visibleLast();
    for (int j = 0; j <= last; ++j) {
        const int i = view.visibleList[static_cast<size_t>(j)];
        if (i < 0 || i >= count) continue;
        const LevelObject& e = entries[i];
        const float edge = static_cast<float>((e.x + e.width - h) * z);
        if (!(px > edge - kEdgeTolerance && px < edge + kEdgeTolerance)) continue;
        const TileExtent t = ExtentOf(e);
        if (!(py >= static_cast<float>((t.top - v) * z) && py <= static_cast<float>((t.bottom - v) * z)))
            continue;
        if (!WidthIsResizable(defs, e) || CrossSectionFlagOf(level, defs, view.options, i)) continue;
        return i;
    }
    return -1;
}

int FindHeightEdgeAt(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
                     float px, float py) {
    const int h = view.scrollX(), v = view.scrollY(), z = view.zoom;
    const LevelObject* entries = level.objectList.data();
    const int count = static_cast<int>(level.objectList.size());
    const int last = view.visibleLast();
    for (int j = 0; j <= last; ++j) {
        const int i = view.visibleList[static_cast<size_t>(j)];
        if (i < 0 || i >= count) continue;
        const LevelObject& e = entries[i];
        const float edge = static_cast<float>((e.y + e.height - v) * z);
        if (!(py > edge - kEdgeTolerance && py < edge + kEdgeTolerance)) continue;
        const TileExtent t = ExtentOf(e);
        if (!(px >= static_cast<float>((t.left - h) * z) && px <= static_cast<float>((t.right - h) * z)))
            continue;
        if (!HeightIsResizable(defs, e) || CrossSectionFlagOf(level, defs, view.options, i)) continue;
        return i;
    }
    return -1;
}

int FindExitTabAt(const LevelState& level, const ViewState& view, float px, float py) {
    const int h = view.scrollX(), v = view.scrollY(), z = view.zoom;
    const int count = static_cast<int>(level.exitList.size());
    for (int k = 0; k < count; ++k) {
        const ScreenExit& x = level.exitList[static_cast<size_t>(k)];
        const int top = x.screenY * kScreenTiles;
        const int left = x.screenX * kScreenTiles;
        const float tabBottom = static_cast<float>((top + 0.5 - v) * z);
        if (py >= static_cast<float>((top - v) * z) && py < tabBottom &&
            px >= static_cast<float>((left - h) * z) && px < static_cast<float>((left + 2 - h) * z)) {
            return k;
        }
    }
    return -1;
}

}  // namespace mw
