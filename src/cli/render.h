#pragma once
// marlwick-cli render: the editor's own paint of one level, offscreen, into a PNG.
#include <string>

namespace mw {

struct RenderOptions {
    int zoom = 16;       // 4, 8, 12, 16, 24, 32 or 64
    int width = 1024;    // 1 to 16384, as the command line has checked
    int height = 512;
    enum class Layers { Both, TilesOnly, BoxesOnly } layers = Layers::Both;
    // The view's top-left tile; without it, the view opens where the editor
    // opens it on loading (ScrollToOpening).
    bool hasOrigin = false;
    int x = 0, y = 0;    // 0-255, 0-127
};

// Loads level `level` (pointer table index) of the ROM at `romPath` with
// the definition files of `defsDir`, makes its map with the game's code and
// paints the view into `outPng` as the window paints it: the level's tiles
// under the boxes when the map and the graphics could be made (else the
// boxes alone, saying why on standard error). Tiles only: the tiles over the
// level's background colour, nothing else; refused (status 1) when there are
// none. Messages raised by the load go to standard error. Returns the
// process exit status: 0 on success, 1 when the ROM, the level or the image
// could not be handled, 2 for any other zoom.
int RenderCommand(const std::string& romPath, int level, const std::string& outPng, const RenderOptions& options,
                  const std::string& defsDir);

}  // namespace mw
