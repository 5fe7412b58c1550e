// The level's character memory, colour rows, map16 pictures and world, on
// images built byte by byte.
#include <gtest/gtest.h>

#include <algorithm>

#include "level/demo_gfx_codec.h"
#include "level/level_codec.h"
#include "map/level_tiles.h"
#include "map/tile_animation.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

using test::RomImage;
using Bytes = std::vector<uint8_t>;
constexpr int64_t kHdr = 0x200;  // copier header: file offset = image offset + 0x200

void PutWord(RomImage& rom, int64_t imageAt, uint16_t w) {
    rom.put(kHdr + imageAt, {static_cast<uint8_t>(w & 0xFF), static_cast<uint8_t>(w >> 8)});
}
// Points graphics file `number` of the table at `table` at linear `bank`:`addr`.
void PutFilePointer(RomImage& rom, int64_t table, int number, uint8_t bank, uint16_t addr) {
    rom.put(kHdr + table + 3 * number, {static_cast<uint8_t>(addr & 0xFF), static_cast<uint8_t>(addr >> 8), bank});
}
int64_t Linear(uint8_t bank, uint16_t addr) { return static_cast<int64_t>(bank - 0x40) << 16 | addr; }

// A 4 KiB tile file whose tile 0 has colour `c` at (0, 0), colour 5 at (7, 0).
Bytes TileFile(uint8_t c) {
    Bytes f(4096, 0);
    f[0] = (c & 1) ? 0x80 : 0, f[1] = (c & 2) ? 0x80 : 0, f[16] = (c & 4) ? 0x80 : 0, f[17] = (c & 8) ? 0x80 : 0;
    f[0] |= 0x01, f[16] |= 0x01;  // (7, 0) = 5
    return f;
}

// Header bytes from the game's fields in order (widths 5,4,5,5,6,6,6,7,4,5,6).
LevelHeader Header(std::initializer_list<int> values) {
    static constexpr int kWidths[] = {5, 4, 5, 5, 6, 6, 6, 7, 4, 5, 6};
    LevelHeader h{};
    int bit = 0, f = 0;
    for (int v : values) {
        for (int k = kWidths[f] - 1; k >= 0; --k, ++bit)
            if (v >> k & 1) h[static_cast<size_t>(bit / 8)] |= static_cast<uint8_t>(0x80 >> (bit % 8));
        ++f;
    }
    return h;
}

// BG1 tileset 3 = LZ1 files 1, 2, 3 (world 6: 4, 2, 3); the common LZ16 file
// 19 has colour 9 at (0, 0) of its first tile; BG1 palette 2 (world 6: its
// own record); the other files have no pointer.
RomImage GraphicsRom() {
    RomImage rom(kHdr + 0x200000, 0x00);
    rom.put(kHdr + 0x2F39 + 9, {0x01, 0x02, 0x03});
    rom.put(kHdr + 0x2F69 + 9, {0x04, 0x02, 0x03});
    for (int f = 1; f <= 4; ++f) {
        const Bytes s = demo::EncodeLz1(TileFile(static_cast<uint8_t>(f == 4 ? 12 : f + 2)));
        const uint16_t addr = static_cast<uint16_t>(0xF000 + 0x800 * (f - 1));  // file 4 crosses into bank $51
        PutFilePointer(rom, 0x3795E, f, 0x50, addr);
        rom.put(kHdr + Linear(0x50, addr), s);
    }
    Bytes sheet(128 * 128, 0);
    sheet[0] = 9;
    PutFilePointer(rom, 0x37C79, 0x19, 0x52, 0x0000);
    rom.put(kHdr + Linear(0x52, 0), demo::EncodeLz16(sheet));
    // Colours: BG1 palette 2 at offset $400 (world 6's at $500), fixed rows at $27C,
    // background colour 3 at $130 + 6.
    PutWord(rom, 0x3874 + 4, 0x0400);
    PutWord(rom, 0x38B4 + 4, 0x0500);
    for (int i = 0; i < 42; ++i) {
        PutWord(rom, 0x1FA400 + 2 * i, static_cast<uint16_t>(0x0400 + i));
        PutWord(rom, 0x1FA500 + 2 * i, static_cast<uint16_t>(0x0500 + i));
    }
    for (int i = 0; i < 33; ++i) PutWord(rom, 0x1FA27C + 2 * i, static_cast<uint16_t>(0x0200 + i));
    PutWord(rom, 0x1FA130 + 6, 0x001F);
    // Map16 $0102: tile $100 (BG1 file 1, tile 0, through the wrap) plain,
    // h-flipped, v-flipped, and common tile $80 in row 5.
    PutWord(rom, 0xC32A4 + 2, 0x0010);
    const uint16_t row4 = 4 << 10;
    const uint16_t words[4] = {static_cast<uint16_t>(0x100 | row4), static_cast<uint16_t>(0x4100 | row4),
                               static_cast<uint16_t>(0x8100 | row4), static_cast<uint16_t>(0x080 | 5 << 10)};
    for (int q = 0; q < 4; ++q) PutWord(rom, 0xC33F2 + 0x10 + 2 * 8 + 2 * q, words[q]);
    return rom;
}

const GraphicsHeader kHeader = ReadGraphicsHeader(Header({3, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0}));

TEST(LevelGraphics, HeaderFieldsInTheGamesOrder) {
    const GraphicsHeader h = ReadGraphicsHeader(Header({17, 9, 30, 21, 40, 33, 62, 100, 7, 0x0A, 45}));
    EXPECT_EQ(h, (GraphicsHeader{17, 9, 30, 21, 40, 33, 62, 0x0A, 45}));
    EXPECT_TRUE(UnsupportedLevelMode(0x09).has_value());
    EXPECT_NE(UnsupportedLevelMode(0x0A)->find("built into the game's code"), std::string::npos);
    EXPECT_FALSE(UnsupportedLevelMode(0x0D).has_value());
}

TEST(LevelGraphics, ColourConversionWidensEachChannel) {
    EXPECT_EQ(Bgr555ToArgb(0x0000), 0xFF000000u);
    EXPECT_EQ(Bgr555ToArgb(0x7FFF), 0xFFFFFFFFu);
    EXPECT_EQ(Bgr555ToArgb(0x001F), 0xFFFF0000u);            // red is the low five bits
    EXPECT_EQ(Bgr555ToArgb(16 << 10 | 1 << 5), 0xFF000884u);  // blue 16 -> 132, green 1 -> 8
}

TEST(LevelGraphics, FilesAndColoursLandWhereTheGamePutsThem) {
    const RomImage rom = GraphicsRom();
    const RomImageView view = ImageOf(rom.bytes);
    for (bool world6 : {false, true}) {
        const LevelGraphics g = BuildLevelGraphics(view, kHeader, world6);
        auto tilePixel = [&](int tile, int x, int y) { return TilemapPixel(g, static_cast<uint16_t>(tile), x, y); };
        auto colour = [&](int row, int index) { return Bgr555ToArgb(g.cgram[static_cast<size_t>(row * 16 + index)]); };
        // BG1 file #1 at tiles 256.., #2 at 384.., #3 at 0..; the common file at 128.
        EXPECT_EQ(tilePixel(256, 0, 0), colour(0, world6 ? 12 : 3));
        EXPECT_EQ(tilePixel(384, 0, 0), colour(0, 4));
        EXPECT_EQ(tilePixel(0, 0, 0), colour(0, 5));
        EXPECT_EQ(tilePixel(0, 7, 0), colour(0, 5));
        EXPECT_EQ(tilePixel(128, 0, 0), colour(0, 9));
        EXPECT_EQ(tilePixel(256, 1, 0), 0u) << "colour 0 is transparent";
        // Rows 4-5 from the BG1 record, rows 1-3: 11 fixed colours then the record's tail.
        const uint16_t rec = world6 ? 0x0500 : 0x0400;
        EXPECT_EQ(g.cgram[4 * 16 + 1], rec);
        EXPECT_EQ(g.cgram[5 * 16 + 15], rec + 29);
        EXPECT_EQ(g.cgram[1 * 16 + 1], 0x0200);
        EXPECT_EQ(g.cgram[3 * 16 + 11], 0x0200 + 32);
        EXPECT_EQ(g.cgram[1 * 16 + 12], rec + 30);
        EXPECT_EQ(g.cgram[3 * 16 + 15], rec + 41);
        EXPECT_EQ(g.background, 0xFFFF0000u);
        // Files 12, 76 and the BG2 files have no pointer: said, and the rest is in place.
        EXPECT_NE(g.problem.find("does not point into the ROM"), std::string::npos) << g.problem;
    }
}

TEST(LevelGraphics, Map16PicturesFlipAndShowTheBackgroundThroughColourZero) {
    const RomImage rom = GraphicsRom();
    const RomImageView view = ImageOf(rom.bytes);
    Map16Tiles tiles;
    tiles.reset(TileSetKey{1, kHeader, false}, view.image, BuildLevelGraphics(view, kHeader, false));
    const LevelGraphics& g = tiles.graphics();
    const Argb c3 = Bgr555ToArgb(g.cgram[4 * 16 + 3]), c5 = Bgr555ToArgb(g.cgram[4 * 16 + 5]);
    const Argb* t = tiles.tile(0x0102, 16);
    EXPECT_EQ(t[0], c3);                // top-left as stored
    EXPECT_EQ(t[7], c5);
    EXPECT_EQ(t[1], g.background);      // transparent: the background colour
    EXPECT_EQ(t[15], c3);               // top-right: mirrored left to right
    EXPECT_EQ(t[8], c5);
    EXPECT_EQ(t[15 * 16 + 0], c3);      // bottom-left: mirrored top to bottom
    EXPECT_EQ(t[8 * 16 + 8], Bgr555ToArgb(g.cgram[5 * 16 + 9]));  // bottom-right: row 5
    EXPECT_EQ(tiles.decodedCount(), 1);
    tiles.tile(0x0102, 16);
    EXPECT_EQ(tiles.decodedCount(), 1) << "decoded once";
    // Scaled copies: zoom 8 averages 2x2 game pixels, zoom 32 repeats them.
    const Argb* half = tiles.tile(0x0102, 8);
    const auto avg = [](Argb a, Argb b) {
        Argb out = 0xFF000000u;
        for (int s = 0; s < 24; s += 8) out |= (((a >> s & 0xFF) + (b >> s & 0xFF) * 3) / 4) << s;
        return out;
    };
    EXPECT_EQ(half[0], avg(c3, g.background)) << "one of the four game pixels is coloured";
    const Argb* twice = tiles.tile(0x0102, 32);
    EXPECT_EQ(twice[1 * 32 + 1], c3);
    EXPECT_EQ(twice[0 * 32 + 2], g.background);
}

TEST(LevelTiles, RebuiltOnlyWhenTheGraphicsChange) {
    RomImage image = GraphicsRom();
    test::TempDir dir;
    const std::string path = dir.file("g.smc");
    test::WriteFileBytes(path, image.bytes);
    RomFile rom;
    std::string error;
    ASSERT_TRUE(rom.open(path, error)) << error;
    LevelState level;
    level.headerBytes = Header({3, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0});
    LevelTiles tiles;
    const DefinitionTables& defs = test::ShippedDefinitions();
    EXPECT_TRUE(tiles.update(rom, defs, level));
    EXPECT_TRUE(tiles.available());
    EXPECT_FALSE(tiles.update(rom, defs, level));
    level.headerBytes = Header({3, 3, 2, 0, 0, 0, 0, 55, 3, 0, 0});  // sprite set and palette
    EXPECT_FALSE(tiles.update(rom, defs, level));
    level.headerBytes = Header({4, 3, 2, 0, 0, 0, 0, 55, 3, 0, 0});  // background colour
    EXPECT_TRUE(tiles.update(rom, defs, level));
    level.headerBytes = Header({4, 3, 2, 0, 0, 0, 0, 55, 3, 0x0A, 0});
    tiles.update(rom, defs, level);
    EXPECT_FALSE(tiles.available());
    EXPECT_NE(tiles.infoText().find("level mode A"), std::string::npos) << tiles.infoText();
    level.hasHeader = false;
    tiles.update(rom, defs, level);
    EXPECT_FALSE(tiles.available());
}

TEST(World, World6IsWhatItsCoursesReachThroughExits) {
    RomImage rom(0xC8000, 0xFF);
    // Stage 60 starts course record 8 (level 2D); stage 61 record 12 (level 30);
    // stage 0 (world 1) record 0 (level 05).
    rom.put(kHdr + 0xBF3E7 + 2 * 60, {0x08, 0x00});
    rom.put(kHdr + 0xBF3E7 + 2 * 61, {0x0C, 0x00});
    rom.put(kHdr + 0xBF3E7 + 2 * 62, {0x00, 0x00});
    rom.put(kHdr + 0xBF471, {0x05, 0, 0, 0});
    rom.put(kHdr + 0xBF471 + 8, {0x2D, 0, 0, 0});
    rom.put(kHdr + 0xBF471 + 12, {0x30, 0, 0, 0});
    // 2D -> 40 and a bandit game (E0) returning to 41; 41 -> 2D; 05 -> 06.
    int64_t at = 0x80000;
    auto level = [&](int index, std::vector<std::vector<uint8_t>> exits) {
        Bytes data(10, 0);
        data.push_back(0xFF);
        for (auto& e : exits) data.insert(data.end(), e.begin(), e.end());
        data.push_back(0xFF);
        rom.put(at, data);
        rom.put(at + 0x100, {0xFF, 0xFF});
        rom.setLevel(index, static_cast<int32_t>(at), static_cast<int32_t>(at + 0x100));
        at += 0x200;
    };
    level(0x2D, {test::ExitRec(1, 0, 0x40, 0, 0, 0), test::ExitRec(2, 0, 0xE0, 0, 0, 0x41)});
    level(0x40, {});
    level(0x41, {test::ExitRec(0, 0, 0x2D, 0, 0, 0)});
    level(0x30, {});
    level(0x05, {test::ExitRec(0, 0, 0x06, 0, 0, 0)});
    level(0x06, {});
    test::TempDir dir;
    RomFile file;
    std::string error;
    ASSERT_TRUE(file.open(rom.writeTemp(), error)) << error;
    const LevelSet w6 = World6Levels(file, test::ShippedDefinitions());
    for (int l : {0x2D, 0x40, 0x41, 0x30}) EXPECT_TRUE(w6[static_cast<size_t>(l)]) << std::hex << l;
    for (int l : {0x05, 0x06, 0xE0, 0x00}) EXPECT_FALSE(w6[static_cast<size_t>(l)]) << std::hex << l;
}

}  // namespace
}  // namespace mw

namespace mw {
namespace {

TEST(DemoGraphics, EveryDemoLevelHasCleanGraphicsAndDistinctTiles) {
    const std::vector<uint8_t> rom = test::ShippedDemoRom();
    const RomImageView view = ImageOf(rom);
    test::TempDir dir;
    const std::string path = dir.file("demo.smc");
    test::WriteFileBytes(path, rom);
    RomFile file;
    std::string error;
    ASSERT_TRUE(file.open(path, error)) << error;
    for (int level : {0, 1, 2, 3, 4, 5, 6, 7, 8}) {
        RecordingPrompter quiet;
        LevelState state;
        ASSERT_EQ(test::TakeLoad(LoadLevelIndex(file, test::ShippedDefinitions(), level), quiet, state), LoadResult::Loaded);
        const GraphicsHeader h = ReadGraphicsHeader(state.headerBytes);
        EXPECT_FALSE(UnsupportedLevelMode(h.levelMode)) << level;
        const LevelGraphics g = BuildLevelGraphics(view, h, false);
        EXPECT_EQ(g.problem, "") << "level " << level;
    }
    const GraphicsHeader h{};
    Map16Tiles tiles;
    tiles.reset(TileSetKey{}, view.image, BuildLevelGraphics(view, h, false));
    const Argb sky = tiles.graphics().background;
    std::vector<std::vector<Argb>> pictures;
    for (uint16_t n = 0x0100; n <= 0x010A; ++n) {
        const Argb* p = tiles.tile(n, 16);
        pictures.emplace_back(p, p + 256);
        EXPECT_NE(std::count(p, p + 256, sky), 256) << std::hex << n << " is drawn";
        for (size_t k = 0; k + 1 < pictures.size(); ++k) EXPECT_NE(pictures[k], pictures.back()) << std::hex << n;
    }
    const Argb* empty = tiles.tile(0x0000, 16);
    EXPECT_EQ(std::count(empty, empty + 256, sky), 256) << "the empty cell shows the background";
}

}  // namespace
}  // namespace mw


namespace mw {
namespace {

TEST(TileAnimation, TheGamesRoutineCopiesFramesIntoVideoMemory) {
    std::vector<uint8_t> image(0x200000, 0x00);
    // A hand-assembled routine: word increments after the high byte, VRAM
    // word $1400 + (animation tileset) * $40, $80 bytes from $52:8000 in mode 1.
    const std::vector<uint8_t> routine = {
        0xE2, 0x20, 0xA9, 0x80, 0x8D, 0x15, 0x21,  // SEP #$20; LDA #$80; STA $2115
        0xC2, 0x20, 0xAD, 0x48, 0x01,              // REP #$20; LDA $0148
        0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,        // ASL x6
        0x69, 0x00, 0x14, 0x8D, 0x16, 0x21,        // ADC #$1400; STA $2116
        0xA9, 0x01, 0x18, 0x8D, 0x00, 0x43,        // LDA #$1801; STA $4300
        0xA9, 0x00, 0x80, 0x8D, 0x02, 0x43,        // LDA #$8000; STA $4302
        0xA9, 0x52, 0x00, 0x8D, 0x04, 0x43,        // LDA #$0052; STA $4304 (and $4305 = 0)
        0xA9, 0x80, 0x00, 0x8D, 0x05, 0x43,        // LDA #$0080; STA $4305
        0xE2, 0x20, 0xA9, 0x01, 0x8D, 0x0B, 0x42,  // SEP #$20; LDA #$01; STA $420B
        0x60,                                      // RTS
    };
    std::copy(routine.begin(), routine.end(), image.begin() + 0x5571);
    for (int i = 0; i < 0x80; ++i) image[static_cast<size_t>(0x128000 + i)] = static_cast<uint8_t>(i + 1);
    GraphicsHeader h;
    h.animationTileset = 2;
    std::vector<uint8_t> vram(0x10000, 0xAA);
    EXPECT_EQ(RunTileAnimationStart(image, h, false, vram), "");
    const size_t at = (0x1400 + 2 * 0x40) * 2;
    EXPECT_EQ(vram[at], 1);
    EXPECT_EQ(vram[at + 0x7F], 0x80);
    EXPECT_EQ(vram[at + 0x80], 0xAA);
    EXPECT_EQ(vram[at - 1], 0xAA);

    // A routine that touches a register outside the model: reported, nothing changed.
    image[0x5571 + 5] = 0x00;  // STA $2100
    const std::vector<uint8_t> before(0x10000, 0xAA);
    vram = before;
    const std::string why = RunTileAnimationStart(image, h, false, vram);
    EXPECT_NE(why.find("2100"), std::string::npos) << why;
    EXPECT_EQ(vram, before);
}

}  // namespace
}  // namespace mw
