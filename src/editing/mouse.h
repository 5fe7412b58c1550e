#pragma once
// The geometry of dragging in the level view: where a moved entry lands and
// which extent a resize drag stores.
#include <optional>
#include <string>

#include "definitions/definition_tables.h"

namespace mw {

// Nearest whole number, a half going to the even one.
int RoundHalfEven(double value);

// The extent a resize drag stores when the tile under the pointer lies `n`
// tiles after the origin (`n` <= 0: on or before it). Only extents that
// the object's record can hold come out:
//   four-byte object, nibble size byte: 1..16;
//   four-byte object, the whole-byte extent (width for size mode 1,
//   height for size mode 2): -129..128;
//   five-byte object: -127..128;
// and 0 or -1 become 1. nullopt for an object whose record does not store
// this extent (sprites, extended objects, the fixed direction).
std::optional<int> DraggedExtent(const ObjectDefinition& def, bool isWidth, int n);

// Upper-case hexadecimal with a leading "-" for negative numbers.
std::string SignedHex(int value);

}  // namespace mw
