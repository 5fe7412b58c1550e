#pragma once
// The entries dock without its widgets: one row per object, sprite and
// screen exit of the level, and the selection between the rows and the
// document both ways.
#include <string>
#include <vector>

namespace mw {

class LevelEditor;

struct EntryRow {
    bool isExit = false;
    int index = 0;          // position in objectList, or in exitList
    std::string kind;       // "Object", "Extended", "Sprite", "Exit"
    std::string name;       // the definition's name; an exit's destination level
    int x = 0;              // tile (an exit: its screen)
    int y = 0;
    std::string size;       // "W * H" where the entry has a size of its own
    bool operator==(const EntryRow&) const = default;
};

std::vector<EntryRow> EntryRows(const LevelEditor& editor);
// The rows (positions in `rows`) that the document has selected: the
// selected entries, and the current exit.
std::vector<int> SelectedEntryRows(const LevelEditor& editor, const std::vector<EntryRow>& rows);
// The user selected `picked` (positions in `rows`) in the list: the entries
// among them become the selection (`current`, when it is an entry, the
// current one); an exit alone becomes the current exit.
void SelectEntryRows(LevelEditor& editor, const std::vector<EntryRow>& rows, const std::vector<int>& picked,
                     int current);
// A double-click: the row becomes current and the view goes to it.
void GoToEntryRow(LevelEditor& editor, const EntryRow& row);

}  // namespace mw
