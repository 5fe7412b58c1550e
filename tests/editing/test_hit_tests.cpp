// The four hit tests: where each box, edge and tab begins and ends, which
// entry wins where several qualify, and which entries are passed over.
#include "editing/hit_test.h"
#include "test_editor_fixture.h"

namespace mw::test {
namespace {

using HitTest = EditorTest;

TEST_F(HitTest, BodyIsHalfOpenInPixels) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    EXPECT_EQ(ed.FindObjectAt(160, 64), 0);
    EXPECT_EQ(ed.FindObjectAt(191.9f, 111.9f), 0);
    EXPECT_EQ(ed.FindObjectAt(192, 70), -1);
    EXPECT_EQ(ed.FindObjectAt(159.9f, 70), -1);
    EXPECT_EQ(ed.FindObjectAt(170, 112), -1);
    EXPECT_EQ(ed.FindObjectAt(170, 63.9f), -1);
}

TEST_F(HitTest, WidthEdgeToleranceAndSpan) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});  // width edge at px 192, box rows py 64..112
    for (float px : {188.f, 192.f, 196.f}) EXPECT_EQ(ed.FindWidthEdgeAt(px, 70), 0) << px;
    EXPECT_EQ(ed.FindWidthEdgeAt(187, 70), -1);
    EXPECT_EQ(ed.FindWidthEdgeAt(197, 70), -1);
    EXPECT_EQ(ed.FindWidthEdgeAt(192, 64), 0);   // both ends of the edge count
    EXPECT_EQ(ed.FindWidthEdgeAt(192, 112), 0);
    EXPECT_EQ(ed.FindWidthEdgeAt(192, 112.5f), -1);
    EXPECT_EQ(ed.FindWidthEdgeAt(192, 63.5f), -1);
}

TEST_F(HitTest, HeightEdgeToleranceAndSpan) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});  // height edge at py 112, box columns px 160..192
    for (float py : {108.f, 112.f, 116.f}) EXPECT_EQ(ed.FindHeightEdgeAt(170, py), 0) << py;
    EXPECT_EQ(ed.FindHeightEdgeAt(170, 107), -1);
    EXPECT_EQ(ed.FindHeightEdgeAt(170, 117), -1);
    EXPECT_EQ(ed.FindHeightEdgeAt(160, 112), 0);
    EXPECT_EQ(ed.FindHeightEdgeAt(192, 112), 0);
    EXPECT_EQ(ed.FindHeightEdgeAt(192.5f, 112), -1);
}

TEST_F(HitTest, NegativeExtentsLieBeforeTheOrigin) {
    SetEntries({Obj(0x01, 10, 4, -2, -1)});
    EXPECT_EQ(ed.FindObjectAt(128, 50), 0);
    EXPECT_EQ(ed.FindObjectAt(159, 63), 0);
    EXPECT_EQ(ed.FindObjectAt(160, 50), -1);  // the origin tile is not covered
    EXPECT_EQ(ed.FindObjectAt(150, 64), -1);
    EXPECT_EQ(ed.FindWidthEdgeAt(128, 56), 0);
    EXPECT_EQ(ed.FindWidthEdgeAt(160, 56), -1);
    EXPECT_EQ(ed.FindHeightEdgeAt(140, 48), 0);
}

TEST_F(HitTest, ScrollShiftsEveryTest) {
    SetEntries({Obj(0x01, 30, 20, 2, 2)}, {Exit(2, 1)});
    ed.hscLevelPos_Change(20);
    ed.vscLevelPos_Change(16);
    EXPECT_EQ(ed.FindObjectAt(160, 64), 0);
    EXPECT_EQ(ed.FindObjectAt(159, 64), -1);
    EXPECT_EQ(ed.FindWidthEdgeAt(192, 70), 0);
    EXPECT_EQ(ed.FindExitTabAt(192, 0), 0);  // screen (2, 1) starts at tile (32, 16)
    EXPECT_EQ(ed.FindExitTabAt(191, 0), -1);
}

TEST_F(HitTest, BodyPrefersTheLatestEntryAndEdgesTheEarliest) {
    std::vector<LevelObject> entries(8, Obj(0x01, 100, 100));  // out of view
    entries[3] = Obj(0x01, 10, 4, 2, 3);
    entries[7] = Obj(0x01, 9, 3, 3, 4);  // shares the width edge at column 12
    SetEntries(entries);
    ASSERT_EQ(ed.view.visibleLast(), 1);
    EXPECT_EQ(ed.FindObjectAt(170, 70), 7);
    EXPECT_EQ(ed.FindWidthEdgeAt(192, 70), 3);
    EXPECT_EQ(ed.FindHeightEdgeAt(170, 112), 3);  // both bottoms at row 7
}

TEST_F(HitTest, EdgesSkipWhatCannotBeResizedThatWay) {
    SetEntries({Spr(0x1E, 2, 2), Ext(0x10, 6, 2, 3, 2), Obj(0x03, 10, 2, 2, 1), Obj(0x04, 14, 2, 1, 2)});
    // Sprite and extended object: bodies only.
    EXPECT_EQ(ed.FindObjectAt(40, 40), 0);
    EXPECT_EQ(ed.FindWidthEdgeAt(48, 40), -1);
    EXPECT_EQ(ed.FindHeightEdgeAt(40, 48), -1);
    EXPECT_EQ(ed.FindObjectAt(100, 40), 1);
    EXPECT_EQ(ed.FindWidthEdgeAt(144, 40), -1);
    EXPECT_EQ(ed.FindHeightEdgeAt(100, 64), -1);
    // A row object stores only its width, a column object only its height.
    EXPECT_EQ(ed.FindWidthEdgeAt(192, 40), 2);
    EXPECT_EQ(ed.FindHeightEdgeAt(170, 48), -1);
    EXPECT_EQ(ed.FindWidthEdgeAt(240, 40), -1);
    EXPECT_EQ(ed.FindHeightEdgeAt(230, 64), 3);
}

TEST_F(HitTest, CrossSectionHidesFlaggedObjectsButNotSprites) {
    SetEntries({Obj(0x07, 2, 2, 4, 4), Spr(0x1E, 3, 3)});
    ed.mnuViewCross_Click();
    EXPECT_EQ(ed.FindObjectAt(36, 36), -1);
    EXPECT_EQ(ed.FindObjectAt(50, 50), 1);
    EXPECT_EQ(ed.FindWidthEdgeAt(96, 40), -1);
    EXPECT_EQ(ed.FindHeightEdgeAt(40, 96), -1);
    ed.mnuViewCross_Click();
    EXPECT_EQ(ed.FindObjectAt(36, 36), 0);
    EXPECT_EQ(ed.FindWidthEdgeAt(96, 40), 0);
}

TEST_F(HitTest, OnlyVisibleEntriesAndNonEmptyBoxesAreFound) {
    SetEntries({Obj(0x01, 40, 2, 2, 2), Ext(0x11, 4, 4, 0, 0)});
    EXPECT_EQ(ed.FindObjectAt(4 * 16, 4 * 16), -1);  // empty box
    ed.level.objectList[0].x = 5;                    // moved without a rebuild: not listed yet
    EXPECT_EQ(ed.FindObjectAt(90, 40), -1);
    ed.RebuildVisibleList();
    EXPECT_EQ(ed.FindObjectAt(90, 40), 0);
    SetEntries({});
    EXPECT_EQ(ed.FindObjectAt(0, 0), -1);
    EXPECT_EQ(ed.FindWidthEdgeAt(0, 0), -1);
    EXPECT_EQ(ed.FindHeightEdgeAt(0, 0), -1);
    EXPECT_EQ(ed.FindExitTabAt(0, 0), -1);
}

TEST_F(HitTest, ExitTabIsTwoTilesByHalfATileAndLowerIndexWins) {
    SetEntries({}, {Exit(5, 5), Exit(2, 1), Exit(2, 1)});
    EXPECT_EQ(ed.FindExitTabAt(512, 256), 1);
    EXPECT_EQ(ed.FindExitTabAt(543, 263), 1);
    EXPECT_EQ(ed.FindExitTabAt(544, 260), -1);
    EXPECT_EQ(ed.FindExitTabAt(520, 264), -1);
    EXPECT_EQ(ed.FindExitTabAt(511, 260), -1);
    // Half a tile at zoom 12 is 6 pixels.
    ed.mnuViewZoom_Click(12);
    EXPECT_EQ(ed.FindExitTabAt(32 * 12, 16 * 12 + 5.9f), 1);
    EXPECT_EQ(ed.FindExitTabAt(32 * 12, 16 * 12 + 6), -1);
}

}  // namespace
}  // namespace mw::test
