#include "view/level_renderer.h"

#include <string>

#include "definitions/level_lists.h"
#include "level/object_caption.h"
#include "view/selection_marks.h"
#include "view/view_controls.h"
#include "view/view_geometry.h"

namespace mw {

namespace {

// Pixel positions of whole-tile edges, handed to the surface as floats.
float PX(const ViewState& v, int tx) { return static_cast<float>(TileToPixelX(v, tx)); }
float PY(const ViewState& v, int ty) { return static_cast<float>(TileToPixelY(v, ty)); }

// The grid lines of one spacing (in tiles): verticals first, then horizontals.
void DrawGridLines(const ViewState& v, int spacing, Surface& surface) {
    const float bottom = PY(v, kLevelRows);
    const float right = PX(v, kLevelColumns);
    for (int tx = 0; tx <= kLevelColumns; tx += spacing) {
        const float x = PX(v, tx);
        surface.line(x, 0, x, bottom);
    }
    for (int ty = 0; ty <= kLevelRows; ty += spacing) {
        const float y = PY(v, ty);
        surface.line(0, y, right, y);
    }
}

// The dashed box and diagonal of a slope object, run tiles across per rise
// tiles up or down. A definition whose run is 0 (or whose rise is 0 where the
// marker is fitted to the object's height) gives no marker.
void DrawSlopeMarker(const ViewState& v, const ObjectDefinition& def, const LevelObject& e,
                     Surface& surface) {
    if (def.slopeRun == 0) return;
    float q = static_cast<float>(e.width) / def.slopeRun;
    float run = def.slopeRun * q;
    float rise = def.slopeRise * q;
    double px = e.x, py = e.y, qx, qy;
    if (def.slopeDirectionA && def.slopeDirectionB) {
        px = e.x + e.width;
        qx = px - run;
        qy = e.y + rise;
    } else if (def.slopeDirectionA) {
        qx = e.x + run;
        qy = e.y - rise;
    } else if (def.slopeDirectionB) {
        qx = e.x + run;
        qy = e.y + rise;
    } else {
        // Fitted so that the marker keeps its proportion and ends at the
        // object's bottom edge.
        if (rise > e.height) {
            if (def.slopeRise == 0) return;
            q = static_cast<float>(e.height) / def.slopeRise;
            run = def.slopeRun * q;
            rise = def.slopeRise * q;
        }
        qx = e.x + run;
        qy = e.y + rise;
    }
    surface.state.lineStyle = LineStyle::Dashed;
    surface.state.fillPattern = FillPattern::None;
    const float x1 = TileToPixelX(v, px), y1 = TileToPixelY(v, py);
    const float x2 = TileToPixelX(v, qx), y2 = TileToPixelY(v, qy);
    surface.box(x1, y1, x2, y2);
    surface.line(x1, y1, x2, y2);
}

void DrawEntry(const LevelState& level, const DefinitionTables& defs, const ViewState& v, int i,
               std::string& caption, Surface& surface, bool overTiles) {
    SurfaceState& s = surface.state;
    const LevelObject& e = level.objectList[static_cast<size_t>(i)];
    const ObjectDefinition& def = defs.objectDefs[e.id];
    const bool extended = !e.isSprite && def.kind == kKindExtended;
    const bool hidden = CrossSectionFlagOf(level, defs, v.options, i);

    s.fillColor = FillColourOf(defs, e);
    const Rgb labelColour = s.foreColor;
    const bool outline = overTiles && !e.isSprite;
    if (outline) {
        s.foreColor = s.fillColor;
        if (s.fillPattern == FillPattern::Solid) s.fillPattern = FillPattern::None;
    }
    if (hidden) {
        s.lineStyle = LineStyle::Dashed;
        s.fillPattern = FillPattern::None;
    }
    const int endX = e.x + e.width;
    const int endY = e.y + e.height;
    surface.box(PX(v, e.x), PY(v, e.y), PX(v, endX), PY(v, endY));

    if (!e.isSprite && !extended) {
        // Thick lines on the edges that resize, a circle on the corner that
        // resizes both ways.
        s.lineWidth = 2;
        surface.line(PX(v, endX), PY(v, e.y), PX(v, endX), PY(v, endY));
        surface.line(PX(v, e.x), PY(v, endY), PX(v, endX), PY(v, endY));
        s.lineWidth = 1;
        surface.circle(PX(v, endX), PY(v, endY), static_cast<float>(v.zoom) / 8.0f);
        if (def.isSlope) DrawSlopeMarker(v, def, e, surface);
    }
    s.foreColor = labelColour;

    s.fillPattern = EntryFillPattern(v.options);
    s.lineStyle = LineStyle::Solid;

    if (hidden) return;
    if (e.isSprite) {
        s.foreColor = kSpriteLabelColour;
    } else if (extended) {
        s.foreColor = kExtendedLabelColour;
    }
    const TileExtent t = ExtentOf(e);
    ObjectCaptionInto(caption, defs, e, false);
    s.textBacking = outline;
    surface.text(caption, PX(v, t.left) + 2, PY(v, t.top) + 2, PX(v, t.right), PY(v, t.bottom));
    s.textBacking = false;
    s.foreColor = kBlack;
}

}  // namespace

void DrawGrid(const ViewState& view, Surface& surface) {
    SurfaceState& s = surface.state;
    s.lineWidth = 1;
    s.lineStyle = LineStyle::Solid;
    if (view.options.smallGrid) {
        s.foreColor = kSmallGridColour;
        DrawGridLines(view, 1, surface);
        s.foreColor = kButtonText;
    }
    DrawGridLines(view, kScreenTiles, surface);
}

void DrawLevel(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
               int selectedObject, Surface& surface, const std::vector<int>& selected, bool overTiles,
               int editedExit) {
    SurfaceState& s = surface.state;

    // Pass 1: the visible entries, later ones over earlier ones.
    const int count = static_cast<int>(level.objectList.size());
    std::string caption;  // one buffer for every label of the paint
    for (const int16_t i : view.visibleList) {
        if (i >= 0 && i < count) DrawEntry(level, defs, view, i, caption, surface, overTiles);
    }

    // Pass 2: an orange outline and a solid tab for each screen exit in view.
    const Rgb remembered = s.foreColor;
    const int columns = VisibleColumns(view);
    const int rows = VisibleRows(view);
    for (size_t i = 0; i < level.exitList.size(); ++i) {
        const ScreenExit& exit = level.exitList[i];
        const TileExtent t = ScreenExtentOf(exit);
        if (!ReachesIntoView(t, view.scrollX(), view.scrollY(), columns, rows)) continue;
        const bool edited = static_cast<int>(i) == editedExit;
        s.fillColor = kExitColour;
        s.foreColor = edited ? kCurrentObjectColour : kExitColour;
        s.lineWidth = edited ? 3 : 1;
        s.fillPattern = FillPattern::None;
        surface.box(PX(view, t.left), PY(view, t.top), PX(view, t.right), PY(view, t.bottom));
        s.lineWidth = 1;
        s.foreColor = kExitColour;
        s.fillPattern = FillPattern::Solid;
        surface.box(PX(view, t.left), PY(view, t.top), TileToPixelX(view, t.left + 2.0),
                    TileToPixelY(view, t.top + 0.5));
        // The destination, beside the tab.
        s.foreColor = kBlack;
        s.textBacking = true;
        surface.text("Exit to " + LevelIndexName(defs.destinationLevels, exit.destination),
                     TileToPixelX(view, t.left + 2.0) + 2, PY(view, t.top) + 1, PX(view, t.right),
                     TileToPixelY(view, t.top + 2.0));
        s.textBacking = false;
    }

    // Pass 3: the rest of the selection, then the current object in red,
    // whether or not it is in view.
    DrawSelectedOutlines(level, view, selected, selectedObject, surface);
    s.fillPattern = FillPattern::None;
    s.foreColor = kCurrentObjectColour;
    if (selectedObject >= 0 && selectedObject < count) {
        const LevelObject& e = level.objectList[static_cast<size_t>(selectedObject)];
        surface.box(PX(view, e.x), PY(view, e.y), PX(view, e.x + e.width), PY(view, e.y + e.height));
    }
    s.fillPattern = EntryFillPattern(view.options);
    s.foreColor = remembered;
}

void PaintView(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
               int selectedObject, Surface& surface, const std::vector<int>& selected, const TileLayer* tiles,
               int editedExit) {
    surface.setFontSize(view.fontSize);
    surface.state.fillPattern = EntryFillPattern(view.options);
    const bool overTiles = tiles != nullptr && tiles->usable();
    if (overTiles)
        DrawTiles(view, *tiles, 0xFF000000u | kButtonFace.r << 16 | kButtonFace.g << 8 | kButtonFace.b, surface);
    else
        surface.clear(kButtonFace);
    DrawGrid(view, surface);
    DrawLevel(level, defs, view, selectedObject, surface, selected, overTiles, editedExit);
}

void PaintTilesOnly(const ViewState& view, const TileLayer& tiles, Surface& surface) {
    DrawTiles(view, tiles, tiles.usable() ? tiles.tiles->graphics().background : 0xFF000000u, surface);
}

}  // namespace mw
