#pragma once
// The object palette's items: every standard object, extended object and
// sprite of the tables as a caption ("0A: name", "X1F: name", "0S5: name")
// with a code that tells the create command what to make.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/definition_tables.h"

namespace mw {

// Codes: 0..255 standard object ID, 256..511 extended ID + 256,
// 512..1023 sprite ID + 512.
constexpr int kExtendedCodeBase = 256;
constexpr int kSpriteCodeBase = 512;
constexpr int kPaletteCodeEnd = 1024;

enum PaletteGroup { kGroupNorm = 0, kGroupExtended = 1, kGroupSprite = 2 };

// The caption of the item with `code`, into `out` (its storage is reused).
void PaletteCaptionInto(std::string& out, const DefinitionTables& defs, int code);
std::string PaletteCaption(const DefinitionTables& defs, int code);

// True when `filter` occurs in `caption`, ignoring case. Empty matches all.
bool FilterMatches(std::string_view caption, std::string_view filter);

// Refills `items` with the listed groups' captions that match `filter`,
// standard objects first, then extended objects, then sprites, each in
// ascending ID order. Reuses the storage `items` already has.
void BuildObjectList(const DefinitionTables& defs, const std::array<bool, 3>& groups, std::string_view filter,
                     std::vector<ListEntry>& items);

}  // namespace mw
