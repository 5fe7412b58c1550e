#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "editing/rom_writes.h"
#include "level/demo_loader.h"
#include "level/demo_rom.h"
#include "level/level_codec.h"
#include "level/level_save.h"
#include "level/rom_checksum.h"
#include "level/room.h"
#include "support/rom_builder.h"
#include "util/hex_text.h"

namespace mw {
namespace {

struct OpenDemo {
    test::RomImage image{0};
    RomFile rom;
    OpenDemo() {
        image.bytes = test::ShippedDemoRom();
        std::string err;
        if (!rom.open(image.writeTemp("packed.smc"), err)) throw std::runtime_error(err);
    }
    LevelState load(int n) {
        RecordingPrompter p;
        LevelState s;
        EXPECT_EQ(test::TakeLoad(LoadLevelIndex(rom, test::ShippedDefinitions(), n), p, s), LoadResult::Loaded) << std::hex << n;
        return s;
    }
};

std::vector<LevelObject> Only(const LevelState& s, bool sprites) {
    std::vector<LevelObject> out;
    for (const auto& o : s.objectList)
        if (o.isSprite == sprites) out.push_back(o);
    return out;
}

void AddObjects(LevelState& s, int count, std::mt19937& rng) {
    for (int k = 0; k < count; ++k) {
        s.objectList.push_back(MakeObject(0x01, static_cast<int>(rng() % 256), static_cast<int>(rng() % 128), 4, 2));
        s.objectBytesUsed += 5;
    }
}

void AddSprites(LevelState& s, int count, std::mt19937& rng) {
    for (int k = 0; k < count; ++k) {
        s.objectList.push_back(MakeSprite(0x01E, static_cast<int>(rng() % 256), static_cast<int>(rng() % 120)));
        s.spriteBytesUsed += 3;
    }
}

// Grows, shrinks and grows levels of the packed demo image at random and
// saves each time, moving whatever outgrows its place.
TEST(MovingSave, RandomEditsKeepEveryEntryReadableAndTouchOnlyTheirOwnBytes) {
    const auto& defs = test::ShippedDefinitions();
    OpenDemo demo;
    std::mt19937 rng(20261207);
    int moves = 0, filled = 0;
    for (int step = 0; step < 80; ++step) {
        int n = static_cast<int>(rng() % kLevelCount);
        if (n == 0xDA || n == 0xDB) n = 0x38;
        const LevelState loaded = demo.load(n);
        LevelState s = loaded;
        switch (rng() % 4) {
            case 0: AddObjects(s, 1 + static_cast<int>(rng() % 60), rng); break;
            case 1: AddSprites(s, 1 + static_cast<int>(rng() % 40), rng); break;
            case 2: AddObjects(s, 1 + static_cast<int>(rng() % 8), rng); AddSprites(s, 2, rng); break;
            default:
                while (!s.objectList.empty() && rng() % 3) {
                    const LevelObject o = s.objectList.back();
                    s.objectList.pop_back();
                    (o.isSprite ? s.spriteBytesUsed : s.objectBytesUsed) -= RecordByteCount(defs, o);
                }
        }
        const std::vector<uint8_t> before = demo.rom.bytes();
        const LiveMap mapBefore(before, defs);
        RecordingPrompter p;
        LevelState saved = s;
        ASSERT_TRUE(SaveLevel(demo.rom, defs, saved, p, test::ShippedFreeBlocks()))
            << step << ": " << (p.messages.empty() ? "" : p.messages.back().text);
        const bool moved = !p.questions.empty();
        moves += moved;

        // Where bytes may change: the old places, the new places, the
        // pointer entry and the checksum.
        std::vector<std::pair<int64_t, int64_t>> allowed = {
            {loaded.headerOffset, loaded.headerOffset + static_cast<int64_t>(BuildObjectRegion(defs, loaded).size())},
            {loaded.spriteOffset, loaded.spriteOffset + static_cast<int64_t>(BuildSpriteRegion(loaded).size())},
            {saved.headerOffset, saved.headerOffset + static_cast<int64_t>(BuildObjectRegion(defs, saved).size())},
            {saved.spriteOffset, saved.spriteOffset + static_cast<int64_t>(BuildSpriteRegion(saved).size())},
            {kLevelPointerTable + 6 * n, kLevelPointerTable + 6 * n + 6},
            {kChecksumComplementOffset, kChecksumOffset + 2}};
        const auto& after = demo.rom.bytes();
        for (size_t k = 0; k < after.size(); ++k) {
            if (after[k] == before[k]) continue;
            const bool inside = std::any_of(allowed.begin(), allowed.end(), [&](auto r) {
                return static_cast<int64_t>(k) >= r.first && static_cast<int64_t>(k) < r.second;
            });
            ASSERT_TRUE(inside) << "step " << step << " changed offset " << std::hex << k;
            if (moved && after[k] == 0xFF) ++filled;
        }

        // The level reads back as saved, and every entry still decodes.
        const LevelState back = demo.load(n);
        EXPECT_EQ(Only(back, false), Only(s, false)) << step;
        EXPECT_EQ(Only(back, true), Only(s, true)) << step;
        EXPECT_EQ(back.exitList, s.exitList);
        EXPECT_EQ(back.headerOffset, saved.headerOffset);
        EXPECT_EQ(back.spriteOffset, saved.spriteOffset);
        EXPECT_EQ(back.objectBytesAvailable, saved.objectBytesAvailable);
        EXPECT_EQ(back.spriteBytesAvailable, saved.spriteBytesAvailable) << step << " entry " << n << " moved " << moved << " at " << saved.spriteOffset << " loaded " << loaded.spriteOffset;
        for (int m = 0; m < kLevelCount; ++m) demo.load(m);

        // A moved stream lies inside one bank and meets nobody else's bytes.
        const LiveMap map(after, defs);
        for (const LiveRange& r : {map.objectsOf(n), map.spritesOf(n)}) {
            const bool linear = after[kLevelPointerTable + 6 * n + (r.sprites ? 5 : 2)] >= 0x40;
            const int64_t bank = linear ? 0x10000 : 0x8000;
            EXPECT_EQ((r.begin - 0x200) / bank, (r.end - 1 - 0x200) / bank) << step;
            if (r.begin != (r.sprites ? loaded.spriteOffset : loaded.headerOffset)) {
                EXPECT_FALSE(map.meetsOthers(r.begin, r.end, n)) << step;
            }
        }
    }
    EXPECT_GE(moves, 10);
    EXPECT_GT(filled, 0);  // some old place was no longer shared and became padding
}

TEST(MovingSave, RefusalsWriteNothingAndSharedDataStays) {
    const auto& defs = test::ShippedDefinitions();
    OpenDemo demo;
    std::mt19937 rng(5);
    const std::vector<uint8_t> original = demo.rom.bytes();
    auto refused = [&](int n, const std::vector<FreeBlock>& blocks, const char* why, int grow = 50) {
        LevelState s = demo.load(n);
        AddObjects(s, grow, rng);
        RecordingPrompter p;
        EXPECT_FALSE(SaveLevel(demo.rom, defs, s, p, blocks));
        ASSERT_EQ(p.messages.size(), 1u);
        EXPECT_NE(p.messages[0].text.find(why), std::string::npos) << p.messages[0].text;
        EXPECT_TRUE(p.questions.empty());
        EXPECT_EQ(demo.rom.bytes(), original);
        if (std::string(why) != "read directly by the game's own code") {
            EXPECT_TRUE(p.messages[0].text.ends_with("Nothing was written.")) << p.messages[0].text;
        }
    };
    // The game's code reads the object data of DA/DB directly.
    refused(0xDA, test::ShippedFreeBlocks(), "read directly by the game's own code");
    refused(0xDB, test::ShippedFreeBlocks(), "read directly by the game's own code");
    // No free block large enough: the one at the end of the level's bank is too small.
    refused(0x00, {{0x881A3, 0x88200, false}}, "not enough free space");
    refused(0x00, {}, "not enough free space");
    // More than the loader reads back, with all the room in the world.
    refused(0x00, test::ShippedFreeBlocks(), "bytes of objects and screen exits, more than the 32767 bytes", 6600);

    // Saying no to the question writes nothing either.
    LevelState s = demo.load(0xBF);
    AddObjects(s, 50, rng);
    RecordingPrompter no;
    no.answer = false;
    EXPECT_FALSE(SaveLevel(demo.rom, defs, s, no, test::ShippedFreeBlocks()));
    EXPECT_EQ(demo.rom.bytes(), original);

    // BF and D0 share their object data: moving it for BF leaves D0 as it was.
    const LevelState d0 = demo.load(0xD0);
    RecordingPrompter yes;
    ASSERT_TRUE(SaveLevel(demo.rom, defs, s, yes, test::ShippedFreeBlocks()));
    ASSERT_EQ(yes.questions.size(), 1u);
    const std::string& question = yes.questions[0].text;
    EXPECT_NE(question.find("file offset " + ToHex(static_cast<uint32_t>(demo.load(0xBF).headerOffset))), std::string::npos);
    // The question says that D0 keeps the old place and no longer shares it.
    const size_t keep = question.find("keep reading the old place of its object data");
    ASSERT_NE(keep, std::string::npos) << question;
    EXPECT_NE(question.rfind(" D0", keep), std::string::npos) << question;
    EXPECT_NE(question.find("no longer share"), std::string::npos);
    EXPECT_EQ(question.find("filled with FF"), std::string::npos);
    EXPECT_NE(demo.load(0xBF).headerOffset, d0.headerOffset);
    EXPECT_EQ(demo.load(0xD0), d0);

    // 19's sprite pointer is 51's end marker: 51's sprites move, 19 still reads no sprites.
    LevelState l51 = demo.load(0x51);
    AddSprites(l51, 20, rng);
    ASSERT_TRUE(SaveLevel(demo.rom, defs, l51, yes, test::ShippedFreeBlocks()));
    EXPECT_TRUE(Only(demo.load(0x19), true).empty());
}

// Levels grow and move again and again until the ROM is full. The old
// places of moved levels are free space again, and a moving level counts
// its own place: the free space and the bytes of the levels' places that
// nobody else reads always add up to what they were at the start.
TEST(MovingSave, OldPlacesAreFreeAgainAndNoFreeSpaceIsLost) {
    const auto& defs = test::ShippedDefinitions();
    const auto& blocks = test::ShippedRoomForLevels();
    OpenDemo demo;
    std::mt19937 rng(18);
    const int levels[] = {0x00, 0x01, 0x03, 0x04, 0x38};
    auto total = [&] {
        const auto& b = demo.rom.bytes();
        const LiveMap map(b, defs);
        int64_t held = 0;
        for (const int n : levels) {
            const LevelState s = demo.load(n);
            for (int64_t p = s.headerOffset; p < s.headerOffset + ObjectPlaceLength(s); ++p) held += !map.coveredByOthers(p, n);
            for (int64_t p = s.spriteOffset; p < s.spriteOffset + SpritePlaceLength(s); ++p) held += !map.coveredByOthers(p, n);
        }
        return TotalFree(FindFreeRuns(b, blocks, map)) + held;
    };
    // A level in free space may grow over its own place when nothing else has room.
    LevelState first = demo.load(0x00);
    AddObjects(first, 30, rng);
    RecordingPrompter p0;
    ASSERT_TRUE(SaveLevel(demo.rom, defs, first, p0, blocks));
    LevelState grown = demo.load(0x00);
    const int64_t at = grown.headerOffset, length = ObjectPlaceLength(grown);
    const bool linear = demo.rom.bytes()[kLevelPointerTable + 2] >= 0x40;
    AddObjects(grown, 2, rng);
    const std::vector<FreeBlock> ownPlaceOnly{{static_cast<int32_t>(at), static_cast<int32_t>(at + length + 10), linear}};
    ASSERT_TRUE(SaveLevel(demo.rom, defs, grown, p0, ownPlaceOnly)) << p0.messages.back().text;
    EXPECT_EQ(demo.load(0x00).headerOffset, at);
    EXPECT_EQ(Only(demo.load(0x00), false), Only(grown, false));

    const int64_t start = total();
    int moves = 0, full = 0;
    for (int step = 0; step < 400 && full < 5; ++step) {
        const int n = levels[rng() % std::size(levels)];
        LevelState s = demo.load(n);
        if (rng() % 2) AddObjects(s, 20 + static_cast<int>(rng() % 400), rng);
        else AddSprites(s, 20 + static_cast<int>(rng() % 300), rng);
        RecordingPrompter p;
        if (!SaveLevel(demo.rom, defs, s, p, blocks)) {
            ASSERT_EQ(p.messages.size(), 1u);
            const std::string& why = p.messages[0].text;
            ASSERT_TRUE(why.find("not enough free space") != std::string::npos ||
                        why.find("bytes the editor can load back") != std::string::npos) << why;
            full += why.find("not enough free space") != std::string::npos;
            continue;
        }
        moves += !p.questions.empty();
        ASSERT_EQ(total(), start) << "step " << step;
    }
    EXPECT_GE(moves, 20);
    EXPECT_GT(full, 0);  // the ROM was filled
    for (int m = 0; m < kLevelCount; ++m) demo.load(m);
}

// A headerless file: the offsets the messages show are offsets in the file
// as it is on disk, 0x200 below those with a copier header.
TEST(MovingSave, AHeaderlessFileShowsItsOwnOffsets) {
    const auto& defs = test::ShippedDefinitions();
    test::RomImage dump(0);
    const std::vector<uint8_t> demo = test::ShippedDemoRom();
    dump.bytes.assign(demo.begin() + 0x200, demo.end());
    RomFile rom;
    std::string err;
    ASSERT_TRUE(rom.open(dump.writeTemp("demo.sfc"), err)) << err;
    ASSERT_TRUE(rom.isHeaderless());
    auto load = [&](LevelLoad l) {
        RecordingPrompter p;
        LevelState s;
        test::TakeLoad(std::move(l), p, s);
        return std::make_pair(s, p.messages.empty() ? std::string() : p.messages[0].text);
    };
    std::mt19937 rng(3);
    const LevelState level = load(LoadLevelIndex(rom, defs, 0x38)).first;

    LevelState overlapping = level;
    overlapping.tableIndex = -1;
    overlapping.spriteOffset = overlapping.headerOffset + 2;
    RecordingPrompter refused;
    EXPECT_FALSE(SaveLevel(rom, defs, overlapping, refused, test::ShippedRoomForLevels()));
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_NE(refused.messages[0].text.find("(offset " + ToHex(static_cast<uint32_t>(level.headerOffset - 0x200)) + ")"),
              std::string::npos) << refused.messages[0].text;

    LevelState grown = level;
    AddObjects(grown, 40, rng);
    RecordingPrompter yes;
    ASSERT_TRUE(SaveLevel(rom, defs, grown, yes, test::ShippedRoomForLevels()));
    ASSERT_EQ(yes.questions.size(), 1u);
    EXPECT_NE(yes.questions[0].text.find("(file offset " + ToHex(static_cast<uint32_t>(grown.headerOffset - 0x200)) + ")"),
              std::string::npos) << yes.questions[0].text;

    const std::string pastBank = load(LoadLevelOffset(rom, defs, 0x881F8, 0x88100)).second;
    EXPECT_NE(pastBank.find("past the end of its bank (at offset 88000)"), std::string::npos) << pastBank;
}

TEST(FreeSpace, RunsStopAtBankEndsAndLiveDataAndAllocationPrefersTheSameBank) {
    // A LoROM bank ends at file 0x8200 + k * 0x8000, a linear one at 0x200 + k * 0x10000.
    std::vector<uint8_t> image(0x40200, 0xFF);
    image[0x9000] = 0x00;  // not padding
    const LiveMap none;
    const auto runs = FindFreeRuns(image, {{0x8100, 0x8300, false}, {0x8F00, 0x9100, false}, {0x101F0, 0x10210, true}}, none);
    EXPECT_EQ(runs, (std::vector<FreeRun>{{0x8100, 0x8200, false},
                                           {0x8200, 0x8300, false},
                                           {0x8F00, 0x9000, false},
                                           {0x9001, 0x9100, false},
                                           {0x101F0, 0x10200, true},
                                           {0x10200, 0x10210, true}}));
    EXPECT_EQ(TotalFree(runs), 0x100 + 0x100 + 0x1FF + 0x20);
    // Same bank first even when smaller, then the largest; never across a bank end.
    EXPECT_EQ(Allocate(runs, 0x10, 0x9050)->begin, 0x8200);
    EXPECT_EQ(Allocate(runs, 0x10, 0x10300)->begin, 0x10200);
    EXPECT_EQ(Allocate(runs, 0x10, 0x30000)->begin, 0x8100);
    EXPECT_FALSE(Allocate(runs, 0x101, 0x8100));
    std::vector<FreeRun> left = runs;
    TakeFromRuns(left, 0x9010, 0x10);
    EXPECT_EQ(TotalFree(left), TotalFree(runs) - 0x10);

    // Live data inside a block is not free; nor is 0xFF that a level reads.
    const auto& defs = test::ShippedDefinitions();
    const std::vector<uint8_t> demo = test::ShippedDemoRom();
    const LiveMap map(demo, defs);
    const auto demoRuns = FindFreeRuns(demo, test::ShippedFreeBlocks(), map);
    for (const FreeRun& r : demoRuns) EXPECT_FALSE(map.meetsOthers(r.begin, r.end));
    EXPECT_EQ(TotalFree(demoRuns), 85364);
}

TEST(DemoRom, IsPackedLikeTheGamesOwnLayout) {
    const auto& defs = test::ShippedDefinitions();
    const std::vector<uint8_t> b = test::ShippedDemoRom();
    EXPECT_TRUE(ChecksumIsRight(b));
    const LiveMap map(b, defs);
    // 0xFF padding only inside the usable blocks of the level banks (the
    // demo's loader is code, not padding).
    const auto& blocks = test::ShippedFreeBlocks();
    const auto loader = BuildDemoLoader(defs);
    for (int64_t k = 0x80200; k < 0xD8200; ++k) {
        const bool inBlock = std::any_of(blocks.begin(), blocks.end(), [&](const FreeBlock& f) { return k >= f.start && k < f.end; });
        const bool code = std::any_of(loader.begin(), loader.end(), [&](const DemoLoaderPiece& p) {
            return k >= p.fileOffset && k < p.fileOffset + int64_t(p.bytes.size());
        });
        if (inBlock || code || map.coveredByOthers(k)) continue;
        ASSERT_NE(b[k], 0xFF) << std::hex << k;
    }
    // Levels follow one another: few zero bytes between them.
    std::vector<LiveRange> levels;
    for (const LiveRange& r : map.ranges())
        if (r.entry >= 0 && (levels.empty() || r.begin >= levels.back().end)) levels.push_back(r);
    int gaps = 0;
    for (size_t k = 1; k < levels.size(); ++k) gaps += b[levels[k - 1].end] == 0x00;
    EXPECT_GE(gaps, 1);
    EXPECT_LE(gaps, 4);
    // Every level lies inside the game's level areas, as the game's own do.
    const auto& room = test::ShippedRoomForLevels();
    const std::vector<FreeBlock> areas(room.begin() + static_cast<std::ptrdiff_t>(blocks.size()), room.end());
    ASSERT_EQ(areas.size(), 9u);
    for (const LiveRange& r : map.ranges()) {
        if (r.entry < 0) continue;
        EXPECT_TRUE(std::any_of(areas.begin(), areas.end(), [&](const FreeBlock& a) { return r.begin >= a.start && r.end <= a.end; }))
            << std::hex << r.entry;
    }
    // The shared entries.
    EXPECT_EQ(map.objectsOf(0xBF), (LiveRange{map.objectsOf(0xD0).begin, map.objectsOf(0xD0).end, 0xBF, false}));
    EXPECT_NE(map.spritesOf(0xBF).begin, map.spritesOf(0xD0).begin);
    EXPECT_EQ(map.spritesOf(0x19).begin, map.spritesOf(0x51).end - 2);
    EXPECT_EQ(map.objectsOf(0xDA).begin, map.objectsOf(0xDB).begin);
    EXPECT_EQ(map.spritesOf(0xDA).begin, map.spritesOf(0xDB).begin);
}

}  // namespace
}  // namespace mw
