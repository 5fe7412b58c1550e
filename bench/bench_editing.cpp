// The editing hot paths: one hover step of the mouse (every hit test, the
// pointer shape, the tooltip and the position readout) over 2,000 visible
// entries, rebuilding the visible list over 5,000 entries, a drag step with
// and without the undo stack, and the stack's memory.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "editing/level_editor.h"
#include "editing/mouse.h"
#include "support/rom_builder.h"
#include "view/view_geometry.h"

namespace {

using namespace mw;

// `count` entries spread over the level (none in its top-left 10 by 10
// tiles): five-byte, four-byte and extended objects and sprites, plus 20
// screen exits. At zoom 4 with a 1024 by 512 view the whole level is in view.
void FillLevel(LevelEditor& ed, int count) {
    ed.defs = test::SmallDefinitions();
    LevelState level;
    test::Lcg next(12345);
    for (int k = 0; k < count; ++k) {
        LevelObject o;
        o.x = static_cast<uint8_t>(10 + next(240));
        o.y = static_cast<uint8_t>(10 + next(110));
        switch (k % 4) {
            case 0: o.id = 0x01; o.width = static_cast<int16_t>(1 + next(8)); o.height = static_cast<int16_t>(1 + next(4)); break;
            case 1: o.id = 0x02; o.width = static_cast<int16_t>(1 + next(16)); o.height = 1; break;
            case 2: o.id = 0x00; o.extId = 0x10; o.width = 3; o.height = 2; break;
            default: o.id = static_cast<uint8_t>(next(256)); o.isSprite = true; break;
        }
        level.objectList.push_back(o);
    }
    for (int k = 0; k < 20; ++k)
        level.exitList.push_back({static_cast<uint8_t>(1 + k % 15), static_cast<uint8_t>(k % 8), 0, 0, 0, 0});
    ed.document.Load(std::move(level));
}

void BM_HoverStep(benchmark::State& state) {
    RecordingPrompter prompter;
    LevelEditor ed(prompter);
    ed.Form_Resize(432 + 1024, 512 + 16);
    ed.mnuViewZoom_Click(4);
    FillLevel(ed, 2000);
    RebuildVisibleList(ed.level, ed.view);
    if (ed.view.visibleLast() != 1999) state.SkipWithError("not every entry is in view");
    // Over empty space every test scans its whole list; over the level the
    // pointer lands on bodies, edges and tabs.
    const bool empty = state.range(0) == 0;
    float px = 16, py = 16;
    for (auto _ : state) {
        if (!empty) {
            px = px >= 1000 ? 41 : px + 37;
            py = py >= 500 ? 43 : py + 13;
        }
        ed.tool.Level_MouseMove(0, 0, px, py);
        benchmark::DoNotOptimize(ed.tool.MousePointer);
    }
}
BENCHMARK(BM_HoverStep)->Arg(0)->Arg(1)->ArgName("overLevel");

void BM_RebuildVisibleList(benchmark::State& state) {
    RecordingPrompter prompter;
    LevelEditor ed(prompter);
    ed.Form_Resize(845, 504);
    FillLevel(ed, 5000);
    ed.hscLevelPos_Change(100);
    ed.vscLevelPos_Change(40);
    for (auto _ : state) {
        RebuildVisibleList(ed.level, ed.view);
        benchmark::DoNotOptimize(ed.view.visibleList.data());
    }
    state.counters["visible"] = static_cast<double>(ed.view.visibleList.size());
}
BENCHMARK(BM_RebuildVisibleList);

}  // namespace

namespace {

// One step of a drag (a left-button move in MOV mode) over a 450-object
// level: through the document, where it merges into the drag's command
// (arg 1), against the same step writing the entry in place as the editor
// did before it had an undo stack (arg 0).
void BM_DragStep(benchmark::State& state) {
    RecordingPrompter prompter;
    LevelEditor ed(prompter);
    ed.Form_Resize(845, 504);
    FillLevel(ed, 450);
    RebuildVisibleList(ed.level, ed.view);
    const bool undoable = state.range(0) == 1;
    ed.SelectObject(0);
    ed.tool.dragMode = DragMode::MOV;
    LevelState bare = ed.level;
    float px = 40, py = 40;
    for (auto _ : state) {
        px = px >= 380 ? 40 : px + 16;  // a new tile every step
        if (undoable) {
            ed.tool.Level_MouseMove(1, 0, px, py);
        } else {
            ed.tool.MousePointer = PointerShape::Default;
            ed.tool.lblMousePos = "(" + SignedHex(PixelToTileX(ed.view, px)) + "," + SignedHex(PixelToTileY(ed.view, py)) + ")";
            LevelObject& e = bare.objectList[0];
            e.x = static_cast<uint8_t>(std::clamp(PixelToTileX(ed.view, px), 0, kLevelColumns - 1));
            e.y = static_cast<uint8_t>(std::clamp(PixelToTileY(ed.view, py), 0, kLevelRows - 1));
            ed.repaintRequested = true;
        }
        benchmark::DoNotOptimize(ed.level.objectList.data());
        benchmark::DoNotOptimize(bare.objectList.data());
    }
    state.counters["commands"] = ed.document.stack().count();
}
BENCHMARK(BM_DragStep)->Arg(0)->Arg(1)->ArgName("undoable");

// The undo stack's memory on a 450-object level: 1,000 single-entry moves
// (arg 0), or one Clear of the whole level (arg 1, the largest command the
// editor makes). Reported as counters; the time is that of building it.
void BM_UndoStackMemory(benchmark::State& state) {
    size_t bytes = 0;
    int count = 0;
    for (auto _ : state) {
        RecordingPrompter prompter;
        LevelEditor ed(prompter);
        ed.Form_Resize(845, 504);
        FillLevel(ed, 450);
        ed.session.levelLoaded = true;  // Clear refuses without a level
        if (state.range(0) == 1) {
            ed.commands.mnuRandomLevelClear_Click();
        } else {
            for (int k = 0; k < 1000; ++k) {
                ed.SelectObject(k % 450);
                ed.commands.mnuEditNudge_Click(k % 2 ? 1 : -1, 0);
            }
        }
        bytes = ed.document.stack().memoryBytes();
        count = ed.document.stack().count();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["KiB"] = static_cast<double>(bytes) / 1024.0;
    state.counters["commands"] = count;
}
BENCHMARK(BM_UndoStackMemory)->Arg(0)->Arg(1)->ArgName("clears")->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// A drag step on the demo ROM whose loader was replaced by one that runs
// 2.5 million instructions (as long as the largest real level) and returns:
// mode 0 does not re-make the map, mode 1 asks the background worker for it
// (what the window does on each painted frame; the step also takes any map
// that is ready), mode 2 makes it on the spot.
void BM_DragStepWithMap(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    test::TempDir dir;
    std::vector<uint8_t> rom = test::ShippedDemoRom();
    const std::vector<uint8_t> busyLoader = {
        0xC2, 0x30,              // REP #$30
        0xA0, 0x14, 0x00,        // LDY #20
        0xA2, 0x24, 0xF4,        // outer: LDX #62500
        0xCA, 0xD0, 0xFD,        // inner: DEX; BNE inner
        0x88, 0xD0, 0xF7,        // DEY; BNE outer
        0xE2, 0x30, 0x6B,        // SEP #$30; RTL
    };
    std::copy(busyLoader.begin(), busyLoader.end(), rom.begin() + 0x80D5D);
    test::WriteFileBytes(dir.file("busy.smc"), rom);
    RecordingPrompter prompter;
    LevelEditor ed(prompter);
    ed.session.Form_Load(MW_DATA_DIR, dir.file("busy.smc"));
    ed.Form_Resize(845, 504);
    if (mode == 1) ed.map.SetMapReadyNotifier([] {});
    ed.map.UpdateMap();
    ed.SelectObject(0);
    ed.tool.dragMode = DragMode::MOV;
    float px = 40, py = 40;
    int maps = 0;
    for (auto _ : state) {
        px = px >= 380 ? 40 : px + 16;
        ed.tool.Level_MouseMove(1, 0, px, py);
        if (mode != 0) ed.map.UpdateMap();
        if (mode == 1) maps += ed.map.TakeMap();
        benchmark::DoNotOptimize(ed.map.levelMap().cells.data());
    }
    state.counters["backgroundMaps"] = maps;
    state.counters["instructions"] = static_cast<double>(ed.map.levelMap().instructions);
}
BENCHMARK(BM_DragStepWithMap)->Arg(0)->Arg(1)->Arg(2)->ArgName("map")->Unit(benchmark::kMicrosecond);

}  // namespace
