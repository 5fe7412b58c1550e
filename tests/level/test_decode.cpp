#include <gtest/gtest.h>

#include "editing/rom_writes.h"
#include "level/demo_rom.h"
#include "level/level_codec.h"
#include "level/level_save.h"
#include "level/room.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

using test::Cat;
using test::ExitRec;
using test::Obj4;
using test::Obj5;
using test::ObjExt;
using test::SpriteRec;

const std::vector<uint8_t> kHeader = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA};
constexpr int32_t kH = 0x90000;
constexpr int32_t kS = 0x98000;

// Opens the image and loads one of its levels over `previous` (which a
// refusal must leave as it was).
struct Loaded {
    RomFile file;
    RecordingPrompter prompter;
    LevelState state;
    LoadResult result = LoadResult::Refused;

    explicit Loaded(const test::RomImage& rom, int index = 0, const DefinitionTables& defs = test::SmallDefinitions(),
                    LevelState previous = {})
        : state(std::move(previous)) {
        std::string err;
        EXPECT_TRUE(file.open(rom.writeTemp(), err)) << err;
        result = test::TakeLoad(LoadLevelIndex(file, defs, index), prompter, state);
    }
};

// Loads a level whose object region and sprite region are given.
Loaded LoadFrom(test::RomImage rom, const std::vector<uint8_t>& objects, const std::vector<uint8_t>& sprites,
                const DefinitionTables& defs = test::SmallDefinitions()) {
    rom.put(kH, Cat({kHeader, objects}));
    rom.put(kS, sprites);
    rom.setLevel(0, kH, kS);
    return Loaded(rom, 0, defs);
}

TEST(DecodeObjects, EmptyStreamsAndFreeSpace) {
    auto l = LoadFrom(test::RomImage(), {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x0A}, {0xFF, 0xFF, 0x00, 0x00, 0x07});
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(l.state.objectLast(), -1);
    EXPECT_EQ(l.state.exitLast(), -1);
    EXPECT_EQ(l.state.objectBytesUsed, 0);
    EXPECT_EQ(l.state.objectBytesAvailable, 3);
    EXPECT_EQ(l.state.spriteBytesUsed, 0);
    EXPECT_EQ(l.state.spriteBytesAvailable, 2);
    EXPECT_TRUE(l.state.ownsExitEndMarker);
    EXPECT_TRUE(l.prompter.messages.empty());
}

TEST(DecodeObjects, SizeCodesPositionsAndKinds) {
    auto l = LoadFrom(test::RomImage(),
                      Cat({Obj4(0x02, 0, 0, 0x00), Obj4(0x02, 0, 0, 0xF3), Obj4(0x03, 0, 0, 0x7F), Obj4(0x03, 0, 0, 0x80),
                           Obj4(0x03, 0, 0, 0xFF), Obj4(0x04, 0, 0, 0x81), Obj5(0x01, 0, 0, 0x00, 0xFE),
                           {0x01, 0x2B, 0x5C, 0x7F, 0x80}, ObjExt(0x12, 0x34, 0x10), ObjExt(3, 4, 0x11), {0xFF, 0xFF}}),
                      {0xFF, 0xFF});
    ASSERT_EQ(l.result, LoadResult::Loaded);
    const auto& o = l.state.objectList;
    ASSERT_EQ(o.size(), 10u);
    auto size = [&](int i) { return std::pair<int, int>(o[i].width, o[i].height); };
    EXPECT_EQ(size(0), std::make_pair(1, 1));      // nibbles 0,0
    EXPECT_EQ(size(1), std::make_pair(16, 4));     // nibbles F,3
    EXPECT_EQ(size(2), std::make_pair(128, 1));    // whole byte is the width
    EXPECT_EQ(size(3), std::make_pair(-129, 1));
    EXPECT_EQ(size(4), std::make_pair(-2, 1));
    EXPECT_EQ(size(5), std::make_pair(1, -128));   // whole byte is the height
    EXPECT_EQ(size(6), std::make_pair(1, -3));
    EXPECT_EQ(size(7), std::make_pair(128, -129));
    EXPECT_EQ(o[7].x, 0xBC);
    EXPECT_EQ(o[7].y, 0x25);
    // Extended objects take their size from their extended row, not row 00.
    EXPECT_EQ(o[8].extId, 0x10);
    EXPECT_EQ(size(8), std::make_pair(3, 2));
    EXPECT_EQ(o[8].x, 0x12);
    EXPECT_EQ(o[8].y, 0x34);
    EXPECT_EQ(size(9), std::make_pair(0, 0));
    EXPECT_EQ(l.state.objectBytesUsed, 8 * 4 + 2 * 5);  // eight four-byte and two five-byte records
}

TEST(DecodeExits, RecordsMarkersAndCounters) {
    // Only the end marker, then two exits.
    auto l = LoadFrom(test::RomImage(),
                      Cat({{0xFF}, {0x3A, 0x0C, 0x10, 0x20, 0x02}, ExitRec(1, 2, 3, 4, 5, 6), {0xFF, 0x00, 0x00}}),
                      {0xFF, 0xFF});
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(l.state.objectLast(), -1);
    ASSERT_EQ(l.state.exitLast(), 1);
    EXPECT_EQ(l.state.exitList[0], (ScreenExit{0x0A, 3, 0x0C, 0x10, 0x20, 2}));
    EXPECT_EQ(l.state.exitList[1], (ScreenExit{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(l.state.objectBytesUsed, 10);
    EXPECT_EQ(l.state.objectBytesAvailable, 12);
}

TEST(DecodeExits, AByteWithBitSevenThatIsNotFFBelongsToTheNextData) {
    // Level 0 ends its objects, and level 1's header follows at once with a
    // first byte of 0x90: level 0 has no exits and owns no free space.
    test::RomImage rom;
    rom.put(kH + 11, {0x90, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00});
    auto l = LoadFrom(rom, {0xFF}, {0xFF, 0xFF});
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_FALSE(l.state.ownsExitEndMarker);
    EXPECT_EQ(l.state.exitLast(), -1);
    EXPECT_EQ(l.state.objectBytesAvailable, 0);

    // A save writes nothing past the objects' end marker while there is no room...
    const auto defs = test::SmallDefinitions();
    EXPECT_EQ(BuildObjectRegion(defs, l.state), Cat({kHeader, {0xFF}}));
    // ...and an exit end marker first once room has been freed.
    LevelState grown = l.state;
    grown.objectBytesAvailable = 4;
    EXPECT_EQ(BuildObjectRegion(defs, grown), Cat({kHeader, {0xFF, 0xFF, 0x00, 0x00, 0x00}}));
}

TEST(DecodeSprites, BitLayoutAndEndMarker) {
    auto l = LoadFrom(test::RomImage(), Cat({Obj5(1, 0, 0, 0, 0), Obj5(1, 0, 0, 0, 0), Obj5(1, 0, 0, 0, 0), {0xFF, 0xFF}}),
                      {0x34, 0x81, 0xA0, 0xFF, 0x00, 0x10, 0xFF, 0xFE, 0x05, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01});
    ASSERT_EQ(l.result, LoadResult::Loaded);
    const auto& o = l.state.objectList;
    ASSERT_EQ(o.size(), 6u);
    EXPECT_FALSE(o[2].isSprite);
    EXPECT_TRUE(o[3].isSprite);  // sprites follow the objects
    EXPECT_EQ(o[3].spriteId(), 0x134);
    EXPECT_EQ(o[3].x, 0xA0);
    EXPECT_EQ(o[3].y, 0x40);
    EXPECT_EQ(o[4].spriteId(), 0x0FF);
    EXPECT_EQ(o[4].y, 0);
    EXPECT_EQ(o[4].x, 0x10);
    // FF FE is sprite 0FF on row 7F, not the end marker.
    EXPECT_EQ(o[5].spriteId(), 0x0FF);
    EXPECT_EQ(o[5].y, 0x7F);
    EXPECT_EQ(l.state.spriteBytesUsed, 9);
    EXPECT_EQ(l.state.spriteBytesAvailable, 12);
}

TEST(FreeSpace, StopsAtTheNextLevelAndAtTheEndOfTheFile) {
    // Zeros after the exits run into level 1's header, which starts with zeros.
    test::RomImage rom;
    rom.put(kH + 12, std::vector<uint8_t>(6, 0x00));
    rom.put(kH + 18, Cat({std::vector<uint8_t>(10, 0x00), {0xFF, 0xFF}}));
    rom.setLevel(1, kH + 18, kS);
    auto l = LoadFrom(rom, {0xFF, 0xFF}, {0xFF, 0xFF});
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_EQ(l.state.objectBytesAvailable, 6);

    // Sprite free space that runs to the end of the file stops there.
    test::RomImage small(0xBFFF7);
    small.put(0xBFFF0, {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00});
    small.put(kH - 0x10000, Cat({kHeader, {0xFF, 0xFF}}));
    small.setLevel(0, kH - 0x10000, 0xBFFF0);
    const Loaded cut(small);
    ASSERT_EQ(cut.result, LoadResult::Loaded);
    EXPECT_EQ(cut.state.spriteBytesAvailable, 5);
}

TEST(DecodeRefusals, DataPastTheEndKeepsThePreviousLevel) {
    const auto defs = test::SmallDefinitions();
    LevelState previous;
    previous.objectList.push_back(LevelObject{});
    previous.headerOffset = 1234;

    auto expectRefused = [&](test::RomImage rom, int32_t h, int32_t s) {
        rom.setLevel(0, h, s);
        const Loaded l(rom, 0, defs, previous);
        EXPECT_EQ(l.result, LoadResult::Refused);
        EXPECT_EQ(l.state, previous);
        ASSERT_FALSE(l.prompter.messages.empty());
        EXPECT_EQ(l.prompter.messages.back().title, "Marlwick - This is bad");
        EXPECT_NE(l.prompter.messages.back().text.find("runs past the end of the ROM file"), std::string::npos);
    };
    const int32_t end = 0xC8000;
    test::RomImage headerCut;
    expectRefused(headerCut, end - 4, 0x90000);

    test::RomImage objectCut;  // a five-byte record cut short
    objectCut.put(end - 13, Cat({kHeader, {0x01, 0x00, 0x00}}));
    objectCut.bytes.resize(end);
    expectRefused(objectCut, end - 13, 0x90000);

    test::RomImage noExitMarker;
    noExitMarker.put(end - 11, Cat({kHeader, {0xFF}}));
    expectRefused(noExitMarker, end - 11, 0x90000);

    test::RomImage spriteCut;
    spriteCut.put(0x90000, Cat({kHeader, {0xFF, 0xFF}}));
    spriteCut.put(end - 4, {0x01, 0x02, 0x03, 0xFF});
    expectRefused(spriteCut, 0x90000, end - 4);

    // A pointer table entry past the end of a short file.
    test::RomImage tiny(0x1000);
    const Loaded l(tiny, 0, defs, previous);
    EXPECT_EQ(l.result, LoadResult::Refused);
    EXPECT_EQ(l.state, previous);
}

TEST(DecodeRefusals, UnknownObjectTypeRefusesTheLevel) {
    auto l = LoadFrom(test::RomImage(), {0x3A, 0x00, 0x00, 0x00, 0xFF, 0xFF}, {0xFF, 0xFF});
    EXPECT_EQ(l.result, LoadResult::Refused);
    ASSERT_EQ(l.prompter.messages.size(), 1u);
    EXPECT_EQ(l.prompter.messages[0].title, "Marlwick - This is bad");
    EXPECT_EQ(l.prompter.messages[0].text,
              "Unknown object type (WEIRD error!) : Object 3A thinks it's type0\nThe level was not loaded.");
}

// Levels laid out the way real images hold them: streams that end shortly
// before a bank end, with zero bytes running on into the next bank (as
// images prepared by other tools may have them).
TEST(DecodeFreeSpace, StopsAtTheEndOfTheStreamsBank) {
    struct Case {
        const char* name;
        bool linear;  // linear (64 KiB bank) pointers rather than LoROM (32 KiB)
        int32_t h, s;
        int objectsAvailable, spritesAvailable;
    };
    // 22 bytes of objects (10 used), 5 of sprites (3 used).
    const auto objects = Cat({kHeader, Obj5(0x01, 1, 2, 3, 4), {0xFF}, ExitRec(1, 0, 2, 3, 4, 5), {0xFF}});
    const auto sprites = Cat({SpriteRec(0x1E, 4, 5), {0xFF, 0xFF}});
    const Case cases[] = {
        {"LoROM banks 1F and 20", false, 0x100200 - 22 - 7, 0x108200 - 5, 10 + 7, 3},
        {"linear bank 50 past its first half, capped", true, 0x108200 - 22 - 7, 0x110200 - 5 - 9, 32767, 3 + 9},
        {"linear bank 50 across its first half", true, 0x108200 - 4, 0x120200 - 5, 10 + 0x110200 - 0x108212, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Zeros everywhere, so that only the bank end (or the counter's
        // limit) can stop a scan.
        test::RomImage rom(0x200200, 0x00);
        rom.put(c.h, objects);
        rom.put(c.s, sprites);
        if (c.linear)
            rom.setRawPointers(0, LinearPointer(c.h), LinearPointer(c.s));
        else
            rom.setRawPointers(0, LoRomPointer(c.h), LoRomPointer(c.s));
        const Loaded l(rom);
        ASSERT_EQ(l.result, LoadResult::Loaded);
        EXPECT_TRUE(l.prompter.messages.empty());
        const LevelState& state = l.state;
        EXPECT_EQ(state.objectBytesUsed, 10);
        EXPECT_EQ(state.objectBytesAvailable, c.objectsAvailable);
        EXPECT_EQ(state.spriteBytesUsed, 3);
        EXPECT_EQ(state.spriteBytesAvailable, c.spritesAvailable);
        // What a save would write stays inside the bank.
        const auto bank = c.linear ? BankMapping::Linear : BankMapping::LoRom;
        EXPECT_LE(c.h + static_cast<int64_t>(BuildObjectRegion(test::SmallDefinitions(), state).size()),
                  BankEndOffset(c.h, bank));
        EXPECT_LE(c.s + static_cast<int64_t>(BuildSpriteRegion(state).size()), BankEndOffset(c.s, bank));
        EXPECT_EQ(CompareWithFile(l.file, test::SmallDefinitions(), state), "");
    }
}

TEST(DecodeFreeSpace, AMegabyteOfZerosIsCountedUpToWhatTheCounterHolds) {
    test::RomImage rom(0x200200, 0x00);
    const int32_t h = 0x100200, s = 0x180200;  // linear banks 50 and 58, zeros to the end of each
    rom.put(h, Cat({kHeader, Obj5(0x01, 1, 2, 3, 4), {0xFF, 0xFF}}));
    rom.put(s, {0xFF, 0xFF});
    rom.setRawPointers(0, LinearPointer(h), LinearPointer(s));
    const Loaded l(rom);
    ASSERT_EQ(l.result, LoadResult::Loaded);
    EXPECT_TRUE(l.prompter.messages.empty());
    EXPECT_EQ(l.state.objectBytesUsed, 5);
    EXPECT_EQ(l.state.objectBytesAvailable, 32767);
    EXPECT_EQ(l.state.spriteBytesAvailable, 32767);
    EXPECT_EQ(CompareWithFile(l.file, test::SmallDefinitions(), l.state), "");
}

TEST(DecodeRefusals, StreamsThatOutgrowTheCounterOrTheirBankAreRefused) {
    struct Case {
        const char* name;
        int32_t h;
        std::vector<uint8_t> objects;
        const char* expected;
    };
    std::vector<uint8_t> huge(kHeader);
    for (int k = 0; k < 6600; ++k) {
        auto rec = Obj5(0x01, k % 256, 0, 0, 0);
        huge.insert(huge.end(), rec.begin(), rec.end());
    }
    huge.insert(huge.end(), {0xFF, 0xFF});
    const Case cases[] = {
        {"33000 bytes of objects", 0x100200, huge, "larger than the editor can count"},
        {"records across a bank end", 0x108200 - 12, Cat({kHeader, Obj5(0x01, 0, 0, 0, 0), {0xFF, 0xFF}}),
         "past the end of its bank (at offset 108200)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::RomImage rom(0x200200, 0x00);
        rom.put(c.h, c.objects);
        rom.put(0x180200, {0xFF, 0xFF});
        rom.setRawPointers(0, c.objects.size() > 0x8000 ? LinearPointer(c.h) : LoRomPointer(c.h),
                           LinearPointer(0x180200));
        const Loaded l(rom);
        EXPECT_EQ(l.result, LoadResult::Refused);
        ASSERT_EQ(l.prompter.messages.size(), 1u);
        const std::string& text = l.prompter.messages[0].text;
        EXPECT_NE(text.find(c.expected), std::string::npos) << text;
        EXPECT_NE(text.find("The level was not loaded."), std::string::npos);
    }
}

TEST(DecodeHeaderless, ObjectsStartAtThePointerAndSaveWithoutAHeader) {
    DefinitionTables defs = test::SmallDefinitions();
    defs.headerlessLevels[0x38] = true;
    test::RomImage rom;
    const auto objects = Cat({ObjExt(1, 2, 0x10), ObjExt(3, 4, 0x10), {0xFF, 0xFF, 0x00, 0x00}});
    rom.put(kH, objects);
    rom.put(kS, {0xFF, 0xFF});
    rom.setLevel(0x38, kH, kS);
    RomFile f;
    std::string err;
    ASSERT_TRUE(f.open(rom.writeTemp(), err)) << err;
    RecordingPrompter p;
    LevelState state;
    ASSERT_EQ(test::TakeLoad(LoadLevelIndex(f, defs, 0x38), p, state), LoadResult::Loaded);
    EXPECT_TRUE(p.messages.empty());
    EXPECT_FALSE(state.hasHeader);
    ASSERT_EQ(state.objectList.size(), 2u);
    EXPECT_EQ(state.objectList[1].x, 3);
    EXPECT_EQ(state.objectBytesUsed, 8);
    EXPECT_EQ(state.objectBytesAvailable, 10);
    EXPECT_EQ(BuildObjectRegion(defs, state), objects);
    EXPECT_EQ(CompareWithFile(f, defs, state), "");

    // A save writes the same extent, without header bytes in front.
    state.objectList.pop_back();
    state.objectBytesUsed -= 4;
    ASSERT_TRUE(SaveLevel(f, defs, state, p));
    EXPECT_EQ(std::vector<uint8_t>(f.bytes().begin() + kH - 1, f.bytes().begin() + kH + 13),
              Cat({{0xEA}, ObjExt(1, 2, 0x10), {0xFF, 0xFF}, std::vector<uint8_t>(6, 0x00), {0xEA}}));
}

}  // namespace
}  // namespace mw
