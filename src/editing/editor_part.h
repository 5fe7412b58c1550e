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
};

}  // namespace mw
