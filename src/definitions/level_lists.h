#pragma once
// The list files behind the level choosers and the screen exit lists.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"

namespace mw {

// One row of LevelOffsets.dat: a level's header file offset and its name.
struct LevelOffsetEntry {
    int32_t offset = 0;
    std::string name;
    bool operator==(const LevelOffsetEntry&) const = default;
};

// LevelOffsets.dat holds at most this many rows.
constexpr int kMaxLevelOffsets = 256;

// Reads a file of "ID, name" records (LevelList.dat, EntranceTypes.dat):
// each entry's text is the ID as written, a space and the name, its value
// the ID (hexadecimal, 0 to FF). `entries` is cleared first and keeps what
// was read before a missing file or a malformed line, which is returned.
std::optional<DefinitionError> ReadIdNameList(const std::string& dir, const std::string& fileName,
                                              std::vector<ListEntry>& entries);

// LevelList.dat, as above.
std::optional<DefinitionError> ReadLevelList(const std::string& dir, std::vector<ListEntry>& entries);

// "Level N: name" for level index N, the name from LevelList.dat's
// entries; "Level N" where the list has none.
std::string LevelIndexName(const std::vector<ListEntry>& levelList, int32_t index);

// LevelOffsets.dat: "offset, name" records, the offset hexadecimal (0 to
// 7FFFFFFF). A 257th record is reported as an error after the first 256.
std::optional<DefinitionError> ReadLevelOffsets(const std::string& dir,
                                                std::vector<LevelOffsetEntry>& entries);

// One usable block of FreeSpace.dat: padding the game never reads, where
// level data that outgrew its place may be moved. File offsets, `end` one
// past the last byte. `linear` blocks get pointers in the linear banks
// (0x40..0x5F), the others LoROM pointers.
struct FreeBlock {
    int32_t start = 0;
    int32_t end = 0;
    bool linear = false;
    bool operator==(const FreeBlock&) const = default;
};

// FreeSpace.dat: "first offset, last offset, lorom|linear, note" records,
// offsets hexadecimal and inclusive. `blocks` keeps what was read before a
// missing file or a malformed line, which is returned.
std::optional<DefinitionError> ReadFreeSpace(const std::string& dir, std::vector<FreeBlock>& blocks);
// Where a level that outgrew its place may move: the blocks of FreeSpace.dat,
// then those of LevelAreas.dat (the runs that hold the game's level data, in
// the same format), whose 0xFF bytes that no entry reads are as free as the
// blocks' (the old place of a level that moved away).
std::optional<DefinitionError> ReadRoomForLevels(const std::string& dir, std::vector<FreeBlock>& blocks);

// `dir` joined with a file name.
std::string DefinitionPath(const std::string& dir, const std::string& fileName);

}  // namespace mw
