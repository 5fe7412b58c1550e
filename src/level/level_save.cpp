#include "level/level_save.h"

#include <algorithm>

#include "level/level_codec.h"
#include "level/object_caption.h"
#include "level/room.h"
#include "util/hex_text.h"

namespace mw {

namespace {

const char* const kBudgetTitle = "Marlwick - It doesn't have pointer recalculation";
const char* const kObjectBudget = "You're using more bytes of data than there's room for!  Delete some objects!";
const char* const kSpriteBudget =
    "You're using more bytes of data for sprites than there's room for!  Delete some sprites!";

std::string Hex(int64_t n) { return ToHex(static_cast<uint32_t>(n)); }

// The first entry or exit that cannot be written so that it reads back the same.
std::string WhyNotWritable(const DefinitionTables& defs, const LevelState& state) {
    for (size_t i = 0; i < state.objectList.size(); ++i) {
        if (auto why = CheckEntryWritable(defs, state.objectList[i]))
            return "Entry " + Hex(static_cast<int64_t>(i)) + " (" + ObjectCaption(defs, state.objectList[i], true) +
                   ") cannot be saved: " + *why + ".\nNothing was written.";
    }
    for (size_t j = 0; j < state.exitList.size(); ++j) {
        if (auto why = CheckExitWritable(state.exitList[j]))
            return "Screen exit " + Hex(static_cast<int64_t>(j)) + " cannot be saved: " + *why + ".\nNothing was written.";
    }
    return {};
}

// True when writing `bytes` at `start` would change what another entry
// reads from a place inside them (level 19's sprite pointer points at the
// end marker of level 51's list). Entries that share the stream itself, from
// the same start, read the edit as the game does.
bool DisturbsOthers(const LiveMap& map, const std::vector<uint8_t>& image, int entry, int64_t start,
                    const std::vector<uint8_t>& bytes) {
    const int64_t end = start + static_cast<int64_t>(bytes.size());
    for (const LiveRange& r : map.ranges()) {
        if (r.begin >= end) break;
        if (r.end <= start || r.begin == start || (r.entry == entry && r.entry >= 0)) continue;
        for (int64_t p = std::max(r.begin, start); p < std::min(r.end, end); ++p)
            if (image[p] != bytes[p - start]) return true;
    }
    return false;
}

SavePlan Refuse(std::string title, std::string text) {
    SavePlan plan;
    plan.refusalTitle = std::move(title);
    plan.refusal = std::move(text);
    return plan;
}

void Put(std::vector<uint8_t>& image, int64_t at, const std::vector<uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + at);
}

}  // namespace

int64_t ObjectPlaceLength(const LevelState& s) {
    return (s.hasHeader ? 10 : 0) + s.objectBytesAvailable + 1 + (s.ownsExitEndMarker ? 1 : 0);
}
int64_t SpritePlaceLength(const LevelState& s) { return 2 + s.spriteBytesAvailable; }

bool LevelPlaceHolds(const LevelState& s, int64_t offset) {
    return (offset >= s.headerOffset && offset < s.headerOffset + ObjectPlaceLength(s)) ||
           (offset >= s.spriteOffset && offset < s.spriteOffset + SpritePlaceLength(s));
}

std::optional<std::string> OverLoaderLimit(const DefinitionTables& defs, const LevelState& state,
                                           int64_t diskShift) {
    const bool objects = state.objectBytesUsed > kMaxStreamBytes;
    if (!objects && state.spriteBytesUsed <= kMaxStreamBytes) return std::nullopt;
    const std::string level = state.tableIndex >= 0 ? LevelIndexName(defs.destinationLevels, state.tableIndex)
                                                    : "The level at offset " + Hex(state.headerOffset + diskShift);
    return level + " would take " + std::to_string(objects ? state.objectBytesUsed : state.spriteBytesUsed) +
           " bytes of " + (objects ? "objects and screen exits" : "sprites") + ", more than the " +
           std::to_string(kMaxStreamBytes) + " bytes the editor can load back.";
}

SavePlan PlanSave(const std::vector<uint8_t>& image, const DefinitionTables& defs, const LevelState& state,
                  const std::vector<FreeBlock>& blocks, int64_t diskShift) {
    if (auto why = OverLoaderLimit(defs, state, diskShift)) return Refuse("Marlwick", *why + "\nNothing was written.");
    if (std::string why = WhyNotWritable(defs, state); !why.empty()) return Refuse("Marlwick", why);
    const int index = state.tableIndex;
    const int64_t size = static_cast<int64_t>(image.size());
    const int64_t objectLength = ObjectPlaceLength(state), spriteLength = SpritePlaceLength(state);
    auto inFile = [size](int64_t at, int64_t length) { return at >= 0 && length >= 0 && at + length <= size; };
    const LiveMap map(image, defs);
    // A stream fits when it needs no more than its room and, written there,
    // leaves what other entries read as it was.
    auto fits = [&](int used, int available, int64_t start, int64_t length, const std::vector<uint8_t>& bytes) {
        if (used > available) return false;
        if (index < 0 || !inFile(start, length) || static_cast<int64_t>(bytes.size()) != length) return true;
        return !DisturbsOthers(map, image, index, start, bytes);
    };
    const std::vector<uint8_t> objects = BuildObjectRegion(defs, state);
    const std::vector<uint8_t> sprites = BuildSpriteRegion(state);
    const bool objectsFit =
        fits(state.objectBytesUsed, state.objectBytesAvailable, state.headerOffset, objectLength, objects);
    const bool spritesFit =
        fits(state.spriteBytesUsed, state.spriteBytesAvailable, state.spriteOffset, spriteLength, sprites);
    if ((!objectsFit || !spritesFit) && index < 0)
        return Refuse(kBudgetTitle, std::string(objectsFit ? kSpriteBudget : kObjectBudget) +
                                        "\nA level loaded by offsets has no pointer table entry, so it cannot move.");
    if (!objectsFit && std::find(std::begin(kPinnedObjectEntries), std::end(kPinnedObjectEntries), index) !=
                           std::end(kPinnedObjectEntries))
        return Refuse(kBudgetTitle, std::string(kObjectBudget) + "\nThe object data of level " + Hex(index) +
                                        " is read directly by the game's own code, so it cannot move.");

    LevelState saved = state;
    std::vector<StreamMove> moves;
    if (!objectsFit || !spritesFit) {
        // What goes to each stream's place, old or new.
        std::vector<uint8_t> movedObjects = objects, movedSprites = sprites;
        // The old places of the streams that move become padding where no
        // other entry still reads them, and count as free for the move.
        std::vector<uint8_t> freed = image;
        LiveMap rest = map;
        std::vector<MovingStream> moving;
        if (!objectsFit) moving.push_back({false, state.headerOffset, state.headerOffset + objectLength});
        if (!spritesFit) moving.push_back({true, state.spriteOffset, state.spriteOffset + spriteLength});
        std::vector<FreeRun> runs = FreeRunsForMove(freed, blocks, rest, index, moving);
        auto place = [&](bool sprites, int64_t from, int64_t fromEnd, int64_t length) -> bool {
            auto got = Allocate(runs, length, from);
            if (!got) return false;
            TakeFromRuns(runs, got->begin, length);
            moves.push_back({sprites, from, fromEnd, got->begin, length, got->linear, {}});
            for (const LiveRange& r : map.ranges())
                if (r.entry >= 0 && r.entry != index && r.begin < fromEnd && r.end > from &&
                    std::find(moves.back().sharers.begin(), moves.back().sharers.end(), r.entry) ==
                        moves.back().sharers.end())
                    moves.back().sharers.push_back(r.entry);
            std::sort(moves.back().sharers.begin(), moves.back().sharers.end());
            return true;
        };
        auto noRoom = [&](bool sprites, int64_t length) {
            int64_t largest = 0;
            for (const FreeRun& r : runs) largest = std::max(largest, r.size());
            return Refuse(kBudgetTitle, std::string(sprites ? kSpriteBudget : kObjectBudget) +
                                            "\nThere is not enough free space in the ROM to move the level's " +
                                            (sprites ? "sprite" : "object") +
                                            " data: it needs " + std::to_string(length) +
                                            " bytes in one bank, and the largest free block holds " +
                                            std::to_string(largest) + ".\nNothing was written.");
        };
        if (!objectsFit) {
            // A moved stream fills its new place exactly and ends its exits itself.
            saved.objectBytesAvailable = saved.objectBytesUsed;
            saved.ownsExitEndMarker = true;
            movedObjects = BuildObjectRegion(defs, saved);
            const int64_t length = static_cast<int64_t>(movedObjects.size());
            if (!place(false, state.headerOffset, state.headerOffset + objectLength, length))
                return noRoom(false, length);
            saved.headerOffset = static_cast<int32_t>(moves.back().to);
        }
        if (!spritesFit) {
            saved.spriteBytesAvailable = saved.spriteBytesUsed;
            movedSprites = BuildSpriteRegion(saved);
            const int64_t length = static_cast<int64_t>(movedSprites.size());
            if (!place(true, state.spriteOffset, state.spriteOffset + spriteLength, length))
                return noRoom(true, length);
            saved.spriteOffset = static_cast<int32_t>(moves.back().to);
        }
        SavePlan plan;
        plan.image = std::move(freed);
        for (const StreamMove& m : moves) {
            const auto pointer = PointerTo(m.to, m.linear);
            Put(plan.image, kLevelPointerTable + 6 * index + (m.sprites ? 3 : 0), {pointer.begin(), pointer.end()});
        }
        for (const StreamMove& m : moves) {
            plan.fence.ranges.push_back({m.from, m.fromEnd - m.from});
            plan.fence.ranges.push_back({m.to, m.length});
            plan.fence.ranges.push_back({kLevelPointerTable + 6 * index + (m.sprites ? 3 : 0), 3});
        }
        if (objectsFit) plan.fence.ranges.push_back({state.headerOffset, objectLength});
        if (spritesFit) plan.fence.ranges.push_back({state.spriteOffset, spriteLength});
        plan.moves = std::move(moves);
        plan.saved = std::move(saved);
        if (!inFile(plan.saved.headerOffset, static_cast<int64_t>(movedObjects.size())) ||
            !inFile(plan.saved.spriteOffset, static_cast<int64_t>(movedSprites.size())))
            return Refuse("Marlwick", "The level's data lies outside the ROM file.\nNothing was written.");
        Put(plan.image, plan.saved.headerOffset, movedObjects);
        Put(plan.image, plan.saved.spriteOffset, movedSprites);
        return plan;
    }

    // In place: the same two regions as ever, over the same bytes.
    // Offsets typed by hand may put the sprite stream inside the object
    // region (or the other way round); writing both would damage one with
    // the other and still read back as written.
    if (state.headerOffset < state.spriteOffset + spriteLength && state.spriteOffset < state.headerOffset + objectLength)
        return Refuse("Marlwick", "The level's object data (offset " + Hex(state.headerOffset + diskShift) +
                                      ") and its sprite data (offset " + Hex(state.spriteOffset + diskShift) +
                                      ") overlap, so saving one would damage the other.\nNothing was written.");
    if (static_cast<int64_t>(objects.size()) != objectLength || static_cast<int64_t>(sprites.size()) != spriteLength)
        return Refuse("Marlwick", "internal error: the level's bytes do not fill its old room exactly");
    if (!inFile(state.headerOffset, objectLength) || !inFile(state.spriteOffset, spriteLength))
        return Refuse("Marlwick", "The level's data lies outside the ROM file.\nNothing was written.");
    SavePlan plan;
    plan.image = image;
    Put(plan.image, state.headerOffset, objects);
    Put(plan.image, state.spriteOffset, sprites);
    plan.fence.ranges = {{state.headerOffset, objectLength}, {state.spriteOffset, spriteLength}};
    plan.saved = state;
    return plan;
}

}  // namespace mw
