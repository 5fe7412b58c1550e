#pragma once
// Working on many entries at once: which entries a rubber band or "select
// all" takes, how far a group may move, and the clipboard's text.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/definition_tables.h"
#include "level/level_state.h"
#include "view/view_state.h"

namespace mw {

// The entries of the visible list that can be picked (cross-section mode
// hides some), ascending: what "select all" takes.
std::vector<int> SelectableEntries(const LevelState& level, const DefinitionTables& defs, const ViewState& view);

// The selectable entries whose box the band between two view pixels (any
// two opposite corners) touches.
std::vector<int> EntriesInBand(const LevelState& level, const DefinitionTables& defs, const ViewState& view,
                               float x0, float y0, float x1, float y1);

struct TileOffset {
    int dx = 0;
    int dy = 0;
    bool operator==(const TileOffset&) const = default;
};

// The part of a move by (dx, dy) that keeps every origin inside the level
// (columns 0..255, rows 0..127). An entry already below the level's rows
// is not pushed up, only kept from going further down.
TileOffset ClampGroupOffset(const std::vector<LevelObject>& entries, int dx, int dy);

// The smallest column and the smallest row among the entries' origins.
TileOffset TopLeftOf(const std::vector<LevelObject>& entries);

// Moves every entry's origin by (dx, dy).
void ShiftEntries(std::vector<LevelObject>& entries, int dx, int dy);

// The entries as the clipboard holds them: in the given order, moved so
// that their top-left origin is tile (0, 0).
std::string ClipboardText(std::vector<LevelObject> entries);

// Reads the clipboard's text (refusing what the definition files do not
// know, with the reason) and puts the entries' top-left origin at tile
// (x, y), or as near it as keeps them all inside the level.
std::optional<std::string> EntriesFromClipboard(std::string_view text, const DefinitionTables& defs, int x, int y,
                                                std::vector<LevelObject>& out);

}  // namespace mw
