#pragma once
// marlwick-cli render: the editor's own paint of one level, offscreen, into a PNG.
#include <optional>
#include <string>

namespace mw {

// Loads level `level` (pointer table index) of the ROM at `romPath` with
// the definition files of `defsDir`, scrolls the view to the tile column
// `x` and row `y` (each as far as the scroll ranges allow; where one is not
// given, to where the level opens, as the editor does on loading) and paints
// a view of `width` by `height` pixels (each 1 to 16384, as the command
// line has checked) at `zoom` (4, 8, 12, 16, 24, 32 or 64) into `outPng`.
// Messages raised by the load go to standard error. Returns the process
// exit status: 0 on success, 1 when the ROM, the level or the image could
// not be handled, 2 for any other zoom.
int RenderCommand(const std::string& romPath, int level, const std::string& outPng, int zoom, int width,
                  int height, const std::string& defsDir, std::optional<int> x = std::nullopt,
                  std::optional<int> y = std::nullopt);

}  // namespace mw
