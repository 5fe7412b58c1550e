// The Edit menu and the editing conventions around it: undo and redo, the
// arrow keys, Delete, zooming by steps and dropping palette items on the
// view; and the one way the editor's handlers change the level.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "editing/create_remove.h"
#include "editing/level_editor.h"
#include "view/view_controls.h"
#include "view/view_geometry.h"

namespace mw {

std::string EditCommands::mnuEditUndoCaption() const {
    return document.canUndo() ? "&Undo " + document.undoText() : "&Undo";
}

std::string EditCommands::mnuEditRedoCaption() const {
    return document.canRedo() ? "&Redo " + document.redoText() : "&Redo";
}

void EditCommands::mnuEditUndo_Click() { document.Undo(); }

void EditCommands::mnuEditRedo_Click() { document.Redo(); }

void EditCommands::mnuEditNudge_Click(int dx, int dy) {
    // Each key press is a command of its own.
    document.EndMerge();
    if (editor.tool.InScreenExitMode()) {
        // cmdMoveScreen's buttons: 0 right, 1 up, 2 left, 3 down.
        if (dx != 0) editor.panels.cmdMoveScreen_Click(dx > 0 ? 0 : 2);
        if (dy != 0) editor.panels.cmdMoveScreen_Click(dy < 0 ? 1 : 3);
    } else if (HasSelectedObject()) {
        const LevelObject& e = level.objectList[static_cast<size_t>(selectedObject())];
        editor.tool.MoveSelectedTo(std::clamp(e.x + dx, 0, kLevelColumns - 1), std::clamp(e.y + dy, 0, kLevelRows - 1));
    }
    document.EndMerge();
}

void EditCommands::ZoomStep(int steps, float px, float py) {
    // The current zoom's place among the steps (a zoom between two steps
    // counts as the larger one).
    const int count = static_cast<int>(std::size(kZoomLevels));
    int at = 0;
    while (at < count - 1 && kZoomLevels[at] < view.zoom) ++at;
    const int to = std::clamp(at + (steps > 0 ? 1 : -1), 0, count - 1);
    if (steps == 0 || kZoomLevels[to] == view.zoom) return;
    const int tileX = PixelToTileX(view, px);
    const int tileY = PixelToTileY(view, py);
    editor.mnuViewZoom_Click(kZoomLevels[to]);
    // The scroll position that puts the same tile under the same pixel, as
    // far as the scroll ranges allow.
    editor.SetScroll(view.hsc, tileX - static_cast<int>(std::floor(px / static_cast<float>(view.zoom))));
    editor.SetScroll(view.vsc, tileY - static_cast<int>(std::floor(py / static_cast<float>(view.zoom))));
}

void EditCommands::mnuEditZoom_Click(int steps) { ZoomStep(steps, view.viewWidth / 2, view.viewHeight / 2); }

void EditCommands::DropPaletteItem(int code, float px, float py) {
    if (!editor.session.levelLoaded) return;
    const int x = std::clamp(PixelToTileX(view, px), 0, kLevelColumns - 1);
    const int y = std::clamp(PixelToTileY(view, py), 0, kLevelRows - 1);
    document.Apply("Create", {}, [&](LevelDocument::Edit& edit) {
        int object = selectedObject();
        if (AddEntry(edit, defs, code, x, y, object, prompter)) edit.select(document.WithCurrent(object));
    });
}

}  // namespace mw
