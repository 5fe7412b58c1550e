#pragma once
// Where the view should open on a level: where the player first appears in
// it, when the ROM says so, else where its entries begin.
#include <cstdint>
#include <vector>

#include "definitions/definition_tables.h"
#include "level/level_state.h"
#include "level/rom_file.h"

namespace mw {

// The world map's stage table (one 16-bit word per stage, an offset into the
// course start table) and the course start table (4 bytes per course: level,
// start tile X, start tile Y, map icon), as file offsets in a ".smc" file.
constexpr int64_t kStageTable = 0x0BF5E7;        // $17:F3E7
constexpr int64_t kCourseStartTable = 0x0BF671;  // $17:F471
constexpr int kStageCount = 6 * 12;              // 12 stages in each of 6 worlds

struct CourseStart {
    int level = 0;
    int x = 0;
    int y = 0;
    bool operator==(const CourseStart&) const = default;
};

// The course starts the stage table refers to, in the order of their records
// (the first course's record, at offset 0, first). Records outside the file,
// offsets that are not a record's start, and records naming no level or a
// tile outside a level are left out.
std::vector<CourseStart> ReadCourseStarts(const std::vector<uint8_t>& image);

struct LevelOpening {
    enum class From {
        CourseStart,  // the player's start tile of a course that starts in the level
        Entrance,     // the entrance tile of a screen exit of another level leading here
        Entries,      // the top-left of the bounding box of the level's entries
        Nothing,      // an empty level: tile (0, 0)
    };
    From from = From::Nothing;
    int x = 0;  // tile column
    int y = 0;  // tile row
};

// Where the view should open on `level` (loaded from `rom`): its first course
// start, else the first entrance into it (by the index of the level whose
// exit leads there), else the top-left of its entries. A level loaded by
// offsets has no index that a course or an exit could name.
LevelOpening WhereLevelOpens(const RomFile& rom, const DefinitionTables& defs, const LevelState& level);

}  // namespace mw
