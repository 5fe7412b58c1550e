#include "level/room.h"

#include <algorithm>
#include <cstdio>

#include "level/level_codec.h"

namespace mw {

namespace {


// The end of the bank that holds `offset`, in a pointer form.
int64_t BankEnd(int64_t offset, bool linear) {
    return BankEndOffset(offset, linear ? BankMapping::Linear : BankMapping::LoRom);
}

// Where the stream of a pointer starts and where its bank ends (capped at
// the file's end); nullopt for an invalid bank or a start outside the file.
struct Stream {
    int64_t start;
    int64_t limit;
};
std::optional<Stream> StreamAt(const std::vector<uint8_t>& b, int64_t pointerAt) {
    if (pointerAt + 3 > static_cast<int64_t>(b.size())) return std::nullopt;
    const auto start = PointerToOffsetQuiet(b[pointerAt], b[pointerAt + 1], b[pointerAt + 2]);
    if (!start || *start < 0 || *start >= static_cast<int64_t>(b.size())) return std::nullopt;
    const int64_t limit =
        std::min<int64_t>(BankEndOffset(*start, MappingOfBank(b[pointerAt + 2])), static_cast<int64_t>(b.size()));
    return Stream{*start, limit};
}

// End of the object data that starts at `s`: header, objects, their end
// marker, the exits and the exits' end marker when it is 0xFF. Stops where
// the data can no longer be read (an unknown object type, the bank's end).
int64_t ObjectDataEnd(const std::vector<uint8_t>& b, const DefinitionTables& defs, Stream s, bool hasHeader) {
    int64_t p = s.start + (hasHeader ? 10 : 0);
    for (;;) {
        if (p >= s.limit) return s.limit;
        const uint8_t kind = defs.objectDefs[b[p]].kind;
        if (kind == kKindEndMarker) {
            ++p;
            break;
        }
        const int length = RecordLength(kind);
        if (length == 0) return p;
        p += length;
    }
    for (;;) {
        if (p >= s.limit) return s.limit;
        if (b[p] & 0x80) return b[p] == 0xFF ? p + 1 : p;
        p += kExitRecordBytes;
    }
}

int64_t SpriteListEnd(const std::vector<uint8_t>& b, Stream s) {
    int64_t p = s.start;
    while (p + 2 <= s.limit) {
        if (b[p] == 0xFF && b[p + 1] == 0xFF) return p + 2;
        p += kSpriteRecordBytes;
    }
    return s.limit;
}

}  // namespace

std::array<uint8_t, 3> LoRomPointer(int32_t fileOffset) {
    const int32_t rom = fileOffset - static_cast<int32_t>(kCopierHeaderSize);
    const int bank = rom / 0x8000;
    const int address = 0x8000 | (rom % 0x8000);
    return {static_cast<uint8_t>(address & 0xFF), static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(bank)};
}

std::array<uint8_t, 3> LinearPointer(int32_t fileOffset) {
    const int32_t rom = fileOffset - static_cast<int32_t>(kCopierHeaderSize);
    const int bank = 0x40 + rom / 0x10000;
    const int address = rom % 0x10000;
    return {static_cast<uint8_t>(address & 0xFF), static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(bank)};
}

std::array<uint8_t, 3> PointerTo(int64_t fileOffset, bool linear) {
    const auto at = static_cast<int32_t>(fileOffset);
    return linear ? LinearPointer(at) : LoRomPointer(at);
}

std::string SnesAddressText(int64_t fileOffset, bool linear) {
    const auto p = PointerTo(fileOffset, linear);
    char text[16];
    std::snprintf(text, sizeof text, "$%02X:%02X%02X", p[2], p[1], p[0]);
    return text;
}

LiveMap::LiveMap(const std::vector<uint8_t>& b, const DefinitionTables& defs) {
    byEntry_.assign(2 * kLevelCount, LiveRange{});
    for (int n = 0; n < kLevelCount; ++n) {
        const int64_t entry = kLevelPointerTable + 6 * n;
        if (auto s = StreamAt(b, entry))
            byEntry_[2 * n] = {s->start, ObjectDataEnd(b, defs, *s, !defs.isHeaderless(n)), n, false};
        if (auto s = StreamAt(b, entry + 3)) byEntry_[2 * n + 1] = {s->start, SpriteListEnd(b, *s), n, true};
    }
    for (const LiveRange& r : byEntry_)
        if (r.end > r.begin) ranges_.push_back(r);
    const int64_t size = static_cast<int64_t>(b.size());
    auto pin = [&](int64_t begin, int64_t end) {
        end = std::min(end, size);
        if (end > begin) ranges_.push_back({begin, end, -1, false});
    };
    pin(kLevelPointerTable, kLevelPointerTable + 6 * kLevelCount);
    pin(kInternalHeaderStart, kInternalHeaderEnd);
    for (int n : kPinnedObjectEntries) pin(byEntry_[2 * n].begin, byEntry_[2 * n].end);
    std::sort(ranges_.begin(), ranges_.end(),
              [](const LiveRange& x, const LiveRange& y) { return x.begin < y.begin || (x.begin == y.begin && x.end < y.end); });
}

LiveRange LiveMap::objectsOf(int entry) const {
    return entry >= 0 && entry < kLevelCount && !byEntry_.empty() ? byEntry_[2 * entry] : LiveRange{};
}

LiveRange LiveMap::spritesOf(int entry) const {
    return entry >= 0 && entry < kLevelCount && !byEntry_.empty() ? byEntry_[2 * entry + 1] : LiveRange{};
}

bool LiveMap::meetsOthers(int64_t begin, int64_t end, int entry) const {
    for (const LiveRange& r : ranges_) {
        if (r.begin >= end) break;
        if (r.end > begin && (r.entry < 0 || r.entry != entry)) return true;
    }
    return false;
}

void LiveMap::forget(int entry, bool sprites) {
    std::erase_if(ranges_, [&](const LiveRange& r) { return r.entry == entry && entry >= 0 && r.sprites == sprites; });
}

bool LiveMap::coveredByOthers(int64_t offset, int entry) const { return meetsOthers(offset, offset + 1, entry); }

std::vector<FreeRun> FindFreeRuns(const std::vector<uint8_t>& b, const std::vector<FreeBlock>& blocks,
                                  const LiveMap& map) {
    // Every byte that some live range covers, as sorted disjoint ranges.
    std::vector<std::pair<int64_t, int64_t>> live;
    for (const LiveRange& r : map.ranges()) {
        if (!live.empty() && r.begin <= live.back().second)
            live.back().second = std::max(live.back().second, r.end);
        else
            live.emplace_back(r.begin, r.end);
    }
    std::vector<FreeRun> runs;
    const int64_t size = static_cast<int64_t>(b.size());
    for (const FreeBlock& block : blocks) {
        const int64_t end = std::min<int64_t>(block.end, size);
        auto next = std::lower_bound(live.begin(), live.end(), std::make_pair(int64_t{block.start}, int64_t{0}));
        if (next != live.begin() && std::prev(next)->second > block.start) --next;
        int64_t p = std::max<int64_t>(block.start, kCopierHeaderSize);
        while (p < end) {
            while (next != live.end() && next->second <= p) ++next;
            if (next != live.end() && next->first <= p) {
                p = next->second;
                continue;
            }
            if (b[p] != 0xFF) {
                ++p;
                continue;
            }
            const int64_t stop = std::min({end, next != live.end() ? next->first : end, BankEnd(p, block.linear)});
            int64_t q = p;
            while (q < stop && b[q] == 0xFF) ++q;
            runs.push_back({p, q, block.linear});
            p = q;
        }
    }
    return runs;
}

std::vector<FreeRun> FreeRunsForMove(std::vector<uint8_t>& image, const std::vector<FreeBlock>& blocks, LiveMap& map,
                                     int entry, const std::vector<MovingStream>& moving) {
    const int64_t size = static_cast<int64_t>(image.size());
    for (const MovingStream& m : moving) {
        for (int64_t p = std::max<int64_t>(m.from, 0); p < std::min(m.to, size); ++p)
            if (!map.coveredByOthers(p, entry)) image[static_cast<size_t>(p)] = 0xFF;
    }
    for (const MovingStream& m : moving) map.forget(entry, m.sprites);
    return FindFreeRuns(image, blocks, map);
}

int64_t TotalFree(const std::vector<FreeRun>& runs) {
    int64_t total = 0;
    for (const FreeRun& r : runs) total += r.size();
    return total;
}

std::optional<FreeRun> Allocate(const std::vector<FreeRun>& runs, int64_t length, int64_t near) {
    std::vector<const FreeRun*> order;
    for (const FreeRun& r : runs)
        if (r.size() >= length) order.push_back(&r);
    auto sameBank = [near](const FreeRun* r) { return BankEnd(r->begin, r->linear) == BankEnd(near, r->linear); };
    std::stable_sort(order.begin(), order.end(), [&](const FreeRun* x, const FreeRun* y) {
        if (sameBank(x) != sameBank(y)) return sameBank(x);
        return x->size() > y->size();
    });
    if (order.empty()) return std::nullopt;
    return FreeRun{order.front()->begin, order.front()->begin + length, order.front()->linear};
}

void TakeFromRuns(std::vector<FreeRun>& runs, int64_t at, int64_t length) {
    std::vector<FreeRun> out;
    for (const FreeRun& r : runs) {
        if (at >= r.end || at + length <= r.begin) {
            out.push_back(r);
            continue;
        }
        if (r.begin < at) out.push_back({r.begin, at, r.linear});
        if (at + length < r.end) out.push_back({at + length, r.end, r.linear});
    }
    runs = std::move(out);
}

}  // namespace mw
