#pragma once
// Where the level data lies in the ROM and where there is room for more: the
// live byte ranges of every pointer table entry, the ranges the game reads
// by other ways (pinned), and the unused padding that level data may move to.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "level/rom_layout.h"

namespace mw {

// File offsets of what must never move or be overwritten by a move.
constexpr int64_t kInternalHeaderStart = kCopierHeaderSize + 0x7FA0;  // $00:FFA0, header and vectors
constexpr int64_t kInternalHeaderEnd = kCopierHeaderSize + 0x8000;
// The entries whose object data code outside the table points into.
constexpr int kPinnedObjectEntries[] = {0xDA, 0xDB};

// A range of bytes [begin, end) that something reads.
struct LiveRange {
    int64_t begin = 0;
    int64_t end = 0;
    int entry = -1;        // the pointer table index, -1 for a pinned range
    bool sprites = false;  // the entry's sprite list, else its object data
    bool operator==(const LiveRange&) const = default;
};

// The three pointer bytes (low, high, bank) of a file offset, LoROM style
// (banks 0x00..0x3F) or in a linear 64 KiB bank (0x40..0x5F).
std::array<uint8_t, 3> LoRomPointer(int32_t fileOffset);
std::array<uint8_t, 3> LinearPointer(int32_t fileOffset);
// The one of the two that `linear` names.
std::array<uint8_t, 3> PointerTo(int64_t fileOffset, bool linear);
// "$bb:aaaa" of a file offset in the pointer form given.
std::string SnesAddressText(int64_t fileOffset, bool linear);

// Every byte range the level pointer table refers to, decoded without
// messages: an entry's object data (header unless the level has none,
// objects, their end marker, exits and the exits' end marker when the level
// owns one) and its sprite list up to and including FF FF. Decoding stops at
// the end of the file and at the end of the stream's bank. The pointer
// table, the internal header with the vectors and the object data of DA/DB
// are pinned.
class LiveMap {
public:
    LiveMap() = default;
    LiveMap(const std::vector<uint8_t>& image, const DefinitionTables& defs);

    // Sorted by begin.
    const std::vector<LiveRange>& ranges() const { return ranges_; }
    // The ranges of one entry (objects first); empty ranges when its pointer is invalid.
    LiveRange objectsOf(int entry) const;
    LiveRange spritesOf(int entry) const;
    // True when a range that is not one of `entry`'s two covers `offset`
    // (a pinned range always counts). With entry -1: any range.
    bool coveredByOthers(int64_t offset, int entry = -1) const;
    // True when [begin, end) meets a range that is not one of `entry`'s.
    bool meetsOthers(int64_t begin, int64_t end, int entry = -1) const;
    // Leaves out one of `entry`'s streams, as if nothing read it (a stream
    // that is about to move); ranges of other entries at the same place stay.
    void forget(int entry, bool sprites);

private:
    std::vector<LiveRange> ranges_;
    std::vector<LiveRange> byEntry_;  // 2 per entry: objects, sprites
};

// A stretch of free bytes [begin, end) inside one bank of its pointer form.
struct FreeRun {
    int64_t begin = 0;
    int64_t end = 0;
    bool linear = false;
    int64_t size() const { return end - begin; }
    bool operator==(const FreeRun&) const = default;
};

// The free bytes: 0xFF, inside a usable block, covered by no live range.
// Runs are split at the bank ends of their block's pointer form.
std::vector<FreeRun> FindFreeRuns(const std::vector<uint8_t>& image, const std::vector<FreeBlock>& blocks,
                                  const LiveMap& map);
int64_t TotalFree(const std::vector<FreeRun>& runs);

// One stream of an entry that is about to move, and its old place [from, to).
struct MovingStream {
    bool sprites = false;
    int64_t from = 0;
    int64_t to = 0;
};
// The room a save that moves `entry`'s streams may use: the free runs of
// `image` once the old places of the moving streams are padding (0xFF) where
// no other entry still reads them. `image` gets that padding; `map` forgets
// the moving streams.
std::vector<FreeRun> FreeRunsForMove(std::vector<uint8_t>& image, const std::vector<FreeBlock>& blocks, LiveMap& map,
                                     int entry, const std::vector<MovingStream>& moving);

// Where `length` bytes would go: runs in the bank that holds `near` first,
// then the largest runs; the first that fits. Nullopt when none fits.
std::optional<FreeRun> Allocate(const std::vector<FreeRun>& runs, int64_t length, int64_t near);
// Takes [at, at + length) out of `runs`.
void TakeFromRuns(std::vector<FreeRun>& runs, int64_t at, int64_t length);

}  // namespace mw
