#pragma once
// The tiles of the loaded level: its graphics built from the user's ROM and
// its map16 pictures, kept in step with the ROM's contents and the level's
// header (a header change of the tileset, the palettes, the background or
// the level mode rebuilds them; anything else keeps them).
#include <optional>
#include <string>

#include "definitions/definition_tables.h"
#include "level/level_state.h"
#include "level/rom_file.h"
#include "map/map16_tiles.h"
#include "map/world.h"

namespace mw {

class LevelTiles {
public:
    // Brings the tiles up to date for `level`; true when they were rebuilt.
    bool update(const RomFile& rom, const DefinitionTables& defs, const LevelState& level);
    // Why the level is drawn without tiles (no header, a level mode with
    // built-in graphics), or nullopt when it has them.
    const std::optional<std::string>& unavailable() const { return unavailable_; }
    bool available() const { return !unavailable_ && tiles_.built(); }
    Map16Tiles& tiles() { return tiles_; }
    Argb background() const { return tiles_.graphics().background; }
    // What Level Info says about the tiles: the world assumed, and what went
    // wrong reading the graphics, if anything.
    std::string infoText() const;

private:
    Map16Tiles tiles_;
    std::optional<std::string> unavailable_ = std::string("no level is loaded");
    uint64_t worldGeneration_ = 0;
    LevelSet world6_{};
    bool loadedByOffsets_ = false;
};

}  // namespace mw
