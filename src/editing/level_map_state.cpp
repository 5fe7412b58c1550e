// The editor's level map: re-made after every change to the level, on the
// paint (at most once per painted frame), in the background when the shell
// asks for it.
#include "editing/level_editor.h"

namespace mw {

void LevelEditor::SetMapReadyNotifier(std::function<void()> ready) {
    mapWorker_ = ready ? std::make_unique<MapWorker>(std::move(ready)) : nullptr;
}

void LevelEditor::UpdateMap() {
    if (!mapStale_) return;
    mapStale_ = false;
    if (!session.levelLoaded || !rom.isOpen()) {
        ShowMap(LevelMap{});
        return;
    }
    MapRequest request = PrepareMap(rom, defs, level, session.freeBlocks);
    if (mapWorker_)
        mapWorker_->submit(std::move(request));
    else
        ShowMap(mapper_.run(request));
}

bool LevelEditor::TakeMap() {
    if (!mapWorker_) return false;
    std::optional<LevelMap> done = mapWorker_->take();
    if (!done) return false;
    ShowMap(std::move(*done));
    RequestPaint();
    return true;
}

void LevelEditor::UpdateTiles() {
    if (!session.levelLoaded || !rom.isOpen()) {
        panels.lblTilesInfo.clear();
        return;
    }
    tiles_.update(rom, defs, level);
    panels.lblTilesInfo = tiles_.infoText();
}

void LevelEditor::ShowMap(LevelMap map) {
    levelMap_ = std::move(map);
    panels.lblMapInfo = levelMap_.made || !levelMap_.reason.empty() ? DescribeMap(levelMap_) : std::string();
}

}  // namespace mw
