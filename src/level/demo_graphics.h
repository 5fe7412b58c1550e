#pragma once
// The demo ROM's graphics: made-up tiles for the map16 numbers the demo's
// level loader writes, stored in both of the game's compression formats
// where the game's tables point, with a made-up palette and the map16 table
// in the game's layout.
//
// The demo loader's map16 numbers (fixed):
//   $0000 empty              $0100 ground fill        $0101 ground top (grass)
//   $0102 brick              $0103/$0104/$0105 platform left end, middle, right end
//   $0106/$0107 pipe body left and right            $0108/$0109 pipe top left and right
//   $010A a block (any other object)
#include <cstdint>
#include <vector>

namespace mw {

// Writes the graphics into `smcFile` (copier header included).
void PutDemoGraphics(std::vector<uint8_t>& smcFile);

}  // namespace mw
