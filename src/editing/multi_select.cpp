#include "editing/multi_select.h"

#include <algorithm>

#include "level/level_json.h"
#include "view/view_geometry.h"

namespace mw {

std::vector<int> SelectableEntries(const LevelState& level, const DefinitionTables& defs, const ViewState& view) {
    std::vector<int> out;
    for (const int16_t i : view.visibleList)
        if (i >= 0 && i <= level.objectLast() && !CrossSectionFlagOf(level, defs, view.options, i)) out.push_back(i);
    return out;
}

std::vector<int> EntriesInBand(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
                               float x0, float y0, float x1, float y1) {
    const float left = std::min(x0, x1), right = std::max(x0, x1);
    const float top = std::min(y0, y1), bottom = std::max(y0, y1);
    std::vector<int> out;
    for (const int i : SelectableEntries(level, defs, view)) {
        // A box covers the pixels from its left edge up to, not including,
        // its right edge (as the hit test has it); the band includes both corners.
        const TileExtent t = ExtentOf(level.objectList[static_cast<size_t>(i)]);
        if (TileToPixelX(view, t.left) <= right && TileToPixelX(view, t.right) > left &&
            TileToPixelY(view, t.top) <= bottom && TileToPixelY(view, t.bottom) > top)
            out.push_back(i);
    }
    return out;
}

TileOffset ClampGroupOffset(const std::vector<LevelObject>& entries, int dx, int dy) {
    int minDx = 0, maxDx = 0, minDy = 0, maxDy = 0;
    bool first = true;
    for (const LevelObject& e : entries) {
        const int lowX = -e.x, highX = kLevelColumns - 1 - e.x;
        const int lowY = -e.y, highY = std::max(kLevelRows - 1, int(e.y)) - e.y;
        minDx = first ? lowX : std::max(minDx, lowX);
        maxDx = first ? highX : std::min(maxDx, highX);
        minDy = first ? lowY : std::max(minDy, lowY);
        maxDy = first ? highY : std::min(maxDy, highY);
        first = false;
    }
    return {std::clamp(dx, minDx, maxDx), std::clamp(dy, minDy, maxDy)};
}

TileOffset TopLeftOf(const std::vector<LevelObject>& entries) {
    TileOffset t{255, 255};
    for (const LevelObject& e : entries) {
        t.dx = std::min(t.dx, int(e.x));
        t.dy = std::min(t.dy, int(e.y));
    }
    return t;
}

void ShiftEntries(std::vector<LevelObject>& entries, int dx, int dy) {
    for (LevelObject& e : entries) {
        e.x = static_cast<uint8_t>(e.x + dx);
        e.y = static_cast<uint8_t>(e.y + dy);
    }
}

std::string ClipboardText(std::vector<LevelObject> entries) {
    const TileOffset topLeft = TopLeftOf(entries);
    ShiftEntries(entries, -topLeft.dx, -topLeft.dy);
    return EntriesToJson(entries);
}

std::optional<std::string> EntriesFromClipboard(std::string_view text, const DefinitionTables& defs, int x, int y,
                                                std::vector<LevelObject>& out) {
    std::vector<LevelObject> entries;
    if (auto why = ParseEntriesJson(text, defs, entries)) return why;
    // Text typed by hand need not start at (0, 0).
    const TileOffset topLeft = TopLeftOf(entries);
    const TileOffset to = ClampGroupOffset(entries, x - topLeft.dx, y - topLeft.dy);
    ShiftEntries(entries, to.dx, to.dy);
    out = std::move(entries);
    return std::nullopt;
}

}  // namespace mw
