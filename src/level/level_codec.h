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
#include "util/message.h"

namespace mw {

constexpr int32_t kLevelPointerTable = 0xBF9C3;  // file offset, SNES $17:F7C3
constexpr int kLevelCount = 0xDE;                // indices 0..DD

// Converts a three-byte SNES address (low, high, bank) to a file offset,
// adding a warning about odd banks to `said`. Returns 0 for an invalid bank.
int32_t PointerToOffset(uint8_t low, uint8_t high, uint8_t bank, Messages& said);
// The same without messages; nullopt for a bank of 0x60..0x7F (after folding 0x80).
std::optional<int32_t> PointerToOffsetQuiet(uint8_t low, uint8_t high, uint8_t bank);

// How a pointer's bank maps the ROM: LoROM banks (00..3F) are 32 KiB,
// linear banks (40..5F) 64 KiB. The game reads a stream within one bank.
enum class BankMapping { LoRom, Linear };
// The mapping of a pointer's bank byte (0x80 and above folded as when
// loading); LoRom for the invalid banks 60..7F, whose offset reads as 0.
BankMapping MappingOfBank(uint8_t bank);
// The file offset just past the end of the bank that holds `fileOffset`
// (copier header included). Offsets inside the copier header end at 0x200.
int64_t BankEndOffset(int64_t fileOffset, BankMapping mapping);

enum class LoadResult {
    Loaded,   // the level is in `level`
    Refused,  // the reason is among the messages
};

// A load's outcome: the level when it loaded, and what the user is to be
// told (warnings, and the reason for a refusal), in the order it arose.
struct LevelLoad {
    LoadResult result = LoadResult::Refused;
    LevelState level;
    Messages messages;
    bool loaded() const { return result == LoadResult::Loaded; }
};

// Where a level's two streams start and how they are read.
struct LevelPlace {
    int32_t headerOffset = 0;  // where its data starts (the header, when it has one)
    int32_t spriteOffset = 0;
    bool hasHeader = true;     // false: the objects start at headerOffset
    BankMapping objectMapping = BankMapping::LoRom;
    BankMapping spriteMapping = BankMapping::LoRom;
};

// Decodes the level at `place`.
LevelLoad DecodeLevel(const RomFile& rom, const DefinitionTables& defs, const LevelPlace& place);

// The refusal, giving the table's range, when `index` is not an index of the
// level pointer table: the bytes after the table are other data, not pointers.
std::optional<Message> LevelIndexRefusal(int32_t index);

// The two ".smc" file offsets that the pointer table holds now for level
// `index`; nullopt outside the table, past the file's end or for a bank
// that maps no ROM.
struct TableOffsets {
    int32_t header = 0;
    int32_t sprites = 0;
};
std::optional<TableOffsets> LevelTableOffsets(const RomFile& rom, int32_t index);

// LoadLevelIndex/LoadLevelOffset: the two loaders. LoadLevelIndex reads a
// level without a header where the definition tables say so; a level loaded
// by offsets has a header and is bounded by 32 KiB banks. LoadLevelOffset
// adds "Level and sprites loaded." after a successful load, and refuses
// offsets where the file holds padding (0xFF bytes in place of the header
// and the first object), as a level's old place does after it moved.
LevelLoad LoadLevelIndex(const RomFile& rom, const DefinitionTables& defs, int32_t index);
LevelLoad LoadLevelOffset(const RomFile& rom, const DefinitionTables& defs, int32_t headerOffset,
                          int32_t spriteOffset);

// Size codes.
int DecodeFullByteSize(uint8_t code);  // 1..128, -129..-2
int DecodeNibbleSize(uint8_t nibble);  // 1..16
// nullopt when the extent has no byte (0, -1, above 128, below -129).
std::optional<uint8_t> EncodeFullByteSize(int extent);

// Byte length of an object record by kind (3, 4, 5), 0 for anything else.
int RecordLength(uint8_t kind);

// The most bytes of records (objects and exits, or sprites) the loader
// reads back; a level with more is refused when loaded, so it is never saved.
constexpr int kMaxStreamBytes = 32767;

constexpr int kExitRecordBytes = 5;
constexpr int kSpriteRecordBytes = 3;

// The bytes an entry's record takes: 3 for a sprite (sprite counter), else
// its kind's record length, 4 for an extended object (object counter).
int RecordByteCount(const DefinitionTables& defs, const LevelObject& entry);

// Sets the level's used-byte counters from its lists: the objects' and the
// exits' records, and the sprites' records.
void CountBytesUsed(const DefinitionTables& defs, LevelState& level);

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

// Writes the bytes of a level back exactly as they are (used by `check`):
// builds both regions and compares them with the file. Empty when equal,
// else a description of the first difference.
std::string CompareWithFile(const RomFile& rom, const DefinitionTables& defs, const LevelState& state);

}  // namespace mw
