#pragma once
// The main window's state without the widgets: the ROM session, the tables,
// the loaded level, the view, the editing state and what every panel shows.
// The Qt window forwards each event to a method here, then copies the panel
// state into its widgets and repaints when `repaintRequested` is set.
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "level/level_codec.h"
#include "level/level_state.h"
#include "level/rom_file.h"
#include "util/prompter.h"
#include "view/surface.h"
#include "view/view_state.h"

namespace mw {

// The mouse state machine's modes.
enum class DragMode { NON, MOV, RSX, RSY, RSA, SCR, SCX };

// Standard pointer shapes the view can show.
enum class PointerShape { Default, SizeAll, SizeWE, SizeNS, SizeNWSE, Hand };

// A label's text and whether it is drawn in red.
struct LabelState {
    std::string text;
    bool red = false;
};

class LevelEditor {
public:
    explicit LevelEditor(Prompter& prompter);

    Prompter& prompter;
    DefinitionTables defs;
    RomFile rom;
    LevelState level;
    ViewState view;

    // Editing state.
    int selectedObject = 0;
    int selectedExit = 0;
    DragMode dragMode = DragMode::NON;
    int grabOffsetX = 0;
    int grabOffsetY = 0;

    // Requests to the shell, cleared by the shell after acting on them.
    bool repaintRequested = false;
    bool quitRequested = false;

    // ---- session, view and mouse (owned by the editing-core developer) ----
    // ---- end session, view and mouse ----

    // ---- panels: exit editor, palette, create/remove, dialogs ----
    // ---- end panels ----
};

}  // namespace mw
