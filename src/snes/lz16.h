#pragma once
// The row codec of the large graphics files ("LZ16"): a 128-pixel-wide 4bpp
// image coded one pixel row at a time against the row above it, with a
// seven-colour palette in front and an LSB-first bit stream. The result is
// the image as a sheet of 8x8 planar tiles, 16 tiles to a row (pixel (x, y)
// in tile (y / 8) * 16 + x / 8).
#include <cstddef>

#include "snes/gfx_source.h"

namespace mw {

// Decompresses the file at `source` into `size` bytes (size / 64 pixel
// rows). Ends with an error, keeping the rows decoded so far (the rest zero),
// when the stream runs off the image or moves the row position outside the
// row.
GfxFile DecompressLz16(const GfxSource& source, size_t size);

}  // namespace mw
