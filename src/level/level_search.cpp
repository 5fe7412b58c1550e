#include "level/level_search.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "level/level_codec.h"
#include "level/level_opening.h"
#include "level/level_save.h"
#include "level/object_caption.h"
#include "level/rom_checksum.h"

namespace mw {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsExtended(const DefinitionTables& defs, const LevelObject& o) {
    return !o.isSprite && defs.objectDefs[o.id].kind == kKindExtended;
}

// Each level of the table as it lies in the ROM, quietly: a level that does
// not load has nothing in it.
template <typename Visit>
void ForEachLevel(const RomFile& rom, const DefinitionTables& defs, Visit visit) {
    for (int n = 0; n < kLevelCount; ++n) {
        const LevelLoad load = LoadLevelIndex(rom, defs, n);
        if (load.loaded()) visit(n, load.level);
    }
}

}  // namespace

std::vector<FindHit> FindInAllLevels(const RomFile& rom, const DefinitionTables& defs, const FindQuery& query) {
    using Kind = FindQuery::Kind;
    // A name query is answered once per definition, not once per entry.
    std::array<bool, 256> objectNamed{}, extendedNamed{};
    std::array<bool, 512> spriteNamed{};
    const std::string piece = Lower(query.text);
    if (query.kind == Kind::Name && !piece.empty()) {
        for (size_t k = 0; k < 256; ++k) {
            objectNamed[k] = Lower(defs.objectDefs[k].name).find(piece) != std::string::npos;
            extendedNamed[k] = Lower(defs.extendedDefs[k].name).find(piece) != std::string::npos;
        }
        for (size_t k = 0; k < 512; ++k) spriteNamed[k] = Lower(defs.spriteDefs[k].name).find(piece) != std::string::npos;
    }
    auto matches = [&](const LevelObject& o) {
        switch (query.kind) {
        case Kind::Object: return !o.isSprite && !IsExtended(defs, o) && o.id == query.id;
        case Kind::Extended: return IsExtended(defs, o) && o.extId == query.id;
        case Kind::Sprite: return o.isSprite && o.spriteId() == query.id;
        case Kind::Name:
            return o.isSprite ? spriteNamed[static_cast<size_t>(o.spriteId())]
                              : IsExtended(defs, o) ? extendedNamed[o.extId] : objectNamed[o.id];
        }
        return false;
    };
    std::vector<FindHit> hits;
    ForEachLevel(rom, defs, [&](int n, const LevelState& level) {
        for (size_t k = 0; k < level.objectList.size(); ++k) {
            const LevelObject& o = level.objectList[k];
            if (matches(o)) hits.push_back({n, static_cast<int>(k), o.x, o.y, ObjectCaption(defs, o, true)});
        }
    });
    return hits;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal number of at most nine digits, blanks around it allowed.
std::optional<int> SmallDecimal(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    if (s.empty() || s.size() > 9) return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

std::optional<StartTile> ParseStartTile(const std::string& text) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    const std::optional<int> x = SmallDecimal(std::string_view(text).substr(0, comma));
    const std::optional<int> y = SmallDecimal(std::string_view(text).substr(comma + 1));
    if (!x || !y || *x > kMaxStartX || *y > kMaxStartY) return std::nullopt;
    return StartTile{*x, *y};
}

std::optional<StartTile> DefaultStartTile(const RomFile& rom, const DefinitionTables& defs, const LevelState& level) {
    const LevelOpening opening = WhereLevelOpens(rom, defs, level);
    const bool fromGame = opening.from == LevelOpening::From::CourseStart || opening.from == LevelOpening::From::Entrance;
    if (!fromGame || opening.x > kMaxStartX || opening.y > kMaxStartY) return std::nullopt;
    return StartTile{opening.x, opening.y};
}

TestImage MakeTestImage(const RomFile& rom, const DefinitionTables& defs, const LevelState& level,
                        const std::vector<FreeBlock>& blocks, StartTile tile) {
    if (level.tableIndex < 0)
        return {{}, "a level loaded by its offsets has no level number for a course to start in; load it by its number"};
    if (tile.x < 0 || tile.x > kMaxStartX || tile.y < 0 || tile.y > kMaxStartY)
        return {{}, "the start tile must lie in columns 0 to 255 and rows 0 to 127"};
    SavePlan plan = PlanSave(rom.bytes(), defs, level, blocks);
    if (plan.refused()) return {{}, plan.refusal};
    // The first record of the course start table is the first course: its
    // level and tile; its map icon stays.
    if (kCourseStartTable + 3 > static_cast<int64_t>(plan.image.size()))
        return {{}, "the ROM is too short to hold the course start table"};
    plan.image[kCourseStartTable] = static_cast<uint8_t>(level.tableIndex);
    plan.image[kCourseStartTable + 1] = static_cast<uint8_t>(tile.x);
    plan.image[kCourseStartTable + 2] = static_cast<uint8_t>(tile.y);
    if (ChecksumIsRight(rom.bytes())) WriteChecksum(plan.image);
    return {rom.DiskImage(plan.image), {}};
}

}  // namespace mw
