// BPS and IPS patches: random round trips, the checks on applying, and
// damaged patches that must be refused without reading outside them.
#include <gtest/gtest.h>

#include <random>

#include "patch/patch.h"

namespace mw {
namespace {

std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(rng());
    return v;
}

// `source` with a few random edits: single bytes, runs of one byte, copies
// of other parts, and (when `resize`) a longer or shorter end. Returns how
// many bytes were changed.
size_t Edit(std::mt19937& rng, std::vector<uint8_t>& data, bool resize) {
    size_t changed = 0;
    const int edits = 1 + static_cast<int>(rng() % 12);
    for (int e = 0; e < edits && !data.empty(); ++e) {
        const size_t at = rng() % data.size();
        const size_t room = data.size() - at;
        switch (rng() % 3) {
        case 0:
            data[at] ^= static_cast<uint8_t>(1 + rng() % 255);
            changed += 1;
            break;
        case 1: {  // a run
            const size_t n = std::min<size_t>(room, 1 + rng() % 300);
            std::fill_n(data.begin() + static_cast<std::ptrdiff_t>(at), n, static_cast<uint8_t>(rng()));
            changed += n;
            break;
        }
        case 2: {  // a piece moved from elsewhere
            const size_t n = std::min<size_t>(room, 1 + rng() % 64);
            const size_t from = rng() % (data.size() - n + 1);
            std::vector<uint8_t> piece(data.begin() + static_cast<std::ptrdiff_t>(from),
                                       data.begin() + static_cast<std::ptrdiff_t>(from + n));
            std::copy(piece.begin(), piece.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
            changed += n;
            break;
        }
        }
    }
    if (resize && rng() % 2) {
        const size_t n = rng() % 200;
        if (rng() % 2) {
            for (size_t k = 0; k < n; ++k) data.push_back(static_cast<uint8_t>(rng()));
        } else {
            data.resize(data.size() - std::min(n, data.size()));
        }
        changed += n;
    }
    return changed;
}

TEST(Patch, RandomEditsRoundTripInBothFormats) {
    std::mt19937 rng(19);
    for (int round = 0; round < 120; ++round) {
        const size_t size = round % 10 == 0 ? 0 : 1 + rng() % 20000;
        const std::vector<uint8_t> original = RandomBytes(rng, size);
        std::vector<uint8_t> modified = original;
        const int shape = round % 4;  // identical, in place, first and last byte, other size
        size_t changed = 0;
        if (shape == 1) changed = Edit(rng, modified, false);
        if (shape == 2 && !modified.empty()) {
            modified.front() ^= 0xFF;
            modified.back() ^= 0x5A;
            changed = 2;
        }
        if (shape == 3) changed = Edit(rng, modified, true);
        for (PatchFormat format : {PatchFormat::Bps, PatchFormat::Ips}) {
            const PatchOutcome patch = MakePatch(format, original, modified);
            ASSERT_TRUE(patch.ok()) << round << " " << patch.error;
            const PatchOutcome applied = ApplyPatch(original, patch.bytes);
            ASSERT_TRUE(applied.ok()) << round << " " << applied.error;
            EXPECT_EQ(applied.bytes, modified) << round << " " << PatchFormatName(format);
            // Small: a few bytes per changed byte, plus the formats' fixed parts.
            if (shape != 3) {
                EXPECT_LE(patch.bytes.size(), 6 * changed + 32) << round << " " << PatchFormatName(format);
            }
        }
    }
}

TEST(Patch, IpsNeverStartsARecordAtTheEndMarkersOffset) {
    // Changes right at 0x454F46 (read as "EOF"), next to it and after it, in
    // a file that long; applying must give every change.
    constexpr size_t kEof = 0x454F46;
    std::vector<uint8_t> original(kEof + 0x20000, 0x11);
    for (size_t start : {kEof, kEof - 1, kEof - 3, kEof - 0xFFFF, kEof - 0x10000}) {
        for (size_t length : {size_t{1}, size_t{2}, size_t{40}, size_t{0x20000}}) {
            std::vector<uint8_t> modified = original;
            for (size_t k = start; k < start + length && k < modified.size(); ++k)
                modified[k] = static_cast<uint8_t>(k % 7 < 3 ? 0x22 : k);
            const PatchOutcome patch = MakePatch(PatchFormat::Ips, original, modified);
            ASSERT_TRUE(patch.ok()) << std::hex << start << " " << length << " " << patch.error;
            EXPECT_EQ(ApplyPatch(original, patch.bytes).bytes, modified) << std::hex << start << " " << length;
        }
    }
    EXPECT_FALSE(CreateIps({}, std::vector<uint8_t>(0x1000001)).ok());
}

TEST(Patch, ApplyingRefusesTheWrongOriginalAndDamagedPatches) {
    std::mt19937 rng(7);
    const std::vector<uint8_t> original = RandomBytes(rng, 4096);
    std::vector<uint8_t> modified = original;
    Edit(rng, modified, true);
    const std::vector<uint8_t> bps = CreateBps(original, modified);

    std::vector<uint8_t> other = original;
    other[100] ^= 1;
    EXPECT_NE(ApplyPatch(other, bps).error.find("wrong original"), std::string::npos);
    other.push_back(0);
    EXPECT_NE(ApplyPatch(other, bps).error.find("wrong original"), std::string::npos);
    std::vector<uint8_t> flipped = bps;
    flipped[flipped.size() / 2] ^= 0x40;
    EXPECT_NE(ApplyPatch(original, flipped).error.find("damaged"), std::string::npos);
    EXPECT_NE(ApplyPatch(original, {'X', 'Y', 'Z'}).error.find("neither"), std::string::npos);

    // Cut short or changed at random (a BPS patch's checksum then made to
    // match, so its actions are read): refused or applied, never a crash
    // or a read outside the patch.
    const std::vector<uint8_t> ips = CreateIps(original, modified).bytes;
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> patch = round % 2 ? bps : ips;
        if (round % 3 == 0) {
            patch.resize(rng() % patch.size());
        } else {
            for (int k = 0; k < 1 + round % 4; ++k) patch[rng() % patch.size()] = static_cast<uint8_t>(rng());
        }
        if (round % 2 && patch.size() >= 16) {
            const uint32_t crc = Crc32(patch.data(), patch.size() - 4);
            for (int k = 0; k < 4; ++k) patch[patch.size() - 4 + k] = static_cast<uint8_t>(crc >> (8 * k));
        }
        const PatchOutcome r = ApplyPatch(original, patch);
        EXPECT_TRUE(r.ok() || r.bytes.empty());
    }
}

}  // namespace
}  // namespace mw
