#pragma once
// An editor on the small test definitions, laid out at an inner window size
// of 845 by 504 (a view of 413 by 488 pixels: 25 by 30 whole tiles at zoom 16).
#include <gtest/gtest.h>

#include "editing/level_editor.h"
#include "view/view_geometry.h"
#include "support/rom_builder.h"
#include "util/prompter.h"

namespace mw::test {

inline LevelObject Obj(uint8_t id, int x, int y, int width = 1, int height = 1) {
    return MakeObject(id, x, y, width, height);
}

inline LevelObject Ext(uint8_t extId, int x, int y, int width, int height) {
    LevelObject o = Obj(0x00, x, y, width, height);
    o.extId = extId;
    return o;
}

inline LevelObject Spr(int spriteId, int x, int y) { return MakeSprite(spriteId, x, y); }

inline ScreenExit Exit(int screenX, int screenY, uint8_t dest = 0, uint8_t ex = 0, uint8_t ey = 0,
                       uint8_t type = 0) {
    return {static_cast<uint8_t>(screenX), static_cast<uint8_t>(screenY), dest, ex, ey, type};
}

// Replaces the editor's level with a changed copy of it, as loading a level
// does (no undo step; the level counts as unchanged). The visible list is
// left as it was.
template <typename F>
void Reload(LevelEditor& ed, F&& change) {
    LevelState level = ed.level;
    change(level);
    // The same entry and exit positions stay selected.
    const int object = ed.selectedObject(), exit = ed.selectedExit();
    ed.document.Load(std::move(level));
    if (object >= 0) ed.SelectObject(object);
    if (exit >= 0) ed.SelectExit(exit);
    ed.session.levelLoaded = true;
}

class EditorTest : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    LevelEditor ed{prompter};

    void SetUp() override {
        ed.defs = SmallDefinitions();
        ed.Form_Resize(845, 504);
        ed.repaintRequested = false;
    }

    // Replaces the level's entries and rebuilds the visible list.
    void SetEntries(std::vector<LevelObject> entries, std::vector<ScreenExit> exits = {}) {
        Reload(ed, [&](LevelState& level) {
            level.objectList = std::move(entries);
            level.exitList = std::move(exits);
        });
        RebuildVisibleList(ed.level, ed.view);
    }
    const LevelObject& At(int i) const { return ed.level.objectList.at(static_cast<size_t>(i)); }
};

}  // namespace mw::test
