#pragma once
// Searches every level of the pointer table for an object, an extended
// object, a sprite or a piece of a name, and works out where a test of a
// level starts: the tile rule and the image written for an emulator.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "level/level_state.h"
#include "level/rom_file.h"

namespace mw {

struct FindQuery {
    enum class Kind { Object, Extended, Sprite, Name };
    Kind kind = Kind::Object;
    int id = 0;        // Object, Extended, Sprite
    std::string text;  // Name: a piece of the caption's name, in any case
};

struct FindHit {
    int level = 0;  // pointer table index
    int entry = 0;  // index into the level's objectList
    int x = 0;
    int y = 0;
    std::string caption;  // as the labels show it ("S1E - Name")
};

// Every entry of every level 0 to DD that matches, by level then entry. A
// level that does not load is passed over (it holds nothing to find).
std::vector<FindHit> FindInAllLevels(const RomFile& rom, const DefinitionTables& defs, const FindQuery& query);

struct StartTile {
    int x = 0;  // 0 to 255
    int y = 0;  // 0 to 127
    bool operator==(const StartTile&) const = default;
};
constexpr int kMaxStartX = 255;
constexpr int kMaxStartY = 127;
// "X,Y" in decimal tiles (blanks allowed around the numbers), X 0 to 255
// and Y 0 to 127; nullopt for anything else.
std::optional<StartTile> ParseStartTile(const std::string& text);

// Where a test of `level` (loaded through its table index) starts when no
// tile is given: its own course start if it has one, else where the first
// screen exit of another level into it arrives, else nullopt.
std::optional<StartTile> DefaultStartTile(const RomFile& rom, const DefinitionTables& defs, const LevelState& level);

// The file a test runs: the image saving `level` would write (moved into
// `blocks` if it must be; the ROM file is not touched) with the first
// course starting in it at `tile`, in the ROM's layout, checksum made
// right. On failure `error` says why and the bytes are empty.
struct TestImage {
    std::vector<uint8_t> file;
    std::string error;
};
TestImage MakeTestImage(const RomFile& rom, const DefinitionTables& defs, const LevelState& level,
                        const std::vector<FreeBlock>& blocks, StartTile tile);

}  // namespace mw
