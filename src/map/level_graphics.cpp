#include "map/level_graphics.h"

#include "level/rom_layout.h"
#include "map/tile_animation.h"
#include "snes/lz1.h"
#include "snes/lz16.h"
#include "util/hex_text.h"

namespace mw {

namespace {

// Places in the image (no copier header). The tables of bank $00 are read
// through LoROM, the palettes and the file pointers are linear addresses.
constexpr int64_t kBg1TilesetFiles = 0x2F39;      // $00:AF39, 3 file numbers per BG1 tileset
constexpr int64_t kBg1DarkTilesetFiles = 0x2F69;  // $00:AF69, the same for world 6
constexpr int64_t kBg2TilesetFiles = 0x2F99;      // $00:AF99, 2 per BG2 tileset
constexpr int64_t kLz1Pointers = 0x3795E;         // $06:F95E, 3 bytes per file
constexpr int64_t kLz16Pointers = 0x37C79;        // $06:FC79
constexpr int64_t kPaletteBase = 0x1FA000;        // $5F:A000: colour offsets count from here
constexpr int64_t kBg1PalettePtrs = 0x3874;       // $00:B874, a word per BG1 palette
constexpr int64_t kBg1DarkPalettePtrs = 0x38B4;   // $00:B8B4, world 6
constexpr int64_t kBg2PalettePtrs = 0x38F4;       // $00:B8F4
constexpr int64_t kBg3PalettePtrs = 0x3974;       // $00:B974
constexpr int kFixedBg1Colours = 0x027C;          // rows 1-3, colours 1-11
constexpr int kBackgroundColours = 0x0130;        // a colour per background value
constexpr size_t kVramBytes = 0x10000;

class Reader {
public:
    Reader(std::span<const uint8_t> image, int64_t fileBase, std::string& problem)
        : image_(image), fileBase_(fileBase), problem_(problem) {}

    std::optional<uint8_t> byte(int64_t at, const char* what) {
        if (at >= 0 && at < static_cast<int64_t>(image_.size())) return image_[static_cast<size_t>(at)];
        fail(std::string(what) + " lies past the end of the ROM (offset 0x" + ToHex(static_cast<uint32_t>(at + fileBase_)) + ")");
        return std::nullopt;
    }
    std::optional<uint16_t> word(int64_t at, const char* what) {
        auto lo = byte(at, what);
        auto hi = lo ? byte(at + 1, what) : std::nullopt;
        if (!hi) return std::nullopt;
        return static_cast<uint16_t>(*lo | *hi << 8);
    }
    void fail(const std::string& why) {
        if (problem_.empty()) problem_ = why;
    }
    std::span<const uint8_t> image() const { return image_; }
    int64_t fileBase() const { return fileBase_; }

private:
    std::span<const uint8_t> image_;
    int64_t fileBase_;
    std::string& problem_;
};

// Where graphics file `number` starts in the image, from the pointer table
// at `table` (24-bit addresses in the linear view $40-$5F).
std::optional<int64_t> FileStart(Reader& in, int64_t table, int number, const char* format) {
    const int64_t at = table + 3 * number;
    auto lo = in.byte(at, "a graphics file pointer"), hi = in.byte(at + 1, "a graphics file pointer"),
         bank = in.byte(at + 2, "a graphics file pointer");
    if (!lo || !hi || !bank) return std::nullopt;
    if (*bank < 0x40 || *bank >= 0x60) {
        in.fail(std::string("the pointer of ") + format + " graphics file " + ToHex(static_cast<uint32_t>(number)) +
                " ($" + ToHex(*bank) + ":" + ToHex(static_cast<uint32_t>(*hi << 8 | *lo)) +
                ") does not point into the ROM");
        return std::nullopt;
    }
    return static_cast<int64_t>(*bank - 0x40) << 16 | *hi << 8 | *lo;
}

void PlaceInVram(std::vector<uint8_t>& vram, int wordAddress, const std::vector<uint8_t>& data) {
    size_t at = static_cast<size_t>(wordAddress) * 2;
    for (uint8_t b : data) vram[at++ & (kVramBytes - 1)] = b;
}

void LoadLz1(Reader& in, std::vector<uint8_t>& vram, int number, int wordAddress) {
    auto start = FileStart(in, kLz1Pointers, number, "LZ1");
    if (!start) return;
    GfxFile f = DecompressLz1(GfxSource{in.image(), *start, number, in.fileBase()});
    if (!f.ok()) in.fail(f.error);
    PlaceInVram(vram, wordAddress, f.bytes);
}

void LoadLz16(Reader& in, std::vector<uint8_t>& vram, int number, int wordAddress, size_t size) {
    auto start = FileStart(in, kLz16Pointers, number, "LZ16");
    if (!start) return;
    GfxFile f = DecompressLz16(GfxSource{in.image(), *start, number, in.fileBase()}, size);
    if (!f.ok()) in.fail(f.error);
    PlaceInVram(vram, wordAddress, f.bytes);
}

// `count` colours from palette offset `offset` into cgram[first...].
void Colours(Reader& in, std::array<uint16_t, 128>& cgram, int first, int rows, int perRow, int offset) {
    int64_t at = kPaletteBase + offset;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < perRow; ++c, at += 2) {
            auto w = in.word(at, "a palette");
            if (!w) return;
            cgram[static_cast<size_t>(first + 16 * r + c)] = *w;
        }
}

}  // namespace

GraphicsHeader ReadGraphicsHeader(const LevelHeader& bytes) {
    int bit = 0;
    auto field = [&](int width) {
        int v = 0;
        for (int k = 0; k < width; ++k, ++bit) v = v << 1 | ((bytes[static_cast<size_t>(bit / 8)] >> (7 - bit % 8)) & 1);
        return v;
    };
    GraphicsHeader h;
    h.backgroundColour = field(5);
    h.bg1Tileset = field(4);
    h.bg1Palette = field(5);
    h.bg2Tileset = field(5);
    h.bg2Palette = field(6);
    h.bg3Tileset = field(6);
    h.bg3Palette = field(6);
    field(7);  // sprite set
    field(4);  // sprite palette
    h.levelMode = field(5);
    h.animationTileset = field(6);
    return h;
}

std::optional<std::string> UnsupportedLevelMode(int levelMode) {
    if (levelMode == 0x09 || levelMode == 0x0A)
        return "level mode " + ToHex(static_cast<uint32_t>(levelMode)) +
               " draws with graphics built into the game's code, not from the tileset tables";
    return std::nullopt;
}

RomImageView ImageOf(const std::vector<uint8_t>& fileBytes) {
    std::span<const uint8_t> all(fileBytes);
    if (all.size() == static_cast<size_t>(kImageSize)) return {all, 0};  // a dump without the copier header
    if (all.size() <= static_cast<size_t>(kCopierHeaderSize)) return {all.subspan(all.size()), 0};
    return {all.subspan(kCopierHeaderSize), kCopierHeaderSize};
}

Argb Bgr555ToArgb(uint16_t c) {
    auto ch = [](int v) { return static_cast<uint32_t>((v << 3) | (v >> 2)); };
    return 0xFF000000u | ch(c & 31) << 16 | ch(c >> 5 & 31) << 8 | ch(c >> 10 & 31);
}

LevelGraphics BuildLevelGraphics(const RomImageView& rom, const GraphicsHeader& h, bool world6) {
    LevelGraphics g;
    g.world6 = world6;
    g.vram.assign(kVramBytes, 0);
    Reader in(rom.image, rom.fileBase, g.problem);

    // Character memory (word addresses), as the in-level layout places the files.
    LoadLz16(in, g.vram, 0x19, 0x7800, 0x1000);
    LoadLz16(in, g.vram, 0x12, 0x1200, 0x400);
    LoadLz16(in, g.vram, 0x76, 0x1500, 0x600);
    for (int k = 0; k < 2; ++k)
        if (auto f = in.byte(kBg2TilesetFiles + 2 * h.bg2Tileset + k, "the BG2 tileset table"))
            LoadLz16(in, g.vram, *f, 0x1800 + 0x800 * k, 0x1000);
    static constexpr int kBg1Places[3] = {0x0000, 0x0800, 0x7000};
    const int64_t bg1Table = (world6 ? kBg1DarkTilesetFiles : kBg1TilesetFiles) + 3 * h.bg1Tileset;
    for (int k = 0; k < 3; ++k)
        if (auto f = in.byte(bg1Table + k, "the BG1 tileset table")) LoadLz1(in, g.vram, *f, kBg1Places[k]);
    // The animated tiles as the level starts; when the game's routine
    // cannot run, the area keeps what the files put there.
    const std::string why = RunTileAnimationStart(rom.image, h, world6, g.vram);
    g.animationNote = why.empty() ? "" : "Animated tiles as the files leave them: the game's start-up animation stopped (" + why + ").";

    // Colour rows 0-7, as loaded before any palette animation.
    auto ptr = [&](int64_t table, int index, const char* what) { return in.word(table + 2 * index, what); };
    if (auto p = ptr(kBg3PalettePtrs, h.bg3Palette, "the BG3 palette table")) Colours(in, g.cgram, 1, 1, 15, *p);
    Colours(in, g.cgram, 16 + 1, 3, 11, kFixedBg1Colours);
    if (auto p = ptr(world6 ? kBg1DarkPalettePtrs : kBg1PalettePtrs, h.bg1Palette, "the BG1 palette table")) {
        Colours(in, g.cgram, 64 + 1, 2, 15, *p);
        Colours(in, g.cgram, 16 + 12, 3, 4, *p + 0x3C);
    }
    if (auto p = ptr(kBg2PalettePtrs, h.bg2Palette, "the BG2 palette table")) Colours(in, g.cgram, 96 + 1, 2, 15, *p);
    if (auto c = in.word(kPaletteBase + kBackgroundColours + 2 * h.backgroundColour, "the background colours"))
        g.background = Bgr555ToArgb(*c);
    return g;
}

}  // namespace mw
