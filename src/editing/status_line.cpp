#include "editing/status_line.h"

#include "editing/level_editor.h"

namespace mw {

StatusLine DescribeStatus(const LevelEditor& editor) {
    StatusLine s;
    if (!editor.tool.lblMousePos.empty()) s.tile = "Tile " + editor.tool.lblMousePos;
    s.zoom = "Zoom " + std::to_string(editor.view.zoom);
    if (!editor.session.levelLoaded) {
        s.level = "No level is loaded.";
        return s;
    }
    s.level = editor.panels.lblLevelName + (editor.session.changed() ? " *" : "");
    const LevelState& l = editor.level;
    s.bytes = "Objects " + std::to_string(l.objectBytesUsed) + "/" + std::to_string(l.objectBytesAvailable) +
              ", sprites " + std::to_string(l.spriteBytesUsed) + "/" + std::to_string(l.spriteBytesAvailable) +
              " bytes";
    s.overBudget = l.objectBytesUsed > l.objectBytesAvailable || l.spriteBytesUsed > l.spriteBytesAvailable;
    s.map = editor.panels.lblMapInfo;
    return s;
}

}  // namespace mw
