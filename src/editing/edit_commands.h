#pragma once
// The commands of the Edit and Level menus and the panel's buttons: undo and
// redo, the arrow keys, Delete, the selection and the clipboard, creating,
// removing and clearing, the header dialog's way back and the badger.
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

namespace mw {

class EditCommands : EditorPart {
public:
    explicit EditCommands(LevelEditor& editor) : EditorPart(editor) {}

    // "&Undo <what>" and "&Redo <what>": the captions (just "&Undo" and
    // "&Redo" when there is nothing) and whether the items are enabled.
    std::string mnuEditUndoCaption() const;
    std::string mnuEditRedoCaption() const;
    bool mnuEditUndoEnabled() const { return document.canUndo(); }
    bool mnuEditRedoEnabled() const { return document.canRedo(); }
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    // The arrow keys: moves the current entry by (dx, dy) tiles within the
    // level, as a drag may; in screen exit mode the current exit moves by
    // one screen in the direction of (dx, dy).
    void mnuEditNudge_Click(int dx, int dy);
    // Delete: "&Remove", or all the selected entries in one step.
    void mnuEditDelete_Click();
    // Zooms one step in (steps > 0) or out through kZoomLevels, keeping the
    // tile under view pixel (px, py) where it is.
    void ZoomStep(int steps, float px, float py);
    // The same around the view's centre (Ctrl+= / Ctrl+- ).
    void mnuEditZoom_Click(int steps);
    // A palette item (its code) dropped on the view at (px, py): "&Create"
    // with the new entry's origin on the tile under the pointer.
    void DropPaletteItem(int code, float px, float py);
    // The selected entries as objectList indices, ascending. The current
    // entry (selectedObject) is always one of them; the others come from
    // Ctrl+click, the rubber band and "select all". Moves, nudges, Delete
    // and the clipboard act on all of them; resizing and the exit editor on
    // the current entry alone.
    std::vector<int> SelectedIndices() const;
    // The selected entries, in the order of SelectedIndices().
    std::vector<LevelObject> SelectedEntries() const;
    // Makes `indices` the selection; the current entry stays current when it
    // is among them, else the last of them becomes current (an empty list
    // leaves the current entry alone selected).
    void SelectEntries(const std::vector<int>& indices);
    void mnuEditSelectAll_Click();      // Ctrl+A: every entry in view that can be picked
    void mnuEditSelectCurrent_Click();  // Escape: the current entry alone
    // "Copy": the selection as the clipboard's text ("" when there is none).
    std::string mnuEditCopy_Click();
    // "Cut": the same, and the selection removed in one step ("" when refused).
    std::string mnuEditCut_Click();
    // "Paste": the clipboard's entries with their top-left origin at the tile
    // under view pixel `pointer`, or at the view's top-left tile; they become
    // the selection, as one step.
    struct ViewPoint {
        float px = 0;
        float py = 0;
    };
    void mnuEditPaste_Click(const std::string& text, std::optional<ViewPoint> pointer);
    // "Duplicate": copies of the selection one tile right and down, selected.
    void mnuEditDuplicate_Click();

    // Adding, removing and clearing.
    void cmdAddObject_Click();          // "&Create"
    void cmdRemoveObject_Click();       // "&Remove"
    void mnuRandomLevelClear_Click();   // "Yes, I'm sure"

    // The header dialog's way back: replaces headerBytes (nothing written);
    // without a loaded level it says so and changes nothing.
    void ResetHeader(const LevelHeader& bytes);

    // "Fetch Me A &Badger".
    int32_t badgerCount = 0;
    void mnuRandomBadger_Click();


private:
    // Removes every selected entry as the command `text`. False when refused.
    bool RemoveGroup(const std::string& text);
    void PasteEntries(const std::string& text, int x, int y, const std::string& name);
};

}  // namespace mw
