// Dragging a selection: one mouse-move step of a drag (the move command and
// the repaint of the whole level at zoom 4 into a QImage) with 200 selected
// entries of a 450-object level, against the same step with the current
// entry alone selected.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "editing/level_editor.h"
#include "paint/qpainter_surface.h"
#include "support/rom_builder.h"
#include "view/view_controls.h"
#include "view/view_geometry.h"

namespace {

using namespace mw;

constexpr int kViewWidth = 1024;
constexpr int kViewHeight = 512;

// 450 five-byte and four-byte objects and extended objects spread over the
// level, none in its top row of screens, so that a group can move up and down.
void FillLevel(LevelEditor& ed) {
    ed.defs = test::ShippedDefinitions();
    LevelState level;
    test::Lcg next(99);
    for (int k = 0; k < 450; ++k) {
        LevelObject o;
        o.x = static_cast<uint8_t>(4 + next(240));
        o.y = static_cast<uint8_t>(16 + next(100));
        switch (k % 3) {
            case 0: o.id = 0x01; o.width = static_cast<int16_t>(2 + next(12)); o.height = static_cast<int16_t>(1 + next(6)); break;
            case 1: o.id = 0x0D; o.width = static_cast<int16_t>(2 + next(10)); o.height = 1; break;
            default: o.id = 0x00; o.extId = static_cast<uint8_t>(next(64)); o.width = 2; o.height = 2; break;
        }
        level.objectList.push_back(o);
    }
    level.objectBytesUsed = level.objectBytesAvailable = 2000;
    ed.document.Load(std::move(level));
    ed.session.levelLoaded = true;
}

void BM_DragStepWithRepaint(benchmark::State& state) {
    const int selected = static_cast<int>(state.range(0));
    RecordingPrompter prompter;
    LevelEditor ed(prompter);
    FillLevel(ed);
    ApplyZoom(ed.view, 4);
    ed.view.viewWidth = kViewWidth;
    ed.view.viewHeight = kViewHeight;
    UpdateScrollRanges(ed.view);
    RebuildVisibleList(ed.level, ed.view);
    // Grab the entry on top at the middle of the first entry's origin tile,
    // with `selected` entries selected (it among them).
    const LevelObject& first = ed.level.objectList[0];
    const float px = static_cast<float>(TileToPixelX(ed.view, int(first.x))) + 2;
    const float py = static_cast<float>(TileToPixelY(ed.view, int(first.y))) + 2;
    const int grabbed = ed.tool.FindObjectAt(px, py);
    std::vector<int> group;
    for (int i = 0; static_cast<int>(group.size()) < selected - 1; ++i)
        if (i != grabbed) group.push_back(i);
    group.push_back(grabbed);
    ed.commands.SelectEntries(group);
    ed.tool.Level_MouseDown(1, 0, px, py);
    if (ed.commands.SelectedIndices().size() != static_cast<size_t>(selected)) state.SkipWithError("wrong selection");

    QImage image(kViewWidth, kViewHeight, QImage::Format_RGB32);
    QPainterSurface surface;
    bool down = false;
    for (auto _ : state) {
        // One tile down and back up, alternately.
        down = !down;
        ed.tool.Level_MouseMove(1, 0, px, py + (down ? 4.0f : 0.0f));
        QPainter painter(&image);
        surface.begin(&painter, kViewWidth, kViewHeight);
        ed.Form_Paint(surface);
        surface.end();
    }
    ed.tool.Level_MouseUp(1, 0, px, py);
    state.counters["selected"] = static_cast<double>(ed.commands.SelectedIndices().size());
    state.counters["undoBytes"] = static_cast<double>(ed.document.stack().memoryBytes());
}
BENCHMARK(BM_DragStepWithRepaint)->Arg(1)->Arg(200)->ArgName("selected")->Unit(benchmark::kMillisecond);

}  // namespace
