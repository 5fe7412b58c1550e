#include "level/demo_graphics.h"

#include <array>
#include <functional>

#include "level/demo_gfx_codec.h"
#include "level/rom_layout.h"
#include "snes/planar.h"

namespace mw {

namespace {

// Places in the image (no copier header), as the game's tables lie.
constexpr int64_t kBg1TilesetFiles = 0x2F39, kBg1DarkTilesetFiles = 0x2F69, kBg2TilesetFiles = 0x2F99;
constexpr int64_t kLz1Pointers = 0x3795E, kLz16Pointers = 0x37C79;
constexpr int64_t kPaletteBase = 0x1FA000;
constexpr int64_t kBg1PalettePtrs = 0x3874, kBg1DarkPalettePtrs = 0x38B4, kBg2PalettePtrs = 0x38F4,
                  kBg3PalettePtrs = 0x3974;
constexpr int64_t kMap16PageOffsets = 0xC32A4, kMap16Data = 0xC33F2;
constexpr int kMap16Pages = 167;
// Where the compressed files go: LZ1 in bank $57, LZ16 in bank $5C (linear).
constexpr int64_t kLz1Data = 0x170000, kLz16Data = 0x1C0000;

// Files: LZ1 0 = our tiles (BG1 file #1), 1 and 2 blank (#2, #3);
// LZ16 $19 (common) = more of our tiles, $12, $76 and the BG2 files $20/$21 blank.
constexpr int kOurLz1 = 0x00, kBlankLz1A = 0x01, kBlankLz1B = 0x02;
constexpr int kCommonLz16 = 0x19, kBg2FileA = 0x20, kBg2FileB = 0x21;

// Colour row 4 (the BG1 palette's first row) and row 5.
constexpr uint16_t Bgr(int r, int g, int b) { return static_cast<uint16_t>(b << 10 | g << 5 | r); }
constexpr std::array<uint16_t, 15> kRow4 = {
    Bgr(8, 5, 3),    // 1 outline
    Bgr(20, 11, 5),  // 2 dirt dark
    Bgr(25, 16, 8),  // 3 dirt
    Bgr(29, 22, 13), // 4 dirt light
    Bgr(3, 14, 4),   // 5 grass dark
    Bgr(7, 22, 6),   // 6 grass
    Bgr(16, 28, 9),  // 7 grass light
    Bgr(15, 5, 3),   // 8 brick dark
    Bgr(24, 9, 5),   // 9 brick
    Bgr(26, 24, 20), // 10 mortar
    Bgr(15, 9, 4),   // 11 wood dark
    Bgr(27, 19, 9),  // 12 wood light
    Bgr(2, 13, 7),   // 13 pipe dark
    Bgr(6, 21, 11),  // 14 pipe
    Bgr(19, 30, 20), // 15 pipe light
};
constexpr std::array<uint16_t, 15> kRow5 = {
    Bgr(9, 6, 2), Bgr(22, 14, 2), Bgr(28, 21, 3), Bgr(31, 28, 10), Bgr(31, 31, 27), Bgr(12, 12, 14),
    Bgr(18, 18, 20), Bgr(24, 24, 26), Bgr(10, 18, 28), Bgr(16, 24, 31), Bgr(28, 10, 18), Bgr(31, 18, 24),
    Bgr(20, 20, 8), Bgr(28, 28, 14), Bgr(31, 31, 31),
};

// A made-up 16x16 picture: colour index (0 transparent) of pixel (x, y).
using Picture = std::function<int(int x, int y)>;

// A fixed scatter for speckles.
bool Speck(int x, int y, int k) { return ((x * 7 + y * 13 + k * 5) ^ (x * y)) % 17 == 0; }

int Dirt(int x, int y) {
    if (Speck(x, y, 1)) return 2;
    if (Speck(x, y, 4)) return 4;
    return 3;
}

int GrassTop(int x, int y) {
    const int depth = 5 + ((x % 5 == 1) ? 2 : (x % 3 == 0 ? 1 : 0));  // blades hang into the dirt
    if (y == 0) return 7;
    if (y < 3) return (x + y) % 4 == 0 ? 7 : 6;
    if (y < depth) return 5;
    if (y == depth) return 2;
    return Dirt(x, y);
}

int Brick(int x, int y) {
    const int band = y / 8, row = y % 8;
    const int seam = band % 2 == 0 ? 15 : 7;  // the joints of alternate rows are staggered
    if (row == 7 || x == seam) return 10;
    if (row == 6 || x == seam - 1) return 8;  // shade under and right of each brick
    return (x + 2 * y) % 9 == 0 ? 8 : 9;
}

// The platform: a plank in the top half; `end` -1 left end, 0 middle, 1 right end.
int Plank(int x, int y, int end) {
    if (y > 7) return 0;
    const int ex = end < 0 ? x : 15 - x;  // distance from the rounded end
    if (end != 0 && ex == 0 && (y == 0 || y == 7)) return 0;
    if (y == 0 || y == 7 || (end != 0 && ex == 0)) return 1;
    if (y == 1 || y == 2) return 12;
    if (end == 0 && x % 8 == 7) return 1;  // the joint between boards
    return (x + y * 3) % 7 == 0 ? 12 : 11;
}

// The pipe, 32 pixels wide over two cells; `px` from 0 to 31.
int PipeBody(int px, int) {
    if (px < 2 || px > 29) return 0;
    if (px == 2 || px == 29) return 1;
    if (px >= 6 && px <= 9) return 15;
    if (px >= 22) return 13;
    return 14;
}

int PipeTop(int px, int y) {
    if (y >= 14) return PipeBody(px, y);
    if (y == 0 || y == 13 || px == 0 || px == 31) return 1;
    if (px >= 4 && px <= 8) return 15;
    if (px >= 24) return 13;
    return 14;
}

int Block(int x, int y) {
    if (x == 0 || y == 0 || x == 15 || y == 15) return 1;
    if (x == 1 || y == 1) return 4;
    if (x == 14 || y == 14) return 2;
    if ((x == 4 || x == 11) && (y == 4 || y == 11)) return 5;
    return 3;
}

struct DemoTile {
    uint16_t map16;
    Picture picture;
    bool inCommonFile;  // in the LZ16 common file (else the LZ1 file)
    int colourRow;
};

std::vector<DemoTile> DemoTiles() {
    return {
        {0x0100, Dirt, false, 4},
        {0x0101, GrassTop, false, 4},
        {0x0102, Brick, false, 4},
        {0x0103, [](int x, int y) { return Plank(x, y, -1); }, false, 4},
        {0x0104, [](int x, int y) { return Plank(x, y, 0); }, false, 4},
        {0x0105, [](int x, int y) { return Plank(x, y, 1); }, false, 4},
        {0x0106, [](int x, int y) { return PipeBody(x, y); }, true, 4},
        {0x0107, [](int x, int y) { return PipeBody(x + 16, y); }, true, 4},
        {0x0108, [](int x, int y) { return PipeTop(x, y); }, true, 4},
        {0x0109, [](int x, int y) { return PipeTop(x + 16, y); }, true, 4},
        {0x010A, Block, true, 5},
    };
}

void PutWord(std::vector<uint8_t>& f, int64_t imageAt, uint16_t w) {
    f[static_cast<size_t>(kCopierHeaderSize + imageAt)] = static_cast<uint8_t>(w & 0xFF);
    f[static_cast<size_t>(kCopierHeaderSize + imageAt + 1)] = static_cast<uint8_t>(w >> 8);
}

void PutBytes(std::vector<uint8_t>& f, int64_t imageAt, const std::vector<uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), f.begin() + kCopierHeaderSize + imageAt);
}

// Stores `data` at `at` and points entry `number` of `table` at it (a linear
// address); returns the place after it.
int64_t PutFile(std::vector<uint8_t>& f, int64_t table, int number, int64_t at, const std::vector<uint8_t>& data) {
    PutBytes(f, at, data);
    PutBytes(f, table + 3 * number,
             {static_cast<uint8_t>(at & 0xFF), static_cast<uint8_t>(at >> 8 & 0xFF), static_cast<uint8_t>(0x40 + (at >> 16))});
    return at + static_cast<int64_t>(data.size());
}

}  // namespace

void PutDemoGraphics(std::vector<uint8_t>& f) {
    const auto tiles = DemoTiles();
    // The LZ1 file holds its pictures as planar tiles, the LZ16 file as a
    // 128-pixel-wide image; picture k of each takes a 2x2 block of tiles.
    std::vector<uint8_t> lz1Sheet(4096, 0), lz16Pixels(128 * 64, 0);
    int lz1Count = 0, lz16Count = 0;
    std::vector<uint16_t> entries;  // four tilemap words per map16 number of page 1
    for (const DemoTile& t : tiles) {
        int& k = t.inCommonFile ? lz16Count : lz1Count;
        const int col = (k % 8) * 2, row = (k / 8) * 2;
        ++k;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint8_t c = static_cast<uint8_t>(t.picture(x, y));
                if (t.inCommonFile) {
                    lz16Pixels[static_cast<size_t>((row * 8 + y) * 128 + col * 8 + x)] = c;
                } else {
                    const int tile = (row + y / 8) * 16 + col + x / 8;
                    SetPlanarPixel(lz1Sheet.data() + tile * kTileBytes4bpp, x % 8, y % 8, c);
                }
            }
        // Tiles 256.. are BG1 file #1, tiles 128.. the common file.
        const int first = (t.inCommonFile ? 128 : 256) + row * 16 + col;
        const uint16_t attr = static_cast<uint16_t>(t.colourRow << 10);
        for (int q : {0, 1, 16, 17}) entries.push_back(static_cast<uint16_t>((first + q) | attr));
    }

    // The files.
    int64_t at = kLz1Data;
    at = PutFile(f, kLz1Pointers, kOurLz1, at, demo::EncodeLz1(lz1Sheet));
    at = PutFile(f, kLz1Pointers, kBlankLz1A, at, demo::EncodeLz1(std::vector<uint8_t>(4096, 0)));
    PutFile(f, kLz1Pointers, kBlankLz1B, at, demo::EncodeLz1(std::vector<uint8_t>(4096, 0)));
    at = kLz16Data;
    at = PutFile(f, kLz16Pointers, kCommonLz16, at, demo::EncodeLz16(lz16Pixels));
    for (auto [number, rows] : {std::pair{0x12, 16}, {0x76, 24}, {kBg2FileA, 64}, {kBg2FileB, 64}})
        at = PutFile(f, kLz16Pointers, number, at, demo::EncodeLz16(std::vector<uint8_t>(128 * static_cast<size_t>(rows), 0)));
    // Every tileset uses them.
    for (int t = 0; t < 16; ++t)
        for (int64_t table : {kBg1TilesetFiles, kBg1DarkTilesetFiles})
            PutBytes(f, table + 3 * t, {kOurLz1, kBlankLz1A, kBlankLz1B});
    for (int t = 0; t < 32; ++t) PutBytes(f, kBg2TilesetFiles + 2 * t, {kBg2FileA, kBg2FileB});

    // Colours (offsets from the palette base): a sky per background value,
    // rows 1-3, the BG1 record (rows 4-5, then rows 1-3's last four), and
    // rows 0 and 6-7 in grey.
    for (int i = 0; i < 32; ++i)
        PutWord(f, kPaletteBase + 0x130 + 2 * i, Bgr(12 + i % 8, 18 + i % 12, 31 - i / 8));
    for (int i = 0; i < 33; ++i) PutWord(f, kPaletteBase + 0x27C + 2 * i, kRow5[static_cast<size_t>(i % 15)]);
    constexpr int kBg1Record = 0x400, kGreyRows = 0x500;
    for (int i = 0; i < 15; ++i) {
        PutWord(f, kPaletteBase + kBg1Record + 2 * i, kRow4[static_cast<size_t>(i)]);
        PutWord(f, kPaletteBase + kBg1Record + 30 + 2 * i, kRow5[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < 12; ++i) PutWord(f, kPaletteBase + kBg1Record + 0x3C + 2 * i, kRow5[static_cast<size_t>(i)]);
    for (int i = 0; i < 30; ++i) PutWord(f, kPaletteBase + kGreyRows + 2 * i, Bgr(i % 15 * 2, i % 15 * 2, i % 15 * 2));
    for (int p = 0; p < 32; ++p) {
        PutWord(f, kBg1PalettePtrs + 2 * p, kBg1Record);
        PutWord(f, kBg1DarkPalettePtrs + 2 * p, kBg1Record);
    }
    for (int p = 0; p < 64; ++p) {
        PutWord(f, kBg2PalettePtrs + 2 * p, kGreyRows);
        PutWord(f, kBg3PalettePtrs + 2 * p, kGreyRows);
    }

    // The start-of-level tile animation routine ($00:D571): the demo has no
    // animated tiles, so it returns at once (RTL).
    f[static_cast<size_t>(kCopierHeaderSize + 0x5571)] = 0x6B;

    // The map16 table: page 0 (and every page but 1) all zero words: tile 0
    // of BG1 file #3, which is blank. Page 1 holds the demo's numbers.
    PutBytes(f, kMap16Data, std::vector<uint8_t>(2 * 256 * 8, 0));
    for (int page = 0; page < kMap16Pages; ++page) PutWord(f, kMap16PageOffsets + 2 * page, page == 1 ? 0x800 : 0);
    for (size_t i = 0; i < entries.size(); ++i) PutWord(f, kMap16Data + 0x800 + 2 * static_cast<int64_t>(i), entries[i]);
}

}  // namespace mw
