// The two graphics decompressors and the planar tile format.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "level/demo_gfx_codec.h"
#include "snes/lz1.h"
#include "snes/lz16.h"
#include "snes/planar.h"

namespace mw {
namespace {

using Bytes = std::vector<uint8_t>;

// An image of `size` bytes of $EE with `stream` at `at`.
Bytes ImageWith(const Bytes& stream, size_t at, size_t size = 0x20000) {
    Bytes image(size, 0xEE);
    std::copy(stream.begin(), stream.end(), image.begin() + static_cast<long>(at));
    return image;
}

GfxFile Lz1(const Bytes& image, size_t at, size_t capacity = kLz1MaxOutput) {
    return DecompressLz1(GfxSource{image, static_cast<int64_t>(at), 0x4F, 0x200}, capacity);
}

GfxFile Lz16(const Bytes& image, size_t at, size_t size) {
    return DecompressLz16(GfxSource{image, static_cast<int64_t>(at), 0x19, 0x200}, size);
}

Bytes Seq(size_t n, uint8_t first) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(first + i);
    return b;
}

TEST(Lz1, EveryCommandInShortAndLongForm) {
    struct Case {
        const char* what;
        Bytes stream;
        Bytes expected;
    };
    Bytes longLiteral = {0xE1, 0x03};  // cmd 0, length 0x104
    for (int i = 0; i < 0x104; ++i) longLiteral.push_back(static_cast<uint8_t>(i * 7));
    longLiteral.push_back(0xFF);
    Bytes longLiteralOut(longLiteral.begin() + 2, longLiteral.end() - 1);
    const Case cases[] = {
        {"literal", {0x02, 1, 2, 3, 0xFF}, {1, 2, 3}},
        {"long literal", longLiteral, longLiteralOut},
        {"repeat", {0x23, 9, 0xFF}, {9, 9, 9, 9}},
        {"long repeat", {0xE4, 0x27, 5, 0xFF}, Bytes(40, 5)},
        {"odd alternating fill ends on the first byte", {0x44, 1, 2, 0xFF}, {1, 2, 1, 2, 1}},
        {"long alternating", {0xE8, 0x21, 3, 4, 0xFF}, [] { Bytes b; for (int i = 0; i < 34; ++i) b.push_back(i & 1 ? 4 : 3); return b; }()},
        {"counting wraps at 8 bits", {0x63, 0xFE, 0xFF}, {0xFE, 0xFF, 0x00, 0x01}},
        {"long counting", {0xEC, 0x2F, 0x10, 0xFF}, Seq(48, 0x10)},
        {"overlapping copy (cmd 4)", {0x01, 7, 8, 0x84, 0x00, 0x00, 0xFF}, {7, 8, 7, 8, 7, 8, 7}},
        {"copy cmd 5 and 6", {0x02, 1, 2, 3, 0xA1, 0x00, 0x01, 0xC0, 0x00, 0x02, 0xFF}, {1, 2, 3, 2, 3, 3}},
        {"long copy cmd 4", {0x01, 5, 6, 0xF0, 0x21, 0x00, 0x00, 0xFF}, [] { Bytes b; for (int i = 0; i < 36; ++i) b.push_back(i & 1 ? 6 : 5); return b; }()},
        {"extended cmd 7 copy ($FC)", {0x00, 4, 0xFC, 0x02, 0x00, 0x00, 0xFF}, {4, 4, 4, 4}},
        {"copy of bytes not yet written reads zeros", {0x00, 4, 0x82, 0x00, 0x01, 0xFF}, {4, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Bytes image = ImageWith(c.stream, 0x100);
        const GfxFile f = Lz1(image, 0x100);
        EXPECT_TRUE(f.ok()) << c.what << ": " << f.error;
        EXPECT_EQ(f.bytes, c.expected) << c.what;
    }
    // A stream that crosses a bank's end reads on into the next bank.
    const Bytes image = ImageWith({0x05, 1, 2, 3, 4, 5, 6, 0xFF}, 0xFFFC);
    EXPECT_EQ(Lz1(image, 0xFFFC).bytes, (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(Lz1, HostileStreamsEndWithAnErrorInsideTheBounds) {
    struct Case {
        const char* what;
        Bytes stream;
        size_t capacity;
        const char* phrase;
    };
    const Case cases[] = {
        {"no end marker before the image ends", {0x1F}, kLz1MaxOutput, "past the end of the ROM"},
        {"operand missing at the end", {0x20}, kLz1MaxOutput, "past the end of the ROM"},
        {"write past the buffer", {0x3F, 1, 0x3F, 1, 0xFF}, 40, "write past"},
        {"copy from past the buffer", {0x00, 1, 0xF3, 0xFF, 0xFF, 0xF0, 0xFF}, kLz1MaxOutput, "copy reaches past"},
    };
    for (const Case& c : cases) {
        // Put the stream at the very end of the image, so nothing follows it.
        const Bytes image = ImageWith(c.stream, 0x1000 - c.stream.size(), 0x1000);
        const GfxFile f = Lz1(image, image.size() - c.stream.size(), c.capacity);
        EXPECT_FALSE(f.ok()) << c.what;
        EXPECT_NE(f.error.find(c.phrase), std::string::npos) << c.what << ": " << f.error;
        EXPECT_NE(f.error.find("graphics file 4F"), std::string::npos) << f.error;
        EXPECT_LE(f.bytes.size(), c.capacity);
    }
    // Random bytes: always ends, never past the buffer.
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        Bytes image(600);
        for (auto& b : image) b = static_cast<uint8_t>(rng() % 0xFF);  // no end marker
        const GfxFile f = Lz1(image, rng() % 600, 512);
        EXPECT_FALSE(f.ok());
        EXPECT_LE(f.bytes.size(), 512u);
    }
}

TEST(Lz1, RandomRoundTripThroughTheTestEncoder) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 60; ++round) {
        Bytes data;
        const size_t size = 1 + rng() % 4096;
        while (data.size() < size) {
            // Chunks of every kind the commands describe, and random bytes.
            const size_t len = 1 + rng() % (rng() % 4 == 0 ? 300 : 40);
            const uint8_t a = static_cast<uint8_t>(rng()), b = static_cast<uint8_t>(rng());
            const size_t from = data.empty() ? 0 : rng() % data.size();
            const int kind = static_cast<int>(rng() % 5);
            for (size_t i = 0; i < len && data.size() < size; ++i) {
                switch (kind) {
                case 0: data.push_back(static_cast<uint8_t>(rng())); break;
                case 1: data.push_back(a); break;
                case 2: data.push_back(i & 1 ? b : a); break;
                case 3: data.push_back(static_cast<uint8_t>(a + i)); break;
                default: data.push_back(data.empty() ? a : data[from + i % (data.size() - from)]); break;
                }
            }
        }
        const Bytes stream = demo::EncodeLz1(data);
        const size_t at = 0x10000 - stream.size() / 2;  // across a bank's end
        const GfxFile f = Lz1(ImageWith(stream, at), at);
        ASSERT_TRUE(f.ok()) << f.error;
        EXPECT_EQ(f.bytes, data) << "round " << round;
    }
}

// An LZ16 stream from its seven palette colours and its bits (as '0'/'1',
// in reading order).
Bytes Lz16Stream(const std::array<uint8_t, 7>& pal, const std::string& bits) {
    Bytes b = {static_cast<uint8_t>(pal[0] | pal[1] << 4), static_cast<uint8_t>(pal[2] | pal[3] << 4),
               static_cast<uint8_t>(pal[4] | pal[5] << 4), pal[6]};
    int used = 4;
    for (char c : bits) {
        if (c != '0' && c != '1') continue;
        if (used == 8) b.push_back(0), used = 0;
        if (c == '1') b.back() = static_cast<uint8_t>(b.back() | 1 << used);
        ++used;
    }
    return b;
}

uint8_t SheetPixel(const Bytes& sheet, int x, int y) {
    return PlanarPixel(sheet.data() + ((y >> 3) * 16 + (x >> 3)) * kTileBytes4bpp, x & 7, y & 7);
}

TEST(Lz16, EveryRowOperation) {
    // Gamma codes: 1 = "0", 4 = "10100", 8 = "1010100", 59 = "11 11 10 11 11 0",
    // 64 = "1010101010100", 128 = "101010101010100".
    const std::string stream =
        // row 0, plain runs: 64 x colour 2 (index 1), 64 x colour 3 (index 2)
        "0 1010101010100 001  1010101010100 010"
        // row 1, against row 0: extend the run of 2 by 8, then skip the rest
        " 1 1010100 10  0 00"
        // row 2: shorten the run of 2 by 4 (to x = 59), then fill the 60 left of it with literal 9
        " 1 10100 11  10101111110 01 111 1001"
        // row 3, plain: 128 x colour 7 (index 6)
        " 0 101010101010100 110";
    const Bytes image = ImageWith(Lz16Stream({1, 2, 3, 4, 5, 6, 7}, stream), 0x400);
    const GfxFile f = Lz16(image, 0x400, 4 * 64);
    ASSERT_TRUE(f.ok()) << f.error;
    ASSERT_EQ(f.bytes.size(), 256u);
    struct Px {
        int x, y;
        uint8_t colour;
    };
    for (const Px p : {Px{127, 0, 2}, {64, 0, 2}, {63, 0, 3}, {0, 0, 3},                // row 0
                       {127, 1, 2}, {56, 1, 2}, {55, 1, 3}, {0, 1, 3},                  // row 1
                       {127, 2, 2}, {60, 2, 2}, {59, 2, 9}, {0, 2, 9},      // row 2
                       {127, 3, 7}, {0, 3, 7}})
        EXPECT_EQ(SheetPixel(f.bytes, p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(Lz16, HostileStreamsEndWithAnErrorInsideTheBounds) {
    struct Case {
        const char* what;
        std::string bits;
        const char* phrase;
    };
    const Case cases[] = {
        {"extend with no end to the run", "1 0 10", "run to extend"},
        {"shorten past the row's end", "0 0 001 1111111111110 000  1 100 11", "past the row's end"},
        {"a run length of 17 bits", "0 " + [] { std::string s; for (int i = 0; i < 17; ++i) s += "11"; return s; }(), "longer than 16 bits"},
        {"stream ends inside a row", "0 10", "past the end of the ROM"},
    };
    for (const Case& c : cases) {
        const Bytes stream = Lz16Stream({1, 2, 3, 4, 5, 6, 7}, c.bits);
        const Bytes image = ImageWith(stream, 0x100 - stream.size(), 0x100);
        const GfxFile f = Lz16(image, 0x100 - stream.size(), 64 * 16);
        EXPECT_FALSE(f.ok()) << c.what;
        EXPECT_NE(f.error.find(c.phrase), std::string::npos) << c.what << ": " << f.error;
        EXPECT_NE(f.error.find("graphics file 19 (LZ16"), std::string::npos) << f.error;
        EXPECT_EQ(f.bytes.size(), 64u * 16);
    }
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        Bytes image(400);
        for (auto& b : image) b = static_cast<uint8_t>(rng());
        const size_t size = 64 * (1 + rng() % 40);
        const GfxFile f = Lz16(image, rng() % 400, size);
        EXPECT_EQ(f.bytes.size(), size);
    }
}

TEST(Lz16, RandomRoundTripThroughTheTestEncoder) {
    std::mt19937 rng(42);
    for (int round = 0; round < 40; ++round) {
        const int rows = 8 * (1 + static_cast<int>(rng() % 8));
        std::vector<uint8_t> px(static_cast<size_t>(rows) * 128);
        // Runs of random colours; each row mostly like the one above.
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < 128;) {
                const int len = 1 + static_cast<int>(rng() % 24);
                const bool keep = y > 0 && rng() % 3 != 0;
                const uint8_t c = static_cast<uint8_t>(rng() % (round % 2 ? 16 : 5));
                for (int i = 0; i < len && x < 128; ++i, ++x)
                    px[static_cast<size_t>(y * 128 + x)] = keep ? px[static_cast<size_t>((y - 1) * 128 + x)] : c;
            }
        const Bytes stream = demo::EncodeLz16(px);
        const size_t at = 0x20000 - stream.size() / 2;
        const GfxFile f = Lz16(ImageWith(stream, at, 0x30000), at, static_cast<size_t>(rows) * 64);
        ASSERT_TRUE(f.ok()) << f.error;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < 128; ++x)
                ASSERT_EQ(SheetPixel(f.bytes, x, y), px[static_cast<size_t>(y * 128 + x)]) << x << "," << y;
    }
}

TEST(Planar, PixelBitsLandInTheirPlanes) {
    uint8_t tile[32] = {};
    SetPlanarPixel(tile, 0, 0, 0b1011);  // planes 0, 1 and 3, leftmost pixel = bit 7
    SetPlanarPixel(tile, 7, 3, 0b0100);  // plane 2 of row 3, rightmost = bit 0
    EXPECT_EQ(tile[0], 0x80);
    EXPECT_EQ(tile[1], 0x80);
    EXPECT_EQ(tile[16], 0x00);
    EXPECT_EQ(tile[17], 0x80);
    EXPECT_EQ(tile[16 + 6], 0x01);
    const auto px = DecodePlanarTile(tile);
    EXPECT_EQ(px[0], 0b1011);
    EXPECT_EQ(px[3 * 8 + 7], 0b0100);
    SetPlanarPixel(tile, 0, 0, 0);
    EXPECT_EQ(tile[0] | tile[1] | tile[17], 0);
}

}  // namespace
}  // namespace mw
