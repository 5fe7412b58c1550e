#include "editing/hit_test.h"

#include <algorithm>

#include "view/view_geometry.h"

namespace mw {

namespace {

// The tests run on every hover step over every visible entry, so each one
// evaluates all of its comparisons without branching (`&`, not `&&`): the
// pointer's place among the boxes is unpredictable, a mispredicted branch
// per entry is not. Pixel positions are compared as the floats the pointer
// arrives in; every tile edge is a whole number of pixels, exact in a float.
inline float Px(int tile, int scroll, int zoom) { return static_cast<float>((tile - scroll) * zoom); }

inline bool BoxHoldsAt(const LevelObject& e, int h, int v, int z, float px, float py) {
    const int x2 = e.x + e.width, y2 = e.y + e.height;
    const int left = std::min<int>(e.x, x2), right = std::max<int>(e.x, x2);
    const int top = std::min<int>(e.y, y2), bottom = std::max<int>(e.y, y2);
    return (py >= Px(top, v, z)) & (py < Px(bottom, v, z)) & (px >= Px(left, h, z)) & (px < Px(right, h, z));
}

// Is (along, across) on the edge at tile line `edge`, within the span
// from tile lines `from` to `to` (either order), ends included?
inline bool OnEdge(int edge, int from, int to, int scrollAlong, int scrollAcross, int z, float along,
                   float across) {
    const float e = Px(edge, scrollAlong, z);
    const float lo = Px(std::min(from, to), scrollAcross, z), hi = Px(std::max(from, to), scrollAcross, z);
    return (along > e - kEdgeTolerance) & (along < e + kEdgeTolerance) & (across >= lo) & (across <= hi);
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

PointerHits FindAllAt(const LevelState& level, const DefinitionTables& defs, const ViewState& view, float px,
                      float py, std::span<const int> handleEntries) {
    const int h = view.scrollX(), v = view.scrollY(), z = view.zoom;
    const LevelObject* entries = level.objectList.data();
    const int count = static_cast<int>(level.objectList.size());
    const int last = view.visibleLast();
    PointerHits hits;
    // The body test keeps its latest find, as a scan from the end would stop at it.
    for (int j = 0; j <= last; ++j) {
        const int i = view.visibleList[static_cast<size_t>(j)];
        if (i < 0 || i >= count) continue;
        if (!BoxHoldsAt(entries[i], h, v, z, px, py) || CrossSectionFlagOf(level, defs, view.options, i)) continue;
        hits.body = i;
    }
    // The handles: the few entries that carry them, the first one under the pointer.
    const auto visibleEnd = view.visibleList.begin() + (last + 1);
    for (const int i : handleEntries) {
        if (i < 0 || i >= count) continue;
        const LevelObject& e = entries[i];
        const bool onWidth = OnEdge(e.x + e.width, e.y, e.y + e.height, h, v, z, px, py) && WidthIsResizable(defs, e);
        const bool onHeight =
            OnEdge(e.y + e.height, e.x, e.x + e.width, v, h, z, py, px) && HeightIsResizable(defs, e);
        if (!(onWidth || onHeight) || CrossSectionFlagOf(level, defs, view.options, i) ||
            !std::binary_search(view.visibleList.begin(), visibleEnd, i))
            continue;
        if (onWidth) hits.width = i;
        if (onHeight) hits.height = i;
        break;
    }
    return hits;
}

int FindExitTabAt(const LevelState& level, const ViewState& view, float px, float py) {
    const int count = static_cast<int>(level.exitList.size());
    for (int k = 0; k < count; ++k) {
        // The tab as the renderer draws it.
        const TileExtent t = ScreenExtentOf(level.exitList[static_cast<size_t>(k)]);
        if (py >= TileToPixelY(view, t.top) && py < TileToPixelY(view, t.top + 0.5) &&
            px >= TileToPixelX(view, t.left) && px < TileToPixelX(view, t.left + 2)) {
            return k;
        }
    }
    return -1;
}

}  // namespace mw
