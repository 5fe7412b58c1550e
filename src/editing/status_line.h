#pragma once
// The main window's status bar without its widgets: the tile under the
// pointer, the zoom, the level, its bytes and the level map's state. The
// results the editor tells (a save that worked) are shown beside them by
// the shell.
#include <string>

namespace mw {

class LevelEditor;

struct StatusLine {
    std::string tile;   // "Tile (X,Y)" under the pointer, empty before it has been over the view
    std::string zoom;   // "Zoom N"
    std::string level;  // the level's index and name (or offsets), "*" when it has unsaved changes
    std::string bytes;  // "Objects used/available, sprites used/available bytes"
    bool overBudget = false;  // either count is over what the level has room for
    std::string map;    // the level map's state, as Level Info says it
    bool operator==(const StatusLine&) const = default;
};

StatusLine DescribeStatus(const LevelEditor& editor);

}  // namespace mw
