#include "view/selection_marks.h"

#include "view/view_geometry.h"

namespace mw {

void DrawSelectedOutlines(const LevelState& level, const ViewState& view, const std::vector<int>& selected,
                          int current, Surface& surface) {
    const SurfaceState remembered = surface.state;
    SurfaceState& s = surface.state;
    s.fillPattern = FillPattern::None;
    s.lineStyle = LineStyle::Solid;
    s.lineWidth = 2;
    s.foreColor = kSelectedObjectColour;
    for (const int i : selected) {
        if (i == current || i < 0 || i > level.objectLast()) continue;
        const TileExtent t = ExtentOf(level.objectList[static_cast<size_t>(i)]);
        surface.box(static_cast<float>(TileToPixelX(view, t.left)), static_cast<float>(TileToPixelY(view, t.top)),
                    static_cast<float>(TileToPixelX(view, t.right)), static_cast<float>(TileToPixelY(view, t.bottom)));
    }
    surface.state = remembered;
}

void DrawBand(const BandCorners& band, Surface& surface) {
    const SurfaceState remembered = surface.state;
    SurfaceState& s = surface.state;
    s.fillPattern = FillPattern::None;
    s.lineWidth = 1;
    s.lineStyle = LineStyle::Dashed;
    s.foreColor = kBandColour;
    surface.box(band.x0, band.y0, band.x1, band.y1);
    surface.state = remembered;
}

}  // namespace mw
