#pragma once
// The level's layer-1 map as the game builds it: the game's own loader runs
// from the ROM in the interpreter, on the level as edited (its header,
// objects and exits encoded by our encoder and placed where the loader reads
// them, in a private copy of the image: the file is never touched), and the
// 256 x 128 grid of map16 numbers is read through the screen table.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "level/level_state.h"
#include "level/rom_file.h"

namespace mw {

namespace snes {
class Bus;
}

constexpr int kMapColumns = 256;
constexpr int kMapRows = 128;
constexpr uint32_t kLoaderEntry = 0x108B5D;   // unpacks the header, then loads the objects
constexpr uint32_t kLoaderHang = 0x109A85;    // the game's "level too big" endless loop
constexpr uint64_t kLoaderBudget = 40'000'000;

struct LevelMap {
    bool made = false;
    // Why the map could not be made, when !made: "The level's code did not
    // finish: ..." or what kept it from running.
    std::string reason;
    int screens = 0;                 // screens the level uses
    uint64_t instructions = 0;       // what the run took
    std::vector<uint16_t> cells;     // kMapRows x kMapColumns, row-major; 0 where unused

    uint16_t at(int column, int row) const {
        return made ? cells[static_cast<size_t>(row) * kMapColumns + column] : 0;
    }
};

// What a run needs, taken from the editor's state at one moment: the level
// encoded and where it goes. Made on the thread that owns the state; a run
// may then happen anywhere while `file` stays alive.
struct MapRequest {
    std::string refusal;             // not empty: the map cannot be made, for this reason
    std::span<const uint8_t> file;   // the ROM file's bytes (copier header included)
    uint64_t generation = 0;         // RomFile::generation() of those bytes
    std::vector<uint8_t> stream;     // the level's header, objects and exits
    int64_t fileOffset = 0;          // where the stream goes
    bool linear = false;             // the pointer's view: linear banks, else LoROM
};
// A level that no longer fits before the end of its bank is placed where a
// save would move it, in `freeBlocks` (FreeSpace.dat); without room there the
// request is refused.
MapRequest PrepareMap(const RomFile& rom, const DefinitionTables& defs, const LevelState& level,
                      const std::vector<FreeBlock>& freeBlocks = {});

// Runs the loader. Keeps the bus (with its copy of the image) between calls
// while the ROM's contents stay the same, so a re-make costs the run, not a
// copy of the image.
class LevelMapper {
public:
    LevelMapper();
    ~LevelMapper();
    LevelMapper(const LevelMapper&) = delete;
    LevelMapper& operator=(const LevelMapper&) = delete;

    LevelMap run(const MapRequest& request);
    LevelMap make(const RomFile& rom, const DefinitionTables& defs, const LevelState& level,
                  const std::vector<FreeBlock>& freeBlocks = {}) {
        return run(PrepareMap(rom, defs, level, freeBlocks));
    }
    void setBudget(uint64_t instructions) { budget_ = instructions; }

private:
    std::unique_ptr<snes::Bus> bus_;
    uint64_t generation_ = 0;
    uint64_t budget_ = kLoaderBudget;
};

// "Map: made by the game's code, N screens", or the reason it could not be made.
std::string DescribeMap(const LevelMap& map);

}  // namespace mw
