// The editor draws the level's tiles under the boxes and keeps them in step
// with edits, undo and the View menu.
#include <gtest/gtest.h>

#include <algorithm>

#include "editing/level_editor.h"
#include "support/recording_surface.h"
#include "support/rom_builder.h"
#include "view/view_geometry.h"

namespace mw::test {
namespace {

bool DrewTiles(const RecordingSurface& s) {
    return std::any_of(s.calls.begin(), s.calls.end(), [](const SurfaceCall& c) { return c.op == SurfaceOp::Pixels; });
}

TEST(TileEditing, TilesFollowDragsAndUndoAndTheViewMenu) {
    TempDir dir;
    RecordingPrompter prompter;
    LevelEditor ed{prompter};
    const std::string path = dir.file("demo.smc");
    WriteFileBytes(path, ShippedDemoRom());
    ed.session.Form_Load(MW_DATA_DIR, path);
    ASSERT_FALSE(ed.quitRequested);
    ed.Form_Resize(1200, 700);
    auto paint = [&] {
        RecordingSurface frame(static_cast<int>(ed.view.viewWidth), static_cast<int>(ed.view.viewHeight));
        ed.Form_Paint(frame);
        return frame;
    };
    const RecordingSurface first = paint();
    ASSERT_TRUE(DrewTiles(first)) << ed.panels.lblMapInfo << " / " << ed.panels.lblTilesInfo;
    EXPECT_EQ(ed.panels.lblTilesInfo.rfind("Tiles: graphics of worlds 1-5", 0), 0u) << ed.panels.lblTilesInfo;

    // Drag the first land object two tiles down: its tiles move with it.
    ed.SelectObject(0);
    const LevelObject& e = ed.level.objectList[0];
    const float px = static_cast<float>(TileToPixelX(ed.view, e.x)) + 1, py = static_cast<float>(TileToPixelY(ed.view, e.y)) + 1;
    ed.tool.Level_MouseDown(1, 0, px, py);
    ed.tool.Level_MouseMove(1, 0, px, py + 16);
    paint();
    ed.tool.Level_MouseMove(1, 0, px, py + 32);
    ed.tool.Level_MouseUp(1, 0, px, py + 32);
    const RecordingSurface moved = paint();
    EXPECT_NE(moved.lastPicture, first.lastPicture);
    ed.commands.mnuEditUndo_Click();
    EXPECT_EQ(paint().lastPicture, first.lastPicture) << "undo puts the tiles back";

    ed.map.mnuViewTiles_Click();
    EXPECT_FALSE(DrewTiles(paint()));
    ed.map.mnuViewTiles_Click();
    EXPECT_TRUE(DrewTiles(paint()));

    // A level mode with built-in graphics keeps its boxes, and says why.
    LevelHeader h = ed.level.headerBytes;
    h[6] = static_cast<uint8_t>((h[6] & 0x07) | 0x09 << 3);  // the level mode: bits 7-3 of byte 6
    ed.commands.ResetHeader(h);
    EXPECT_FALSE(DrewTiles(paint()));
    EXPECT_NE(ed.panels.lblTilesInfo.find("level mode 9"), std::string::npos) << ed.panels.lblTilesInfo;
}

}  // namespace
}  // namespace mw::test
