#pragma once
// Putting a level read from JSON into the loaded level (marlwick-cli import).
#include <optional>
#include <string>

#include "definitions/definition_tables.h"
#include "level/level_json.h"
#include "level/level_state.h"

namespace mw {

// The header, objects, exits and sprites of `content` replace the level's
// own, and the byte counters count them; the level's place and room stay.
// A header for a level that has none (or none for one that has) is refused:
// returns why, and `state` is unchanged.
std::optional<std::string> ApplyLevelContent(const DefinitionTables& defs, const LevelContent& content,
                                             LevelState& state);

}  // namespace mw
