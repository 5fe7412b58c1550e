#include "level/demo_rom.h"

#include <algorithm>
#include <cstring>

#include "level/level_codec.h"
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
    bool linear = false;  // placed in a linear bank
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
    b.objectFree = 5;
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
    d.objectFree = 10;
    d.spriteFree = 9;
    levels.push_back(d);

    DemoLevel e;
    e.header = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    e.objects = {Obj(0x01, 0, 0x78, 16, 8)};
    e.objectFree = 3;
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
    h.objectFree = 7;
    h.spriteFree = 6;
    levels.push_back(h);

    // Level 8: lives in a linear bank.
    DemoLevel i;
    i.header = {0x40, 0x80, 0x08, 0x02, 0x10, 0x30, 0x00, 0x00, 0x01, 0x00};
    i.objects = {Obj(0x01, 0, 0x70, 48, 16), Obj(0x05, 48, 0x6C, 8, 4), Obj(0x0D, 10, 0x66, 10, 1)};
    Ext(i, defs, 0x50, 4, 0x6E);
    Sprite(i, 0x01E, 20, 0x6F);
    Sprite(i, 0x115, 30, 0x60);
    i.exits = {{2, 6, 0x00, 0x04, 0x70, 0x00}};
    i.objectFree = 16;
    i.spriteFree = 6;
    i.linear = true;
    levels.push_back(i);

    // A title screen: no header, a row of extended objects, no exits.
    DemoLevel t;
    t.hasHeader = false;
    for (int k = 0; k < 16; ++k) Ext(t, defs, 0x50, 4 + 12 * (k % 8), 0x10 + 0x20 * (k / 8));
    t.objectFree = 8;
    levels.push_back(t);

    return levels;
}

}  // namespace

std::vector<uint8_t> BuildDemoRom(const DefinitionTables& defs) {
    std::vector<uint8_t> rom(kDemoRomSize, 0x00);
    // A recognisable copier header and a non-zero filler so free space only
    // comes from where the demo puts it.
    const char* tag = "MARLWICK DEMO ROM - SYNTHETIC DATA";
    std::memcpy(rom.data() + 8, tag, std::strlen(tag));
    for (int64_t k = 0x200; k < kDemoRomSize; ++k) rom[k] = static_cast<uint8_t>(0xEA);

    const auto levels = DemoLevels(defs);
    std::vector<std::pair<int32_t, int32_t>> placed;
    // Object regions from bank 0x10 on, sprite regions from bank 0x14 on,
    // the last level in the linear bank 0x5E. Gaps of filler now and then.
    int32_t objectsAt = 0x80200, spritesAt = 0xA0200, linearAt = 0x1E0200;
    for (size_t n = 0; n < levels.size(); ++n) {
        const DemoLevel& l = levels[n];
        LevelState s;
        s.headerBytes = l.header;
        s.hasHeader = l.hasHeader;
        s.objectList = l.objects;
        s.exitList = l.exits;
        s.ownsExitEndMarker = l.ownsExitEndMarker;
        for (const auto& o : l.objects) {
            if (o.isSprite)
                s.spriteBytesUsed += 3;
            else
                s.objectBytesUsed += RecordLength(defs.objectDefs[o.id].kind);
        }
        s.objectBytesUsed += 5 * static_cast<int>(l.exits.size());
        s.objectBytesAvailable = s.objectBytesUsed + l.objectFree;
        s.spriteBytesAvailable = s.spriteBytesUsed + l.spriteFree;
        const auto objects = BuildObjectRegion(defs, s);
        const auto sprites = BuildSpriteRegion(s);
        int32_t& h = l.linear ? linearAt : objectsAt;
        int32_t& sp = l.linear ? linearAt : spritesAt;
        const int32_t headerOffset = h;
        std::copy(objects.begin(), objects.end(), rom.begin() + h);
        h += static_cast<int32_t>(objects.size());
        const int32_t spriteOffset = sp;
        std::copy(sprites.begin(), sprites.end(), rom.begin() + sp);
        sp += static_cast<int32_t>(sprites.size());
        if (!l.linear && l.ownsExitEndMarker) {
            objectsAt += (n % 3 == 0) ? 0x7000 : 0x10;
            spritesAt += (n % 2 == 0) ? 0x5000 : 0x08;
        }
        placed.emplace_back(headerOffset, spriteOffset);
    }
    // Indices listed as headerless get the title screen, the others the
    // levels with a header in turn.
    std::vector<size_t> headerless, headered;
    for (size_t k = 0; k < levels.size(); ++k) (levels[k].hasHeader ? headered : headerless).push_back(k);
    for (int n = 0; n < kLevelCount; ++n) {
        const size_t k = defs.isHeaderless(n) && !headerless.empty() ? headerless[0] : headered[n % headered.size()];
        const auto& [h, sp] = placed[k];
        const bool lin = levels[k].linear;
        const auto hp = lin ? LinearPointer(h) : LoRomPointer(h);
        const auto spp = lin ? LinearPointer(sp) : LoRomPointer(sp);
        std::copy(hp.begin(), hp.end(), rom.begin() + kLevelPointerTable + 6 * n);
        std::copy(spp.begin(), spp.end(), rom.begin() + kLevelPointerTable + 6 * n + 3);
    }
    // Identified as 1.0 (U), with a checksum that agrees with the contents.
    PutUsInternalHeader(rom);
    WriteChecksum(rom);
    return rom;
}

}  // namespace mw
