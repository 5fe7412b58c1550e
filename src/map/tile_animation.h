#pragma once
// The animated tiles as the level shows them when it starts: the game's own
// start-of-level animation routine (init_tileset_animation, $00:D571), run
// from the ROM in the interpreter with a small model of the DMA into video
// memory. It copies uncompressed frames over parts of the character memory
// ($1000-$14FF among them).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "map/level_graphics.h"

namespace mw {

// Runs the routine on `vram` (64 KiB). On success returns an empty string;
// otherwise returns why it could not run and leaves `vram` as it was.
std::string RunTileAnimationStart(std::span<const uint8_t> image, const GraphicsHeader& header, bool world6,
                                  std::vector<uint8_t>& vram);

}  // namespace mw
