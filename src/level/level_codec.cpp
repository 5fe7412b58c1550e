#include "level/level_codec.h"

#include <algorithm>
#include <cstdio>

#include "level/object_caption.h"
#include "level/rom_layout.h"
#include "util/hex_text.h"

namespace mw {

namespace {

constexpr int kMaxCounter = kMaxStreamBytes;
const char* const kBadTitle = "Marlwick - This is bad";

void Tell(Messages& said, std::string title, std::string text) { said.push_back({std::move(title), std::move(text)}); }

void ReportPastEnd(Messages& said, int64_t offset) {
    // A pointer table entry of a huge index lies beyond 32 bits.
    char at[24];
    std::snprintf(at, sizeof at, "%llX", static_cast<unsigned long long>(std::max<int64_t>(offset, 0)));
    Tell(said, kBadTitle, std::string("The level data runs past the end of the ROM file (at offset ") + at +
                                    ").\nThe level was not loaded.");
}

void ReportTooLarge(Messages& said) {
    Tell(said, kBadTitle,
                     "The level data is larger than the editor can count (more than 32767 bytes).\n"
                     "The level was not loaded.");
}

void ReportPastBankEnd(Messages& said, int64_t bankEnd) {
    Tell(said, kBadTitle, "The level data runs past the end of its bank (at offset " +
                                    ToHex(static_cast<uint32_t>(bankEnd)) +
                                    "), where the game cannot read it.\nThe level was not loaded.");
}

// Checks that `length` bytes at `p` lie inside the file and inside the
// stream's bank, reporting the first of the two that fails.
bool Readable(const RomFile& rom, int64_t p, int64_t length, int64_t bankEnd, Messages& said) {
    if (!rom.contains(p, length)) {
        ReportPastEnd(said, rom.DiskOffset(p));
        return false;
    }
    if (p + length > bankEnd) {
        ReportPastBankEnd(said, rom.DiskOffset(bankEnd));
        return false;
    }
    return true;
}

// Reads the pointer at `offset` (low, high, bank) without messages; nullopt
// when it lies outside the file or points at an invalid bank.
std::optional<int32_t> PointerAt(const RomFile& rom, int64_t offset) {
    if (!rom.contains(offset, 3)) return std::nullopt;
    const auto& b = rom.bytes();
    return PointerToOffsetQuiet(b[offset], b[offset + 1], b[offset + 2]);
}

// Where the levels of the pointer table begin (headers and sprites), sorted;
// remembered until the file's contents change.
const std::vector<int32_t>& LevelStarts(const RomFile& rom) {
    thread_local uint64_t generation = 0;
    thread_local std::vector<int32_t> starts;
    if (generation != rom.generation() || generation == 0) {
        starts.clear();
        for (int n = 0; n < kLevelCount; ++n)
            for (int half = 0; half < 2; ++half)
                if (auto start = PointerAt(rom, kLevelPointerTable + 6 * n + 3 * half)) starts.push_back(*start);
        std::sort(starts.begin(), starts.end());
        generation = rom.generation();
    }
    return starts;
}

// The first offset at or after `from` where any level of the pointer table
// begins, or the end of the file. Free space never reaches past it: the
// levels lie packed one after another, and a header may begin with zeros.
int64_t FreeSpaceLimit(const RomFile& rom, int64_t from) {
    const auto& starts = LevelStarts(rom);
    auto it = std::lower_bound(starts.begin(), starts.end(), from);
    return it == starts.end() ? rom.size() : std::min<int64_t>(*it, rom.size());
}

// Zero bytes from `from` on, at most `maxCount`, up to the end of the
// stream's bank (the game cannot read past it), the next level start and
// `ownStart` (where the level's other stream begins, when it lies ahead): a
// level loaded by explicit offsets has no table entry that would stop the
// scan there.
int CountZeros(const RomFile& rom, int64_t from, int64_t ownStart, int64_t bankEnd, int maxCount) {
    int64_t limit = std::min({FreeSpaceLimit(rom, from), bankEnd, from + std::max(maxCount, 0)});
    if (ownStart >= from && ownStart < limit) limit = ownStart;
    const auto& b = rom.bytes();
    int64_t p = from;
    while (p < limit && b[p] == 0x00) ++p;
    return static_cast<int>(std::max<int64_t>(p - from, 0));
}

uint8_t ScreenByte(uint8_t x, uint8_t y) { return static_cast<uint8_t>((y & 0xF0) | (x >> 4)); }
uint8_t PositionByte(uint8_t x, uint8_t y) { return static_cast<uint8_t>(((y & 0x0F) << 4) | (x & 0x0F)); }

// Header, objects, exits and their free space. Fills everything of `out`
// but the sprites.
LoadResult DecodeObjectRegion(const RomFile& rom, const DefinitionTables& defs, const LevelPlace& place,
                              Messages& said, LevelState& out) {
    const auto& b = rom.bytes();
    const int32_t h = place.headerOffset;
    const int64_t bankEnd = BankEndOffset(h, place.objectMapping);
    out.hasHeader = place.hasHeader;
    out.headerBytes = {};
    if (place.hasHeader) {
        if (!Readable(rom, h, 10, bankEnd, said)) return LoadResult::Refused;
        std::copy_n(b.begin() + h, 10, out.headerBytes.begin());
    }
    out.headerOffset = h;
    out.objectList.clear();
    out.exitList.clear();
    int used = 0;
    int64_t p = static_cast<int64_t>(h) + (place.hasHeader ? 10 : 0);
    for (;;) {
        if (!Readable(rom, p, 1, bankEnd, said)) return LoadResult::Refused;
        const uint8_t id = b[p];
        const ObjectDefinition& def = defs.objectDefs[id];
        if (def.kind == kKindEndMarker) {
            ++p;
            break;
        }
        const int length = RecordLength(def.kind);
        if (length == 0) {
            // Nothing has been changed: decoding goes into scratch storage.
            Tell(said, kBadTitle, "Unknown object type (WEIRD error!) : Object " + ToHex(id) + " thinks it's type" +
                                            std::to_string(def.kind) + "\nThe level was not loaded.");
            return LoadResult::Refused;
        }
        if (!Readable(rom, p, length, bankEnd, said)) return LoadResult::Refused;
        LevelObject o;
        o.id = id;
        o.x = static_cast<uint8_t>((b[p + 1] & 0x0F) * 16 + (b[p + 2] & 0x0F));
        o.y = static_cast<uint8_t>((b[p + 1] & 0xF0) + (b[p + 2] >> 4));
        const uint8_t size = b[p + 3];
        if (def.kind == kKindExtended) {
            o.extId = size;
            o.width = defs.extendedDefs[size].width;
            o.height = defs.extendedDefs[size].height;
        } else if (def.kind == kKindFourByte) {
            if (def.sizeMode == 1) {
                o.width = static_cast<int16_t>(DecodeFullByteSize(size));
                o.height = 1;
            } else if (def.sizeMode == 2) {
                o.width = 1;
                o.height = static_cast<int16_t>(DecodeFullByteSize(size));
            } else {
                o.width = static_cast<int16_t>(DecodeNibbleSize(size >> 4));
                o.height = static_cast<int16_t>(DecodeNibbleSize(size & 0x0F));
            }
        } else {
            o.width = static_cast<int16_t>(DecodeFullByteSize(size));
            o.height = static_cast<int16_t>(DecodeFullByteSize(b[p + 4]));
        }
        out.objectList.push_back(o);
        p += length;
        used += length;
        if (used > kMaxCounter) {
            ReportTooLarge(said);
            return LoadResult::Refused;
        }
    }
    // Screen exits: the game ends the list at a screen byte with bit 7 set.
    // Only 0xFF is the level's own end marker; 0x80..0xFE is already the
    // data that follows, and the level then owns no free space either.
    for (;;) {
        if (!Readable(rom, p, 1, bankEnd, said)) return LoadResult::Refused;
        const uint8_t screen = b[p];
        if (screen & 0x80) {
            out.ownsExitEndMarker = (screen == 0xFF);
            if (out.ownsExitEndMarker) ++p;
            break;
        }
        if (!Readable(rom, p, 5, bankEnd, said)) return LoadResult::Refused;
        ScreenExit e;
        e.screenX = screen & 0x0F;
        e.screenY = screen >> 4;
        e.destination = b[p + 1];
        e.entranceX = b[p + 2];
        e.entranceY = b[p + 3];
        e.entranceType = b[p + 4];
        out.exitList.push_back(e);
        p += 5;
        used += 5;
        if (used > kMaxCounter) {
            ReportTooLarge(said);
            return LoadResult::Refused;
        }
    }
    // Free room is counted only as far as the counter can hold it.
    const int room =
        out.ownsExitEndMarker ? CountZeros(rom, p, place.spriteOffset, bankEnd, kMaxCounter - used) : 0;
    out.objectBytesUsed = used;
    out.objectBytesAvailable = used + room;
    return LoadResult::Loaded;
}

LoadResult DecodeSpriteRegion(const RomFile& rom, const LevelPlace& place, Messages& said, LevelState& out) {
    const auto& b = rom.bytes();
    const int32_t s = place.spriteOffset;
    const int64_t bankEnd = BankEndOffset(s, place.spriteMapping);
    out.spriteOffset = s;
    int used = 0;
    int64_t p = s;
    for (;;) {
        if (!Readable(rom, p, 2, bankEnd, said)) return LoadResult::Refused;
        if (b[p] == 0xFF && b[p + 1] == 0xFF) {
            p += 2;
            break;
        }
        if (!Readable(rom, p, 3, bankEnd, said)) return LoadResult::Refused;
        LevelObject sp;
        sp.id = b[p];
        sp.extId = b[p + 1] & 1;
        sp.y = b[p + 1] >> 1;
        sp.x = b[p + 2];
        sp.width = 1;
        sp.height = 1;
        sp.isSprite = true;
        out.objectList.push_back(sp);
        p += 3;
        used += 3;
        if (used > kMaxCounter) {
            ReportTooLarge(said);
            return LoadResult::Refused;
        }
    }
    out.spriteBytesUsed = used;
    out.spriteBytesAvailable = used + CountZeros(rom, p, place.headerOffset, bankEnd, kMaxCounter - used);
    return LoadResult::Loaded;
}

}  // namespace

std::optional<int32_t> PointerToOffsetQuiet(uint8_t low, uint8_t high, uint8_t bank) {
    if (bank >= 0x80) bank = static_cast<uint8_t>(bank - 0x80);
    const int32_t address = high * 256 + low;
    if (bank >= 0x60) return std::nullopt;
    if (bank >= 0x40) return bank * 0x10000 + address - 0x3FFE00;
    return bank * 0x8000 + (address & 0x7FFF) + static_cast<int32_t>(kCopierHeaderSize);
}

BankMapping MappingOfBank(uint8_t bank) {
    bank &= 0x7F;
    return bank >= 0x40 && bank < 0x60 ? BankMapping::Linear : BankMapping::LoRom;
}

int64_t BankEndOffset(int64_t fileOffset, BankMapping mapping) {
    if (fileOffset < kCopierHeaderSize) return kCopierHeaderSize;
    const int64_t bankSize = mapping == BankMapping::Linear ? 0x10000 : 0x8000;
    return (fileOffset - kCopierHeaderSize) / bankSize * bankSize + bankSize + kCopierHeaderSize;
}

int32_t PointerToOffset(uint8_t low, uint8_t high, uint8_t bank, Messages& said) {
    const uint8_t asPassed = bank;
    if (bank >= 0x80) {
        bank = static_cast<uint8_t>(bank - 0x80);
        Tell(said, "Marlwick - Do you subtract 0x80 from banks over 80 and then treat them normally?",
                         "Abnormal bank number.  Level may not load properly.");
    }
    if (bank >= 0x60) {
        Tell(said, "Marlwick - Index points to invalid bank",
                         "This index points to an invalid bank.  It will load incorrectly.\nBank number: " +
                             ToHex(asPassed));
        return 0;
    }
    return *PointerToOffsetQuiet(low, high, bank);
}

namespace {

// Decoding goes into a scratch level whose lists keep their storage from one
// load to the next; on success it trades places with the caller's level.
LevelState& Scratch() {
    thread_local LevelState scratch;
    scratch.objectList.clear();
    scratch.exitList.clear();
    scratch.ownsExitEndMarker = true;
    scratch.tableIndex = -1;
    return scratch;
}

}  // namespace

LevelLoad DecodeLevel(const RomFile& rom, const DefinitionTables& defs, const LevelPlace& place) {
    LevelLoad load;
    LevelState& decoded = Scratch();
    if (DecodeObjectRegion(rom, defs, place, load.messages, decoded) != LoadResult::Loaded ||
        DecodeSpriteRegion(rom, place, load.messages, decoded) != LoadResult::Loaded)
        return load;
    std::swap(load.level, decoded);
    load.result = LoadResult::Loaded;
    return load;
}

std::optional<Message> LevelIndexRefusal(int32_t index) {
    if (index >= 0 && index < kLevelCount) return std::nullopt;
    return Message{"Marlwick - User error", "There is no level " + ToHex(static_cast<uint32_t>(index)) +
                                                ". Level indices run from 0 to " + ToHex(kLevelCount - 1) + "."};
}

LevelLoad LoadLevelIndex(const RomFile& rom, const DefinitionTables& defs, int32_t index) {
    LevelLoad load;
    Messages& said = load.messages;
    if (std::optional<Message> refusal = LevelIndexRefusal(index)) {
        said.push_back(std::move(*refusal));
        return load;
    }
    const int64_t entry = kLevelPointerTable + 6 * static_cast<int64_t>(index);
    if (!rom.contains(entry, 6)) {
        ReportPastEnd(said, rom.DiskOffset(entry));
        return load;
    }
    const auto& b = rom.bytes();
    LevelPlace place;
    place.hasHeader = !defs.isHeaderless(index);
    place.objectMapping = MappingOfBank(b[entry + 2]);
    place.spriteMapping = MappingOfBank(b[entry + 5]);
    // The header pointer is converted (and reported) before the objects are
    // decoded, the sprite pointer only after them.
    place.headerOffset = PointerToOffset(b[entry], b[entry + 1], b[entry + 2], said);
    // The sprite offset bounds the object free space already; an invalid
    // bank gives 0, as its reported conversion below does.
    place.spriteOffset = PointerToOffsetQuiet(b[entry + 3], b[entry + 4], b[entry + 5]).value_or(0);
    LevelState& decoded = Scratch();
    if (DecodeObjectRegion(rom, defs, place, said, decoded) != LoadResult::Loaded) return load;
    place.spriteOffset = PointerToOffset(b[entry + 3], b[entry + 4], b[entry + 5], said);
    if (DecodeSpriteRegion(rom, place, said, decoded) != LoadResult::Loaded) return load;
    decoded.tableIndex = index;
    std::swap(load.level, decoded);
    load.result = LoadResult::Loaded;
    return load;
}

std::optional<TableOffsets> LevelTableOffsets(const RomFile& rom, int32_t index) {
    if (index < 0 || index >= kLevelCount) return std::nullopt;
    const int64_t entry = kLevelPointerTable + 6 * static_cast<int64_t>(index);
    if (!rom.contains(entry, 6)) return std::nullopt;
    const auto& b = rom.bytes();
    const auto header = PointerToOffsetQuiet(b[entry], b[entry + 1], b[entry + 2]);
    const auto sprites = PointerToOffsetQuiet(b[entry + 3], b[entry + 4], b[entry + 5]);
    if (!header || !sprites) return std::nullopt;
    return TableOffsets{*header, *sprites};
}

LevelLoad LoadLevelOffset(const RomFile& rom, const DefinitionTables& defs, int32_t headerOffset,
                          int32_t spriteOffset) {
    // Eleven 0xFF bytes (the header and the first object) are no level: a
    // header of 0xFF bytes is not one the game makes, and the level would
    // load empty and look like a level that is there.
    constexpr int64_t kPaddingRun = std::tuple_size_v<LevelHeader> + 1;
    if (rom.contains(headerOffset, kPaddingRun) &&
        std::all_of(rom.bytes().begin() + headerOffset, rom.bytes().begin() + headerOffset + kPaddingRun,
                    [](uint8_t b) { return b == 0xFF; })) {
        LevelLoad refused;
        refused.messages.push_back({"Marlwick - Substandard loading feature",
                                    "Nothing was loaded: offset " + ToHex(static_cast<uint32_t>(rom.DiskOffset(headerOffset))) +
                                        " holds padding (FF bytes where the header and the first object should be), "
                                        "not a level."});
        return refused;
    }
    // A level given by offsets has a header and LoROM banks.
    LevelPlace place;
    place.headerOffset = headerOffset;
    place.spriteOffset = spriteOffset;
    LevelLoad load = DecodeLevel(rom, defs, place);
    if (load.loaded()) load.messages.push_back({"Marlwick - Substandard loading feature", "Level and sprites loaded."});
    return load;
}

int DecodeFullByteSize(uint8_t code) { return code < 0x80 ? code + 1 : code - 257; }
int DecodeNibbleSize(uint8_t nibble) { return (nibble & 0x0F) + 1; }

std::optional<uint8_t> EncodeFullByteSize(int extent) {
    if (extent >= 1 && extent <= 128) return static_cast<uint8_t>(extent - 1);
    if (extent >= -129 && extent <= -2) return static_cast<uint8_t>(extent + 257);
    return std::nullopt;
}

int RecordByteCount(const DefinitionTables& defs, const LevelObject& entry) {
    return entry.isSprite ? kSpriteRecordBytes : RecordLength(defs.kindOf(entry));
}

void CountBytesUsed(const DefinitionTables& defs, LevelState& level) {
    level.objectBytesUsed = kExitRecordBytes * static_cast<int>(level.exitList.size());
    level.spriteBytesUsed = 0;
    for (const LevelObject& o : level.objectList)
        (o.isSprite ? level.spriteBytesUsed : level.objectBytesUsed) += RecordByteCount(defs, o);
}

int RecordLength(uint8_t kind) {
    switch (kind) {
        case kKindExtended:
        case kKindFourByte: return 4;
        case kKindFiveByte: return 5;
        default: return 0;
    }
}

std::vector<uint8_t> EncodeObject(const DefinitionTables& defs, const LevelObject& o) {
    const ObjectDefinition& def = defs.objectDefs[o.id];
    const uint8_t screen = ScreenByte(o.x, o.y), pos = PositionByte(o.x, o.y);
    switch (def.kind) {
        case kKindExtended: return {0x00, screen, pos, o.extId};
        case kKindFourByte: {
            uint8_t size;
            if (def.sizeMode == 1)
                size = EncodeFullByteSize(o.width).value_or(0);
            else if (def.sizeMode == 2)
                size = EncodeFullByteSize(o.height).value_or(0);
            else
                size = static_cast<uint8_t>((((o.width - 1) & 0x0F) << 4) | ((o.height - 1) & 0x0F));
            return {o.id, screen, pos, size};
        }
        case kKindFiveByte:
            return {o.id, screen, pos, EncodeFullByteSize(o.width).value_or(0),
                    EncodeFullByteSize(o.height).value_or(0)};
        default: return {};
    }
}

std::vector<uint8_t> EncodeSprite(const LevelObject& s) {
    return {s.id, static_cast<uint8_t>(((s.y & 0x7F) << 1) | (s.extId & 1)), s.x};
}

std::vector<uint8_t> EncodeExit(const ScreenExit& e) {
    return {static_cast<uint8_t>(((e.screenY & 0x0F) << 4) | (e.screenX & 0x0F)), e.destination, e.entranceX,
            e.entranceY, e.entranceType};
}

std::optional<std::string> CheckEntryWritable(const DefinitionTables& defs, const LevelObject& o) {
    if (o.isSprite) {
        if (o.extId > 1) return "its sprite ID " + ToHex(o.spriteId()) + " does not fit in 9 bits";
        if (o.y > 127) return "its row " + ToHex(o.y) + " is below the sprite area (rows 0 to 7F)";
        if (o.spriteId() == 0x1FF && o.y == 127)
            return "sprite 1FF on row 7F would read back as the end of the sprite list";
        return std::nullopt;
    }
    const ObjectDefinition& def = defs.objectDefs[o.id];
    auto fullByte = [](const char* what, int extent) -> std::optional<std::string> {
        if (EncodeFullByteSize(extent)) return std::nullopt;
        return std::string("its ") + what + " " + std::to_string(extent) +
               " cannot be stored (1 to 128 or -129 to -2)";
    };
    switch (def.kind) {
        case kKindExtended: return std::nullopt;
        case kKindFiveByte: {
            if (auto w = fullByte("width", o.width)) return w;
            return fullByte("height", o.height);
        }
        case kKindFourByte:
            if (def.sizeMode == 1) {
                if (o.height != 1) return "its height " + std::to_string(o.height) + " cannot be stored (always 1)";
                return fullByte("width", o.width);
            }
            if (def.sizeMode == 2) {
                if (o.width != 1) return "its width " + std::to_string(o.width) + " cannot be stored (always 1)";
                return fullByte("height", o.height);
            }
            if (o.width < 1 || o.width > 16) return "its width " + std::to_string(o.width) + " cannot be stored (1 to 16)";
            if (o.height < 1 || o.height > 16)
                return "its height " + std::to_string(o.height) + " cannot be stored (1 to 16)";
            return std::nullopt;
        default:
            return "its object type " + ToHex(o.id) + " has kind " + std::to_string(def.kind) +
                   ", not a kind the ROM can hold (3, 4 or 5)";
    }
}

std::optional<std::string> CheckExitWritable(const ScreenExit& e) {
    if (e.screenX > 15) return "its screen column " + ToHex(e.screenX) + " is outside 0 to F";
    if (e.screenY > 7) return "its screen row " + ToHex(e.screenY) + " is outside 0 to 7 (the game would end the exit list there)";
    return std::nullopt;
}

std::vector<uint8_t> BuildObjectRegion(const DefinitionTables& defs, const LevelState& state) {
    std::vector<uint8_t> out;
    if (state.hasHeader) out.assign(state.headerBytes.begin(), state.headerBytes.end());
    int room = state.objectBytesAvailable;
    for (const LevelObject& o : state.objectList) {
        if (o.isSprite) continue;
        auto rec = EncodeObject(defs, o);
        out.insert(out.end(), rec.begin(), rec.end());
        room -= static_cast<int>(rec.size());
    }
    out.push_back(0xFF);
    for (const ScreenExit& e : state.exitList) {
        auto rec = EncodeExit(e);
        out.insert(out.end(), rec.begin(), rec.end());
        room -= 5;
    }
    if (state.ownsExitEndMarker) {
        out.push_back(0xFF);
    } else if (room > 0) {
        // The level has gained room: its exits get an end marker of their own.
        out.push_back(0xFF);
        --room;
    }
    if (room > 0) out.insert(out.end(), static_cast<size_t>(room), 0x00);
    return out;
}

std::vector<uint8_t> BuildSpriteRegion(const LevelState& state) {
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(state.spriteBytesAvailable) + 2);
    int room = state.spriteBytesAvailable;
    for (const LevelObject& o : state.objectList) {
        if (!o.isSprite) continue;
        auto rec = EncodeSprite(o);
        out.insert(out.end(), rec.begin(), rec.end());
        room -= 3;
    }
    out.push_back(0xFF);
    out.push_back(0xFF);
    if (room > 0) out.insert(out.end(), static_cast<size_t>(room), 0x00);
    return out;
}

std::string CompareWithFile(const RomFile& rom, const DefinitionTables& defs, const LevelState& state) {
    auto compare = [&](const char* what, int64_t at, const std::vector<uint8_t>& bytes) -> std::string {
        for (size_t k = 0; k < bytes.size(); ++k) {
            auto actual = rom.byteAt(at + static_cast<int64_t>(k));
            if (!actual || *actual != bytes[k])
                return std::string(what) + " differ at offset " + ToHex(static_cast<uint32_t>(rom.DiskOffset(at + static_cast<int64_t>(k)))) + ": file " +
                       (actual ? ToHex(*actual) : std::string("(end)")) + ", written " + ToHex(bytes[k]);
        }
        return {};
    };
    std::string diff = compare("object bytes", state.headerOffset, BuildObjectRegion(defs, state));
    if (diff.empty()) diff = compare("sprite bytes", state.spriteOffset, BuildSpriteRegion(state));
    return diff;
}

}  // namespace mw
