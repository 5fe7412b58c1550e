#pragma once
// What the zoom items, the window size and the view options do to the view's
// geometry: the label font size, the scroll bars' ranges, the fill pattern.
#include "level/level_opening.h"
#include "view/surface.h"
#include "view/view_state.h"

namespace mw {

// The zoom levels of the "Zoom" submenu, in menu order.
constexpr int kZoomLevels[] = {4, 8, 12, 16, 24, 32, 64};
// The scroll bars' steps: one tile, and one screen.
constexpr int kScrollSmallChange = 1;
constexpr int kScrollLargeChange = 16;

// Label font size in points for a zoom: zoom / 2 - 2 rounded to the nearest
// whole number (a half to the even one), but at least 2.
int LabelFontSize(int zoom);

// Sets the zoom and the label font size that goes with it. The caller then
// recomputes the scroll ranges (UpdateScrollRanges), rebuilds the visible
// list and repaints. A zoom below 1 is ignored.
void ApplyZoom(ViewState& view, int zoom);

// Which scroll values UpdateScrollRanges had to lower; the caller runs the
// change handler of each bar whose value changed.
struct ScrollValueChanges {
    bool horizontal = false;
    bool vertical = false;
    bool any() const { return horizontal || vertical; }
};

// The scroll ranges for the current view size and zoom, as at the end of a
// resize: the horizontal maximum is 256 - Int(viewWidth / zoom), the vertical
// one 128 - Int(viewHeight / zoom); a bar is enabled when its maximum is 1 or
// more. A value above its new maximum drops to it, but never below 0 (a view
// larger than the level has a maximum of 0 or less and shows column 0).
// While "Show area outside of level" is on the ranges and enabled states are
// left as they are. Does not rebuild the visible list.
ScrollValueChanges UpdateScrollRanges(ViewState& view);

// "Show area outside of level": turning it on sets both maxima to 256 and
// leaves the enabled states alone. The caller then runs its resize, whose
// UpdateScrollRanges recomputes the ranges when the option has been turned off.
void SetOutOfBounds(ViewState& view, bool on);

// Scrolls to where a level opens: a course start or an entrance in the
// middle of the view, the top-left of the entries at the view's top-left, as
// far as the scroll ranges allow. The values are set without running the
// bars' change handling; the caller rebuilds the visible list.
void ScrollToOpening(ViewState& view, const LevelOpening& at);

// The fill pattern of the boxes of objects and sprites: cross-hatched when
// "Transparent WireBlocks" is on, else solid.
inline FillPattern EntryFillPattern(const ViewOptions& options) {
    return options.transparent ? FillPattern::CrossHatch : FillPattern::Solid;
}

}  // namespace mw
