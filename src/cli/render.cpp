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
#include "paint/qpainter_surface.h"
#include "view/view_geometry.h"
#include "view/view_controls.h"

namespace mw {

namespace {

void PrintMessages(const RecordingPrompter& prompter) {
    for (const PromptMessage& m : prompter.messages) std::cerr << m.title << ": " << m.text << '\n';
}

}  // namespace

int RenderCommand(const std::string& romPath, int level, const std::string& outPng, int zoom, int width,
                  int height, const std::string& defsDir) {
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

    RecordingPrompter prompter;
    DefinitionTables defs;
    if (std::optional<DefinitionError> error = LoadDefinitions(defsDir, defs)) {
        std::cerr << "marlwick-cli: " << error->describe() << '\n';
        return 1;
    }
    LevelDocument document(defs);
    if (!OpenCommandRom(romPath, document.rom)) return 1;
    LevelState loaded;
    const LoadResult result = LoadLevelIndex(document.rom, defs, level, prompter, loaded);
    PrintMessages(prompter);
    if (result != LoadResult::Loaded) {
        std::cerr << "marlwick-cli: level " << std::hex << std::uppercase << level << " could not be loaded\n";
        return 1;
    }
    document.Load(std::move(loaded));

    ViewState view;
    ApplyZoom(view, zoom);
    view.viewWidth = static_cast<float>(width);
    view.viewHeight = static_cast<float>(height);
    UpdateScrollRanges(view);
    view.hsc.value = 0;
    view.vsc.value = 0;
    RebuildVisibleList(document.level(), view);

    QImage image(width, height, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QPainterSurface surface;
        surface.begin(&painter, width, height);
        PaintDocument(document, defs, view, surface);
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
