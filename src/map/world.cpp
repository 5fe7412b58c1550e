#include "map/world.h"

#include <deque>

#include "level/level_codec.h"
#include "map/level_graphics.h"

namespace mw {

namespace {
constexpr int64_t kStageEntranceIndexes = 0xBF3E7;  // $17:F3E7, a word per stage
constexpr int64_t kCourseStarts = 0xBF471;          // $17:F471, 4 bytes per course start
constexpr int kFirstWorld6Stage = 60;               // 12 stages per world; slots 0-8 are courses
constexpr int kWorld6Courses = 9;
constexpr int kFirstMiniGame = 0xDE;
}  // namespace

LevelSet World6Levels(const RomFile& rom, const DefinitionTables& defs) {
    LevelSet found{};
    const RomImageView v = ImageOf(rom.bytes());
    auto byte = [&](int64_t at) { return at >= 0 && at < static_cast<int64_t>(v.image.size()) ? v.image[static_cast<size_t>(at)] : -1; };
    std::deque<int> todo;
    for (int stage = kFirstWorld6Stage; stage < kFirstWorld6Stage + kWorld6Courses; ++stage) {
        const int lo = byte(kStageEntranceIndexes + 2 * stage), hi = byte(kStageEntranceIndexes + 2 * stage + 1);
        if (lo < 0 || hi < 0 || (lo | hi) == 0) continue;  // 0: the stage starts no level
        const int level = byte(kCourseStarts + (hi << 8 | lo));
        if (level >= 0 && level < kFirstMiniGame && !found[static_cast<size_t>(level)]) {
            found[static_cast<size_t>(level)] = true;
            todo.push_back(level);
        }
    }
    while (!todo.empty()) {
        const int level = todo.front();
        todo.pop_front();
        const LevelLoad load = LoadLevelIndex(rom, defs, level);
        if (!load.loaded()) continue;
        for (const ScreenExit& e : load.level.exitList) {
            const int next = e.destination >= kFirstMiniGame ? e.entranceType : e.destination;
            if (next < kFirstMiniGame && !found[static_cast<size_t>(next)]) {
                found[static_cast<size_t>(next)] = true;
                todo.push_back(next);
            }
        }
    }
    return found;
}

}  // namespace mw
