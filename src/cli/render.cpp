#include "cli/render.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <iostream>
#include <memory>

#include "cli/cli_files.h"
#include "editing/document_paint.h"
#include "editing/level_document.h"
#include "level/level_codec.h"
#include "level/level_opening.h"
#include "map/level_map.h"
#include "map/level_tiles.h"
#include "view/level_renderer.h"
#include "paint/qpainter_surface.h"
#include "view/view_geometry.h"
#include "view/view_controls.h"

namespace mw {

namespace {

void PrintMessages(const Messages& messages) {
    for (const Message& m : messages) std::cerr << m.title << ": " << m.text << '\n';
}

}  // namespace

int RenderCommand(const std::string& romPath, int level, const std::string& outPng, const RenderOptions& options,
                  const std::string& defsDir) {
    const int zoom = options.zoom, width = options.width, height = options.height;
    if (std::find(std::begin(kZoomLevels), std::end(kZoomLevels), zoom) == std::end(kZoomLevels)) {
        std::cerr << "marlwick-cli: --zoom must be one of 4, 8, 12, 16, 24, 32, 64\n";
        return 2;
    }

    // Text needs a GUI application; the offscreen platform needs no display.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        static int argc = 3;
        static char arg0[] = "marlwick-cli", arg1[] = "-platform", arg2[] = "offscreen";
        static char* argv[] = {arg0, arg1, arg2, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }

    DefinitionTables defs;
    if (std::optional<DefinitionError> error = LoadDefinitions(defsDir, defs)) {
        std::cerr << "marlwick-cli: " << error->describe() << '\n';
        return 1;
    }
    LevelDocument document(defs);
    if (!OpenCommandRom(romPath, document.rom)) return 1;
    LevelLoad load = LoadLevelIndex(document.rom, defs, level);
    PrintMessages(load.messages);
    if (!load.loaded()) {
        std::cerr << "marlwick-cli: level " << std::hex << std::uppercase << level << " could not be loaded\n";
        return 1;
    }
    document.Load(std::move(load.level));

    ViewState view;
    ApplyZoom(view, zoom);
    view.viewWidth = static_cast<float>(width);
    view.viewHeight = static_cast<float>(height);
    UpdateScrollRanges(view);
    if (options.hasOrigin) {
        view.hsc.value = options.x;
        view.vsc.value = options.y;
    } else {
        ScrollToOpening(view, WhereLevelOpens(document.rom, defs, document.level()));
    }
    RebuildVisibleList(document.level(), view);

    // The tiles, unless only the boxes are asked for.
    LevelMap map;
    LevelTiles tiles;
    TileLayer layer;
    if (options.layers != RenderOptions::Layers::BoxesOnly) {
        LevelMapper mapper;
        map = mapper.make(document.rom, defs, document.level());
        tiles.update(document.rom, defs, document.level());
        if (map.made && tiles.available()) {
            layer = TileLayer{map.cells, &tiles.tiles()};
        } else {
            const std::string why = map.made ? tiles.infoText() : DescribeMap(map);
            if (options.layers == RenderOptions::Layers::TilesOnly) {
                std::cerr << "marlwick-cli: level " << std::hex << std::uppercase << level
                          << " has no tiles to draw: " << why << "\nNothing was written.\n";
                return 1;
            }
            std::cerr << "marlwick-cli: drawing boxes only: " << why << '\n';
        }
    }

    QImage image(width, height, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QPainterSurface surface;
        surface.begin(&painter, width, height);
        if (options.layers == RenderOptions::Layers::TilesOnly)
            PaintTilesOnly(view, layer, surface);
        else
            PaintDocument(document, defs, view, surface, std::nullopt, layer.usable() ? &layer : nullptr);
        surface.end();
    }
    // Encoded in memory first, so that the file is only ever replaced whole.
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        std::cerr << "marlwick-cli: could not encode the PNG for " << outPng << "; nothing was written\n";
        return 1;
    }
    return WriteOutputFile(outPng, std::vector<uint8_t>(png.begin(), png.end())) ? 0 : 1;
}

}  // namespace mw
