#pragma once
// Reading a level out of the ROM and writing it back: the pointer table,
// the header, the object stream with its screen exits, the sprite stream.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "level/level_state.h"
#include "level/rom_file.h"
#include "util/prompter.h"

namespace mw {

constexpr int32_t kLevelPointerTable = 0xBF9C3;  // file offset, SNES $17:F7C3
constexpr int kLevelCount = 0xDE;                // indices 0..DD

// Converts a three-byte SNES address (low, high, bank) to a file offset,
// reporting odd banks through `prompter`. Returns 0 for an invalid bank.
int32_t PointerToOffset(uint8_t low, uint8_t high, uint8_t bank, Prompter& prompter);
// The same without messages; nullopt for a bank of 0x60..0x7F (after folding 0x80).
std::optional<int32_t> PointerToOffsetQuiet(uint8_t low, uint8_t high, uint8_t bank);

enum class LoadResult {
    Loaded,   // the level is in `state`
    Refused,  // reported; `state` is unchanged
    Abort,    // unknown object type: reported; the program must end (nothing written)
};

// Decodes the level whose header starts at `headerOffset` and whose sprites
// start at `spriteOffset`. `state` is replaced only on success.
LoadResult DecodeLevel(const RomFile& rom, const DefinitionTables& defs, int32_t headerOffset,
                       int32_t spriteOffset, Prompter& prompter, LevelState& state);

// LoadLevelIndex/LoadLevelOffset: the two loaders. LoadLevelOffset reports
// "Level and sprites loaded." after a successful load.
LoadResult LoadLevelIndex(const RomFile& rom, const DefinitionTables& defs, int32_t index,
                          Prompter& prompter, LevelState& state);
LoadResult LoadLevelOffset(const RomFile& rom, const DefinitionTables& defs, int32_t headerOffset,
                           int32_t spriteOffset, Prompter& prompter, LevelState& state);

// Size codes.
int DecodeFullByteSize(uint8_t code);  // 1..128, -129..-2
int DecodeNibbleSize(uint8_t nibble);  // 1..16
// nullopt when the extent has no byte (0, -1, above 128, below -129).
std::optional<uint8_t> EncodeFullByteSize(int extent);

// Byte length of an object record by kind (3, 4, 5), 0 for anything else.
int RecordLength(uint8_t kind);

// The bytes of one record.
std::vector<uint8_t> EncodeObject(const DefinitionTables& defs, const LevelObject& o);
std::vector<uint8_t> EncodeSprite(const LevelObject& s);
std::vector<uint8_t> EncodeExit(const ScreenExit& e);

// Why an entry cannot be written so that it reads back the same, or nullopt.
std::optional<std::string> CheckEntryWritable(const DefinitionTables& defs, const LevelObject& o);
std::optional<std::string> CheckExitWritable(const ScreenExit& e);

// The two regions as a save writes them, from headerOffset and spriteOffset.
std::vector<uint8_t> BuildObjectRegion(const DefinitionTables& defs, const LevelState& state);
std::vector<uint8_t> BuildSpriteRegion(const LevelState& state);

// The save command: both budget checks, the writability check, then both
// regions written, flushed and read back; reports the outcome (including
// "Level saved succesfully.") through `prompter`. True when saved.
bool SaveLevel(RomFile& rom, const DefinitionTables& defs, const LevelState& state, Prompter& prompter);

// Writes the bytes of a level back exactly as they are (used by `check`):
// builds both regions and compares them with the file. Empty when equal,
// else a description of the first difference.
std::string CompareWithFile(const RomFile& rom, const DefinitionTables& defs, const LevelState& state);

}  // namespace mw
