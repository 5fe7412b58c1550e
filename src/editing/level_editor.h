#pragma once
// The main window's state without the widgets, in parts by what they do: the
// open ROM and level (session), the selecting and dragging tool (tool), the
// side panels (panels), the edit commands (commands) and the level map and
// tiles (map), over one document and one view. The Qt window forwards each
// event to a handler here, then copies into its widgets what `unshown` names
// and repaints when `repaintRequested` is set.
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
#include "editing/edit_commands.h"
#include "editing/map_part.h"
#include "editing/rom_session.h"
#include "editing/select_tool.h"
#include "editing/side_panels.h"
#include "level/rom_file.h"
#include "view/surface.h"

namespace mw {

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

// What the window remembers of the view between runs (its place and size
// are the shell's): the zoom and the View menu's options.
struct RememberedView {
    int zoom = 16;
    ViewOptions options;
    bool stationary = false;  // "Stationary tooltip"
    bool tiles = true;        // "Show &tiles"
    bool operator==(const RememberedView&) const = default;
};

class LevelEditor {
public:
    explicit LevelEditor(Prompter& prompter);
    LevelEditor(const LevelEditor&) = delete;
    LevelEditor& operator=(const LevelEditor&) = delete;

    Prompter& prompter;
    DefinitionTables defs;
    // The ROM, the loaded level, its undo stack and selection. Every change
    // to the level goes through it (LevelDocument::Apply); `rom` and `level`
    // are shorthands for its parts.
    LevelDocument document{defs};
    RomFile& rom = document.rom;
    const LevelState& level = document.level();
    ViewState view;

    RomSession session{*this};
    SelectTool tool{*this};
    SidePanels panels{*this};
    EditCommands commands{*this};
    MapPart map{*this};

    // The selection lives in the document; these read it as list positions
    // (-1 for none).
    int selectedObject() const { return document.currentIndex(); }
    int selectedExit() const { return document.currentExitIndex(); }
    // Makes the entry (exit) at `index` the current one; none when `index`
    // names no entry.
    void SelectObject(int index) { document.Select(document.WithCurrent(index)); }
    void SelectExit(int index) { document.Select(document.WithCurrentExit(index)); }

    // Requests to the shell, cleared by the shell after acting on them.
    bool repaintRequested = false;
    // What the change notices reported since the shell last copied the
    // editor's state into its widgets (everything at start).
    ChangeSet unshown = ~0u;
    bool quitRequested = false;
    // The program's exit status when start-up ends it: 1 when the definition
    // files or the ROM could not be read, 0 for a cancelled choice.
    int exitStatus = 0;

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
    void mnuViewCross_Click();
    void mnuViewSmallgrid_Click();
    void mnuViewOutofbounds_Click();
    void mnuViewTransparent_Click();
    void mnuViewStationary_Click();
    bool mnuViewStationary = false;  // "Stationary tooltip" check mark
    RememberedView Remembered() const;
    // Puts remembered choices back; a zoom that is not one of kZoomLevels
    // is ignored (the settings file may have been edited by hand).
    void Restore(const RememberedView& remembered);
    // The full repaint: tiles, grid and level into `surface`.
    void Form_Paint(Surface& surface);

private:
    friend class EditorPart;
    int innerWidth_ = 0;   // the window's last inner size, for Form_Resize()
    int innerHeight_ = 0;
    bool openingPending_ = false;        // a level was loaded before the view had a size
    // The one place that follows the changes: after every edit, undo, redo,
    // save, load and selection change it updates the caption, the panels and
    // the map; after those and the view's scrolling, zoom and size it rebuilds
    // the visible list; it asks for a repaint and notes what the shell has
    // to copy. The document reports its changes here, the parts and the
    // view's handlers their own (kChangedView and its kin, editor_part.h).
    void OnDocumentChanged(ChangeSet what);
};

}  // namespace mw
