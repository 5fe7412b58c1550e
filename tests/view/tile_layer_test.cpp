// The tile layer: what it draws, after any sequence of scrolls, zooms and
// map changes (it keeps the last picture and redraws only what changed).
#include <gtest/gtest.h>

#include <random>

#include "map/map16_tiles.h"
#include "support/recording_surface.h"
#include "support/rom_builder.h"
#include "view/level_renderer.h"
#include "view/tile_layer.h"
#include "view/view_geometry.h"

namespace mw {
namespace {

TEST(TileLayer, EveryPaintShowsTheCurrentMapWhateverChangedBefore) {
    const std::vector<uint8_t> rom = test::ShippedDemoRom();
    const RomImageView v = ImageOf(rom);
    Map16Tiles tiles;
    auto rebuild = [&](int backgroundValue) {
        GraphicsHeader h;
        h.backgroundColour = backgroundValue;
        tiles.reset(TileSetKey{}, v.image, BuildLevelGraphics(v, h, false));
    };
    rebuild(0);
    std::mt19937 rng(5);
    const uint16_t numbers[] = {0x0000, 0x0100, 0x0101, 0x0102, 0x0103, 0x0104, 0x0105, 0x0106, 0x0107, 0x0108, 0x0109, 0x010A};
    std::vector<uint16_t> map(256 * 128);
    for (auto& n : map) n = numbers[rng() % 12];
    const int zooms[] = {4, 8, 12, 16, 24, 32, 64};
    ViewState view;
    view.zoom = 16;
    const Argb outside = 0xFF123456;
    int width = 300, height = 200;
    for (int step = 0; step < 120; ++step) {
        switch (rng() % 6) {
            case 0: view.zoom = zooms[rng() % 7]; break;
            case 1: view.hsc.value = static_cast<int>(rng() % 250) - 4, view.vsc.value = static_cast<int>(rng() % 124) - 4; break;
            case 2: view.hsc.value += static_cast<int>(rng() % 5) - 2, view.vsc.value += static_cast<int>(rng() % 5) - 2; break;
            case 3:
                for (int k = 0; k < 20; ++k) map[rng() % map.size()] = numbers[rng() % 12];
                break;
            case 4: rebuild(static_cast<int>(rng() % 32)); break;
            default: width = 100 + static_cast<int>(rng() % 300), height = 100 + static_cast<int>(rng() % 200); break;
        }
        RecordingSurface surface(width, height);
        DrawTiles(view, TileLayer{map, &tiles}, outside, surface);
        ASSERT_EQ(surface.lastPicture.size(), static_cast<size_t>(width * height));
        int wrong = 0;
        for (int py = 0; py < height; ++py)
            for (int px = 0; px < width; ++px) {
                const int tx = PixelToTileX(view, static_cast<float>(px)), ty = PixelToTileY(view, static_cast<float>(py));
                Argb expected = outside;
                if (tx >= 0 && tx < 256 && ty >= 0 && ty < 128) {
                    const int gx = px - TileToPixelX(view, tx), gy = py - TileToPixelY(view, ty);
                    expected = tiles.tile(map[static_cast<size_t>(ty * 256 + tx)], view.zoom)[gy * view.zoom + gx];
                }
                wrong += surface.lastPicture[static_cast<size_t>(py * width + px)] != expected;
            }
        ASSERT_EQ(wrong, 0) << "step " << step << " zoom " << view.zoom << " at " << view.scrollX() << "," << view.scrollY();
    }
}

TEST(TileLayer, OverTilesObjectsAreOutlinesAndSpritesStayBoxes) {
    const std::vector<uint8_t> rom = test::ShippedDemoRom();
    const RomImageView v = ImageOf(rom);
    Map16Tiles tiles;
    tiles.reset(TileSetKey{}, v.image, BuildLevelGraphics(v, GraphicsHeader{}, false));
    std::vector<uint16_t> map(256 * 128, 0x0100);
    LevelState level;
    level.objectList = {MakeObject(0x01, 2, 2, 4, 3), MakeSprite(0x30, 8, 2)};
    ViewState view;
    view.viewWidth = 512;
    view.viewHeight = 256;
    view.visibleList = {0, 1};
    const DefinitionTables defs = test::SmallDefinitions();
    for (bool withTiles : {false, true}) {
        RecordingSurface surface(512, 256);
        const TileLayer layer{map, &tiles};
        PaintView(level, defs, view, -1, surface, {}, withTiles ? &layer : nullptr);
        const bool drewTiles = std::any_of(surface.calls.begin(), surface.calls.end(),
                                           [](const SurfaceCall& c) { return c.op == SurfaceOp::Pixels; });
        EXPECT_EQ(drewTiles, withTiles);
        // The first box at the object's place, the first at the sprite's.
        auto boxAt = [&](float x) {
            return *std::find_if(surface.calls.begin(), surface.calls.end(),
                                 [&](const SurfaceCall& c) { return c.op == SurfaceOp::Box && c.x1 == x; });
        };
        const SurfaceCall object = boxAt(2 * 16), sprite = boxAt(8 * 16);
        EXPECT_EQ(object.state.fillPattern, withTiles ? FillPattern::None : FillPattern::Solid);
        EXPECT_EQ(sprite.state.fillPattern, FillPattern::Solid);
        if (withTiles) {
            EXPECT_EQ(object.state.foreColor, object.state.fillColor) << "outlined in its own colour";
        }
    }
}

}  // namespace
}  // namespace mw
