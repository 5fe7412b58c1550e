#pragma once
// The caption of a level entry, as labels, the pick list and the tooltip show it.
#include <string>

#include "definitions/definition_tables.h"
#include "level/level_state.h"

namespace mw {

// Its ID in upper-case hexadecimal, " - " and its definition's name. With
// `prefix`, sprites get "S" in front and extended objects "X"; other objects
// never get one.
std::string ObjectCaption(const DefinitionTables& defs, const LevelObject& entry, bool prefix);
// The same into a caller's buffer, so a paint loop can reuse one string.
void ObjectCaptionInto(std::string& out, const DefinitionTables& defs, const LevelObject& entry, bool prefix);

}  // namespace mw
