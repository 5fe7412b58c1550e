#include "editing/mouse.h"

#include <algorithm>
#include <cmath>

#include "editing/hit_test.h"
#include "editing/level_editor.h"
#include "level/object_caption.h"
#include "util/hex_text.h"
#include "view/view_geometry.h"

namespace mw {

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

std::optional<int> DraggedExtent(const ObjectDefinition& def, bool isWidth, int n) {
    const int wholeByteMode = isWidth ? 1 : 2;  // the size mode that stores this extent whole
    const int fixedMode = isWidth ? 2 : 1;      // the size mode that fixes it at 1
    if (def.kind == kKindFourByte) {
        if (def.sizeMode == fixedMode) return std::nullopt;
        if (def.sizeMode != wholeByteMode) return std::clamp(n, 1, 16);
        if (n == 0 || n == -1) return 1;
        return std::clamp(n, -129, 128);
    }
    if (def.kind == kKindFiveByte) {
        if (n == 0 || n == -1) return 1;
        return std::clamp(n, -127, 128);
    }
    return std::nullopt;
}

std::string SignedHex(int value) {
    if (value < 0) return "-" + ToHex(static_cast<uint32_t>(-static_cast<int64_t>(value)));
    return ToHex(static_cast<uint32_t>(value));
}

// ---- the editor's hit tests ----

std::vector<int> SelectTool::HandleEntries() const {
    std::vector<int> group = document.selectedIndices();
    if (group.size() > 1) return group;
    return HasSelectedObject() ? std::vector<int>{selectedObject()} : std::vector<int>{};
}

int SelectTool::FindObjectAt(float px, float py) const { return FindAllAt(level, defs, view, px, py).body; }
int SelectTool::FindWidthEdgeAt(float px, float py) const {
    return FindAllAt(level, defs, view, px, py, HandleEntries()).width;
}
int SelectTool::FindHeightEdgeAt(float px, float py) const {
    return FindAllAt(level, defs, view, px, py, HandleEntries()).height;
}
int SelectTool::FindExitTabAt(float px, float py) const { return mw::FindExitTabAt(level, view, px, py); }

// ---- the mouse on the view ----

namespace {
constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kCtrlKey = 2;  // in the `shift` mask: 1 Shift, 2 Ctrl, 4 Alt
}  // namespace

void SelectTool::Pick(float px, float py) {
    // Each later find overrides the earlier ones: a handle beats a body, and
    // an exit tab beats everything.
    const PointerHits hits = FindAllAt(level, defs, view, px, py, HandleEntries());
    int picked = -1;
    const int body = hits.body;
    if (body >= 0) {
        const LevelObject& e = level.objectList[static_cast<size_t>(body)];
        dragMode = DragMode::MOV;
        picked = body;
        grabOffsetX = RoundHalfEven(px - static_cast<float>(TileToPixelX(view, static_cast<int>(e.x))));
        grabOffsetY = RoundHalfEven(py - static_cast<float>(TileToPixelY(view, static_cast<int>(e.y))));
    }
    const int widthEdge = hits.width;
    if (widthEdge >= 0) {
        picked = widthEdge;
        dragMode = DragMode::RSX;
    }
    const int heightEdge = hits.height;
    if (heightEdge >= 0) {
        picked = heightEdge;
        dragMode = DragMode::RSY;
    }
    if (widthEdge >= 0 && heightEdge >= 0) dragMode = DragMode::RSA;
    resizeIndex_ = picked;
    // A press on an entry outside the selection makes it the selection.
    if (picked >= 0) SelectObject(picked);
    const int tab = FindExitTabAt(px, py);
    if (tab >= 0) {
        dragMode = DragMode::SCR;
        editor.panels.fraScreenExitsVisible = true;
        SelectExit(tab);
        Changed(kChangedPanels);
    }
}

void SelectTool::Level_MouseDown(int button, int shift, float px, float py) {
    // Without a level nothing can be picked, dragged or reordered.
    if (!editor.session.levelLoaded) return;
    // A press starts a new gesture: its drag becomes a command of its own.
    document.EndMerge();
    if (button == kLeft) {
        if (dragMode == DragMode::SCX) {
            // A left press while the exit editor is open only closes it.
            dragMode = DragMode::NON;
            editor.panels.fraScreenExitsVisible = false;
            Changed(kChangedPanels);
        } else if (dragMode != DragMode::SCR) {
            SelectionPress(px, py, (shift & kCtrlKey) != 0);
        }
    }
    if (button == kRight) editor.panels.FillPickList(px, py);
}

void SelectTool::Level_MouseUp(int /*button*/, int /*shift*/, float /*px*/, float /*py*/) {
    document.EndMerge();
    dragMode = dragMode == DragMode::SCR ? DragMode::SCX : DragMode::NON;
    if (band) {
        band.reset();
        Changed(kChangedDrawing);  // the band is the tool's own mark on the view
    }
}

void SelectTool::DragExtent(bool isWidth, float pointer) {
    const int index = resizeIndex_;
    if (index < 0 || index > level.objectLast()) return;
    LevelObject e = level.objectList[static_cast<size_t>(index)];
    if (e.isSprite) return;
    const int n = isWidth ? PixelToTileX(view, pointer) - e.x : PixelToTileY(view, pointer) - e.y;
    int16_t& stored = isWidth ? e.width : e.height;
    const std::optional<int> extent = DraggedExtent(defs.objectDefs[e.id], isWidth, n);
    if (!extent || *extent == stored) return;
    stored = static_cast<int16_t>(*extent);
    document.Apply("Resize", {kEditResize, document.objectId(index)},
              [&](LevelDocument::Edit& edit) { edit.replaceObject(index, e); });
}

void SelectTool::DragMove(float px, float py) {
    if (!HasSelectedObject()) return;
    // The tile under the pointer less the grab offset, kept inside the level.
    const int x = std::clamp(PixelToTileX(view, px - static_cast<float>(grabOffsetX)), 0, kLevelColumns - 1);
    const int y = std::clamp(PixelToTileY(view, py - static_cast<float>(grabOffsetY)), 0, kLevelRows - 1);
    MoveSelectedTo(x, y);
}

void SelectTool::MoveSelectedTo(int x, int y) {
    const int index = selectedObject();
    LevelObject e = level.objectList[static_cast<size_t>(index)];
    if (x == e.x && y == e.y) return;
    if (editor.commands.SelectedIndices().size() > 1) {
        MoveGroup(x - e.x, y - e.y);
        return;
    }
    e.x = static_cast<uint8_t>(x);
    e.y = static_cast<uint8_t>(y);
    document.Apply("Move", {kEditMove, document.objectId(index)},
              [&](LevelDocument::Edit& edit) { edit.replaceObject(index, e); });
}

void SelectTool::HideToolTip() {
    lblToolTip.text.clear();
    if (!editor.mnuViewStationary) lblToolTip.top = -32;
}

void SelectTool::Level_MouseMove(int button, int /*shift*/, float px, float py) {
    MousePointer = PointerShape::Default;
    lblMousePos = "(" + SignedHex(PixelToTileX(view, px)) + "," + SignedHex(PixelToTileY(view, py)) + ")";

    if (button == 0) {
        const PointerHits hits = FindAllAt(level, defs, view, px, py, HandleEntries());
        const int body = hits.body;
        if (body >= 0) {
            MousePointer = PointerShape::SizeAll;
            lblToolTip.left = px + 16;
            lblToolTip.top = py - 32;
            ObjectCaptionInto(lblToolTip.text, defs, level.objectList[static_cast<size_t>(body)], true);
        } else {
            HideToolTip();
        }
        const int tab = FindExitTabAt(px, py);
        if (tab >= 0) {
            const ScreenExit& x = level.exitList[static_cast<size_t>(tab)];
            MousePointer = PointerShape::Cross;
            lblToolTip.left = px + 16;
            lblToolTip.top = py - 32;
            lblToolTip.text = "Screen exit to " + ToHex(x.destination) + ", Entrance type: " +
                              ToHex(x.entranceType) + ", Entrance at (" + ToHex(x.entranceX) + "," +
                              ToHex(x.entranceY) + ")";
        }
        const bool widthEdge = hits.width >= 0;
        const bool heightEdge = hits.height >= 0;
        if (widthEdge) MousePointer = PointerShape::SizeWE;
        if (heightEdge) MousePointer = PointerShape::SizeNS;
        if (widthEdge && heightEdge) MousePointer = PointerShape::SizeNWSE;
        editor.panels.lstPopup.top = kHiddenPickListTop;
    }

    // Drags follow the left button alone; any other combination changes nothing.
    if (button == kLeft) {
        if (dragMode == DragMode::RSY || dragMode == DragMode::RSA) DragExtent(false, py);
        if (dragMode == DragMode::RSX || dragMode == DragMode::RSA) DragExtent(true, px);
        if (dragMode == DragMode::MOV) DragMove(px, py);
        if (band) {
            DragBand(px, py);
            Changed(kChangedDrawing);  // the band is the tool's own mark on the view
        }
    }

    if (editor.mnuViewStationary) {
        lblToolTip.top = view.viewHeight - 16;
        lblToolTip.left = 0;
    }
}

}  // namespace mw
