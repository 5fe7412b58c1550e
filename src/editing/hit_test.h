#pragma once
// What lies under a pointer position of the level view: the body of an
// object or sprite, the movable end of an object's width or height, or the
// tab of a screen exit. The tests only look; they change nothing.
#include <span>

#include "definitions/definition_tables.h"
#include "level/level_state.h"
#include "view/view_state.h"

namespace mw {

// Distance in pixels, on either side, at which an edge can be grabbed: a
// handle is 3 screen pixels wide (the edge's own pixel and one each side),
// so that a press in a dense area selects rather than resizes.
constexpr float kEdgeTolerance = 1.5f;

// True when the object's width (height) is stored in its record and can be
// dragged: four- and five-byte objects, except the fixed direction of a
// four-byte object whose size byte holds only the other extent.
bool WidthIsResizable(const DefinitionTables& defs, const LevelObject& e);
bool HeightIsResizable(const DefinitionTables& defs, const LevelObject& e);

// What lies under a pixel (every hover step and every press needs all three
// answers). Each is an objectList index or -1; entries outside the visible
// list and hidden cross-section objects are passed over by all three.
//   body:   the topmost visible entry whose box holds the pixel (the latest
//           in the visible list);
//   width:  among `handleEntries` only (the entries that carry resize
//           handles), the first whose width end (the vertical line at
//           x + width) lies within the tolerance of px, along the whole
//           height of its box, ends included;
//   height: the same across: the horizontal line at y + height.
// Width and height always name the same entry when both are found: a
// handle never resizes one entry in one direction and another in the other.
struct PointerHits {
    int body = -1;
    int width = -1;
    int height = -1;
};
PointerHits FindAllAt(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
                      float px, float py, std::span<const int> handleEntries = {});

// The first screen exit (all of them, from index 0) whose tab, 2 tiles wide
// and half a tile tall at the top-left corner of its screen, holds the pixel.
// Returns an exitList index or -1.
int FindExitTabAt(const LevelState& level, const ViewState& view, float px, float py);

// Does the pixel lie in the box of `e`? (The body test of FindAllAt.)
bool BoxHolds(const ViewState& view, const LevelObject& e, float px, float py);

}  // namespace mw
