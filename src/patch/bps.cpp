// BPS: "BPS1", the source, target and metadata sizes, then actions until
// the three CRC-32s of source, target and patch. Numbers are written seven
// bits at a time, low bits first, with the top bit ending a number (and one
// subtracted per continued byte, so each number has exactly one form).
// Actions: SourceRead (the source's bytes at the same place), TargetRead
// (bytes in the patch), SourceCopy and TargetCopy (from a place given
// relative to where the last copy of that kind ended; a TargetCopy may
// overlap what it writes, which makes runs).
#ifdef MW_HAVE_ZLIB
#include <zlib.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>

#include "patch/patch.h"
#include "util/hex_text.h"

namespace mw {

uint32_t Crc32(const uint8_t* data, size_t size) {
#ifndef MW_HAVE_ZLIB
    // Where no zlib is at hand (a cross build), the same CRC-32 by table.
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
#else
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes its lengths as uInt.
    while (size > 0) {
        const uInt chunk = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
        crc = crc32(crc, data, chunk);
        data += chunk;
        size -= chunk;
    }
    return static_cast<uint32_t>(crc);
#endif
}

namespace {

enum Action : uint64_t { kSourceRead = 0, kTargetRead = 1, kSourceCopy = 2, kTargetCopy = 3 };
constexpr size_t kFooterSize = 12;

void PutNumber(std::vector<uint8_t>& out, uint64_t n) {
    for (;;) {
        const auto low = static_cast<uint8_t>(n & 0x7F);
        n >>= 7;
        if (n == 0) {
            out.push_back(static_cast<uint8_t>(0x80 | low));
            return;
        }
        out.push_back(low);
        --n;
    }
}

void PutSigned(std::vector<uint8_t>& out, int64_t n) {
    PutNumber(out, (static_cast<uint64_t>(n < 0 ? -n : n) << 1) | (n < 0 ? 1 : 0));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Places of 4-byte sequences in a file of up to `size` bytes, one per hash
// bucket (the latest put there).
class MatchTable {
public:
    explicit MatchTable(size_t size) {
        while (bits_ < 20 && (size_t{1} << bits_) < size) ++bits_;
        slots_.assign(size_t{1} << bits_, -1);
    }
    void put(const uint8_t* base, size_t at) { slots_[Hash(base + at)] = static_cast<int32_t>(at); }
    int64_t get(const uint8_t* p) const { return slots_[Hash(p)]; }

private:
    int bits_ = 8;
    std::vector<int32_t> slots_;  // files are at most 16 MiB
    uint32_t Hash(const uint8_t* p) const {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return (v * 2654435761u) >> (32 - bits_);
    }
};

size_t MatchLength(const uint8_t* a, const uint8_t* b, size_t limit) {
    size_t n = 0;
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

std::vector<uint8_t> CreateBps(const std::vector<uint8_t>& source, const std::vector<uint8_t>& target) {
    // Greedy: the source's bytes in place wherever at least a few agree,
    // else the longest copy found through the hash tables (a run is a copy
    // of the target from one byte back), else a literal byte.
    constexpr size_t kMinSourceRead = 4;
    constexpr size_t kMinCopy = 6;
    const uint8_t* src = source.data();
    const uint8_t* tgt = target.data();
    const size_t S = source.size(), T = target.size();

    std::vector<uint8_t> out = {'B', 'P', 'S', '1'};
    PutNumber(out, S);
    PutNumber(out, T);
    PutNumber(out, 0);  // no metadata

    MatchTable inSource(S), inTarget(T);
    for (size_t k = 0; k + 4 <= S; ++k) inSource.put(src, k);

    int64_t sourceRelative = 0, targetRelative = 0;
    size_t literalStart = 0, literalLength = 0;
    auto action = [&](Action kind, size_t length) { PutNumber(out, (static_cast<uint64_t>(length - 1) << 2) | kind); };
    auto flushLiteral = [&] {
        if (literalLength == 0) return;
        action(kTargetRead, literalLength);
        out.insert(out.end(), tgt + literalStart, tgt + literalStart + literalLength);
        literalLength = 0;
    };
    auto remember = [&](size_t from, size_t to) {
        for (size_t k = from; k < to && k + 4 <= T; ++k) inTarget.put(tgt, k);
    };

    size_t t = 0;
    while (t < T) {
        const size_t sameHere = t < S ? MatchLength(src + t, tgt + t, std::min(S, T) - t) : 0;
        if (sameHere >= kMinSourceRead || (sameHere > 0 && t + sameHere == T)) {
            flushLiteral();
            action(kSourceRead, sameHere);
            t += sameHere;
            continue;
        }
        size_t best = 0;
        Action kind = kTargetRead;
        int64_t from = 0;
        if (t > 0) {  // a run: the target from one byte back
            const size_t run = MatchLength(tgt + t - 1, tgt + t, T - t);
            if (run > best) best = run, kind = kTargetCopy, from = static_cast<int64_t>(t - 1);
        }
        if (t + 4 <= T) {
            const int64_t s = inSource.get(tgt + t);
            if (s >= 0) {
                const size_t n = MatchLength(src + s, tgt + t, std::min(S - static_cast<size_t>(s), T - t));
                if (n > best) best = n, kind = kSourceCopy, from = s;
            }
            const int64_t p = inTarget.get(tgt + t);
            if (p >= 0 && static_cast<size_t>(p) < t) {
                const size_t n = MatchLength(tgt + p, tgt + t, T - t);
                if (n > best) best = n, kind = kTargetCopy, from = p;
            }
        }
        if (best >= kMinCopy) {
            flushLiteral();
            action(kind, best);
            int64_t& relative = kind == kSourceCopy ? sourceRelative : targetRelative;
            PutSigned(out, from - relative);
            relative = from + static_cast<int64_t>(best);
            remember(t, t + best);
            t += best;
            continue;
        }
        if (literalLength == 0) literalStart = t;
        ++literalLength;
        remember(t, t + 1);
        ++t;
    }
    flushLiteral();
    PutLe32(out, Crc32(src, S));
    PutLe32(out, Crc32(tgt, T));
    PutLe32(out, Crc32(out.data(), out.size()));
    return out;
}

namespace {

// Reads the numbers of a patch, never past `end`.
struct NumberReader {
    const uint8_t* p;
    const uint8_t* end;
    bool failed = false;

    uint64_t number() {
        uint64_t data = 0, shift = 1;
        for (;;) {
            if (p == end || shift > (uint64_t{1} << 49)) {  // past the end, or no size this program could use
                failed = true;
                return 0;
            }
            const uint8_t x = *p++;
            data += (x & 0x7F) * shift;
            if (x & 0x80) return data;
            shift <<= 7;
            data += shift;
        }
    }
    int64_t signedNumber() {
        const uint64_t n = number();
        const auto magnitude = static_cast<int64_t>(n >> 1);
        return (n & 1) ? -magnitude : magnitude;
    }
};

PatchOutcome Fail(const std::string& why) { return {{}, why}; }

}  // namespace

PatchOutcome ApplyBps(const std::vector<uint8_t>& source, const std::vector<uint8_t>& patch) {
    if (patch.size() < 4 + 3 + kFooterSize || std::memcmp(patch.data(), "BPS1", 4) != 0)
        return Fail("it is not a BPS patch");
    const uint8_t* footer = patch.data() + patch.size() - kFooterSize;
    if (Crc32(patch.data(), patch.size() - 4) != Le32(footer + 8))
        return Fail("the patch is damaged (its own checksum does not match its contents)");
    NumberReader in{patch.data() + 4, footer};
    const uint64_t sourceSize = in.number();
    const uint64_t targetSize = in.number();
    const uint64_t metadataSize = in.number();
    if (in.failed || metadataSize > static_cast<uint64_t>(footer - in.p))
        return Fail("the patch is damaged (its sizes cannot be read)");
    in.p += metadataSize;
    if (sourceSize != source.size())
        return Fail("it was made for an original of " + std::to_string(sourceSize) + " bytes (without a copier header), "
                    "and this original has " + std::to_string(source.size()) + ": it is the wrong original");
    if (Crc32(source.data(), source.size()) != Le32(footer))
        return Fail("it was made for another original (the original's checksum is " +
                    ToHex(Crc32(source.data(), source.size())) + ", the patch expects " + ToHex(Le32(footer)) +
                    "): it is the wrong original");
    if (targetSize > static_cast<uint64_t>(kMaxPatchImage))
        return Fail("it would make a file of " + std::to_string(targetSize) + " bytes, larger than 16 MiB");

    std::vector<uint8_t> target(static_cast<size_t>(targetSize));
    const auto S = static_cast<int64_t>(sourceSize), T = static_cast<int64_t>(targetSize);
    int64_t out = 0, sourceRelative = 0, targetRelative = 0;
    const std::string damaged = "the patch is damaged (an action reaches outside the files)";
    while (in.p < footer) {
        const uint64_t data = in.number();
        if (in.failed || (data >> 2) >= static_cast<uint64_t>(T - out)) return Fail(damaged);
        const int64_t length = static_cast<int64_t>(data >> 2) + 1;
        switch (data & 3) {
        case kSourceRead:
            if (out + length > S) return Fail(damaged);
            std::copy_n(source.begin() + out, length, target.begin() + out);
            break;
        case kTargetRead:
            if (length > footer - in.p) return Fail(damaged);
            std::copy_n(in.p, length, target.begin() + out);
            in.p += length;
            break;
        case kSourceCopy:
            sourceRelative += in.signedNumber();
            if (in.failed || sourceRelative < 0 || sourceRelative > S - length) return Fail(damaged);
            std::copy_n(source.begin() + sourceRelative, length, target.begin() + out);
            sourceRelative += length;
            break;
        case kTargetCopy:
            targetRelative += in.signedNumber();
            if (in.failed || targetRelative < 0 || targetRelative >= out) return Fail(damaged);
            // Byte by byte: the copy may read what it has just written.
            for (int64_t k = 0; k < length; ++k) target[out + k] = target[targetRelative + k];
            targetRelative += length;
            break;
        }
        out += length;
    }
    if (out != T) return Fail("the patch is damaged (it ends before the file it makes is complete)");
    if (Crc32(target.data(), target.size()) != Le32(footer + 4))
        return Fail("the result is not the file the patch was made to give (its checksum differs)");
    return {std::move(target), {}};
}

}  // namespace mw
