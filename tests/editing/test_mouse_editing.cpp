// The mouse on the view: the drag mode state machine, moving with its grab
// offset and clamps, resizing with the limits a record can hold, and the
// hover feedback (pointer shape, tooltip, position readout).
#include "editing/mouse.h"
#include "test_editor_fixture.h"

namespace mw::test {
namespace {

using MouseTest = EditorTest;
constexpr int kLeft = 1, kRight = 2, kMiddle = 4;

TEST_F(MouseTest, MoveKeepsTheGrabOffsetAndStaysInTheLevel) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    ed.tool.Level_MouseDown(kLeft, 0, 165, 70);
    EXPECT_EQ(ed.tool.dragMode, DragMode::MOV);
    EXPECT_EQ(ed.tool.grabOffsetX, 5);
    EXPECT_EQ(ed.tool.grabOffsetY, 6);
    ed.tool.Level_MouseMove(kLeft | kRight, 0, 300, 300);  // not the left button alone
    EXPECT_FALSE(ed.session.changed());
    ed.tool.Level_MouseMove(kLeft, 0, 200, 70);
    EXPECT_EQ(At(0).x, 12);
    EXPECT_EQ(At(0).y, 4);
    EXPECT_TRUE(ed.session.changed());
    ed.tool.Level_MouseMove(kLeft, 0, -100, 20000);
    EXPECT_EQ(At(0).x, 0);
    EXPECT_EQ(At(0).y, 127);
    ed.tool.Level_MouseMove(kLeft, 0, 20000, -50);
    EXPECT_EQ(At(0).x, 255);
    EXPECT_EQ(At(0).y, 0);
    ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    EXPECT_EQ(ed.tool.dragMode, DragMode::NON);
    ed.tool.Level_MouseMove(kLeft, 0, 300, 300);
    EXPECT_EQ(At(0).x, 255);
    // Offsets round half to even.
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    ed.tool.Level_MouseDown(kLeft, 0, 164.5f, 69.5f);
    EXPECT_EQ(ed.tool.grabOffsetX, 4);
    EXPECT_EQ(ed.tool.grabOffsetY, 6);
}

TEST_F(MouseTest, PressPicksEdgesOverBodiesAndExitTabsOverAll) {
    // Entry 0's width edge (column 12) lies on entry 1's body.
    SetEntries({Obj(0x01, 10, 4, 2, 3), Obj(0x01, 12, 4, 2, 2), Obj(0x01, 30, 30)}, {Exit(0, 0, 0x2A)});
    const std::pair<float, float> presses[] = {{193, 70}, {170, 111}, {192, 112}};
    const DragMode modes[] = {DragMode::RSX, DragMode::RSY, DragMode::RSA};
    for (int k = 0; k < 3; ++k) {
        ed.tool.Level_MouseDown(kLeft, 0, presses[k].first, presses[k].second);
        EXPECT_EQ(ed.tool.dragMode, modes[k]) << k;
        EXPECT_EQ(ed.selectedObject(), 0) << k;
        ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    }
    // Empty space changes neither the mode nor the selection.
    ed.SelectObject(2);
    ed.tool.Level_MouseDown(kLeft, 0, 300, 300);
    EXPECT_EQ(ed.tool.dragMode, DragMode::NON);
    EXPECT_EQ(ed.selectedObject(), 2);
    ed.tool.Level_MouseMove(kLeft, 0, 5, 5);
    EXPECT_FALSE(ed.session.changed());
    ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    // An exit tab: the entry under it is selected but not moved.
    SetEntries({Obj(0x01, 0, 0, 4, 4), Obj(0x01, 8, 8, 2, 2)}, {Exit(0, 0, 0x2A)});
    ed.tool.Level_MouseDown(kLeft, 0, 10, 3);
    EXPECT_EQ(ed.tool.dragMode, DragMode::SCR);
    EXPECT_EQ(ed.selectedObject(), 0);
    EXPECT_EQ(ed.selectedExit(), 0);
    EXPECT_TRUE(ed.panels.fraScreenExitsVisible);
    EXPECT_EQ(ed.panels.exitEditor.txtExitDestination, "2A");
    ed.tool.Level_MouseMove(kLeft, 0, 100, 100);
    EXPECT_EQ(At(0).x, 0);
}

TEST_F(MouseTest, ExitEditorModesEndAtTheNextPress) {
    SetEntries({Obj(0x01, 0, 0, 4, 4), Obj(0x01, 8, 8, 2, 2)}, {Exit(0, 0)});
    ed.tool.Level_MouseDown(kLeft, 0, 10, 3);
    ed.tool.Level_MouseDown(kLeft, 0, 136, 136);  // a press while SCR changes nothing
    EXPECT_EQ(ed.tool.dragMode, DragMode::SCR);
    ed.tool.Level_MouseUp(kLeft, 0, 10, 3);
    EXPECT_EQ(ed.tool.dragMode, DragMode::SCX);
    // A left press only closes the editor; the next one picks again.
    ed.tool.Level_MouseDown(kLeft, 0, 136, 136);
    EXPECT_EQ(ed.tool.dragMode, DragMode::NON);
    EXPECT_FALSE(ed.panels.fraScreenExitsVisible);
    EXPECT_EQ(ed.selectedObject(), 0);
    ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    ed.tool.Level_MouseDown(kLeft, 0, 136, 136);
    EXPECT_EQ(ed.selectedObject(), 1);
    ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    // Right and middle presses keep the mode until the release; the frame stays.
    ed.tool.Level_MouseDown(kLeft, 0, 10, 3);
    ed.tool.Level_MouseUp(kLeft, 0, 10, 3);
    ed.tool.Level_MouseDown(kRight, 0, 30, 30);
    EXPECT_EQ(ed.tool.dragMode, DragMode::SCX);
    EXPECT_TRUE(ed.panels.lstPopup.visible());
    ed.tool.Level_MouseUp(kRight, 0, 30, 30);
    EXPECT_EQ(ed.tool.dragMode, DragMode::NON);
    EXPECT_TRUE(ed.panels.fraScreenExitsVisible);
    ed.tool.Level_MouseDown(kMiddle, 0, 30, 30);
    EXPECT_EQ(ed.tool.dragMode, DragMode::NON);
}

TEST_F(MouseTest, ExtentRulesKeepWhatARecordCanHold) {
    const auto& d = ed.defs.objectDefs;
    struct Case {
        uint8_t id;
        bool isWidth;
        int n;
        std::optional<int> extent;
    };
    const Case cases[] = {
        // four-byte, both nibbles: 1..16
        {0x02, true, -5, 1}, {0x02, true, 0, 1}, {0x02, false, 7, 7}, {0x02, false, 20, 16},
        // four-byte, whole-byte extent: -129..128, never 0 or -1; the fixed one stays
        {0x03, true, -1, 1}, {0x03, true, 0, 1}, {0x03, true, -2, -2}, {0x03, true, -200, -129},
        {0x03, true, 200, 128}, {0x04, false, -140, -129}, {0x03, false, 5, std::nullopt},
        {0x04, true, 5, std::nullopt},
        // five-byte: -127..128, never 0 or -1
        {0x01, true, -190, -127}, {0x01, true, -127, -127}, {0x01, false, -1, 1}, {0x01, false, 0, 1},
        {0x01, false, 129, 128},
        // records without a size
        {0x00, true, 4, std::nullopt}, {0xFF, false, 4, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DraggedExtent(d[c.id], c.isWidth, c.n), c.extent) << int(c.id) << " " << c.isWidth << " " << c.n;
}

TEST_F(MouseTest, ResizeDragsUseTheTileUnderThePointer) {
    SetEntries({Obj(0x02, 4, 4, 2, 2), Obj(0x01, 10, 10, 2, 2)});
    ed.tool.Level_MouseDown(kLeft, 0, 6 * 16, 70);
    ASSERT_EQ(ed.tool.dragMode, DragMode::RSX);
    ed.tool.Level_MouseMove(kLeft, 0, 20, 70);
    EXPECT_EQ(At(0).width, 1);
    ed.tool.Level_MouseMove(kLeft, 0, 24 * 16 + 3, 70);
    EXPECT_EQ(At(0).width, 16);
    EXPECT_EQ(At(0).height, 2);
    ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    // Below the origin the pointer's tile ends the box; above it, it is included.
    ed.SelectObject(1);
    ed.tool.Level_MouseDown(kLeft, 0, 170, 12 * 16);
    ASSERT_EQ(ed.tool.dragMode, DragMode::RSY);
    const std::pair<int, int> rowsAndHeights[] = {{15, 5}, {10, 1}, {9, 1}, {7, -3}};
    for (auto [row, height] : rowsAndHeights) {
        ed.tool.Level_MouseMove(kLeft, 0, 170, row * 16 + 8.0f);
        EXPECT_EQ(At(1).height, height) << row;
    }
    EXPECT_EQ(At(1).width, 2);
}

TEST_F(MouseTest, AResizeChangesOnlyTheEntryWhoseHandleWasGrabbed) {
    // Entry 0's width edge (column 21) crosses entry 1's height edge (row 6);
    // entry 1 stores only its height.
    const std::vector<LevelObject> entries{Obj(0x01, 19, 2, 2, 5), Obj(0x04, 20, 4, 1, 2), Obj(0x01, 2, 2, 2, 2)};
    struct Case {
        int current;
        DragMode mode;
        LevelObject after;  // the grabbed entry after the drag to (400, 130)
    };
    const Case cases[] = {{0, DragMode::RSX, Obj(0x01, 19, 2, 6, 5)}, {1, DragMode::RSY, Obj(0x04, 20, 4, 1, 4)}};
    for (const Case& c : cases) {
        SetEntries(entries);
        ed.SelectObject(c.current);
        ed.tool.Level_MouseDown(kLeft, 0, 21 * 16, 6 * 16);
        ASSERT_EQ(ed.tool.dragMode, c.mode) << c.current;
        ed.tool.Level_MouseMove(kLeft, 0, 400, 130);
        ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(At(i), i == c.current ? c.after : entries[static_cast<size_t>(i)]) << c.current << " " << i;
    }
    // Another entry's edge is no handle: a press there selects and moves what is under it.
    SetEntries(entries);
    ed.SelectObject(2);
    ed.tool.Level_MouseDown(kLeft, 0, 21 * 16 - 1, 5 * 16);
    EXPECT_EQ(ed.tool.dragMode, DragMode::MOV);
    EXPECT_EQ(ed.selectedObject(), 1);  // the topmost body
    ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    ed.SelectObject(2);
    ed.tool.Level_MouseDown(kLeft, 0, 64, 64);
    ASSERT_EQ(ed.tool.dragMode, DragMode::RSA);
    ed.tool.Level_MouseMove(kLeft, 0, 100, 120);
    EXPECT_EQ(At(2).width, 4);
    EXPECT_EQ(At(2).height, 5);
    ed.tool.Level_MouseUp(kLeft, 0, 0, 0);
    // With several selected, the one under the pointer takes the drag; the rest keep their size.
    SetEntries(entries);
    ed.commands.SelectEntries({1, 2});
    ed.tool.Level_MouseDown(kLeft, 0, 64, 64);
    ASSERT_EQ(ed.tool.dragMode, DragMode::RSA);
    ed.tool.Level_MouseMove(kLeft, 0, 100, 120);
    EXPECT_EQ(At(2).width, 4);
    EXPECT_EQ(At(1), entries[1]);
    EXPECT_EQ(ed.commands.SelectedIndices().size(), 2u);
}

TEST_F(MouseTest, HoverShowsShapesTooltipsAndThePosition) {
    SetEntries({Obj(0x01, 10, 4, 2, 3), Spr(0x1E, 2, 2)}, {Exit(1, 1, 0x2A, 0x1F, 5, 3)});
    ed.tool.Level_MouseMove(0, 0, 170, 70);
    EXPECT_EQ(ed.tool.MousePointer, PointerShape::SizeAll);
    EXPECT_EQ(ed.tool.lblToolTip.text, "1 - Block");
    EXPECT_EQ(ed.tool.lblToolTip.left, 186);
    EXPECT_EQ(ed.tool.lblToolTip.top, 38);
    EXPECT_EQ(ed.tool.lblMousePos, "(A,4)");
    ed.tool.Level_MouseMove(0, 0, 40, 40);
    EXPECT_EQ(ed.tool.lblToolTip.text, "S1E - Guy");
    const std::pair<float, float> edges[] = {{192, 80}, {170, 112}, {191, 111}};
    const PointerShape shapes[] = {PointerShape::SizeWE, PointerShape::SizeNS, PointerShape::SizeNWSE};
    for (int k = 0; k < 3; ++k) {
        ed.tool.Level_MouseMove(0, 0, edges[k].first, edges[k].second);
        EXPECT_EQ(ed.tool.MousePointer, shapes[k]) << k;
    }
    ed.tool.Level_MouseMove(0, 0, 260, 258);
    EXPECT_EQ(ed.tool.MousePointer, PointerShape::Cross);
    EXPECT_EQ(ed.tool.lblToolTip.text, "Screen exit to 2A, Entrance type: 3, Entrance at (1F,5)");
    EXPECT_EQ(ed.tool.lblToolTip.top, 226);
    ed.tool.Level_MouseMove(0, 0, 300, 400);
    EXPECT_EQ(ed.tool.MousePointer, PointerShape::Default);
    EXPECT_EQ(ed.tool.lblToolTip.text, "");
    EXPECT_EQ(ed.tool.lblToolTip.top, -32);
    // Another level loaded under a tooltip takes the tooltip away.
    ed.tool.Level_MouseMove(0, 0, 170, 70);
    Reload(ed, [](LevelState&) {});
    EXPECT_EQ(ed.tool.lblToolTip.text, "");
    EXPECT_EQ(ed.tool.lblToolTip.top, -32);
    // While a button is held the pointer is the arrow and the tooltip stays.
    ed.tool.Level_MouseMove(0, 0, 170, 70);
    ed.tool.Level_MouseDown(kLeft, 0, 170, 70);
    ed.tool.Level_MouseMove(kLeft, 0, 172, 70);
    EXPECT_EQ(ed.tool.MousePointer, PointerShape::Default);
    EXPECT_EQ(ed.tool.lblToolTip.text, "1 - Block");
    // The readout follows the scroll position, also outside the view.
    ed.hscLevelPos_Change(0x20);
    ed.vscLevelPos_Change(0x10);
    ed.tool.Level_MouseMove(0, 0, 15, 0);
    EXPECT_EQ(ed.tool.lblMousePos, "(20,10)");
    ed.tool.Level_MouseMove(kLeft, 0, -16 * 0x21, -1);
    EXPECT_EQ(ed.tool.lblMousePos, "(-1,F)");
}

TEST_F(MouseTest, DragsCountTilesFromTheScrollPosition) {
    SetEntries({Obj(0x01, 10, 6, 2, 3)});
    ed.hscLevelPos_Change(5);
    ed.vscLevelPos_Change(3);
    ed.tool.Level_MouseMove(0, 0, 85, 54);
    EXPECT_EQ(ed.tool.lblMousePos, "(A,6)");
    ed.tool.Level_MouseDown(kLeft, 0, 85, 54);  // 5 and 6 pixels into the origin tile (10, 6)
    ASSERT_EQ(ed.tool.dragMode, DragMode::MOV);
    EXPECT_EQ(ed.tool.grabOffsetX, 5);
    EXPECT_EQ(ed.tool.grabOffsetY, 6);
    ed.tool.Level_MouseMove(kLeft, 0, 117, 70);
    EXPECT_EQ(At(0).x, 12);
    EXPECT_EQ(At(0).y, 7);
    ed.tool.Level_MouseUp(kLeft, 0, 117, 70);
    // The width edge now lies at column 14, pixel (14 - 5) * 16.
    ed.tool.Level_MouseDown(kLeft, 0, 144, 80);
    ASSERT_EQ(ed.tool.dragMode, DragMode::RSX);
    ed.tool.Level_MouseMove(kLeft, 0, 248, 80);  // column 20
    EXPECT_EQ(At(0).width, 8);
    ed.tool.Level_MouseMove(kLeft, 0, 64, 80);  // column 9, left of the origin
    EXPECT_EQ(At(0).width, -3);
}

TEST_F(MouseTest, OtherButtonsDuringADragKeepTheModeAndAnyReleaseEndsIt) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    ed.tool.Level_MouseDown(kLeft, 0, 165, 70);
    ed.tool.Level_MouseDown(kRight, 0, 165, 70);
    EXPECT_EQ(ed.tool.dragMode, DragMode::MOV);
    EXPECT_TRUE(ed.panels.lstPopup.visible());
    ed.tool.Level_MouseMove(kLeft | kRight, 0, 300, 300);
    EXPECT_EQ(At(0).x, 10);
    ed.tool.Level_MouseUp(kRight, 0, 300, 300);  // the left button is still held
    EXPECT_EQ(ed.tool.dragMode, DragMode::NON);
    ed.tool.Level_MouseMove(kLeft, 0, 300, 300);
    EXPECT_EQ(At(0), Obj(0x01, 10, 4, 2, 3));
    EXPECT_FALSE(ed.session.changed());
    ed.tool.Level_MouseDown(kLeft, 0, 192, 80);
    ed.tool.Level_MouseDown(kMiddle, 0, 192, 80);
    EXPECT_EQ(ed.tool.dragMode, DragMode::RSX);
    ed.tool.Level_MouseUp(kMiddle, 0, 192, 80);
    EXPECT_EQ(ed.tool.dragMode, DragMode::NON);
}

TEST_F(MouseTest, StationaryTooltipSitsAtTheViewsBottomLeft) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    ed.mnuViewStationary_Click();
    EXPECT_TRUE(ed.mnuViewStationary);
    EXPECT_TRUE(ed.repaintRequested);
    ed.tool.Level_MouseMove(0, 0, 170, 70);
    EXPECT_EQ(ed.tool.lblToolTip.text, "1 - Block");
    EXPECT_EQ(ed.tool.lblToolTip.left, 0);
    EXPECT_EQ(ed.tool.lblToolTip.top, 488 - 16);
    ed.tool.Level_MouseMove(0, 0, 300, 300);
    EXPECT_EQ(ed.tool.lblToolTip.text, "");
    EXPECT_EQ(ed.tool.lblToolTip.top, 488 - 16);
    ed.mnuViewStationary_Click();
    ed.tool.Level_MouseMove(0, 0, 300, 300);
    EXPECT_EQ(ed.tool.lblToolTip.top, -32);
}

}  // namespace
}  // namespace mw::test
