#include "level/level_opening.h"

#include <algorithm>
#include <optional>

#include "level/level_codec.h"

namespace mw {

namespace {

constexpr int kCourseRecordBytes = 4;
constexpr int kFar = 1 << 20;

struct Tile {
    int x = 0;
    int y = 0;
};

// For each level index, the entrance tile of the first exit of another level
// that leads there; remembered until the file's contents change.
const std::vector<std::optional<Tile>>& FirstEntrances(const RomFile& rom, const DefinitionTables& defs) {
    thread_local uint64_t generation = 0;
    thread_local const DefinitionTables* tables = nullptr;
    thread_local std::vector<std::optional<Tile>> entrances;
    if (generation != rom.generation() || generation == 0 || tables != &defs) {
        entrances.assign(kLevelCount, std::nullopt);
        for (int n = 0; n < kLevelCount; ++n) {
            const LevelLoad from = LoadLevelIndex(rom, defs, n);
            if (!from.loaded()) continue;
            for (const ScreenExit& e : from.level.exitList)
                if (e.destination < kLevelCount && e.destination != n && !entrances[e.destination])
                    entrances[e.destination] = Tile{e.entranceX, e.entranceY};
        }
        generation = rom.generation();
        tables = &defs;
    }
    return entrances;
}

}  // namespace

std::vector<CourseStart> ReadCourseStarts(const std::vector<uint8_t>& b) {
    const int64_t size = static_cast<int64_t>(b.size());
    // There are no more courses than stages; offsets past that many records
    // are not records of the table.
    std::vector<int64_t> offsets = {0};
    for (int k = 0; k < kStageCount; ++k) {
        const int64_t at = kStageTable + 2 * k;
        if (at + 2 > size) break;
        const int offset = b[at] | b[at + 1] << 8;
        if (offset % kCourseRecordBytes == 0 && offset < kStageCount * kCourseRecordBytes) offsets.push_back(offset);
    }
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    std::vector<CourseStart> starts;
    for (int64_t offset : offsets) {
        const int64_t at = kCourseStartTable + offset;
        if (at + kCourseRecordBytes > size) break;
        if (b[at] >= kLevelCount || b[at + 2] >= 0x80) continue;
        starts.push_back({b[at], b[at + 1], b[at + 2]});
    }
    return starts;
}

LevelOpening WhereLevelOpens(const RomFile& rom, const DefinitionTables& defs, const LevelState& level) {
    const int index = level.tableIndex;
    if (index >= 0 && index < kLevelCount) {
        for (const CourseStart& c : ReadCourseStarts(rom.bytes()))
            if (c.level == index) return {LevelOpening::From::CourseStart, c.x, c.y};
        if (const auto& in = FirstEntrances(rom, defs)[index]) return {LevelOpening::From::Entrance, in->x, in->y};
    }
    if (level.objectList.empty()) return {};
    int left = kFar, top = kFar;
    for (const LevelObject& e : level.objectList) {
        left = std::min({left, int{e.x}, e.x + e.width});
        top = std::min({top, int{e.y}, e.y + e.height});
    }
    // A box that starts left of or above the level opens at its edge.
    return {LevelOpening::From::Entries, std::clamp(left, 0, 255), std::clamp(top, 0, 127)};
}

}  // namespace mw
