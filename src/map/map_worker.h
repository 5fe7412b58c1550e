#pragma once
// Makes level maps on a thread of its own, so that the window never waits
// for the game's code. Requests replace one another: while a map is being
// made, only the newest request waits, and it runs as soon as the thread is
// free, so the last state of the level always gets its map.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "map/level_map.h"

namespace mw {

class MapWorker {
public:
    // `ready` is called on the worker's thread after each finished map; it
    // must only hand the news to the owner's thread.
    explicit MapWorker(std::function<void()> ready);
    ~MapWorker();
    MapWorker(const MapWorker&) = delete;
    MapWorker& operator=(const MapWorker&) = delete;

    // Queues `request`. The ROM's bytes are copied here when their
    // generation is new, so the file may change while the map is made.
    void submit(MapRequest request);

    // The newest map finished since the last call.
    std::optional<LevelMap> take();
    // Blocks until no request is waiting or running.
    void waitIdle();

private:
    void loop();

    std::function<void()> ready_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<MapRequest> pending_;
    std::optional<LevelMap> finished_;
    bool busy_ = false;
    bool stopping_ = false;
    std::shared_ptr<const std::vector<uint8_t>> file_;  // the bytes the requests point into
    uint64_t fileGeneration_ = 0;
    LevelMapper mapper_;  // used on the worker's thread only
    std::thread thread_;
};

}  // namespace mw
