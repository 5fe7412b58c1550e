// IPS: "PATCH", records, "EOF". A record is a 3-byte offset and a 2-byte
// length (both big-endian) and that many bytes, or, with length 0, a 2-byte
// run length and the byte to repeat. An offset of 0x454F46 reads as "EOF",
// so no record may start there. Three bytes after "EOF" give the size of a
// target shorter than its source.
#include <algorithm>
#include <cstring>

#include "patch/patch.h"

namespace mw {

namespace {

constexpr size_t kEndMarker = 0x454F46;  // "EOF"
constexpr size_t kMaxRecord = 0xFFFF;
constexpr size_t kMaxOffset = 0xFFFFFF;
// Equal bytes between two changes that still go into one record (a new
// record costs five bytes of its own).
constexpr size_t kMaxGap = 4;
// A run this long gets a run record of its own (eight bytes) at the start of
// a record; inside a literal record it must also pay for the split.
constexpr size_t kRunAtStart = 9;
constexpr size_t kRunInside = 14;

void Put(std::vector<uint8_t>& out, size_t value, int bytes) {
    for (int k = bytes - 1; k >= 0; --k) out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

size_t Read(const uint8_t* p, int bytes) {
    size_t v = 0;
    for (int k = 0; k < bytes; ++k) v = v << 8 | p[k];
    return v;
}

}  // namespace

PatchOutcome CreateIps(const std::vector<uint8_t>& source, const std::vector<uint8_t>& target) {
    const size_t S = source.size(), T = target.size();
    if (T > kMaxOffset + 1) return {{}, "an IPS patch cannot make a file larger than 16 MiB; use BPS"};
    const uint8_t* tgt = target.data();
    auto differs = [&](size_t k) { return k >= S || source[k] != target[k]; };
    auto runAt = [&](size_t p, size_t end, size_t cap) {
        size_t n = 1;
        while (n < cap && p + n < end && tgt[p + n] == tgt[p]) ++n;
        return n;
    };

    std::vector<uint8_t> out = {'P', 'A', 'T', 'C', 'H'};
    auto literal = [&](size_t at, size_t length) {
        Put(out, at, 3);
        Put(out, length, 2);
        out.insert(out.end(), tgt + at, tgt + at + length);
    };
    // The records for target[start, end).
    auto region = [&](size_t start, size_t end) {
        size_t p = start;
        while (p < end) {
            if (p == kEndMarker) {
                // Starts a byte earlier instead, rewriting that byte as it is.
                literal(p - 1, 2);
                p += 1;
                continue;
            }
            const size_t run = runAt(p, end, kMaxRecord);
            if (run >= kRunAtStart) {
                Put(out, p, 3);
                Put(out, 0, 2);
                Put(out, run, 2);
                out.push_back(tgt[p]);
                p += run;
                continue;
            }
            size_t q = p + 1;
            while (q < end && q - p < kMaxRecord && runAt(q, end, kRunInside) < kRunInside) ++q;
            literal(p, q - p);
            p = q;
        }
    };

    size_t k = 0;
    while (k < T) {
        if (!differs(k)) {
            ++k;
            continue;
        }
        size_t last = k;
        for (size_t j = k + 1; j < T && j - last <= kMaxGap; ++j)
            if (differs(j)) last = j;
        region(k, last + 1);
        k = last + 1;
    }
    out.insert(out.end(), {'E', 'O', 'F'});
    if (T < S) Put(out, T, 3);  // the target is shorter: cut it there
    return {std::move(out), {}};
}

PatchOutcome ApplyIps(const std::vector<uint8_t>& source, const std::vector<uint8_t>& patch) {
    const size_t n = patch.size();
    if (n < 8 || std::memcmp(patch.data(), "PATCH", 5) != 0) return {{}, "it is not an IPS patch"};
    const uint8_t* p = patch.data();
    std::vector<uint8_t> target = source;
    const std::string damaged = "the patch is damaged (it ends inside a record)";
    size_t at = 5;
    for (;;) {
        if (n - at < 3) return {{}, "the patch is damaged (it has no end marker)"};
        const size_t offset = Read(p + at, 3);
        at += 3;
        if (offset == kEndMarker) break;
        if (n - at < 2) return {{}, damaged};
        size_t length = Read(p + at, 2);
        at += 2;
        const uint8_t* bytes = p + at;
        bool run = false;
        if (length == 0) {
            if (n - at < 3) return {{}, damaged};
            length = Read(p + at, 2);
            bytes = p + at + 2;
            run = true;
            at += 3;
        } else {
            if (n - at < length) return {{}, damaged};
            at += length;
        }
        if (offset + length > static_cast<size_t>(kMaxPatchImage))
            return {{}, "the patch writes past 16 MiB"};
        if (target.size() < offset + length) target.resize(offset + length, 0x00);
        if (run)
            std::fill_n(target.begin() + static_cast<std::ptrdiff_t>(offset), length, *bytes);
        else
            std::copy_n(bytes, length, target.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    const size_t rest = n - at;
    if (rest == 3) {
        const size_t size = Read(p + at, 3);
        if (size > target.size()) return {{}, "the patch is damaged (its cut lies past the end of the file)"};
        target.resize(size);
    } else if (rest != 0) {
        return {{}, "the patch is damaged (bytes follow its end marker)"};
    }
    return {std::move(target), {}};
}

}  // namespace mw
