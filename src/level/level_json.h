#pragma once
// The level as JSON text: what `marlwick-cli info` prints, what `import`
// reads back, and the entries that the clipboard carries, all in one shape.
// Each entry is one object {"id", "extId", "x", "y", "width", "height",
// "isSprite"}; each exit {"screenX", "screenY", "destination", "entranceX",
// "entranceY", "entranceType"}. Numbers are decimal integers.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/definition_tables.h"
#include "level/level_codec.h"
#include "level/level_state.h"
#include "util/message.h"

namespace mw {

// What a level can hold, and so the most a level's JSON may be: a stream of
// at most kMaxStreamBytes of 3-byte records for its objects and as many for
// its sprites, and of 5-byte exits. Longer texts are refused before they are
// read, texts of more values as soon as the reader passes them.
constexpr size_t kMaxLevelEntries = 2 * (kMaxStreamBytes / 3);
constexpr size_t kMaxLevelExits = kMaxStreamBytes / 5;
constexpr size_t kMaxLevelJsonValues = 8 * kMaxLevelEntries + 7 * kMaxLevelExits + 1024;
constexpr size_t kMaxLevelJsonBytes = 64 * kMaxLevelJsonValues;

// The whole level with its offsets, byte counters and the messages that its
// load raised (the output of `info`).
std::string LevelToJson(const LevelState& state, const Messages& messages);

// Entries alone, as {"objects": [...]} (the clipboard's text).
std::string EntriesToJson(const std::vector<LevelObject>& entries);

// What a level file holds that can be put into a level.
struct LevelContent {
    std::optional<LevelHeader> header;    // nullopt: "header" is null (a level without one)
    std::vector<LevelObject> objectList;  // objects and sprites, in the file's order
    std::vector<ScreenExit> exitList;
};

// Reads a whole level in the shape LevelToJson writes; the offsets, counters
// and messages that it also holds are ignored. Every entry and exit is
// checked against `defs` and the ranges the ROM can store. Returns why the
// text was refused (naming the entry: "objects[3]: ...") and leaves `out`
// unchanged, or nullopt.
std::optional<std::string> ParseLevelJson(std::string_view text, const DefinitionTables& defs, LevelContent& out);

// Reads entries in the shape EntriesToJson writes (or a bare array of
// entries), checked as ParseLevelJson checks them.
std::optional<std::string> ParseEntriesJson(std::string_view text, const DefinitionTables& defs,
                                            std::vector<LevelObject>& out);

}  // namespace mw
