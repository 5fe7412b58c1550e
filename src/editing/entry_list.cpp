#include "editing/entry_list.h"

#include <algorithm>

#include "editing/level_editor.h"
#include "editing/mouse.h"
#include "level/object_caption.h"
#include "util/hex_text.h"

namespace mw {

std::vector<EntryRow> EntryRows(const LevelEditor& editor) {
    std::vector<EntryRow> rows;
    if (!editor.session.levelLoaded) return rows;
    const LevelState& level = editor.level;
    const DefinitionTables& defs = editor.defs;
    rows.reserve(level.objectList.size() + level.exitList.size());
    for (size_t i = 0; i < level.objectList.size(); ++i) {
        const LevelObject& e = level.objectList[i];
        EntryRow r;
        r.index = static_cast<int>(i);
        r.x = e.x;
        r.y = e.y;
        r.name = ObjectCaption(defs, e, true);
        const bool extended = !e.isSprite && defs.kindOf(e) == kKindExtended;
        r.kind = e.isSprite ? "Sprite" : extended ? "Extended" : "Object";
        if (!extended) r.size = SignedHex(e.width) + " * " + SignedHex(e.height);
        rows.push_back(std::move(r));
    }
    for (size_t i = 0; i < level.exitList.size(); ++i) {
        const ScreenExit& x = level.exitList[i];
        EntryRow r;
        r.isExit = true;
        r.index = static_cast<int>(i);
        r.kind = "Exit";
        r.name = "to " + LevelIndexName(defs.destinationLevels, x.destination);
        r.x = x.screenX;
        r.y = x.screenY;
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<int> SelectedEntryRows(const LevelEditor& editor, const std::vector<EntryRow>& rows) {
    const std::vector<int> entries = editor.document.selectedIndices();
    // The current exit is a selection only while the exit editor shows it.
    const int exit = editor.panels.fraScreenExitsVisible ? editor.selectedExit() : -1;
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const EntryRow& r = rows[i];
        if (r.isExit ? r.index == exit : std::binary_search(entries.begin(), entries.end(), r.index)) out.push_back(i);
    }
    return out;
}

void SelectEntryRows(LevelEditor& editor, const std::vector<EntryRow>& rows, const std::vector<int>& picked,
                     int current) {
    std::vector<int> entries;
    int exit = -1;
    for (int p : picked) {
        if (p < 0 || p >= static_cast<int>(rows.size())) continue;
        if (rows[p].isExit)
            exit = rows[p].index;
        else
            entries.push_back(rows[p].index);
    }
    const bool currentIsEntry = current >= 0 && current < static_cast<int>(rows.size()) && !rows[current].isExit;
    if (!entries.empty()) {
        std::sort(entries.begin(), entries.end());
        editor.document.Select(editor.document.WithEntries(entries, currentIsEntry ? rows[current].index : -1));
    }
    if (exit >= 0) {
        // An exit picked in the list is the one the exit editor edits.
        if (!editor.panels.fraScreenExitsVisible) editor.panels.mnuViewScreenExit_Click();
        editor.SelectExit(exit);
    }
}

void GoToEntryRow(LevelEditor& editor, const EntryRow& row) {
    if (row.isExit) {
        editor.SelectExit(row.index);
        editor.panels.cmdScreenGoto_Click();
    } else {
        editor.SelectObject(row.index);
        editor.panels.cmdGotoObject_Click();
    }
}

}  // namespace mw
