#include "snes/lz16.h"

#include "snes/planar.h"

namespace mw {

namespace {

constexpr int kRowPixels = 128;

class BitReader {
public:
    explicit BitReader(GfxReader& in) : in_(in) {}
    // Starts the bit stream at bit `first` of `byte`.
    void startInside(uint8_t byte, int first) {
        cur_ = byte;
        left_ = 8 - first;
        cur_ >>= first;
    }
    bool bit(int& out) {
        if (left_ == 0) {
            if (!in_.next(cur_)) return false;
            left_ = 8;
        }
        out = cur_ & 1;
        cur_ >>= 1;
        --left_;
        return true;
    }
    // `count` bits, the first read the most significant.
    bool bits(int count, int& out) {
        out = 0;
        for (int i = 0; i < count; ++i) {
            int b = 0;
            if (!bit(b)) return false;
            out = out << 1 | b;
        }
        return true;
    }

private:
    GfxReader& in_;
    uint8_t cur_ = 0;
    int left_ = 0;
};

}  // namespace

GfxFile DecompressLz16(const GfxSource& source, size_t size) {
    GfxReader in(source, "LZ16");
    GfxFile out;
    // Whole bands of 8 rows are built; a size that ends inside a band keeps
    // the band's first bytes.
    out.bytes.assign((size + 511) / 512 * 512, 0);
    auto finish = [&]() {
        out.bytes.resize(size);
        out.error = in.error();
        return std::move(out);
    };

    uint8_t h[4] = {};
    for (uint8_t& b : h)
        if (!in.next(b)) return finish();
    const uint8_t pal[7] = {static_cast<uint8_t>(h[0] & 15), static_cast<uint8_t>(h[0] >> 4),
                            static_cast<uint8_t>(h[1] & 15), static_cast<uint8_t>(h[1] >> 4),
                            static_cast<uint8_t>(h[2] & 15), static_cast<uint8_t>(h[2] >> 4),
                            static_cast<uint8_t>(h[3] & 15)};
    BitReader bits(in);
    bits.startInside(h[3], 4);

    // A gamma-coded run length: at least 1. Longer than 16 bits cannot
    // describe a row and is refused.
    auto gamma = [&](int& value) {
        int v = 0, w = 1, b = 0;
        for (;;) {
            if (!bits.bit(b)) return false;
            if (b == 0) {
                value = v | w;
                return true;
            }
            if (!bits.bit(b)) return false;
            if (b == 1) v |= w;
            w <<= 1;
            if (w > 0xFFFF) {
                in.fail("a run length longer than 16 bits", in.position());
                return false;
            }
        }
    };
    auto colour = [&](uint8_t& c) {
        int i = 0;
        if (!bits.bits(3, i)) return false;
        if (i < 7) {
            c = pal[i];
            return true;
        }
        if (!bits.bits(4, i)) return false;
        c = static_cast<uint8_t>(i);
        return true;
    };

    uint8_t buf[kRowPixels] = {};
    const size_t rows = size / 64;
    enum Op { Fill, Extend, Shorten, Skip };
    for (size_t y = 0; y < rows; ++y) {
        int mode = 0;
        if (!bits.bit(mode)) return finish();
        int x = kRowPixels - 1;
        while (x >= 0) {
            int len = 0;
            if (!gamma(len)) return finish();
            Op op = Fill;
            if (mode == 1) {
                int a = 0, b = 0;
                if (!bits.bit(a) || !bits.bit(b)) return finish();
                op = a == 1 ? (b == 1 ? Shorten : Extend) : (b == 1 ? Fill : Skip);
            }
            switch (op) {
            case Fill: {
                uint8_t c = 0;
                if (!colour(c)) return finish();
                for (int i = 0; i < len && x - i >= 0; ++i) buf[x - i] = c;
                x -= len;
                break;
            }
            case Extend: {
                const uint8_t c = buf[x];
                --x;
                while (x >= 0 && buf[x] == c) --x;
                if (x < 0) {
                    in.fail("a run to extend reaches past the row's start", in.position());
                    return finish();
                }
                const uint8_t n = buf[x];
                for (int i = 0; i < len && x - i >= 0; ++i) buf[x - i] = c;
                x -= len;
                if (x >= 0) buf[x] = n;
                break;
            }
            case Shorten: {
                const uint8_t c = buf[x];
                --x;
                while (x >= 0 && buf[x] == c) --x;
                const uint8_t n = x >= 0 ? buf[x] : 0;
                x += len;
                if (x > kRowPixels - 1) {
                    in.fail("a shortened run reaches past the row's end", in.position());
                    return finish();
                }
                buf[x] = n;
                break;
            }
            case Skip:
                for (int i = 0; i < len && x >= 0; ++i) {
                    const uint8_t c = buf[x];
                    --x;
                    while (x >= 0 && buf[x] == c) --x;
                }
                break;
            }
        }
        uint8_t* sheet = out.bytes.data();
        for (int px = 0; px < kRowPixels; ++px) {
            const size_t tile = (y >> 3) * 16 + static_cast<size_t>(px >> 3);
            SetPlanarPixel(sheet + tile * kTileBytes4bpp, px & 7, static_cast<int>(y & 7), buf[px]);
        }
    }
    return finish();
}

}  // namespace mw

