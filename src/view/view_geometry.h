#pragma once
// The one mapping between level tiles and view pixels, the extent of an
// entry, the visible list and the cross-section test. The view, the renderer
// and every mouse test go through these.
#include <cmath>

#include "definitions/definition_tables.h"
#include "level/level_state.h"
#include "view/view_state.h"

namespace mw {

// The part of the level that the view draws, scrolls over and bounds.
constexpr int kLevelColumns = 256;
constexpr int kLevelRows = 128;
constexpr int kScreenTiles = 16;

// The box an entry covers, in tile edges: left < right and top < bottom for
// non-zero extents, whatever the signs of width and height.
struct TileExtent {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const TileExtent&) const = default;
};

// A positive extent n covers the origin tile and the n - 1 tiles after it;
// a negative extent -n covers the n tiles before the origin tile.
inline TileExtent ExtentOf(const LevelObject& e) {
    TileExtent t;
    if (e.width > 0) {
        t.left = e.x;
        t.right = e.x + e.width;
    } else {
        t.left = e.x + e.width;
        t.right = e.x;
    }
    if (e.height > 0) {
        t.top = e.y;
        t.bottom = e.y + e.height;
    } else {
        t.top = e.y + e.height;
        t.bottom = e.y;
    }
    return t;
}

// The screen that a screen exit belongs to, 16 by 16 tiles.
inline TileExtent ScreenExtentOf(const ScreenExit& exit) {
    const int left = exit.screenX * kScreenTiles;
    const int top = exit.screenY * kScreenTiles;
    return {left, top, left + kScreenTiles, top + kScreenTiles};
}

// Left edge of tile column tx (top edge of row ty) in view pixels.
inline int TileToPixelX(const ViewState& v, int tx) { return (tx - v.scrollX()) * v.zoom; }
inline int TileToPixelY(const ViewState& v, int ty) { return (ty - v.scrollY()) * v.zoom; }
// The same for fractional tile positions (slope markers, exit tabs).
inline float TileToPixelX(const ViewState& v, double tx) {
    return static_cast<float>((tx - v.scrollX()) * v.zoom);
}
inline float TileToPixelY(const ViewState& v, double ty) {
    return static_cast<float>((ty - v.scrollY()) * v.zoom);
}

// The tile under a view pixel; pixels left of or above the view round down
// to the columns and rows before the scroll position.
inline int PixelToTileX(const ViewState& v, float px) {
    return static_cast<int>(std::floor(px / static_cast<float>(v.zoom))) + v.scrollX();
}
inline int PixelToTileY(const ViewState& v, float py) {
    return static_cast<int>(std::floor(py / static_cast<float>(v.zoom))) + v.scrollY();
}

// Whole tiles that fit across and down the view: Int(viewWidth / zoom).
inline int VisibleColumns(const ViewState& v) {
    return static_cast<int>(std::floor(v.viewWidth / static_cast<float>(v.zoom)));
}
inline int VisibleRows(const ViewState& v) {
    return static_cast<int>(std::floor(v.viewHeight / static_cast<float>(v.zoom)));
}

// The view's inclusive test: a box touching the view's border counts, on
// every side, and so does one starting on the first column (row) past the
// last whole one in view.
inline bool ReachesIntoView(const TileExtent& t, int scrollX, int scrollY, int columns, int rows) {
    return t.left - scrollX <= columns && t.top - scrollY <= rows && t.right - scrollX >= 0 &&
           t.bottom - scrollY >= 0;
}

// Recomputes view.visibleList from the level, the scroll values, the zoom and
// the view size: the indices of every entry whose box reaches into the view,
// ascending. Reuses the list's storage; paints nothing.
void RebuildVisibleList(const LevelState& level, ViewState& view);

// True when cross-section mode is on and entry `index` is an object whose
// definition (the extended one for kind 3) has its cross-section flag set.
// Such an entry is drawn as a dashed outline and cannot be picked. False for
// sprites and for indices outside objectList.
bool CrossSectionFlagOf(const LevelState& level, const DefinitionTables& defs,
                        const ViewOptions& options, int index);

// The fill colour of an entry's box: the sprite, extended or object row's colour.
Rgb FillColourOf(const DefinitionTables& defs, const LevelObject& e);

}  // namespace mw
