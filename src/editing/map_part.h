#pragma once
// The editor's level map and tiles: the game's own code run on the level as
// edited, and the level's tiles drawn under the boxes.
#include <functional>
#include <memory>

#include "editing/editor_part.h"
#include "map/level_map.h"
#include "map/level_tiles.h"
#include "map/map_worker.h"
#include "view/tile_layer.h"

namespace mw {

class MapPart : EditorPart {
public:
    explicit MapPart(LevelEditor& editor) : EditorPart(editor) {}

    // The map of the level as it was when the map was last made (not made,
    // with no reason, while no level is loaded).
    const LevelMap& levelMap() const { return levelMap_; }
    // Re-makes the map when the level has changed since the last one. The
    // paint calls it, so a drag re-makes it at most once per painted frame.
    void UpdateMap();
    // With a notifier, maps are made on a thread of their own and `ready`
    // is called there when one is finished; the shell then calls TakeMap on
    // its own thread. Without one (the default), UpdateMap makes it at once.
    void SetMapReadyNotifier(std::function<void()> ready);
    // Takes the newest map finished in the background. True when it changed.
    bool TakeMap();

    // View menu "Show &tiles": on at start; the tiles show whenever the map
    // and the level's graphics could be made (objects are then outlines).
    bool mnuViewTiles = true;
    void mnuViewTiles_Click();
    // Brings the tiles up to date with the ROM and the level's header (the
    // paint calls it).
    void UpdateTiles();
    bool TilesShown() const { return mnuViewTiles && levelMap_.made && tiles_.available(); }
    // The map's tiles to paint under the boxes (while TilesShown), valid
    // until the next map or tiles update.
    TileLayer Layer() { return {levelMap_.cells, &tiles_.tiles()}; }

    // A change notice: the map is made again when the level or the file changed.
    void Follow(ChangeSet what);

private:
    LevelMap levelMap_;
    LevelTiles tiles_;
    LevelMapper mapper_;
    std::unique_ptr<MapWorker> mapWorker_;
    bool mapStale_ = true;
    void ShowMap(LevelMap map);
};

}  // namespace mw
