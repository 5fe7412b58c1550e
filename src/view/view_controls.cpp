#include "view/view_controls.h"

#include <algorithm>
#include <cmath>

#include "view/view_geometry.h"

namespace mw {

int LabelFontSize(int zoom) {
    // std::lrint rounds a half to the even neighbour in the default rounding mode.
    const long size = std::lrint(zoom / 2.0 - 2.0);
    return size < 2 ? 2 : static_cast<int>(size);
}

void ApplyZoom(ViewState& view, int zoom) {
    if (zoom < 1) return;
    view.zoom = zoom;
    view.fontSize = LabelFontSize(zoom);
}

namespace {

// Sets a bar's maximum and enabled state; true when its value had to drop.
bool SetRange(ScrollBarState& bar, int maximum) {
    bar.maximum = maximum;
    bar.enabled = maximum >= 1;
    const int highest = std::max(maximum, 0);
    if (bar.value <= highest) return false;
    bar.value = highest;
    return true;
}

}  // namespace

ScrollValueChanges UpdateScrollRanges(ViewState& view) {
    ScrollValueChanges changes;
    if (view.options.outOfBounds) return changes;
    changes.horizontal = SetRange(view.hsc, kLevelColumns - VisibleColumns(view));
    changes.vertical = SetRange(view.vsc, kLevelRows - VisibleRows(view));
    return changes;
}

void SetOutOfBounds(ViewState& view, bool on) {
    view.options.outOfBounds = on;
    if (on) {
        view.hsc.maximum = 256;
        view.vsc.maximum = 256;
    }
}

void ScrollToOpening(ViewState& view, const LevelOpening& at) {
    int x = at.x, y = at.y;
    if (at.from == LevelOpening::From::CourseStart || at.from == LevelOpening::From::Entrance) {
        x = static_cast<int>(std::lround(at.x - view.viewWidth / (2.0 * view.zoom)));
        y = static_cast<int>(std::lround(at.y - view.viewHeight / (2.0 * view.zoom)));
    }
    view.hsc.value = std::clamp(x, 0, std::max(view.hsc.maximum, 0));
    view.vsc.value = std::clamp(y, 0, std::max(view.vsc.maximum, 0));
}

}  // namespace mw
