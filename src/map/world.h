#pragma once
// Which world a level belongs to, as far as the graphics care: world 6 draws
// two tileset and palette entries from tables of its own. The level data
// does not say; the levels of world 6 are those reached from its courses'
// start levels through screen exits.
#include <array>

#include "definitions/definition_tables.h"
#include "level/rom_file.h"

namespace mw {

using LevelSet = std::array<bool, 256>;

// The levels reached from the course starts of world 6 (stages 60-68)
// through the exits in the file. An exit into a bandit mini-game leads on
// to the level it returns to.
LevelSet World6Levels(const RomFile& rom, const DefinitionTables& defs);

}  // namespace mw
