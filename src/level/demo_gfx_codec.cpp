#include "level/demo_gfx_codec.h"

#include <algorithm>
#include <array>

namespace mw::demo {

namespace {

void PutCommand(std::vector<uint8_t>& out, int cmd, size_t len) {
    if (len <= 32 && cmd < 7) {
        out.push_back(static_cast<uint8_t>(cmd << 5 | (len - 1)));
    } else {
        const size_t l = len - 1;
        out.push_back(static_cast<uint8_t>(0xE0 | cmd << 2 | (l >> 8)));
        out.push_back(static_cast<uint8_t>(l & 0xFF));
    }
}

}  // namespace

std::vector<uint8_t> EncodeLz1(const std::vector<uint8_t>& data) {
    constexpr size_t kMax = 1024, kWindow = 1024;
    std::vector<uint8_t> out;
    size_t literalStart = 0;
    auto flushLiterals = [&](size_t end) {
        while (literalStart < end) {
            const size_t n = std::min(kMax, end - literalStart);
            PutCommand(out, 0, n);
            out.insert(out.end(), data.begin() + static_cast<long>(literalStart),
                       data.begin() + static_cast<long>(literalStart + n));
            literalStart += n;
        }
    };
    size_t i = 0;
    const size_t n = data.size();
    while (i < n) {
        const size_t limit = std::min(kMax, n - i);
        auto runWhile = [&](auto same) {
            size_t k = 0;
            while (k < limit && same(k)) ++k;
            return k;
        };
        const size_t fill = runWhile([&](size_t k) { return data[i + k] == data[i]; });
        const size_t alt = i + 1 < n ? runWhile([&](size_t k) { return data[i + k] == data[i + (k & 1)]; }) : 0;
        const size_t inc = runWhile([&](size_t k) { return data[i + k] == static_cast<uint8_t>(data[i] + k); });
        size_t copy = 0, from = 0;
        for (size_t o = i > kWindow ? i - kWindow : 0; o < i && o <= 0xFFFF; ++o) {
            const size_t k = runWhile([&](size_t j) { return data[o + j] == data[i + j]; });
            if (k > copy) copy = k, from = o;
        }
        auto gain = [](size_t len, size_t operands) {
            return static_cast<long>(len) - static_cast<long>(operands + (len > 32 ? 2 : 1));
        };
        struct Choice {
            long gain;
            int cmd;
            size_t len;
        };
        std::array<Choice, 4> choices{{{gain(fill, 1), 1, fill},
                                       {gain(alt, 2), 2, alt},
                                       {gain(inc, 1), 3, inc},
                                       {gain(copy, 2), 4, copy}}};
        const Choice best = *std::max_element(choices.begin(), choices.end(),
                                              [](const Choice& a, const Choice& b) { return a.gain < b.gain; });
        if (best.gain <= 1) {
            ++i;
            continue;
        }
        flushLiterals(i);
        PutCommand(out, best.cmd, best.len);
        switch (best.cmd) {
        case 1: out.push_back(data[i]); break;
        case 2: out.insert(out.end(), {data[i], data[i + 1]}); break;
        case 3: out.push_back(data[i]); break;
        default: out.insert(out.end(), {static_cast<uint8_t>(from >> 8), static_cast<uint8_t>(from & 0xFF)}); break;
        }
        i += best.len;
        literalStart = i;
    }
    flushLiterals(n);
    out.push_back(0xFF);
    return out;
}

namespace {

class BitWriter {
public:
    std::vector<uint8_t> bytes;
    int used = 8;  // bits used in the last byte
    void bit(int b) {
        if (used == 8) {
            bytes.push_back(0);
            used = 0;
        }
        if (b) bytes.back() = static_cast<uint8_t>(bytes.back() | 1 << used);
        ++used;
    }
    void msbFirst(int value, int count) {
        for (int i = count - 1; i >= 0; --i) bit(value >> i & 1);
    }
    void gamma(int value) {
        int top = 0;
        while ((value >> (top + 1)) != 0) ++top;
        for (int i = 0; i < top; ++i) {
            bit(1);
            bit(value >> i & 1);
        }
        bit(0);
    }
    size_t size() const { return bytes.size() * 8 - static_cast<size_t>(8 - used); }
    void append(const BitWriter& other) {
        for (size_t i = 0; i < other.size(); ++i) bit(other.bytes[i / 8] >> (i % 8) & 1);
    }
};

}  // namespace

std::vector<uint8_t> EncodeLz16(const std::vector<uint8_t>& pixels) {
    constexpr int kW = 128;
    std::array<int, 16> count{};
    for (uint8_t p : pixels) ++count[p & 15];
    std::array<uint8_t, 16> order{};
    for (int c = 0; c < 16; ++c) order[static_cast<size_t>(c)] = static_cast<uint8_t>(c);
    std::stable_sort(order.begin(), order.end(), [&](uint8_t a, uint8_t b) { return count[a] > count[b]; });
    const uint8_t* pal = order.data();  // the seven most used colours

    BitWriter w;
    // The header's seven colours: the stream proper starts at bit 4 of the fourth byte.
    w.bytes = {static_cast<uint8_t>(pal[0] | pal[1] << 4), static_cast<uint8_t>(pal[2] | pal[3] << 4),
               static_cast<uint8_t>(pal[4] | pal[5] << 4), pal[6]};
    w.used = 4;

    auto colour = [&](BitWriter& out, uint8_t c) {
        const int i = static_cast<int>(std::find(pal, pal + 7, c) - pal);
        out.msbFirst(i < 7 ? i : 7, 3);
        if (i >= 7) out.msbFirst(c, 4);
    };
    std::array<uint8_t, kW> prev{};
    const size_t rows = pixels.size() / kW;
    for (size_t y = 0; y < rows; ++y) {
        const uint8_t* row = pixels.data() + y * kW;
        auto runOfNew = [&](int x) {
            int e = x;
            while (e > 0 && row[e - 1] == row[x]) --e;
            return e;
        };
        BitWriter plain, against;
        plain.bit(0);
        for (int x = kW - 1; x >= 0;) {
            const int e = runOfNew(x);
            plain.gamma(x - e + 1);
            colour(plain, row[x]);
            x = e - 1;
        }
        against.bit(1);
        for (int x = kW - 1; x >= 0;) {
            int skipped = 0, at = x;
            while (at >= 0) {
                int e = at;
                while (e > 0 && prev[static_cast<size_t>(e - 1)] == prev[static_cast<size_t>(at)]) --e;
                if (!std::equal(row + e, row + at + 1, prev.begin() + e)) break;
                ++skipped;
                at = e - 1;
            }
            if (skipped > 0) {
                against.gamma(skipped);
                against.bit(0), against.bit(0);
                x = at;
                continue;
            }
            const int e = runOfNew(x);
            against.gamma(x - e + 1);
            against.bit(0), against.bit(1);
            colour(against, row[x]);
            x = e - 1;
        }
        w.append(plain.size() <= against.size() ? plain : against);
        std::copy(row, row + kW, prev.begin());
    }
    return w.bytes;
}

}  // namespace mw::demo
