#include "map/level_tiles.h"

namespace mw {

bool LevelTiles::update(const RomFile& rom, const DefinitionTables& defs, const LevelState& level) {
    if (!rom.isOpen()) {
        unavailable_ = "no ROM is open";
        return false;
    }
    if (!level.hasHeader) {
        unavailable_ = "the level has no header to say which graphics it uses";
        return false;
    }
    const GraphicsHeader header = ReadGraphicsHeader(level.headerBytes);
    unavailable_ = UnsupportedLevelMode(header.levelMode);
    if (unavailable_) return false;
    if (worldGeneration_ != rom.generation()) {
        world6_ = World6Levels(rom, defs);
        worldGeneration_ = rom.generation();
    }
    loadedByOffsets_ = level.tableIndex < 0;
    const bool world6 = !loadedByOffsets_ && level.tableIndex < 256 && world6_[static_cast<size_t>(level.tableIndex)];
    TileSetKey key{rom.generation(), header, world6};
    // The sprite fields and the level mode do not change layer 1's graphics.
    key.header.levelMode = 0;
    if (tiles_.built() && tiles_.key() == key) return false;
    const RomImageView image = ImageOf(rom.bytes());
    tiles_.reset(key, image.image, BuildLevelGraphics(image, header, world6));
    return true;
}

std::string LevelTiles::infoText() const {
    if (unavailable_) return "Tiles: none, " + *unavailable_ + ".";
    std::string s = tiles_.key().world6 ? "Tiles: world 6 graphics (the level is reached from world 6's courses)"
                                        : "Tiles: graphics of worlds 1-5";
    if (loadedByOffsets_) s += " (assumed: a level loaded by offsets has no place among the courses)";
    s += ".";
    const LevelGraphics& g = tiles_.graphics();
    if (!g.problem.empty()) s += " Not all graphics could be read: " + g.problem + ".";
    if (!g.animationNote.empty()) s += " " + g.animationNote;
    return s;
}

}  // namespace mw
