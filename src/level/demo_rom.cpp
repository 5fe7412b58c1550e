#include "level/demo_rom.h"

#include <algorithm>
#include <cstring>

#include "level/demo_graphics.h"
#include "level/demo_loader.h"
#include "level/level_codec.h"
#include "level/level_opening.h"
#include "level/rom_checksum.h"
#include "level/rom_identity.h"
#include "level/room.h"

namespace mw {

namespace {

LevelObject Obj(uint8_t id, int x, int y, int w, int h) { return MakeObject(id, x, y, w, h); }

struct DemoLevel {
    LevelHeader header{};
    std::vector<LevelObject> objects;  // objects, then sprites
    std::vector<ScreenExit> exits;
    int objectFree = 0;  // zero bytes after the exits' end marker
    int spriteFree = 0;
    bool ownsExitEndMarker = true;
    bool hasHeader = true;  // false: only for the indices the tables list as headerless
};

// Fills in the size of extended objects from their definitions, the way a
// decoder would see them.
void Ext(DemoLevel& l, const DefinitionTables& defs, uint8_t ext, int x, int y) {
    LevelObject o = Obj(0x00, x, y, defs.extendedDefs[ext].width, defs.extendedDefs[ext].height);
    o.extId = ext;
    l.objects.push_back(o);
}

void Sprite(DemoLevel& l, int id, int x, int y) { l.objects.push_back(MakeSprite(id, x, y)); }

// Object IDs used (kinds as in the game's object table):
// 01 land (five-byte), 04/05 land slopes (five-byte), 0D thin platform
// (four-byte, width), 3C vertical pipe (four-byte, height), 02/03 cliffs
// (four-byte, height).
std::vector<DemoLevel> DemoLevels(const DefinitionTables& defs) {
    std::vector<DemoLevel> levels;

    // Level 0: a small outdoor course.
    DemoLevel a;
    a.header = {0x28, 0x84, 0x21, 0x06, 0x18, 0x20, 0x40, 0x00, 0x02, 0x00};
    a.objects = {
        Obj(0x01, 0, 0x70, 40, 16),   Obj(0x05, 40, 0x6C, 8, 4),   Obj(0x01, 40, 0x70, 8, 16),
        Obj(0x01, 48, 0x6C, 24, 20),  Obj(0x04, 72, 0x6C, 8, 4),   Obj(0x01, 72, 0x70, 8, 16),
        Obj(0x02, 80, 0x70, 1, 16),   Obj(0x03, 95, 0x70, 1, 16),  Obj(0x01, 96, 0x70, 60, 16),
        Obj(0x0D, 20, 0x64, 6, 1),    Obj(0x0D, 30, 0x5E, 6, 1),   Obj(0x0D, 84, 0x66, 8, 1),
        Obj(0x3C, 110, 0x68, 2, 8),   Obj(0x3C, 130, 0x66, 2, 10), Obj(0x01, 156, 0x74, 40, 12),
    };
    a.objects[12].width = 1;  // pipes are four-byte objects of one column
    a.objects[13].width = 1;
    Ext(a, defs, 0x50, 6, 0x6E);
    Ext(a, defs, 0x85, 60, 0x50);
    for (auto [id, x, y] : std::initializer_list<std::array<int, 3>>{{0x01E, 28, 0x6F},
                                                                     {0x01E, 60, 0x6B},
                                                                     {0x065, 22, 0x62},
                                                                     {0x065, 32, 0x5C},
                                                                     {0x115, 88, 0x64},
                                                                     {0x110, 100, 0x6F},
                                                                     {0x04F, 120, 0x6F},
                                                                     {0x11B, 140, 0x58},
                                                                     {0x00D, 180, 0x73}})
        Sprite(a, id, x, y);
    a.exits = {{6, 6, 0x01, 0x10, 0x60, 0x02}, {11, 7, 0x02, 0x08, 0x70, 0x00}};
    // Lift the course into the top two screen rows, where the view opens.
    for (auto& o : a.objects) o.y = static_cast<uint8_t>(o.y >= 0x60 ? o.y - 0x60 : 0x02);
    for (auto& x : a.exits) x.screenY = static_cast<uint8_t>(x.screenY - 6);
    a.objectFree = 24;
    a.spriteFree = 12;
    levels.push_back(a);

    // Level 1: a pipe room; level 2: a tall shaft of platforms.
    DemoLevel b;
    b.header = {0x10, 0x08, 0x44, 0x00, 0x30, 0x11, 0x08, 0x00, 0x40, 0x80};
    b.objects = {Obj(0x01, 0, 0x70, 32, 16), Obj(0x3C, 8, 0x60, 1, -8), Obj(0x3C, 20, 0x68, 1, 8),
                 Obj(0x0D, 12, 0x64, -4, 1)};
    Sprite(b, 0x025, 4, 0x6F);
    Sprite(b, 0x1A0, 26, 0x6F);
    b.exits = {{1, 6, 0x00, 0x70, 0x6E, 0x03}};
    levels.push_back(b);

    DemoLevel c;
    c.header = {0x48, 0x03, 0x21, 0x80, 0x00, 0x35, 0x02, 0x81, 0x14, 0x01};
    for (int k = 0; k < 8; ++k) c.objects.push_back(Obj(0x0D, 4 + (k % 2) * 8, 0x10 + k * 12, 5, 1));
    c.objects.push_back(Obj(0x02, 0, 0, 1, 128));
    c.objects.push_back(Obj(0x03, 31, 0, 1, -128));
    Sprite(c, 0x08D, 10, 0x30);
    Sprite(c, 0x08D, 14, 0x50);
    c.exits = {{0, 0, 0x00, 0x30, 0x20, 0x00}, {1, 7, 0x03, 0x00, 0x00, 0x01}};
    levels.push_back(c);  // no free bytes at all

    // Level 3: slopes of every direction; level 4: no exits, no sprites.
    DemoLevel d;
    d.header = {0x30, 0x02, 0x10, 0x10, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    d.objects = {Obj(0x06, 0, 0x60, 8, 8), Obj(0x07, 8, 0x60, 8, 8), Obj(0x08, 16, 0x60, 4, 8),
                 Obj(0x09, 20, 0x60, 4, 8), Obj(0x04, 24, 0x68, 16, 8), Obj(0x05, 40, 0x68, -16, 8),
                 Obj(0x01, 0, 0x70, 64, 16)};
    Sprite(d, 0x066, 30, 0x66);
    Sprite(d, 0x1FF, 2, 0x10);
    d.exits = {{2, 6, 0x04, 0x20, 0x20, 0x00}};
    levels.push_back(d);

    DemoLevel e;
    e.header = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    e.objects = {Obj(0x01, 0, 0x78, 16, 8)};
    levels.push_back(e);

    // Level 5: extended objects; level 6: an empty level.
    DemoLevel f;
    f.header = {0x18, 0x00, 0x84, 0x20, 0x08, 0x80, 0x10, 0x00, 0xC0, 0x7F};
    Ext(f, defs, 0x17, 2, 0x70);
    Ext(f, defs, 0x50, 10, 0x70);
    Ext(f, defs, 0x83, 0, 0x20);
    Ext(f, defs, 0xD4, 40, 0x68);
    f.objects.push_back(Obj(0x01, 0, 0x74, 64, 12));
    Sprite(f, 0x0FA, 20, 0x72);
    Sprite(f, 0x103, 30, 0x60);
    f.exits = {{3, 7, 0x05, 0x10, 0x10, 0x00}};
    f.objectFree = 40;
    f.spriteFree = 30;
    levels.push_back(f);

    // It has no exit end marker of its own: level 7's data follows its
    // objects' end marker at once, and level 7's first header byte has bit 7
    // set, which ends the exit list just as well.
    DemoLevel g;
    g.header = {0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    g.ownsExitEndMarker = false;
    levels.push_back(g);

    DemoLevel h;
    h.header = {0x90, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99};
    h.objects = {Obj(0x01, 0, 0x70, 128, 16), Obj(0x0D, 60, 0x60, -20, 1), Obj(0x3C, 100, 0x60, 1, 16)};
    Sprite(h, 0x001, 10, 0x6F);
    Sprite(h, 0x1B0, 50, 0x40);
    Sprite(h, 0x000, 255, 127);
    h.exits = {{15, 7, 0x00, 0x00, 0x70, 0x00}};
    levels.push_back(h);

    // Level 8: lives in a linear bank (see the bank plan below).
    DemoLevel i;
    i.header = {0x40, 0x80, 0x08, 0x02, 0x10, 0x30, 0x00, 0x00, 0x01, 0x00};
    i.objects = {Obj(0x01, 0, 0x70, 48, 16), Obj(0x05, 48, 0x6C, 8, 4), Obj(0x0D, 10, 0x66, 10, 1)};
    Ext(i, defs, 0x50, 4, 0x6E);
    Sprite(i, 0x01E, 20, 0x6F);
    Sprite(i, 0x115, 30, 0x60);
    i.exits = {{2, 6, 0x00, 0x04, 0x70, 0x00}};
    levels.push_back(i);

    // The title screen: no header, sixteen extended objects, no exits.
    DemoLevel t;
    t.hasHeader = false;
    static const uint8_t titleParts[] = {0x50, 0x85, 0x17, 0x83};
    for (int k = 0; k < 16; ++k) Ext(t, defs, titleParts[k % 4], 8 + (k % 8) * 24, 0x10 + (k / 8) * 0x20);
    levels.push_back(t);

    return levels;
}

}  // namespace

namespace {

// Demo level numbers of the distinct levels, and the entries of the pointer
// table that share data the way the game's own table does.
constexpr size_t kTitleLevel = 9;
constexpr int kSharedObjectsA = 0xBF, kSharedObjectsB = 0xD0;  // one object pointer, two sprite lists
constexpr int kEndMarkerOwner = 0x51, kEndMarkerBorrower = 0x19;  // 19's sprites: 51's end marker
constexpr int kSharedBoth = 0xDA, kSharedBothToo = 0xDB;

// The data the level banks hold, in order; each bank's data ends where its
// free tail begins, as in the game's ROM.
struct Piece {
    size_t level;  // index into DemoLevels, or kExtraSprites
    bool sprites;
};
constexpr size_t kExtraSprites = 100;  // the second sprite list of the shared objects
struct BankPlan {
    int32_t end;  // first byte of the bank's free tail
    bool linear;
    std::vector<Piece> pieces;
};

std::vector<BankPlan> DemoBanks() {
    return {
        {0x881A3, false, {{0, false}, {0, true}, {1, false}, {1, true}}},
        {0x8FF87, false, {{3, false}, {3, true}, {kExtraSprites, true}, {2, false}, {2, true}}},
        {0x9819E, false, {{4, false}, {4, true}, {5, false}, {5, true}}},
        // Level 6 owns no exit end marker: level 7's header follows its objects.
        {0xA81A5, false, {{6, true}, {6, false}, {7, false}, {7, true}}},
        {0xB01D7, false, {{kTitleLevel, false}, {kTitleLevel, true}}},
        {0xD00B7, true, {{8, false}, {8, true}}},
    };
}

LevelState StateOf(const DefinitionTables& defs, const DemoLevel& l) {
    LevelState s;
    s.headerBytes = l.header;
    s.hasHeader = l.hasHeader;
    s.objectList = l.objects;
    s.exitList = l.exits;
    s.ownsExitEndMarker = l.ownsExitEndMarker;
    CountBytesUsed(defs, s);
    s.objectBytesAvailable = s.objectBytesUsed + l.objectFree;
    s.spriteBytesAvailable = s.spriteBytesUsed + l.spriteFree;
    return s;
}

}  // namespace

std::vector<uint8_t> BuildDemoRom(const DefinitionTables& defs, const std::vector<FreeBlock>& freeBlocks) {
    std::vector<uint8_t> rom(kDemoRomSize, 0x00);
    // A recognisable copier header, a filler that stands for the game's
    // other data, and 0xFF in the unused blocks.
    const char* tag = "MARLWICK DEMO ROM - SYNTHETIC DATA";
    std::memcpy(rom.data() + 8, tag, std::strlen(tag));
    std::fill(rom.begin() + kCopierHeaderSize, rom.end(), static_cast<uint8_t>(0xEA));
    for (const FreeBlock& b : freeBlocks)
        if (b.start >= kCopierHeaderSize && b.end <= kDemoRomSize) std::fill(rom.begin() + b.start, rom.begin() + b.end, 0xFF);

    const auto levels = DemoLevels(defs);
    std::vector<std::vector<uint8_t>> objects, sprites;
    for (const DemoLevel& l : levels) {
        const LevelState s = StateOf(defs, l);
        objects.push_back(BuildObjectRegion(defs, s));
        sprites.push_back(BuildSpriteRegion(s));
    }
    LevelState extra;
    extra.objectList = {MakeSprite(0x025, 12, 0x6F), MakeSprite(0x0FA, 40, 0x60), MakeSprite(0x1A0, 60, 0x6F)};
    extra.spriteBytesUsed = extra.spriteBytesAvailable = 9;
    const std::vector<uint8_t> extraSprites = BuildSpriteRegion(extra);

    // Each level's two offsets, packed bank by bank against the free tails.
    std::vector<std::pair<int32_t, int32_t>> placed(levels.size());
    std::vector<bool> linear(levels.size());
    int32_t extraAt = 0;
    for (const BankPlan& bank : DemoBanks()) {
        auto bytesOf = [&](const Piece& p) -> const std::vector<uint8_t>& {
            if (p.level == kExtraSprites) return extraSprites;
            return p.sprites ? sprites[p.level] : objects[p.level];
        };
        int32_t at = bank.end;
        for (const Piece& p : bank.pieces) at -= static_cast<int32_t>(bytesOf(p).size());
        for (const Piece& p : bank.pieces) {
            const auto& bytes = bytesOf(p);
            std::copy(bytes.begin(), bytes.end(), rom.begin() + at);
            if (p.level == kExtraSprites) {
                extraAt = at;
            } else {
                (p.sprites ? placed[p.level].second : placed[p.level].first) = at;
                linear[p.level] = bank.linear;
            }
            at += static_cast<int32_t>(bytes.size());
        }
    }

    auto point = [&](int entry, int half, int32_t offset, bool lin) {
        const auto bytes = PointerTo(offset, lin);
        std::copy(bytes.begin(), bytes.end(), rom.begin() + kLevelPointerTable + 6 * entry + 3 * half);
    };
    const size_t ordinary = kTitleLevel;  // the levels the other entries cycle through
    for (int n = 0; n < kLevelCount; ++n) {
        size_t k = static_cast<size_t>(n) % ordinary;
        if (defs.isHeaderless(n)) k = kTitleLevel;
        if (n == kSharedBothToo) k = static_cast<size_t>(kSharedBoth) % ordinary;
        if (n == kSharedObjectsB) k = static_cast<size_t>(kSharedObjectsA) % ordinary;
        point(n, 0, placed[k].first, linear[k]);
        point(n, 1, placed[k].second, linear[k]);
    }
    point(kSharedObjectsB, 1, extraAt, false);
    const size_t owner = static_cast<size_t>(kEndMarkerOwner) % ordinary;
    point(kEndMarkerBorrower, 1, placed[owner].second + StateOf(defs, levels[owner]).spriteBytesUsed, linear[owner]);
    // Two courses: the first (every stage word 0 names its record) starts on
    // level 0's ground, the second, for the second stage, on level 3's.
    std::fill_n(rom.begin() + kStageTable, 2 * kStageCount, 0x00);
    rom[kStageTable + 2] = 4;
    const uint8_t courses[] = {0x00, 0x07, 0x0E, 0x00, 0x03, 0x02, 0x5E, 0x01};
    std::copy(std::begin(courses), std::end(courses), rom.begin() + kCourseStartTable);
    PutDemoGraphics(rom);
    PutDemoLoader(defs, rom);
    // Identified as 1.0 (U), with a checksum that agrees with the contents.
    PutUsInternalHeader(rom);
    WriteChecksum(rom);
    return rom;
}

}  // namespace mw
