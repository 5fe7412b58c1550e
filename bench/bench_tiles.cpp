// The level's graphics: character memory, colour rows and the pictures of
// the map16 numbers a large level uses, built from the demo ROM.
#include <benchmark/benchmark.h>

#include "level/demo_rom.h"
#include "map/map16_tiles.h"
#include "support/rom_builder.h"

namespace {

using namespace mw;

const std::vector<uint8_t>& DemoRom() {
    static const std::vector<uint8_t> rom = test::ShippedDemoRom();
    return rom;
}

// Everything a level load builds: the files decompressed into the character
// memory (three LZ1, five LZ16), the start-of-level animation run, the
// colours, and 600 distinct map16 pictures (a large level of the game uses
// a few hundred).
void BM_LevelGraphicsAndTileCache(benchmark::State& state) {
    const RomImageView v = ImageOf(DemoRom());
    GraphicsHeader h;
    h.bg1Tileset = 3;
    for (auto _ : state) {
        Map16Tiles tiles;
        tiles.reset(TileSetKey{}, v.image, BuildLevelGraphics(v, h, false));
        for (int n = 0; n < 600; ++n) benchmark::DoNotOptimize(tiles.tile(static_cast<uint16_t>(n * 7), 16));
    }
}
BENCHMARK(BM_LevelGraphicsAndTileCache)->Unit(benchmark::kMillisecond);

// The graphics alone (character memory, animation, colours).
void BM_LevelGraphicsOnly(benchmark::State& state) {
    const RomImageView v = ImageOf(DemoRom());
    GraphicsHeader h;
    for (auto _ : state) benchmark::DoNotOptimize(BuildLevelGraphics(v, h, false));
}
BENCHMARK(BM_LevelGraphicsOnly)->Unit(benchmark::kMillisecond);

}  // namespace

// ---- repaints with tiles ----

#include <QImage>
#include <QPainter>

#include "level/level_codec.h"
#include "map/level_map.h"
#include "map/level_tiles.h"
#include "paint/qpainter_surface.h"
#include "view/level_renderer.h"
#include "view/view_controls.h"
#include "view/view_geometry.h"

namespace {

// Demo level 0 with 200 more entries spread over the whole level (a few
// objects, as many as its bank has room for, and sprites), its map made by the demo's loader, in a
// 1024 x 768 view.
struct TiledView {
    test::TempDir dir;
    RomFile rom;
    LevelState level;
    LevelMap map;
    LevelTiles tiles;
    ViewState view;
    QImage image{1024, 768, QImage::Format_RGB32};

    TiledView() {
        const std::string path = dir.file("demo.smc");
        test::WriteFileBytes(path, DemoRom());
        std::string error;
        rom.open(path, error);
        level = LoadLevelIndex(rom, test::ShippedDefinitions(), 0).level;
        test::Lcg next(77);
        for (int k = 0; k < 200; ++k) {
            const int x = next(240), y = next(120);
            switch (k < 24 ? k % 4 : 3) {
                case 0: level.objectList.push_back(MakeObject(0x01, x, y, 2 + next(10), 1 + next(5))); break;
                case 1: level.objectList.push_back(MakeObject(0x0D, x, y, 2 + next(8), 1)); break;
                case 2: level.objectList.push_back(MakeObject(0x3C, x, y, 1, 2 + next(6))); break;
                default: level.objectList.push_back(MakeSprite(next(0x1F0), x, y)); break;
            }
        }
        LevelMapper mapper;
        map = mapper.make(rom, test::ShippedDefinitions(), level);
        tiles.update(rom, test::ShippedDefinitions(), level);
        view.viewWidth = 1024;
        view.viewHeight = 768;
    }
    void setZoom(int zoom, int x, int y) {
        ApplyZoom(view, zoom);
        UpdateScrollRanges(view);
        view.hsc.value = std::min(x, view.hsc.maximum);
        view.vsc.value = std::min(y, view.vsc.maximum);
        RebuildVisibleList(level, view);
    }
    void paint(bool withTiles) {
        QPainter painter(&image);
        static QPainterSurface surface;
        surface.begin(&painter, 1024, 768);
        TileLayer layer{map.cells, &tiles.tiles()};
        PaintView(level, test::ShippedDefinitions(), view, 0, surface, {0}, withTiles ? &layer : nullptr);
        surface.end();
    }
};

TiledView& Tiled() {
    static TiledView v;
    return v;
}

// Args: zoom, tiles (1) or boxes only (0), scrolled by a tile before every
// paint (1: the whole tile picture is composed again) or not (0).
void BM_RepaintWithTiles(benchmark::State& state) {
    TiledView& v = Tiled();
    if (!v.map.made || !v.tiles.available()) state.SkipWithError((v.map.reason + " / " + v.tiles.infoText()).c_str());
    const int zoom = static_cast<int>(state.range(0));
    const bool withTiles = state.range(1) != 0, scrolling = state.range(2) != 0;
    v.setZoom(zoom, 40, 40);
    v.paint(withTiles);  // the pictures of this zoom decoded once
    int step = 0;
    for (auto _ : state) {
        if (scrolling) v.setZoom(zoom, 40 + (++step & 1), 40);
        v.paint(withTiles);
    }
}
BENCHMARK(BM_RepaintWithTiles)
    ->Args({16, 1, 0})->Args({16, 0, 0})->Args({16, 1, 1})->Args({16, 0, 1})
    ->Args({8, 1, 1})->Args({8, 0, 1})->Args({4, 1, 1})->Args({4, 0, 1})->Args({64, 1, 1})
    ->ArgNames({"zoom", "tiles", "scroll"})->Unit(benchmark::kMillisecond);

// A drag step that changes the map: the object moves one tile, the map is
// made again by the level's code, and the view is repainted with tiles.
void BM_DragStepRemakesMapAndRepaints(benchmark::State& state) {
    TiledView& v = Tiled();
    v.setZoom(16, 0, 0);
    LevelMapper mapper;
    int step = 0;
    for (auto _ : state) {
        v.level.objectList[0].x = static_cast<uint8_t>(step++ & 7);
        v.map = mapper.make(v.rom, test::ShippedDefinitions(), v.level);
        v.tiles.update(v.rom, test::ShippedDefinitions(), v.level);
        v.paint(true);
    }
    state.counters["instructions"] = static_cast<double>(v.map.instructions);
}
BENCHMARK(BM_DragStepRemakesMapAndRepaints)->Unit(benchmark::kMillisecond);

}  // namespace
