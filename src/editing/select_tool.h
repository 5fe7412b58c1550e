#pragma once
// The selecting and dragging tool of the level view: the mouse state
// machine, its grab offsets and rubber band, the pointer shape and tooltip.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "editing/level_document.h"
#include "util/prompter.h"
#include "view/view_state.h"
#include "editing/editor_part.h"
#include "view/selection_marks.h"

namespace mw {

// The mouse state machine's modes.
enum class DragMode { NON, MOV, RSX, RSY, RSA, SCR, SCX };

// The merge kinds of the editor's commands (MergeKey::kind): a drag's moves
// make one command, and so does typing into one exit box.
enum EditKind : int {
    kEditOnce = 0,  // never merges
    kEditMove = 1,
    kEditResize = 2,
    kEditExitField = 10,  // + the ExitField
};

// Standard pointer shapes the view can show, by their cursor codes.
enum class PointerShape {
    Default = 0,   // arrow
    Cross = 2,     // cross-hair: over a screen exit tab
    SizeAll = 5,   // four-way arrow: over the body of an entry
    SizeNS = 7,    // over a height edge
    SizeNWSE = 8,  // over a width edge and a height edge at once
    SizeWE = 9,    // over a width edge
};

// The tooltip label inside the view (1028 by 17 pixels); out of sight
// whenever it lies above the view.
struct ToolTipState {
    std::string text;
    float left = 376;
    float top = -46;
};

class SelectTool : EditorPart {
public:
    explicit SelectTool(LevelEditor& editor) : EditorPart(editor) {}

    DragMode dragMode = DragMode::NON;
    int grabOffsetX = 0;
    int grabOffsetY = 0;
    // "&Create" and "&Remove" act on screen exits while this holds.
    bool InScreenExitMode() const { return dragMode == DragMode::SCR || dragMode == DragMode::SCX; }

    // The entries that show and take resize handles: the current entry, or
    // with several selected, every selected one (the one under the pointer
    // answers).
    std::vector<int> HandleEntries() const;

    // Hit tests: objectList (or exitList) index under a view pixel, or -1.
    int FindObjectAt(float px, float py) const;
    int FindWidthEdgeAt(float px, float py) const;
    int FindHeightEdgeAt(float px, float py) const;
    int FindExitTabAt(float px, float py) const;

    // Mouse on the view. button: 1 left, 2 right, 4 middle (held buttons on
    // a move); shift is ignored.
    void Level_MouseDown(int button, int shift, float px, float py);
    void Level_MouseMove(int button, int shift, float px, float py);
    void Level_MouseUp(int button, int shift, float px, float py);
    PointerShape MousePointer = PointerShape::Default;
    ToolTipState lblToolTip;
    // Out of sight and empty: what it named belongs to another level.
    void HideToolTip();
    std::string lblMousePos;
    // The rubber band while a left drag from empty space draws one.
    std::optional<BandCorners> band;

    // Moves the selected object's origin to tile (x, y) as a "Move" command
    // (the whole selection when it holds more than one entry).
    void MoveSelectedTo(int x, int y);

private:
    void Pick(float px, float py);
    // The entry whose handle a resize drag grabbed.
    int resizeIndex_ = -1;
    // A resize drag: the width (or height) that the pointer's tile gives the grabbed entry.
    void DragExtent(bool isWidth, float pointer);
    void DragMove(float px, float py);
    // The selection's part of a left press: Ctrl toggles the entry under the
    // pointer or starts a band that adds; a plain press picks (Pick) and
    // starts a band over empty space.
    void SelectionPress(float px, float py, bool ctrl);
    std::vector<int> bandBase_;  // what a Ctrl band adds to
    void DragBand(float px, float py);
    void ToggleSelected(int index);
    // Moves every selected entry by (dx, dy) tiles, less what would take
    // one out of the level, as a "Move" command.
    void MoveGroup(int dx, int dy);
};

}  // namespace mw
