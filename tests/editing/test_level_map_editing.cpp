#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "editing/level_editor.h"
#include "support/recording_surface.h"
#include "support/rom_builder.h"
#include "view/view_geometry.h"

namespace mw::test {
namespace {

// The editor on the demo ROM, level 0.
class MapEditingTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingPrompter prompter;
    LevelEditor ed{prompter};

    void SetUp() override {
        const std::vector<uint8_t> demo = ShippedDemoRom();
        const std::string path = dir.file("demo.smc");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(demo.data()), static_cast<std::streamsize>(demo.size()));
        ed.session.Form_Load(MW_DATA_DIR, path);
        ASSERT_FALSE(ed.quitRequested);
        ed.Form_Resize(845, 504);
    }
    // A left-button drag of entry `index` by (dx, dy) tiles.
    void Drag(int index, int dx, int dy) {
        ed.SelectObject(index);
        ed.panels.cmdGotoObject_Click();
        const LevelObject& e = ed.level.objectList[static_cast<size_t>(index)];
        const float px = static_cast<float>(TileToPixelX(ed.view, e.x)) + 1;
        const float py = static_cast<float>(TileToPixelY(ed.view, e.y)) + 1;
        ed.tool.Level_MouseDown(1, 0, px, py);
        for (int k = 1; k <= 4; ++k) {
            ed.tool.Level_MouseMove(1, 0, px + 16.0f * dx * k / 4, py + 16.0f * dy * k / 4);
            RecordingSurface frame;
            ed.Form_Paint(frame);  // a painted frame per step of the drag
        }
        ed.tool.Level_MouseUp(1, 0, px + 16.0f * dx, py + 16.0f * dy);
    }
    LevelMap MapOfCurrentLevel() {
        LevelMapper mapper;
        return mapper.make(ed.rom, ed.defs, ed.level);
    }
};

TEST_F(MapEditingTest, TheMapFollowsEditsUndoRedoAndLoads) {
    ed.map.UpdateMap();
    ASSERT_TRUE(ed.map.levelMap().made) << ed.panels.lblMapInfo;
    EXPECT_EQ(ed.panels.lblMapInfo.rfind("Map: made by the game's code, ", 0), 0u) << ed.panels.lblMapInfo;
    const std::vector<uint16_t> loaded = ed.map.levelMap().cells;
    // The pipe at (110, 8): two columns; moved 3 tiles right.
    int pipe = -1;
    for (int i = 0; i < static_cast<int>(ed.level.objectList.size()); ++i)
        if (ed.level.objectList[size_t(i)].id == 0x3C && ed.level.objectList[size_t(i)].x == 110) pipe = i;
    ASSERT_GE(pipe, 0);
    Drag(pipe, 3, 0);
    ASSERT_EQ(ed.level.objectList[size_t(pipe)].x, 113);
    ed.map.UpdateMap();
    EXPECT_EQ(ed.map.levelMap().at(110, 8), 0);
    EXPECT_EQ(ed.map.levelMap().at(113, 8), 0x0108);
    EXPECT_EQ(ed.map.levelMap().cells, MapOfCurrentLevel().cells);
    const std::vector<uint16_t> moved = ed.map.levelMap().cells;

    ed.commands.mnuEditUndo_Click();
    ed.map.UpdateMap();
    EXPECT_EQ(ed.map.levelMap().cells, loaded);
    ed.commands.mnuEditRedo_Click();
    RecordingSurface frame;
    ed.Form_Paint(frame);
    EXPECT_EQ(ed.map.levelMap().cells, moved);

    // The title screen keeps its boxes and says why.
    ASSERT_TRUE(ed.session.LoadLevelIndex(0x38));  // the unsaved move is dropped
    ed.map.UpdateMap();
    EXPECT_FALSE(ed.map.levelMap().made);
    EXPECT_NE(ed.panels.lblMapInfo.find("no header"), std::string::npos) << ed.panels.lblMapInfo;
}

TEST_F(MapEditingTest, InTheBackgroundTheLastStateAlwaysGetsItsMap) {
    std::atomic<int> ready{0};
    ed.map.SetMapReadyNotifier([&] { ++ready; });
    // Wait (bounded) for a map from the worker that matches `expected`.
    auto settle = [&](const std::vector<uint16_t>& expected) {
        for (int k = 0; k < 10000; ++k) {
            if (ed.map.TakeMap() && ed.map.levelMap().cells == expected) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    };
    ed.map.UpdateMap();
    ed.unshown = 0;
    ASSERT_TRUE(settle(MapOfCurrentLevel().cells));
    EXPECT_TRUE(ed.repaintRequested);
    EXPECT_NE(ed.unshown & kChangedMap, 0u);  // the window copies the map's line
    // A drag paints (and so asks for a map) at every step; whatever the
    // worker skipped, the dropped state's map arrives.
    Drag(0, 2, 1);
    ed.map.UpdateMap();
    EXPECT_TRUE(settle(MapOfCurrentLevel().cells));
    EXPECT_GE(ready.load(), 2);
}

}  // namespace
}  // namespace mw::test
