#pragma once
// The main window's state without the widgets: the ROM session, the tables,
// the loaded level, the view, the editing state and what every panel shows.
// The Qt window forwards each event to a method here, then copies the panel
// state into its widgets and repaints when `repaintRequested` is set.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "editing/exit_editor.h"
#include "editing/level_document.h"
#include "definitions/level_lists.h"
#include "level/level_codec.h"
#include "level/level_state.h"
#include "level/rom_file.h"
#include "map/level_map.h"
#include "map/level_tiles.h"
#include "map/map_worker.h"
#include "util/prompter.h"
#include "view/selection_marks.h"
#include "view/surface.h"
#include "view/view_state.h"

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

// A control's place in its container, in pixels.
struct ControlRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ControlRect&) const = default;
};

// What Form_Resize decides for the main window. When `setOuterWidth` or
// `setOuterHeight` is present the shell resizes the window to it, which
// runs Form_Resize again; the rectangles are valid either way.
struct MainLayout {
    bool minimized = false;  // inner width 0: nothing was changed
    std::optional<int> setOuterWidth;
    std::optional<int> setOuterHeight;
    ControlRect lstObjects;
    ControlRect fraSubPanel;
    ControlRect Level;
    ControlRect hscLevelPos;
    ControlRect vscLevelPos;
    ControlRect fraObjectInfo;
    ControlRect fraLevelInfo;
    ControlRect fraScreenExits;
};

// The tooltip label inside the view (1028 by 17 pixels); out of sight
// whenever it lies above the view.
struct ToolTipState {
    std::string text;
    float left = 376;
    float top = -46;
};

// The pick list inside the view (217 by 43 pixels); hidden at top -512.
constexpr float kHiddenPickListTop = -512;
struct PickListState {
    std::vector<ListEntry> items;  // caption, objectList index
    float left = 24;
    float top = -128;
    bool visible() const { return top > -43; }
};

// A label's text and whether it is drawn in red.
struct LabelState {
    std::string text;
    bool red = false;
};

// A byte counter: "used/available" in decimal, red when over budget.
inline LabelState ByteUsageLabel(int used, int available) {
    return {std::to_string(used) + "/" + std::to_string(available), used > available};
}

class LevelEditor {
public:
    explicit LevelEditor(Prompter& prompter);

    Prompter& prompter;
    DefinitionTables defs;
    // The ROM, the loaded level, its undo stack and selection. Every change
    // to the level goes through it (ApplyEdit); `rom` and `level` are
    // shorthands for its parts.
    LevelDocument document{defs};
    RomFile& rom = document.rom;
    const LevelState& level = document.level();
    ViewState view;

    // Editing state. The selection lives in the document; these read it as
    // list positions (-1 for none).
    int selectedObject() const { return document.currentIndex(); }
    int selectedExit() const { return document.currentExitIndex(); }
    // Makes the entry (exit) at `index` the current one; none when `index`
    // names no entry.
    void SelectObject(int index) { document.Select(document.WithCurrent(index)); }
    void SelectExit(int index) { document.Select(document.WithCurrentExit(index)); }
    DragMode dragMode = DragMode::NON;
    int grabOffsetX = 0;
    int grabOffsetY = 0;
    // selectedObject names an entry of objectList.
    bool HasSelectedObject() const { return selectedObject() >= 0; }

    // Requests to the shell, cleared by the shell after acting on them.
    bool repaintRequested = false;
    bool quitRequested = false;
    // The program's exit status when start-up ends it: 1 when the definition
    // files or the ROM could not be read, 0 for a cancelled choice.
    int exitStatus = 0;

    // ---- session, view and mouse (owned by the editing-core developer) ----

    // Session.
    static constexpr const char* kInitialCaption = "Marlwick - Yoshi's Island Editor by Tolliver";
    std::string caption = kInitialCaption;  // the main window's title
    // The level has edits that are not saved (the undo stack is away from
    // the state that was loaded or last saved).
    bool changed() const { return document.changed(); }
    bool levelLoaded = false;   // a level from the open ROM is in `level`
    std::string programDir;     // where the definition files are read from
    // The usable free blocks (FreeSpace.dat); empty when the file could not
    // be read, and then a level that outgrows its place cannot move.
    std::vector<FreeBlock> freeBlocks;
    // Free bytes left for moved levels in the open ROM (cached per contents).
    int64_t FreeSpaceLeft();

    // Start-up: zoom 16, definitions, the notice, the ROM (from `romPath`
    // when given, else the file dialog), level 0, the visible list. Sets
    // quitRequested when the program cannot go on.
    void Form_Load(const std::string& programDirectory,
                   const std::optional<std::string>& romPath = std::nullopt);
    void mnuFileOpen_Click();
    // "&Exit": asks about unsaved changes; sets quitRequested unless refused.
    void mnuMainQuit_Click();
    // Closing the main window: false when the user keeps the window open.
    bool Form_Unload();
    // The loaders (also called by the level choosers). They ask first when
    // the level has unsaved changes. True when a new level is in place.
    bool LoadLevelIndex(int32_t index);
    bool LoadLevelOffset(int32_t headerOffset, int32_t spriteOffset);
    void mnuFileSave_Click();
    // True when there is nothing unsaved, or the user saved it ("&Save
    // Level" succeeded) or chose to drop it; false when the user cancels or
    // the save fails or is refused.
    bool ConfirmDiscardChanges();
    // The editing commands' guard: true when a level is loaded, else says
    // "No level is loaded." (a file that is no ROM leaves none).
    bool CheckLevelLoaded();

    // Layout and view.
    MainLayout Form_Resize(int innerWidth, int innerHeight);
    MainLayout Form_Resize();  // again with the last inner size
    MainLayout layout;         // the last computed layout (its setOuter* are for the caller only)
    void mnuViewZoom_Click(int n);
    // The scroll bars' change handlers: the new value, then rebuild and paint.
    void hscLevelPos_Change(int value);
    void vscLevelPos_Change(int value);
    // Sets view.hsc or view.vsc from the program (limited to 0..maximum);
    // when the value changes, the bar's change handling runs.
    void SetScroll(ScrollBarState& bar, int value);
    // Scrolls to where the loaded level opens (WhereLevelOpens): a course
    // start or an entrance in the middle of the view, the top-left of the
    // entries at the view's top-left. Loading a level does this (when the
    // view has no size yet, its first resize does).
    void ScrollToOpening();
    static constexpr int kScrollSmallChange = 1;   // one tile
    static constexpr int kScrollLargeChange = 16;  // one screen
    void mnuViewCross_Click();
    void mnuViewSmallgrid_Click();
    void mnuViewOutofbounds_Click();
    void mnuViewTransparent_Click();
    void mnuViewStationary_Click();
    bool mnuViewStationary = false;  // "Stationary tooltip" check mark
    void RebuildVisibleList();
    // The full repaint: grid and level into `surface`, then the side panels.
    void Form_Paint(Surface& surface);
    // What a handler does instead of painting itself: refresh the side
    // panels now and ask the shell to repaint the view.
    void RequestPaint();

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
    std::string lblMousePos;
    bool fraScreenExitsVisible = false;  // the "Screen Exit Editor" frame

    // Pick list.
    PickListState lstPopup;
    void FillPickList(float px, float py);
    void lstPopup_Click(int itemIndex);

    // Object info panel.
    LabelState lblObjectInfo;  // lines separated by "\n"; empty when no entry is selected
    LabelState lblByteUsage;   // "used/available" object bytes
    LabelState lblSByteUsage;  // "used/available" sprite bytes
    std::string lblFreeSpace;  // free bytes left in the ROM for moved levels
    void ShowObjectInfo();
    void cmdObjectPrev_Click();
    void cmdObjectNext_Click();
    void cmdGotoObject_Click();

    // ---- end session, view and mouse ----

    // ---- panels: exit editor, palette, create/remove, dialogs ----

    // Screen exit editor. The frame's visibility is fraScreenExitsVisible.
    struct ExitEditorPanel {
        bool enabled = false;
        std::string txtExitDestination;
        std::string txtEntranceType;
        std::string txtEntranceX;
        std::string txtEntranceY;
        int lstDestinationLevelsIndex = -1;  // selected item, -1 for none
        int lstEntranceTypesIndex = -1;
        LabelState lblByteUsage2;  // "used/available" object bytes
        // Boxes whose text is no valid value, by ExitField: shown in red
        // while the field keeps its stored value.
        std::array<bool, 4> invalidBox{};
    };
    ExitEditorPanel exitEditor;
    // "&Create" and "&Remove" act on screen exits while this holds.
    bool InScreenExitMode() const { return dragMode == DragMode::SCR || dragMode == DragMode::SCX; }
    // selectedExit names an entry of exitList.
    bool HasSelectedExit() const { return selectedExit() >= 0; }
    void ShowExitEditor();
    void mnuViewScreenExit_Click();  // "Screen Exit mode", Ctrl+E
    // The boxes' change handlers get the box's new text.
    void txtExitDestination_Change(const std::string& text);
    void txtEntranceType_Change(const std::string& text);
    void txtEntranceX_Change(const std::string& text);
    void txtEntranceY_Change(const std::string& text);
    void lstDestinationLevels_Click(int itemIndex);
    void lstEntranceTypes_Click(int itemIndex);
    void cmdMoveScreen_Click(int index);  // 0 right, 1 up, 2 left, 3 down
    void cmdScreenPrev_Click();
    void cmdScreenNext_Click();
    void cmdScreenGoto_Click();

    // Object palette: lstObjects of the main window and of the separate
    // "Objects list" window (frmObjectList) hold the same items.
    struct ObjectPalette {
        std::array<bool, 3> chkListable{true, true, true};  // "Norm", "X", "Sprite"
        std::string txtFilter;
        std::vector<ListEntry> items;  // caption and code of every item
        int listIndex = -1;            // the main list's selection
        bool windowVisible = false;    // frmObjectList shown; "Object list window" checked
        std::string windowFilter;      // frmObjectList's own filter box
        int windowListIndex = -1;      // frmObjectList's selection
        // Code of the main list's selected item, -1 when none.
        int selectedCode() const {
            return listIndex >= 0 && listIndex < static_cast<int>(items.size()) ? items[listIndex].value : -1;
        }
    };
    ObjectPalette palette;
    void RemakeObjectList();
    void txtFilter_KeyUp(const std::string& text);
    void chkListable_Click(int index, bool checked);
    void lstObjects_Click(int itemIndex);
    void mnuViewSeperateobjects_Click();
    void frmObjectList_txtFilter_Change(const std::string& text);
    void frmObjectList_lstObjects_Click(int itemIndex);
    void frmObjectList_Form_Unload();

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

    // ---- end panels ----

    // ---- the Edit menu ----

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
    // An exit box has lost the focus: the next typing starts a new command,
    // and the boxes show the stored values again (an invalid text goes).
    void ExitBoxDone() {
        document.EndMerge();
        ShowExitEditor();
    }

    // "Level Info": the loaded level's index and name, or its offsets.
    std::string lblLevelName;

    // ---- the level map: the game's own code run on the level as edited ----

    // The map of the level as it was when the map was last made (not made,
    // with no reason, while no level is loaded).
    const LevelMap& levelMap() const { return levelMap_; }
    // Level Info's line about it: "Map: made by the game's code, N screens"
    // or why it could not be made.
    std::string lblMapInfo;
    // Re-makes the map when the level has changed since the last one. The
    // paint calls it, so a drag re-makes it at most once per painted frame.
    void UpdateMap();
    // With a notifier, maps are made on a thread of their own and `ready`
    // is called there when one is finished; the shell then calls TakeMap on
    // its own thread. Without one (the default), UpdateMap makes it at once.
    void SetMapReadyNotifier(std::function<void()> ready);
    // Takes the newest map finished in the background. True when it changed.
    bool TakeMap();

    // ---- the level's tiles, drawn under the boxes ----

    // View menu "Show &tiles": on at start; the tiles show whenever the map
    // and the level's graphics could be made (objects are then outlines).
    bool mnuViewTiles = true;
    void mnuViewTiles_Click();
    // Level Info's line about the tiles: the world assumed, or why none.
    std::string lblTilesInfo;
    // Brings the tiles up to date with the ROM and the level's header (the
    // paint calls it).
    void UpdateTiles();
    bool TilesShown() const { return mnuViewTiles && levelMap_.made && tiles_.available(); }

    // ---- many entries: the selection and the clipboard ----

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
    // The rubber band while a left drag from empty space draws one.
    std::optional<BandCorners> band;
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

private:
    LevelMap levelMap_;
    LevelTiles tiles_;
    LevelMapper mapper_;
    std::unique_ptr<MapWorker> mapWorker_;
    bool mapStale_ = true;
    void ShowMap(LevelMap map);

    int innerWidth_ = 0;   // the window's last inner size, for Form_Resize()
    int innerHeight_ = 0;
    bool quitConfirmed_ = false;       // the program is ending: no more questions
    std::string romFileName_;          // the caption's file name
    uint64_t freeSpaceGeneration_ = 0;  // rom.generation() of freeSpaceLeft_
    bool openingPending_ = false;        // a level was loaded before the view had a size
    int64_t freeSpaceLeft_ = 0;
    void UpdateCaption();
    // Runs `change` as one undoable command. True when the level changed.
    bool ApplyEdit(const std::string& text, MergeKey key, const std::function<void(LevelDocument::Edit&)>& change);
    // The one place that follows the document: after every edit, undo, redo,
    // save, load and selection change it updates the caption, the visible
    // list, the panels and asks for a repaint.
    void OnDocumentChanged(ChangeSet what);
    bool ChooseRom(bool atStartUp, const std::optional<std::string>& givenPath, std::string& chosen);
    void ReportOpenFailure(const std::string& path, const std::string& reason);
    // Opens `path` into `into`: a headerless dump is offered a copy with the
    // copier header (then `path` names the copy), a ROM that differs from
    // 1.0 (U) is warned about and a read-only one announced, each once.
    // False, reported, when nothing was opened.
    bool OpenRom(RomFile& into, std::string& path);
    // Shows the load's messages.
    LevelLoad Told(LevelLoad load);
    bool AcceptLoad(LevelLoad load, const std::string& name);
    void Pick(float px, float py);
    // A resize drag: the width (or height) that the pointer's tile gives the selected object.
    void DragExtent(bool isWidth, float pointer);
    void DragMove(float px, float py);
    // Moves the selected object's origin to tile (x, y) as a "Move" command.
    void MoveSelectedTo(int x, int y);
    // The selection's part of a left press: Ctrl toggles the entry under the
    // pointer or starts a band that adds; a plain press picks (Pick) and
    // starts a band over empty space.
    void SelectionPress(float px, float py, bool ctrl);
    std::vector<int> bandBase_;  // what a Ctrl band adds to
    void DragBand(float px, float py);
    void ToggleSelected(int index);
    void StepObject(int step);
    // Moves every selected entry by (dx, dy) tiles, less what would take
    // one out of the level, as a "Move" command.
    void MoveGroup(int dx, int dy);
    // Removes every selected entry as the command `text`. False when refused.
    bool RemoveGroup(const std::string& text);
    void PasteEntries(const std::string& text, int x, int y, const std::string& name);
    // An exit box's change handler: stores a value that fits a byte in the
    // selected exit's field.
    void StoreExitBox(std::string& box, const std::string& text, ExitField field);
};

}  // namespace mw
