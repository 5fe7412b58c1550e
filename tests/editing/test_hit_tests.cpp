// The four hit tests: where each box, edge and tab begins and ends, which
// entry wins where several qualify, and which entries are passed over.
#include <cmath>

#include "editing/hit_test.h"
#include "test_editor_fixture.h"
#include "view/view_controls.h"
#include "view/view_geometry.h"

namespace mw::test {
namespace {

using HitTest = EditorTest;

// The three object tests as plain scans, to check the one pass against: the
// body from the visible list's end, each edge from its start, hidden entries
// passed over.
int BodyScan(const LevelEditor& ed, float px, float py) {
    for (int j = ed.view.visibleLast(); j >= 0; --j) {
        const int i = ed.view.visibleList[static_cast<size_t>(j)];
        if (CrossSectionFlagOf(ed.level, ed.defs, ed.view.options, i)) continue;
        if (BoxHolds(ed.view, ed.level.objectList[static_cast<size_t>(i)], px, py)) return i;
    }
    return -1;
}

// The handles as a plain scan: the first of `handles` with an edge under
// the pixel answers for both directions.
PointerHits HandleScan(const LevelEditor& ed, const std::vector<int>& handles, float px, float py) {
    const ViewState& v = ed.view;
    PointerHits hits;
    for (const int i : handles) {
        const LevelObject& e = ed.level.objectList[static_cast<size_t>(i)];
        if (CrossSectionFlagOf(ed.level, ed.defs, v.options, i)) continue;
        const TileExtent t = ExtentOf(e);
        const float wx = TileToPixelX(v, e.x + e.width), hy = TileToPixelY(v, e.y + e.height);
        const bool w = WidthIsResizable(ed.defs, e) && std::abs(px - wx) < kEdgeTolerance &&
                       py >= TileToPixelY(v, t.top) && py <= TileToPixelY(v, t.bottom);
        const bool h = HeightIsResizable(ed.defs, e) && std::abs(py - hy) < kEdgeTolerance &&
                       px >= TileToPixelX(v, t.left) && px <= TileToPixelX(v, t.right);
        if (!w && !h) continue;
        hits.width = w ? i : -1;
        hits.height = h ? i : -1;
        break;
    }
    return hits;
}

TEST_F(HitTest, BodyIsHalfOpenAndHandlesAreThreePixelsWide) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});  // pixels 160..192 by 64..112
    ed.SelectObject(0);
    EXPECT_EQ(ed.tool.FindObjectAt(160, 64), 0);
    EXPECT_EQ(ed.tool.FindObjectAt(191.9f, 111.9f), 0);
    EXPECT_EQ(ed.tool.FindObjectAt(192, 70), -1);
    EXPECT_EQ(ed.tool.FindObjectAt(170, 112), -1);
    for (float px : {191.f, 192.f, 193.f}) EXPECT_EQ(ed.tool.FindWidthEdgeAt(px, 112), 0) << px;
    for (float px : {190.f, 194.f}) EXPECT_EQ(ed.tool.FindWidthEdgeAt(px, 70), -1) << px;
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(192, 112.5f), -1);
    for (float py : {111.f, 113.f}) EXPECT_EQ(ed.tool.FindHeightEdgeAt(160, py), 0) << py;
    for (float py : {110.f, 114.f}) EXPECT_EQ(ed.tool.FindHeightEdgeAt(170, py), -1) << py;
    EXPECT_EQ(ed.tool.FindHeightEdgeAt(192.5f, 112), -1);
    // At every zoom of 8 and more a handle spans at most 3 pixels.
    for (int zoom : {8, 12, 24, 32}) {
        ApplyZoom(ed.view, zoom);
        RebuildVisibleList(ed.level, ed.view);
        const float edge = TileToPixelX(ed.view, 12);
        int wide = 0;
        for (float px = edge - 6; px <= edge + 6; px += 0.25f) wide += ed.tool.FindWidthEdgeAt(px, TileToPixelY(ed.view, 5)) == 0;
        EXPECT_LE(wide, 3 * 4 + 1) << zoom;
        EXPECT_GT(wide, 0) << zoom;
    }
    ApplyZoom(ed.view, 16);
    RebuildVisibleList(ed.level, ed.view);
    // A negative width lies left of the origin tile; its edge is its left side.
    SetEntries({Obj(0x01, 10, 4, -2, 3)});
    EXPECT_EQ(ed.tool.FindObjectAt(128, 70), 0);
    EXPECT_EQ(ed.tool.FindObjectAt(160, 70), -1);
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(128, 70), 0);
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(160, 70), -1);
}

TEST_F(HitTest, OnlyTheCurrentEntryOrTheSelectedOneUnderThePointerHasHandles) {
    std::vector<LevelObject> entries(8, Obj(0x01, 100, 100));  // out of view
    entries[3] = Obj(0x01, 10, 4, 2, 3);
    entries[7] = Obj(0x01, 9, 3, 3, 4);  // same right and bottom edges
    entries[5] = Obj(0x01, 2, 2, 2, 2);
    SetEntries(entries);
    EXPECT_EQ(ed.tool.FindObjectAt(170, 70), 7);
    ed.SelectObject(-1);
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(192, 70), -1);  // nothing selected: no handles
    for (int current : {3, 7}) {
        ed.SelectObject(current);
        EXPECT_EQ(ed.tool.FindWidthEdgeAt(192, 70), current);
        EXPECT_EQ(ed.tool.FindHeightEdgeAt(170, 112), current);
        EXPECT_EQ(ed.tool.FindWidthEdgeAt(64, 40), -1);  // entry 5 is not current
    }
    // Several selected: each one's own handles, the others' none.
    ed.commands.SelectEntries({5, 7});
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(64, 40), 5);
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(192, 70), 7);
    EXPECT_EQ(ed.tool.FindHeightEdgeAt(170, 112), 7);
    ed.commands.SelectEntries({3, 5});
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(192, 70), 3);
}

TEST_F(HitTest, PassedOverEntries) {
    SetEntries({Spr(0x1E, 2, 2), Ext(0x10, 6, 2, 3, 2), Obj(0x03, 10, 2, 2, 1), Obj(0x04, 14, 2, 1, 2),
                Obj(0x07, 2, 8, 4, 4), Ext(0x11, 4, 14, 0, 0), Obj(0x01, 40, 2, 2, 2)});
    ed.commands.SelectEntries({0, 1, 2, 3, 4, 5, 6});
    // Sprites and extended objects have bodies but no edges.
    EXPECT_EQ(ed.tool.FindObjectAt(40, 40), 0);
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(48, 40), -1);
    EXPECT_EQ(ed.tool.FindObjectAt(100, 40), 1);
    EXPECT_EQ(ed.tool.FindHeightEdgeAt(100, 64), -1);
    // A row object stores only its width, a column object only its height.
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(192, 40), 2);
    EXPECT_EQ(ed.tool.FindHeightEdgeAt(170, 48), -1);
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(240, 40), -1);
    EXPECT_EQ(ed.tool.FindHeightEdgeAt(230, 64), 3);
    // An empty box and an entry outside the view are never found.
    EXPECT_EQ(ed.tool.FindObjectAt(64, 224), -1);
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(672, 40), -1);
    // A changed level rebuilds the visible list on the document's notice.
    Reload(ed, [](LevelState& l) { l.objectList[6].x = 20; });
    EXPECT_EQ(ed.tool.FindObjectAt(330, 40), 6);
    // Cross-section mode hides flagged objects from every object test.
    EXPECT_EQ(ed.tool.FindObjectAt(40, 140), 4);
    ed.mnuViewCross_Click();
    EXPECT_EQ(ed.tool.FindObjectAt(40, 140), -1);
    EXPECT_EQ(ed.tool.FindWidthEdgeAt(96, 140), -1);
    EXPECT_EQ(ed.tool.FindHeightEdgeAt(40, 192), -1);
    EXPECT_EQ(ed.tool.FindObjectAt(40, 40), 0);
}

TEST_F(HitTest, ExitTabIsTwoTilesByHalfATileAndLowerIndexWins) {
    SetEntries({}, {Exit(5, 5), Exit(2, 1), Exit(2, 1)});
    EXPECT_EQ(ed.tool.FindExitTabAt(512, 256), 1);
    EXPECT_EQ(ed.tool.FindExitTabAt(543, 263.9f), 1);
    EXPECT_EQ(ed.tool.FindExitTabAt(544, 260), -1);
    EXPECT_EQ(ed.tool.FindExitTabAt(520, 264), -1);
    ed.hscLevelPos_Change(20);
    EXPECT_EQ(ed.tool.FindExitTabAt(192, 256), 1);
    EXPECT_EQ(ed.tool.FindExitTabAt(191, 256), -1);
    SetEntries({}, {});
    EXPECT_EQ(ed.tool.FindExitTabAt(192, 256), -1);
}

TEST_F(HitTest, FindAllAtAnswersLikePlainScans) {
    std::vector<LevelObject> entries;
    uint32_t seed = 7;
    auto next = [&seed](int range) { return static_cast<int>((seed = seed * 1664525u + 1013904223u) >> 8) % range; };
    const uint8_t ids[] = {0x01, 0x02, 0x03, 0x04, 0x07, 0x00};
    for (int k = 0; k < 300; ++k) {
        LevelObject o = Obj(ids[k % 6], next(30), next(32), next(9) - 4, next(9) - 4);
        if (o.width == 0) o.width = 1;
        if (o.height == 0) o.height = 1;
        o.isSprite = k % 7 == 0;
        entries.push_back(o);
    }
    SetEntries(entries);
    ed.mnuViewCross_Click();
    std::vector<int> handles;
    for (int k = 0; k < 40; ++k) handles.push_back(next(300));
    for (float py = 0; py < 488; py += 3.5f) {
        for (float px = 0; px < 413; px += 2.75f) {
            const PointerHits hits = FindAllAt(ed.level, ed.defs, ed.view, px, py, handles);
            const PointerHits scan = HandleScan(ed, handles, px, py);
            ASSERT_EQ(hits.body, BodyScan(ed, px, py)) << px << "," << py;
            ASSERT_EQ(hits.width, scan.width) << px << "," << py;
            ASSERT_EQ(hits.height, scan.height) << px << "," << py;
        }
    }
}

}  // namespace
}  // namespace mw::test
