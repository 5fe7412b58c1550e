// The main window's layout, zoom, scrolling, the view options and the
// paint order, as the editor model computes them.
#include "support/recording_surface.h"
#include "test_editor_fixture.h"

namespace mw::test {
namespace {

using ViewTest = EditorTest;

TEST_F(ViewTest, LayoutFollowsTheInnerSize) {
    const MainLayout l = ed.Form_Resize(845, 504);
    EXPECT_FALSE(l.minimized);
    EXPECT_FALSE(l.setOuterWidth);
    EXPECT_FALSE(l.setOuterHeight);
    EXPECT_EQ(l.Level, (ControlRect{209, 0, 413, 488}));
    EXPECT_EQ(l.hscLevelPos, (ControlRect{209, 488, 413, 16}));
    EXPECT_EQ(l.vscLevelPos, (ControlRect{622, 0, 16, 488}));
    EXPECT_EQ(l.fraObjectInfo, (ControlRect{646, 8, 192, 153}));
    EXPECT_EQ(l.fraLevelInfo, (ControlRect{646, 168, 192, 149}));
    EXPECT_EQ(l.fraScreenExits, (ControlRect{646, 8, 193, 409}));
    EXPECT_EQ(l.lstObjects, (ControlRect{8, 81, 193, 359}));
    EXPECT_EQ(l.fraSubPanel, (ControlRect{8, 448, 177, 48}));
    EXPECT_EQ(ed.layout.Level, l.Level);
    EXPECT_EQ(ed.view.viewWidth, 413);
    EXPECT_EQ(ed.view.viewHeight, 488);
}

TEST_F(ViewTest, SmallWindowsSnapToTheMinimumAndMinimizedOnesChangeNothing) {
    MainLayout l = ed.Form_Resize(600, 504);
    EXPECT_EQ(l.setOuterWidth, 672);
    EXPECT_FALSE(l.setOuterHeight);
    l = ed.Form_Resize(845, 271);
    EXPECT_FALSE(l.setOuterWidth);
    EXPECT_EQ(l.setOuterHeight, 288);
    l = ed.Form_Resize(672, 272);
    EXPECT_FALSE(l.setOuterWidth);
    EXPECT_FALSE(l.setOuterHeight);
    l = ed.Form_Resize(100, 50);  // nothing comes out negative meanwhile
    EXPECT_EQ(l.Level.width, 0);
    EXPECT_EQ(l.lstObjects.height, 0);

    ed.Form_Resize(845, 504);
    const MainLayout before = ed.layout;
    l = ed.Form_Resize(0, 0);
    EXPECT_TRUE(l.minimized);
    EXPECT_EQ(ed.layout.Level, before.Level);
    EXPECT_EQ(ed.view.viewWidth, 413);
}

TEST_F(ViewTest, ResizeSetsScrollRangesAndTheVisibleList) {
    SetEntries({Obj(0x01, 25, 0), Obj(0x01, 26, 0)});
    EXPECT_EQ(ed.view.hsc.maximum, 256 - 25);
    EXPECT_EQ(ed.view.vsc.maximum, 128 - 30);
    EXPECT_TRUE(ed.view.hsc.enabled);
    EXPECT_EQ(ed.view.visibleLast(), 0);  // column 25 is just in, 26 is not
    ed.Form_Resize(845 + 16, 504);
    EXPECT_EQ(ed.view.visibleLast(), 1);
    ed.Form_Resize(432 + 1100, 504);  // a view wider than the level at zoom 4
    ed.mnuViewZoom_Click(4);
    EXPECT_LE(ed.view.hsc.maximum, 0);
    EXPECT_FALSE(ed.view.hsc.enabled);
}

TEST_F(ViewTest, ZoomingOutPastTheScrollValueMovesTheView) {
    ed.hscLevelPos_Change(231);
    ed.vscLevelPos_Change(98);
    ed.repaintRequested = false;
    ed.mnuViewZoom_Click(4);
    EXPECT_EQ(ed.view.zoom, 4);
    EXPECT_EQ(ed.view.fontSize, 2);
    EXPECT_EQ(ed.view.hsc.maximum, 256 - 103);
    EXPECT_EQ(ed.view.scrollX(), 153);
    EXPECT_EQ(ed.view.scrollY(), 6);  // 128 - Int(488 / 4)
    EXPECT_TRUE(ed.repaintRequested);
    ed.mnuViewZoom_Click(64);
    EXPECT_EQ(ed.view.fontSize, 30);
    EXPECT_EQ(ed.view.scrollX(), 153);
}

TEST_F(ViewTest, ScrollHandlersRebuildAndRepaint) {
    SetEntries({Obj(0x01, 40, 2)});
    EXPECT_EQ(ed.view.visibleLast(), -1);
    ed.hscLevelPos_Change(20);
    EXPECT_EQ(ed.view.scrollX(), 20);
    EXPECT_EQ(ed.view.visibleLast(), 0);
    EXPECT_TRUE(ed.repaintRequested);
    ed.hscLevelPos_Change(1000);  // a bar cannot pass its maximum
    EXPECT_EQ(ed.view.scrollX(), 231);
    ed.vscLevelPos_Change(-3);
    EXPECT_EQ(ed.view.scrollY(), 0);
}

TEST_F(ViewTest, AreaOutsideTheLevel) {
    ed.mnuViewOutofbounds_Click();
    EXPECT_TRUE(ed.view.options.outOfBounds);
    EXPECT_EQ(ed.view.hsc.maximum, 256);
    EXPECT_EQ(ed.view.vsc.maximum, 256);
    ed.hscLevelPos_Change(250);
    ed.Form_Resize(900, 600);
    EXPECT_EQ(ed.view.hsc.maximum, 256);
    EXPECT_EQ(ed.view.scrollX(), 250);
    ed.Form_Resize(845, 504);
    ed.repaintRequested = false;
    ed.mnuViewOutofbounds_Click();
    EXPECT_EQ(ed.view.hsc.maximum, 231);
    EXPECT_EQ(ed.view.scrollX(), 231);
    EXPECT_TRUE(ed.repaintRequested);  // through the bar's change handler
}

TEST_F(ViewTest, DrawingOptionsRepaintWithoutTouchingTheGeometry) {
    SetEntries({Obj(0x07, 1, 1)});
    // An entry added without a rebuild shows whether a handler rebuilt the list.
    Reload(ed, [](LevelState& l) { l.objectList.push_back(Obj(0x01, 2, 2)); });
    const ViewState before = ed.view;
    for (auto handler : {&LevelEditor::mnuViewCross_Click, &LevelEditor::mnuViewSmallgrid_Click}) {
        ed.repaintRequested = false;
        (ed.*handler)();
        EXPECT_TRUE(ed.repaintRequested);
        EXPECT_EQ(ed.view.visibleList, before.visibleList);
        EXPECT_EQ(ed.view.hsc.maximum, before.hsc.maximum);
    }
    EXPECT_TRUE(ed.view.options.crossSection);
    EXPECT_TRUE(ed.view.options.smallGrid);

    // Widening the ranges changes nothing drawn: no paint, and the bars keep
    // the enabled state the last resize gave them.
    ed.Form_Resize(432 + 1100, 504);  // wider than the level at zoom 4
    ed.mnuViewZoom_Click(4);
    ASSERT_FALSE(ed.view.hsc.enabled);
    ed.repaintRequested = false;
    ed.mnuViewOutofbounds_Click();
    EXPECT_FALSE(ed.repaintRequested);
    EXPECT_EQ(ed.view.hsc.maximum, 256);
    EXPECT_FALSE(ed.view.hsc.enabled);
    EXPECT_TRUE(ed.view.vsc.enabled);
}

// Each view handler reports its change to the one handler: what the view
// moved to has its visible list, what only draws differently keeps the
// geometry, and none of them passes for a change of the level.
TEST_F(ViewTest, ViewChangesAreNoticesOfTheirOwn) {
    std::vector<LevelObject> entries;
    for (int i = 0; i < 40; ++i) entries.push_back(Obj(0x01, (i * 37) % 250, (i * 11) % 120));
    SetEntries(entries);
    struct Case {
        const char* name;
        std::function<void()> act;
        ChangeSet expected;
    };
    const Case cases[] = {
        {"horizontal bar", [&] { ed.hscLevelPos_Change(120); }, kChangedView},
        {"vertical bar", [&] { ed.vscLevelPos_Change(60); }, kChangedView},
        {"program scroll", [&] { ed.SetScroll(ed.view.hsc, 3); }, kChangedView},
        {"zoom", [&] { ed.mnuViewZoom_Click(8); }, kChangedView},
        {"zoom step", [&] { ed.commands.ZoomStep(1, 100, 100); }, kChangedView},
        {"opening", [&] { ed.ScrollToOpening(); }, kChangedView},
        {"wider window", [&] { ed.Form_Resize(845 + 200, 504); }, kChangedViewSize},
        {"cross-section", [&] { ed.mnuViewCross_Click(); }, kChangedDrawing},
        {"tiles", [&] { ed.map.mnuViewTiles_Click(); }, kChangedDrawing},
        {"band", [&] { ed.tool.Level_MouseDown(1, 2, 405, 480); }, kChangedDrawing},  // Ctrl: a band that adds
        {"band ends", [&] { ed.tool.Level_MouseUp(1, 0, 405, 480); }, kChangedDrawing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ed.hscLevelPos_Change(0);
        ed.vscLevelPos_Change(0);
        ed.unshown = 0;
        ed.repaintRequested = false;
        // A list emptied behind the editor's back shows whether it was rebuilt.
        ed.view.visibleList.clear();
        const auto stale = ed.view.visibleList;
        c.act();
        EXPECT_NE(ed.unshown & c.expected, 0u);
        EXPECT_EQ(ed.unshown & kDocumentChanges, 0u);
        ViewState fresh = ed.view;
        RebuildVisibleList(ed.level, fresh);
        if (c.expected == kChangedDrawing) {
            EXPECT_EQ(ed.unshown & (kChangedView | kChangedViewSize), 0u);
            EXPECT_EQ(ed.view.visibleList, stale);
        } else {
            EXPECT_EQ(ed.view.visibleList, fresh.visibleList);
        }
        EXPECT_EQ(ed.repaintRequested, c.expected != kChangedViewSize);
    }
    // A change of the level comes through the same handler with its own bits.
    ed.unshown = 0;
    ed.commands.mnuEditNudge_Click(1, 0);
    EXPECT_NE(ed.unshown & kChangedEntries, 0u);
}

TEST_F(ViewTest, TransparentBoxesTakeEffectAtTheNextPaint) {
    SetEntries({Obj(0x01, 1, 1, 2, 2)});
    RecordingSurface surface(413, 488);
    auto firstBoxPattern = [&] {
        surface.calls.clear();
        ed.Form_Paint(surface);
        for (const SurfaceCall& c : surface.calls)
            if (c.op == SurfaceOp::Box) return c.state.fillPattern;
        return FillPattern::None;
    };
    EXPECT_EQ(firstBoxPattern(), FillPattern::Solid);
    ed.mnuViewTransparent_Click();
    EXPECT_TRUE(ed.view.options.transparent);
    EXPECT_EQ(firstBoxPattern(), FillPattern::CrossHatch);
    EXPECT_EQ(firstBoxPattern(), FillPattern::CrossHatch);
    ed.mnuViewTransparent_Click();
    EXPECT_EQ(firstBoxPattern(), FillPattern::Solid);
}

TEST_F(ViewTest, PaintDrawsTheViewThenRefreshesThePanels) {
    SetEntries({Obj(0x01, 1, 1, 2, 2)}, {Exit(0, 0, 7)});
    ed.SelectExit(0);
    Reload(ed, [](LevelState& l) { l.objectBytesUsed = 10; });
    RecordingSurface surface(413, 488);
    ed.Form_Paint(surface);
    ASSERT_FALSE(surface.calls.empty());
    bool cleared = false;
    for (const SurfaceCall& c : surface.calls) cleared |= c.op == SurfaceOp::Clear;
    EXPECT_TRUE(cleared);
    EXPECT_EQ(ed.panels.lblByteUsage.text, "10/0");
    EXPECT_TRUE(ed.panels.lblByteUsage.red);
    EXPECT_EQ(ed.panels.exitEditor.txtExitDestination, "7");
}

}  // namespace
}  // namespace mw::test
