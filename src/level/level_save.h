#pragma once
// Planning a level's save: in place while both of its streams fit the room
// they had, otherwise moved into free space (where the level's own old
// place counts as free), with the level's pointer table entry rewritten and
// the old place filled with 0xFF where no other entry reads it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "level/level_state.h"
#include "level/rom_file.h"

namespace mw {

// One stream that leaves its place.
struct StreamMove {
    bool sprites = false;  // the sprite list, else the object data
    int64_t from = 0;      // old place [from, fromEnd)
    int64_t fromEnd = 0;
    int64_t to = 0;        // new place [to, to + length)
    int64_t length = 0;
    bool linear = false;   // the new pointer is a linear one
    // The other pointer table entries that read the old place and keep
    // reading it (it stays as it is for them), ascending.
    std::vector<int> sharers;
};

// What a save would do, worked out on a copy of the image. Nothing is
// written by making a plan.
struct SavePlan {
    std::string refusalTitle;  // non-empty refusal: nothing may be written
    std::string refusal;
    std::vector<StreamMove> moves;  // empty: the level stays in place
    std::vector<uint8_t> image;     // the whole file as the save leaves it
    WriteFence fence;               // every range the save may change
    LevelState saved;               // the level as it lies after the save
    bool refused() const { return !refusal.empty(); }
};

// The bytes a level holds from each stream's start: what a save in place
// rewrites (the header, objects, exits with their end markers and the zero
// padding after them; the sprite list with its end marker and padding).
int64_t ObjectPlaceLength(const LevelState& state);
int64_t SpritePlaceLength(const LevelState& state);
// Does file offset `offset` (with the copier header) lie in those bytes?
bool LevelPlaceHolds(const LevelState& state, int64_t offset);

// Why `state`, once saved, could never be loaded again: its objects and
// exits, or its sprites, take more than kMaxStreamBytes. The sentence names
// the level and the bytes; nullopt when the level is within the bound.
// `diskShift` is added to offsets shown in messages: the offset in the file
// as it is on disk less the offset with the copier header (-0x200 for a
// headerless file, else 0).
std::optional<std::string> OverLoaderLimit(const DefinitionTables& defs, const LevelState& state,
                                           int64_t diskShift = 0);

// Works out the save of `state` over `image`. `blocks` are the blocks where
// free space may lie (FreeSpace.dat and LevelAreas.dat: their 0xFF bytes that
// no entry reads); a level loaded by offsets (no table entry) can only be
// saved in place. `diskShift` as for OverLoaderLimit.
SavePlan PlanSave(const std::vector<uint8_t>& image, const DefinitionTables& defs, const LevelState& state,
                  const std::vector<FreeBlock>& blocks, int64_t diskShift = 0);

}  // namespace mw
