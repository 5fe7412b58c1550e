// The editing hot paths: one hover step of the mouse (every hit test, the
// pointer shape, the tooltip and the position readout) over 2,000 visible
// entries, and rebuilding the visible list over 5,000 entries.
#include <benchmark/benchmark.h>

#include "editing/level_editor.h"
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
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<uint32_t>(range));
    };
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
    ed.RebuildVisibleList();
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
        ed.Level_MouseMove(0, 0, px, py);
        benchmark::DoNotOptimize(ed.MousePointer);
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
        ed.RebuildVisibleList();
        benchmark::DoNotOptimize(ed.view.visibleList.data());
    }
    state.counters["visible"] = static_cast<double>(ed.view.visibleList.size());
}
BENCHMARK(BM_RebuildVisibleList);

}  // namespace
