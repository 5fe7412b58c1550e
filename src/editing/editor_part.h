#pragma once
// The base of the editor's parts (the open ROM and level, the selecting
// tool, the side panels, the edit commands).
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

namespace mw {

class LevelEditor;

// The editor's own change notices, beside the document's (DocumentChange):
// what the view shows moved or looks otherwise, a map arrived, a panel
// opened or closed.
constexpr ChangeSet kChangedView = 1u << 8;      // scrolled or zoomed: the visible list is rebuilt, the view repainted
constexpr ChangeSet kChangedViewSize = 1u << 9;  // another size: the visible list is rebuilt (the shell repaints a resized view)
constexpr ChangeSet kChangedDrawing = 1u << 10;  // how the view draws: its options, the tool's band
constexpr ChangeSet kChangedMap = 1u << 11;      // a level map finished in the background
constexpr ChangeSet kChangedPanels = 1u << 12;   // the side panels on their own: the exit editor shown or hidden
// All the bits the document reports.
constexpr ChangeSet kDocumentChanges = kChangedView - 1;

// What each part of the editor works on: the editor's tables, document and view.
class EditorPart {
protected:
    explicit EditorPart(LevelEditor& editor);
    LevelEditor& editor;
    Prompter& prompter;
    DefinitionTables& defs;
    LevelDocument& document;
    RomFile& rom;
    const LevelState& level;
    ViewState& view;
    // The editor's selection (see LevelEditor).
    int selectedObject() const;
    int selectedExit() const;
    bool HasSelectedObject() const { return selectedObject() >= 0; }
    bool HasSelectedExit() const { return selectedExit() >= 0; }
    void SelectObject(int index);
    void SelectExit(int index);
    // Reports a change of the editor's own to its one change handler.
    void Changed(ChangeSet what);
};

}  // namespace mw
