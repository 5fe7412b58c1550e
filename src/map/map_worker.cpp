#include "map/map_worker.h"

namespace mw {

MapWorker::MapWorker(std::function<void()> ready) : ready_(std::move(ready)), thread_([this] { loop(); }) {}

MapWorker::~MapWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        pending_.reset();
    }
    wake_.notify_all();
    thread_.join();
}

void MapWorker::submit(MapRequest request) {
    std::lock_guard<std::mutex> lock(mutex_);
    // A file snapshot per generation: a running map may still use the old
    // one, which its shared pointer keeps alive.
    if (!file_ || fileGeneration_ != request.generation) {
        file_ = std::make_shared<const std::vector<uint8_t>>(request.file.begin(), request.file.end());
        fileGeneration_ = request.generation;
    }
    request.file = *file_;
    pending_ = std::move(request);
    wake_.notify_all();
}

std::optional<LevelMap> MapWorker::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::optional<LevelMap> out = std::move(finished_);
    finished_.reset();
    return out;
}

void MapWorker::waitIdle() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

void MapWorker::loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || pending_; });
        if (stopping_) return;
        MapRequest request = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        const std::shared_ptr<const std::vector<uint8_t>> keep = file_;
        lock.unlock();
        LevelMap map = mapper_.run(request);
        lock.lock();
        finished_ = std::move(map);
        busy_ = false;
        if (!pending_) idle_.notify_all();
        lock.unlock();
        if (ready_) ready_();
        lock.lock();
    }
}

}  // namespace mw
