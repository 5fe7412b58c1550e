// The editor's level map: re-made after every change to the level, on the
// paint (at most once per painted frame), in the background when the shell
// asks for it.
#include "editing/map_part.h"

#include "editing/level_editor.h"

namespace mw {

void MapPart::Follow(ChangeSet what) {
    if (what & (kChangedEntries | kChangedExits | kChangedHeader | kChangedLevel | kChangedRom | kChangedHistory))
        mapStale_ = true;
}

void MapPart::SetMapReadyNotifier(std::function<void()> ready) {
    mapWorker_ = ready ? std::make_unique<MapWorker>(std::move(ready)) : nullptr;
}

void MapPart::UpdateMap() {
    if (!mapStale_) return;
    mapStale_ = false;
    if (!editor.session.levelLoaded || !rom.isOpen()) {
        ShowMap(LevelMap{});
        return;
    }
    MapRequest request = PrepareMap(rom, defs, level, editor.session.freeBlocks);
    if (mapWorker_)
        mapWorker_->submit(std::move(request));
    else
        ShowMap(mapper_.run(request));
}

bool MapPart::TakeMap() {
    if (!mapWorker_) return false;
    std::optional<LevelMap> done = mapWorker_->take();
    if (!done) return false;
    ShowMap(std::move(*done));
    Changed(kChangedMap);
    return true;
}

void MapPart::mnuViewTiles_Click() {
    mnuViewTiles = !mnuViewTiles;
    Changed(kChangedDrawing);
}

void MapPart::UpdateTiles() {
    if (!editor.session.levelLoaded || !rom.isOpen()) {
        editor.panels.lblTilesInfo.clear();
        return;
    }
    tiles_.update(rom, defs, level);
    editor.panels.lblTilesInfo = tiles_.infoText();
}

void MapPart::ShowMap(LevelMap map) {
    levelMap_ = std::move(map);
    editor.panels.lblMapInfo =
        levelMap_.made || !levelMap_.reason.empty() ? DescribeMap(levelMap_) : std::string();
}

}  // namespace mw
