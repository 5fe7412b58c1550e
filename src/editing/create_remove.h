#pragma once
// Adding and removing objects, sprites and screen exits as steps of a
// document edit (which keeps the byte counters that saving checks).
// Messages go through the prompter; when one is shown nothing has changed.
#include "definitions/definition_tables.h"
#include "editing/level_document.h"
#include "level/level_state.h"
#include "util/prompter.h"

namespace mw {

// The entry "&Create" makes for a palette code, its origin at (x, y).
LevelObject NewEntryFromCode(const DefinitionTables& defs, int code, uint8_t x, uint8_t y);

// "&Create" outside screen exit mode: appends the palette item `code` (-1
// for no selection) with its origin at tile (tileX, tileY) (the view's
// top-left tile, or where an item is dropped). Refuses code 0, no
// selection, and a standard object that is not a four- or five-byte object.
// A new object becomes the selected one; a new sprite leaves the selection.
// True when an entry was added.
bool AddEntry(LevelDocument::Edit& edit, const DefinitionTables& defs, int code, int tileX, int tileY,
              int& selectedObject, Prompter& prompter);

// What "&Remove" says instead of taking the level's last entry (or all of them).
void ReportCannotRemoveAll(Prompter& prompter);

// "&Remove" outside screen exit mode: removes the selected entry unless the
// list holds one entry or none. True when an entry was removed.
bool RemoveEntry(LevelDocument::Edit& edit, int& selectedObject, Prompter& prompter);

// "&Create" in screen exit mode: a new exit on the screen holding the view's
// top-left tile, selected. A level that owns no exit end marker takes an
// exit only when its free room holds the record and that marker.
bool AddExit(LevelDocument::Edit& edit, int scrollX, int scrollY, int& selectedExit, Prompter& prompter);

// "&Remove" in screen exit mode: removes the selected exit, or says "All
// screen exits deleted" when there is none. True when an exit was removed.
bool RemoveExit(LevelDocument::Edit& edit, int& selectedExit, Prompter& prompter);

}  // namespace mw
