#pragma once
// The demo ROM's level loader: a small 65816 program at the address where
// the game's own loader starts, so that the level map works on the demo ROM
// end to end. It is written for the demo (see demo_loader.cpp for what it
// draws) and shares only the interface with the game's: the entry address,
// the level pointer at $32, the screen table and the map16 buffer.
#include <cstdint>
#include <vector>

#include "definitions/definition_tables.h"

namespace mw {

// The loader's code and tables, with the file offset (copier header
// included) of its first byte; and the place and bytes of the "level too
// big" stop.
struct DemoLoaderPiece {
    int64_t fileOffset;
    std::vector<uint8_t> bytes;
};
std::vector<DemoLoaderPiece> BuildDemoLoader(const DefinitionTables& defs);

// Writes the pieces into a demo image.
void PutDemoLoader(const DefinitionTables& defs, std::vector<uint8_t>& rom);

}  // namespace mw
