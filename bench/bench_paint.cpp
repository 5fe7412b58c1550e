// Painting and start-up: the editor's full repaint of the whole level at
// zoom 4 (a 1024 by 512 view) with 550 labelled entries and the small grid
// into a QImage, against the same boxes and labels drawn with bare QPainter
// calls; and the start-up work (definitions, palette, level 0) without the
// dialogs. This file also holds the benchmark program's main(), which
// brings up the offscreen GUI application that text drawing needs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <fstream>
#include <memory>

#include "definitions/definition_tables.h"
#include "editing/level_editor.h"
#include "level/demo_rom.h"
#include "level/object_caption.h"
#include "shell/frmLevel.h"
#include "paint/qpainter_surface.h"
#include "support/rom_builder.h"
#include "view/view_controls.h"
#include "view/view_geometry.h"

namespace {

using namespace mw;

constexpr int kViewWidth = 1024;
constexpr int kViewHeight = 512;
constexpr int kEntries = 550;

// 550 entries of the shipped definitions spread over the whole level:
// five-byte and four-byte objects of several sizes, extended objects and
// sprites, every one labelled (cross-section mode is off), and 12 exits.
void FillLevel(LevelEditor& ed) {
    ed.defs = test::ShippedDefinitions();
    LevelState level;
    test::Lcg next(4242);
    for (int k = 0; k < kEntries; ++k) {
        LevelObject o;
        o.x = static_cast<uint8_t>(next(250));
        o.y = static_cast<uint8_t>(next(124));
        switch (k % 4) {
            case 0: o.id = 0x01; o.width = static_cast<int16_t>(2 + next(12)); o.height = static_cast<int16_t>(1 + next(6)); break;
            case 1: o.id = 0x0D; o.width = static_cast<int16_t>(2 + next(10)); o.height = 1; break;
            case 2: o.id = 0x00; o.extId = static_cast<uint8_t>(next(64)); o.width = 2; o.height = 2; break;
            default: o.id = static_cast<uint8_t>(next(256)); o.extId = static_cast<uint8_t>(next(2)); o.isSprite = true; break;
        }
        level.objectList.push_back(o);
    }
    for (int k = 0; k < 12; ++k)
        level.exitList.push_back({static_cast<uint8_t>(k), static_cast<uint8_t>(k % 8), 0, 0, 0, 0});
    ed.document.Load(std::move(level));
}

struct PaintFixture {
    RecordingPrompter prompter;
    LevelEditor ed{prompter};
    QImage image{kViewWidth, kViewHeight, QImage::Format_RGB32};

    PaintFixture() {
        FillLevel(ed);
        ApplyZoom(ed.view, 4);
        ed.view.viewWidth = kViewWidth;
        ed.view.viewHeight = kViewHeight;
        ed.view.options.smallGrid = true;
        UpdateScrollRanges(ed.view);
        RebuildVisibleList(ed.level, ed.view);
    }
};

void BM_FormPaintZoom4(benchmark::State& state) {
    PaintFixture f;
    QPainterSurface surface;
    for (auto _ : state) {
        QPainter painter(&f.image);
        surface.begin(&painter, kViewWidth, kViewHeight);
        f.ed.Form_Paint(surface);
        surface.end();
    }
    state.counters["entries"] = static_cast<double>(f.ed.view.visibleList.size());
}
BENCHMARK(BM_FormPaintZoom4)->Unit(benchmark::kMillisecond);

// The same picture with plain QPainter calls: clear, the grids, then per
// entry a filled box and its label, with no state tracking and no caching.
void BM_BarePainterZoom4(benchmark::State& state) {
    PaintFixture f;
    const ViewState& v = f.ed.view;
    const int z = v.zoom;
    QFont font(QString::fromLatin1(kLabelFontFamily));
    font.setPixelSize(LabelPixelSize(v.fontSize));
    std::string caption;
    for (auto _ : state) {
        QPainter p(&f.image);
        p.setFont(font);
        p.fillRect(0, 0, kViewWidth, kViewHeight, QColor(240, 240, 240));
        p.setPen(QColor(192, 192, 255));
        for (int tx = 0; tx <= 256; ++tx) p.drawLine(tx * z, 0, tx * z, 128 * z);
        for (int ty = 0; ty <= 128; ++ty) p.drawLine(0, ty * z, 256 * z, ty * z);
        p.setPen(Qt::black);
        for (int tx = 0; tx <= 256; tx += 16) p.drawLine(tx * z, 0, tx * z, 128 * z);
        for (int ty = 0; ty <= 128; ty += 16) p.drawLine(0, ty * z, 256 * z, ty * z);
        for (const int16_t i : v.visibleList) {
            const LevelObject& e = f.ed.level.objectList[static_cast<size_t>(i)];
            const TileExtent t = ExtentOf(e);
            const Rgb c = FillColourOf(f.ed.defs, e);
            const QRect box(t.left * z, t.top * z, (t.right - t.left) * z, (t.bottom - t.top) * z);
            p.setPen(Qt::black);
            p.setBrush(QColor(c.r, c.g, c.b));
            p.drawRect(box);
            ObjectCaptionInto(caption, f.ed.defs, e, false);
            p.setPen(e.isSprite ? QColor(0, 128, 0) : QColor(0, 0, 0));
            p.drawText(box.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       QString::fromStdString(caption));
        }
    }
}
BENCHMARK(BM_BarePainterZoom4)->Unit(benchmark::kMillisecond);

// Start-up without the dialogs: definition files, the 1,024-item palette,
// opening the demo ROM and loading level 0 with its visible list.
struct DemoRom {
    std::string dir = MW_DATA_DIR;
    std::string path;
    DemoRom() {
        test::RomImage rom;
        rom.bytes = test::ShippedDemoRom();
        path = rom.writeTemp("demo.smc");
    }
};

void BM_StartUpCore(benchmark::State& state) {
    static const DemoRom demo;
    for (auto _ : state) {
        RecordingPrompter prompter;
        LevelEditor ed(prompter);
        ed.session.Form_Load(demo.dir, demo.path);
        ed.Form_Resize(845, 504);
        benchmark::DoNotOptimize(ed.level.objectList.data());
        if (!ed.session.levelLoaded) state.SkipWithError("level 0 of the demo ROM did not load");
    }
}
BENCHMARK(BM_StartUpCore)->Unit(benchmark::kMillisecond);

// The same with the main window built and filled (offscreen, not shown).
void BM_StartUpWindow(benchmark::State& state) {
    static const DemoRom demo;
    for (auto _ : state) {
        RecordingPrompter prompter;
        auto w = std::make_unique<frmLevel>(prompter);
        if (!w->Form_Load(demo.dir, demo.path)) state.SkipWithError("start-up failed");
        benchmark::DoNotOptimize(w.get());
    }
}
BENCHMARK(BM_StartUpWindow)->Unit(benchmark::kMillisecond);

// One pointer move over the view with no button held, through the window:
// the window copies what the change notices name and the pointer's own
// state (arg 0), or everything after it as it once did (arg 1).
void BM_WindowHoverMove(benchmark::State& state) {
    static const DemoRom demo;
    RecordingPrompter prompter;
    auto w = std::make_unique<frmLevel>(prompter);
    if (!w->Form_Load(demo.dir, demo.path)) state.SkipWithError("start-up failed");
    const bool copyAll = state.range(0) == 1;
    float px = 8;
    for (auto _ : state) {
        px = px >= 400 ? 8 : px + 5;
        w->Level_MouseMove(0, px, 120);
        if (copyAll) w->SyncFromEditor();
    }
}
BENCHMARK(BM_WindowHoverMove)->Arg(0)->Arg(1)->ArgName("copyAll");

// One step of a drag of the current entry through the window: the document
// changes every step, so the window also brings its entries table, panels
// and status line up to date (compare with the hover move above).
void BM_WindowDragStep(benchmark::State& state) {
    static const DemoRom demo;
    RecordingPrompter prompter;
    auto w = std::make_unique<frmLevel>(prompter);
    if (!w->Form_Load(demo.dir, demo.path)) state.SkipWithError("start-up failed");
    w->editor().SelectObject(0);
    w->editor().tool.dragMode = DragMode::MOV;
    float px = 40;
    for (auto _ : state) {
        px = px >= 380 ? 40 : px + 16;  // a new tile every step
        w->Level_MouseMove(1, px, 120);
    }
    state.counters["entries"] = static_cast<double>(w->tblEntries->rowCount());
}
BENCHMARK(BM_WindowDragStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setFont(ControlFont());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
