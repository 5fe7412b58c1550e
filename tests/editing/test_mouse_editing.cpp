// The mouse on the view: the drag mode state machine, moving with its grab
// offset and clamps, resizing with the limits a record can hold, and the
// hover feedback (pointer shape, tooltip, position readout).
#include "editing/mouse.h"
#include "test_editor_fixture.h"

namespace mw::test {
namespace {

using MouseTest = EditorTest;
constexpr int kLeft = 1, kRight = 2, kMiddle = 4;

TEST_F(MouseTest, MoveKeepsTheGrabOffsetInWholeTiles) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    ed.Level_MouseDown(kLeft, 0, 165, 70);
    EXPECT_EQ(ed.dragMode, DragMode::MOV);
    EXPECT_EQ(ed.grabOffsetX, 5);
    EXPECT_EQ(ed.grabOffsetY, 6);
    EXPECT_FALSE(ed.changed);
    ed.Level_MouseMove(kLeft, 0, 200, 70);
    EXPECT_EQ(At(0).x, 12);
    EXPECT_EQ(At(0).y, 4);
    EXPECT_TRUE(ed.changed);
    EXPECT_TRUE(ed.repaintRequested);
    ed.Level_MouseMove(kLeft, 0, 204, 69);  // (204 - 5) / 16 = 12.4, (69 - 6) / 16 = 3.9
    EXPECT_EQ(At(0).x, 12);
    EXPECT_EQ(At(0).y, 3);
    ed.Level_MouseUp(kLeft, 0, 204, 69);
    EXPECT_EQ(ed.dragMode, DragMode::NON);
    ed.Level_MouseMove(kLeft, 0, 300, 300);  // released: no drag
    EXPECT_EQ(At(0).x, 12);
}

TEST_F(MouseTest, GrabOffsetRoundsHalfToEven) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    ed.Level_MouseDown(kLeft, 0, 164.5f, 69.5f);
    EXPECT_EQ(ed.grabOffsetX, 4);
    EXPECT_EQ(ed.grabOffsetY, 6);
}

TEST_F(MouseTest, MoveIsClampedToTheLevel) {
    SetEntries({Obj(0x01, 1, 1), Spr(0x1E, 5, 5)});
    ed.Level_MouseDown(kLeft, 0, 20, 20);
    ed.Level_MouseMove(kLeft, 0, -100, 20000);
    EXPECT_EQ(At(0).x, 0);
    EXPECT_EQ(At(0).y, 127);
    ed.Level_MouseMove(kLeft, 0, 20000, -50);
    EXPECT_EQ(At(0).x, 255);
    EXPECT_EQ(At(0).y, 0);
    ed.Level_MouseUp(kLeft, 0, 0, 0);
    // Sprites move the same way.
    ed.Level_MouseDown(kLeft, 0, 88, 88);
    ed.Level_MouseMove(kLeft, 0, 120, 40);
    EXPECT_EQ(At(1).x, 7);
    EXPECT_EQ(At(1).y, 2);
}

TEST_F(MouseTest, DragsFollowTheLeftButtonAlone) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    ed.Level_MouseDown(kLeft, 0, 165, 70);
    ed.Level_MouseMove(kLeft | kRight, 0, 300, 300);
    ed.Level_MouseMove(kRight, 0, 300, 300);
    EXPECT_EQ(At(0).x, 10);
    EXPECT_EQ(At(0).y, 4);
    EXPECT_FALSE(ed.changed);
}

TEST_F(MouseTest, AnEdgeBeatsABodyAndAnExitTabBeatsBoth) {
    // Entry 0's width edge (column 12) lies on entry 1's body.
    SetEntries({Obj(0x01, 10, 4, 2, 3), Obj(0x01, 12, 4, 2, 2)}, {Exit(0, 0)});
    ed.Level_MouseDown(kLeft, 0, 193, 70);
    EXPECT_EQ(ed.dragMode, DragMode::RSX);
    EXPECT_EQ(ed.selectedObject, 0);
    ed.Level_MouseUp(kLeft, 0, 193, 70);

    ed.Level_MouseDown(kLeft, 0, 170, 111);  // entry 0's bottom edge
    EXPECT_EQ(ed.dragMode, DragMode::RSY);
    ed.Level_MouseUp(kLeft, 0, 170, 111);

    ed.Level_MouseDown(kLeft, 0, 192, 112);  // its corner
    EXPECT_EQ(ed.dragMode, DragMode::RSA);
    EXPECT_EQ(ed.selectedObject, 0);
    ed.Level_MouseUp(kLeft, 0, 192, 112);
    EXPECT_EQ(ed.dragMode, DragMode::NON);
}

TEST_F(MouseTest, ExitTabOpensTheExitEditorAndTheNextLeftPressOnlyClosesIt) {
    SetEntries({Obj(0x01, 0, 0, 4, 4), Obj(0x01, 8, 8, 2, 2)}, {Exit(0, 0, 0x2A)});
    ed.selectedObject = 1;
    ed.Level_MouseDown(kLeft, 0, 10, 3);
    EXPECT_EQ(ed.dragMode, DragMode::SCR);
    EXPECT_EQ(ed.selectedObject, 0);  // selected, not moved
    EXPECT_EQ(ed.selectedExit, 0);
    EXPECT_TRUE(ed.fraScreenExitsVisible);
    EXPECT_EQ(ed.exitEditor.txtExitDestination, "2A");
    ed.Level_MouseMove(kLeft, 0, 100, 100);
    EXPECT_EQ(At(0).x, 0);
    ed.Level_MouseDown(kLeft, 0, 10, 3);  // a press while SCR changes nothing
    EXPECT_EQ(ed.dragMode, DragMode::SCR);
    ed.Level_MouseUp(kLeft, 0, 100, 100);
    EXPECT_EQ(ed.dragMode, DragMode::SCX);

    ed.Level_MouseDown(kLeft, 0, 136, 136);  // on entry 1: nothing is picked
    EXPECT_EQ(ed.dragMode, DragMode::NON);
    EXPECT_FALSE(ed.fraScreenExitsVisible);
    EXPECT_EQ(ed.selectedObject, 0);
    ed.Level_MouseUp(kLeft, 0, 136, 136);
    ed.Level_MouseDown(kLeft, 0, 136, 136);  // the next press picks again
    EXPECT_EQ(ed.selectedObject, 1);
    EXPECT_EQ(ed.dragMode, DragMode::MOV);
}

TEST_F(MouseTest, OtherButtonsLeaveTheModeUntilRelease) {
    SetEntries({Obj(0x01, 0, 0, 4, 4)}, {Exit(0, 0)});
    ed.Level_MouseDown(kLeft, 0, 10, 3);
    ed.Level_MouseUp(kLeft, 0, 10, 3);
    ASSERT_EQ(ed.dragMode, DragMode::SCX);
    ed.Level_MouseDown(kRight, 0, 30, 30);
    EXPECT_EQ(ed.dragMode, DragMode::SCX);
    EXPECT_TRUE(ed.lstPopup.visible());
    ed.Level_MouseUp(kRight, 0, 30, 30);
    EXPECT_EQ(ed.dragMode, DragMode::NON);
    EXPECT_TRUE(ed.fraScreenExitsVisible);  // the frame stays; the mode is over

    ed.Level_MouseDown(kMiddle, 0, 30, 30);
    EXPECT_EQ(ed.dragMode, DragMode::NON);
    EXPECT_TRUE(ed.repaintRequested);
}

TEST_F(MouseTest, PressOnEmptySpaceKeepsModeAndSelection) {
    SetEntries({Obj(0x01, 0, 0), Obj(0x01, 3, 3)});
    ed.selectedObject = 1;
    ed.Level_MouseDown(kLeft, 0, 300, 300);
    EXPECT_EQ(ed.dragMode, DragMode::NON);
    EXPECT_EQ(ed.selectedObject, 1);
    ed.Level_MouseMove(kLeft, 0, 5, 5);
    EXPECT_EQ(At(1).x, 3);
    EXPECT_FALSE(ed.changed);
}

TEST_F(MouseTest, ExtentRulesKeepWhatARecordCanHold) {
    const DefinitionTables& d = ed.defs;
    const ObjectDefinition& nib = d.objectDefs[0x02];
    const ObjectDefinition& row = d.objectDefs[0x03];
    const ObjectDefinition& column = d.objectDefs[0x04];
    const ObjectDefinition& five = d.objectDefs[0x01];
    // Four-byte, both nibbles: 1..16.
    EXPECT_EQ(DraggedExtent(nib, true, -5), 1);
    EXPECT_EQ(DraggedExtent(nib, true, 0), 1);
    EXPECT_EQ(DraggedExtent(nib, false, 7), 7);
    EXPECT_EQ(DraggedExtent(nib, false, 20), 16);
    // Four-byte, whole-byte extent: -129..128, never 0 or -1.
    EXPECT_EQ(DraggedExtent(row, true, -1), 1);
    EXPECT_EQ(DraggedExtent(row, true, 0), 1);
    EXPECT_EQ(DraggedExtent(row, true, -2), -2);
    EXPECT_EQ(DraggedExtent(row, true, -129), -129);
    EXPECT_EQ(DraggedExtent(row, true, -200), -129);
    EXPECT_EQ(DraggedExtent(row, true, 128), 128);
    EXPECT_EQ(DraggedExtent(row, true, 200), 128);
    EXPECT_EQ(DraggedExtent(column, false, -140), -129);
    // ... and the fixed direction is left alone.
    EXPECT_EQ(DraggedExtent(row, false, 5), std::nullopt);
    EXPECT_EQ(DraggedExtent(column, true, 5), std::nullopt);
    // Five-byte: -127..128, never 0 or -1.
    EXPECT_EQ(DraggedExtent(five, true, -190), -127);
    EXPECT_EQ(DraggedExtent(five, true, -127), -127);
    EXPECT_EQ(DraggedExtent(five, false, -1), 1);
    EXPECT_EQ(DraggedExtent(five, false, 0), 1);
    EXPECT_EQ(DraggedExtent(five, false, 129), 128);
    EXPECT_EQ(DraggedExtent(five, true, 300), 128);
    // Records without a size.
    EXPECT_EQ(DraggedExtent(d.objectDefs[0x00], true, 4), std::nullopt);
    EXPECT_EQ(DraggedExtent(d.objectDefs[0xFF], true, 4), std::nullopt);
}

TEST_F(MouseTest, WidthAndHeightDragsFromTheTileUnderThePointer) {
    SetEntries({Obj(0x02, 4, 4, 2, 2), Obj(0x01, 10, 10, 2, 2)});
    // Nibble object: left of its origin gives 1, far right gives 16.
    ed.Level_MouseDown(kLeft, 0, 6 * 16, 70);
    ASSERT_EQ(ed.dragMode, DragMode::RSX);
    ed.Level_MouseMove(kLeft, 0, 20, 70);
    EXPECT_EQ(At(0).width, 1);
    ed.Level_MouseMove(kLeft, 0, 24 * 16 + 3, 70);
    EXPECT_EQ(At(0).width, 16);
    EXPECT_EQ(At(0).height, 2);
    ed.Level_MouseUp(kLeft, 0, 0, 0);
    // Five-byte object: the tile under the pointer ends the box below the
    // origin and is included above it.
    ed.Level_MouseDown(kLeft, 0, 170, 12 * 16);
    ASSERT_EQ(ed.dragMode, DragMode::RSY);
    ed.Level_MouseMove(kLeft, 0, 170, 15 * 16 + 8);
    EXPECT_EQ(At(1).height, 5);
    ed.Level_MouseMove(kLeft, 0, 170, 10 * 16 + 8);  // its origin row
    EXPECT_EQ(At(1).height, 1);
    ed.Level_MouseMove(kLeft, 0, 170, 9 * 16 + 8);  // one row above: -1 has no byte
    EXPECT_EQ(At(1).height, 1);
    ed.Level_MouseMove(kLeft, 0, 170, 7 * 16 + 8);
    EXPECT_EQ(At(1).height, -3);
    EXPECT_EQ(At(1).width, 2);
}

TEST_F(MouseTest, FarWidthDragOfAFiveByteObjectStopsAtMinus127) {
    SetEntries({Obj(0x01, 200, 4, 2, 2)});
    ed.hscLevelPos_Change(190);
    ed.Level_MouseDown(kLeft, 0, 12 * 16, 70);
    ASSERT_EQ(ed.dragMode, DragMode::RSX);
    ed.Level_MouseMove(kLeft, 0, (10 - 190) * 16 + 3, 70);  // column 10
    EXPECT_EQ(At(0).width, -127);
}

TEST_F(MouseTest, CornerDragChangesOnlyTheExtentsTheSelectedRecordStores) {
    // Entry 0's width edge (column 21) crosses entry 1's height edge (row 6);
    // entry 1 stores only its height.
    SetEntries({Obj(0x01, 19, 2, 2, 5), Obj(0x04, 20, 4, 1, 2)});
    ed.Level_MouseDown(kLeft, 0, 21 * 16, 6 * 16);
    ASSERT_EQ(ed.dragMode, DragMode::RSA);
    ASSERT_EQ(ed.selectedObject, 1);
    ed.Level_MouseMove(kLeft, 0, 400, 130);
    EXPECT_EQ(At(1).height, 4);
    EXPECT_EQ(At(1).width, 1);
    EXPECT_EQ(At(0), Obj(0x01, 19, 2, 2, 5));
}

TEST_F(MouseTest, CornerDragResizesBothWays) {
    SetEntries({Obj(0x01, 2, 2, 2, 2)});
    ed.Level_MouseDown(kLeft, 0, 64, 64);
    ASSERT_EQ(ed.dragMode, DragMode::RSA);
    ed.Level_MouseMove(kLeft, 0, 100, 120);
    EXPECT_EQ(At(0).width, 4);
    EXPECT_EQ(At(0).height, 5);
}

TEST_F(MouseTest, HoverShowsShapesAndTooltips) {
    SetEntries({Obj(0x01, 10, 4, 2, 3), Spr(0x1E, 2, 2)}, {Exit(1, 1, 0x2A, 0x1F, 5, 3)});
    ed.Level_MouseMove(0, 0, 170, 70);
    EXPECT_EQ(ed.MousePointer, PointerShape::SizeAll);
    EXPECT_EQ(ed.lblToolTip.text, "1 - Block");
    EXPECT_EQ(ed.lblToolTip.left, 186);
    EXPECT_EQ(ed.lblToolTip.top, 38);
    ed.Level_MouseMove(0, 0, 40, 40);
    EXPECT_EQ(ed.lblToolTip.text, "S1E - Guy");
    ed.Level_MouseMove(0, 0, 192, 80);
    EXPECT_EQ(ed.MousePointer, PointerShape::SizeWE);
    ed.Level_MouseMove(0, 0, 170, 112);
    EXPECT_EQ(ed.MousePointer, PointerShape::SizeNS);
    ed.Level_MouseMove(0, 0, 191, 111);
    EXPECT_EQ(ed.MousePointer, PointerShape::SizeNWSE);
    ed.Level_MouseMove(0, 0, 260, 258);
    EXPECT_EQ(ed.MousePointer, PointerShape::Cross);
    EXPECT_EQ(ed.lblToolTip.text, "Screen exit to 2A, Entrance type: 3, Entrance at (1F,5)");
    EXPECT_EQ(ed.lblToolTip.left, 276);
    EXPECT_EQ(ed.lblToolTip.top, 226);
    ed.Level_MouseMove(0, 0, 300, 400);
    EXPECT_EQ(ed.MousePointer, PointerShape::Default);
    EXPECT_EQ(ed.lblToolTip.text, "");
    EXPECT_EQ(ed.lblToolTip.top, -32);
    // While dragging the pointer shows the arrow and the tooltip stays.
    ed.Level_MouseDown(kLeft, 0, 170, 70);
    ed.Level_MouseMove(0, 0, 170, 70);
    ed.Level_MouseMove(kLeft, 0, 172, 70);
    EXPECT_EQ(ed.MousePointer, PointerShape::Default);
    EXPECT_EQ(ed.lblToolTip.text, "1 - Block");
}

TEST_F(MouseTest, StationaryTooltipSitsAtTheViewsBottomLeft) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    ed.mnuViewStationary_Click();
    EXPECT_TRUE(ed.mnuViewStationary);
    EXPECT_TRUE(ed.repaintRequested);
    ed.Level_MouseMove(0, 0, 170, 70);
    EXPECT_EQ(ed.lblToolTip.text, "1 - Block");
    EXPECT_EQ(ed.lblToolTip.left, 0);
    EXPECT_EQ(ed.lblToolTip.top, 488 - 16);
    ed.Level_MouseMove(0, 0, 300, 300);
    EXPECT_EQ(ed.lblToolTip.text, "");
    EXPECT_EQ(ed.lblToolTip.top, 488 - 16);
    ed.mnuViewStationary_Click();
    ed.Level_MouseMove(0, 0, 300, 300);
    EXPECT_EQ(ed.lblToolTip.top, -32);
}

TEST_F(MouseTest, PositionReadoutInHex) {
    ed.hscLevelPos_Change(0x20);
    ed.vscLevelPos_Change(0x10);
    ed.Level_MouseMove(0, 0, 15, 0);
    EXPECT_EQ(ed.lblMousePos, "(20,10)");
    ed.Level_MouseMove(kLeft, 0, 16 * 0x1B, 16 * 0x1F + 15);
    EXPECT_EQ(ed.lblMousePos, "(3B,2F)");
    ed.Level_MouseMove(kLeft, 0, -16 * 0x21, -1);  // dragged out past the left and top
    EXPECT_EQ(ed.lblMousePos, "(-1,F)");
}

TEST_F(MouseTest, HoverHidesThePickList) {
    SetEntries({Obj(0x01, 10, 4, 2, 3)});
    ed.Level_MouseDown(kRight, 0, 170, 70);
    ASSERT_TRUE(ed.lstPopup.visible());
    ed.Level_MouseMove(kRight, 0, 171, 70);  // a button held: the list stays
    EXPECT_TRUE(ed.lstPopup.visible());
    ed.Level_MouseMove(0, 0, 171, 70);
    EXPECT_FALSE(ed.lstPopup.visible());
    EXPECT_EQ(ed.lstPopup.top, -512);
}

}  // namespace
}  // namespace mw::test
