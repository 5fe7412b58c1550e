#pragma once
// The view's geometry: zoom, scroll position, size, the visible list and
// the scroll bars' ranges, plus the four view options of the View menu.
#include <cstdint>
#include <vector>

namespace mw {

struct ViewOptions {
    bool crossSection = false;  // "Cross-section mode"
    bool smallGrid = false;     // "Small grid"
    bool outOfBounds = false;   // "Show area outside of level"
    bool transparent = false;   // "Transparent WireBlocks"
};

struct ScrollBarState {
    int value = 0;
    int maximum = 0;
    bool enabled = false;
};

struct ViewState {
    int zoom = 16;             // pixels per tile edge: 4, 8, 12, 16, 24, 32 or 64
    int fontSize = 6;          // label font size in points for this zoom
    ScrollBarState hsc;        // hscLevelPos: value is scrollX
    ScrollBarState vsc;        // vscLevelPos: value is scrollY
    float viewWidth = 0;       // size of the view in pixels
    float viewHeight = 0;
    std::vector<int16_t> visibleList;  // indices into objectList, ascending
    ViewOptions options;

    int scrollX() const { return hsc.value; }
    int scrollY() const { return vsc.value; }
    int visibleLast() const { return static_cast<int>(visibleList.size()) - 1; }
};

}  // namespace mw
