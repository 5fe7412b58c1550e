#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "editing/rom_writes.h"
#include "level/header_fields.h"
#include "level/level_codec.h"
#include "level/level_save.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

const auto Obj = MakeObject;
const auto Spr = MakeSprite;

TEST(EncodeRecords, PacksPositionsSizesAndIds) {
    const auto d = test::SmallDefinitions();
    EXPECT_EQ(EncodeObject(d, Obj(0x01, 0x23, 0x5A, 1, 1)), (std::vector<uint8_t>{0x01, 0x52, 0xA3, 0x00, 0x00}));
    EXPECT_EQ(EncodeObject(d, Obj(0x01, 0, 0, -129, 128))[3], 0x80);
    EXPECT_EQ(EncodeObject(d, Obj(0x01, 0, 0, -129, 128))[4], 0x7F);
    EXPECT_EQ(EncodeObject(d, Obj(0x02, 0, 0, 16, 1))[3], 0xF0);
    EXPECT_EQ(EncodeObject(d, Obj(0x03, 0, 0, 128, 1))[3], 0x7F);
    EXPECT_EQ(EncodeObject(d, Obj(0x03, 0, 0, -2, 1))[3], 0xFF);
    EXPECT_EQ(EncodeObject(d, Obj(0x04, 0, 0, 1, -3))[3], 0xFE);
    LevelObject ext = Obj(0x00, 0x12, 0x34, 3, 2);
    ext.extId = 0x10;
    EXPECT_EQ(EncodeObject(d, ext), (std::vector<uint8_t>{0x00, 0x31, 0x42, 0x10}));
    EXPECT_EQ(EncodeSprite(Spr(0x1A5, 0x40, 0x11)), (std::vector<uint8_t>{0xA5, 0x23, 0x40}));
    EXPECT_EQ(EncodeExit(ScreenExit{3, 2, 7, 8, 9, 10}), (std::vector<uint8_t>{0x23, 7, 8, 9, 10}));
}

TEST(EncodeRecords, RefusesWhatWouldReadBackDifferently) {
    const auto d = test::SmallDefinitions();
    EXPECT_FALSE(CheckEntryWritable(d, Obj(0x01, 0, 0, 128, -129)));
    for (int bad : {0, -1, 129, -130}) EXPECT_TRUE(CheckEntryWritable(d, Obj(0x01, 0, 0, bad, 1))) << bad;
    EXPECT_TRUE(CheckEntryWritable(d, Obj(0x02, 0, 0, 17, 1)));
    EXPECT_TRUE(CheckEntryWritable(d, Obj(0x02, 0, 0, 1, 0)));
    EXPECT_TRUE(CheckEntryWritable(d, Obj(0x03, 0, 0, 5, 2)));   // the width-only kind has height 1
    EXPECT_TRUE(CheckEntryWritable(d, Obj(0x09, 0, 0, 1, 1)));   // no definition
    EXPECT_TRUE(CheckEntryWritable(d, Obj(0xFF, 0, 0, 1, 1)));   // the end marker
    EXPECT_FALSE(CheckEntryWritable(d, Spr(0x1FF, 0, 126)));
    EXPECT_TRUE(CheckEntryWritable(d, Spr(0x1FF, 0, 127)));      // reads as the end marker
    EXPECT_TRUE(CheckEntryWritable(d, Spr(0x010, 0, 128)));
    EXPECT_FALSE(CheckExitWritable(ScreenExit{15, 7, 0, 0, 0, 0}));
    EXPECT_TRUE(CheckExitWritable(ScreenExit{0, 8, 0, 0, 0, 0}));
}

// A ROM with one level: `objects` records and `sprites`, with free bytes.
struct SavedRom {
    std::string path;
    RomFile file;
    LevelState state;
    std::vector<uint8_t> before;
};

void Open(SavedRom& r, const test::RomImage& rom) {
    r.path = rom.writeTemp();
    r.before = rom.bytes;
    std::string err;
    ASSERT_TRUE(r.file.open(r.path, err)) << err;
    RecordingPrompter p;
    ASSERT_EQ(test::TakeLoad(LoadLevelIndex(r.file, test::SmallDefinitions(), 0), p, r.state), LoadResult::Loaded);
}

test::RomImage OneLevel() {
    test::RomImage rom;
    rom.put(0x90000, test::Cat({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                                test::Obj5(0x01, 5, 6, 2, 3),
                                test::Obj4(0x03, 7, 8, 4),
                                {0xFF},
                                test::ExitRec(1, 2, 3, 4, 5, 6),
                                {0xFF, 0x00, 0x00, 0x00}}));
    rom.put(0x98000, test::Cat({test::SpriteRec(0x01E, 1, 2), {0xFF, 0xFF, 0x00, 0x00, 0x00}}));
    rom.setLevel(0, 0x90000, 0x98000);
    return rom;
}

TEST(SaveLevel, RewritesExactlyTheTwoRegions) {
    SavedRom r;
    Open(r, OneLevel());
    EXPECT_EQ(r.state.objectBytesAvailable, 17);
    // Delete the five-byte object and move the sprite.
    r.state.objectList.erase(r.state.objectList.begin());
    r.state.objectBytesUsed -= 5;
    r.state.objectList.back().x = 0x40;
    RecordingPrompter p;
    ASSERT_TRUE(SaveLevel(r.file, test::SmallDefinitions(), r.state, p));
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].title, "Marlwick");
    EXPECT_EQ(p.messages[0].text, "Level saved succesfully.");

    auto after = test::ReadFileBytes(r.path);
    auto expected = r.before;
    const auto objects = test::Cat({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, test::Obj4(0x03, 7, 8, 4), {0xFF},
                                    test::ExitRec(1, 2, 3, 4, 5, 6), {0xFF}, std::vector<uint8_t>(8, 0x00)});
    std::copy(objects.begin(), objects.end(), expected.begin() + 0x90000);
    const auto sprites = test::Cat({test::SpriteRec(0x01E, 0x40, 2), {0xFF, 0xFF, 0, 0, 0}});
    std::copy(sprites.begin(), sprites.end(), expected.begin() + 0x98000);
    EXPECT_EQ(after, expected);

    // Loading again counts the freed bytes; saving again writes the same bytes.
    LevelState again;
    ASSERT_EQ(test::TakeLoad(LoadLevelIndex(r.file, test::SmallDefinitions(), 0), p, again), LoadResult::Loaded);
    EXPECT_EQ(again.objectBytesAvailable - again.objectBytesUsed, 8);
    ASSERT_TRUE(SaveLevel(r.file, test::SmallDefinitions(), again, p));
    EXPECT_EQ(test::ReadFileBytes(r.path), expected);
}

TEST(SaveLevel, BudgetsAndBadEntriesWriteNothing) {
    const auto d = test::SmallDefinitions();
    SavedRom r;
    Open(r, OneLevel());
    auto expectNothingWritten = [&](LevelState s, const std::string& title, const std::string& textStart) {
        RecordingPrompter p;
        EXPECT_FALSE(SaveLevel(r.file, d, s, p));
        ASSERT_EQ(p.messages.size(), 1u);
        EXPECT_EQ(p.messages[0].title, title);
        EXPECT_EQ(p.messages[0].text.substr(0, textStart.size()), textStart);
        EXPECT_EQ(test::ReadFileBytes(r.path), r.before);
    };
    const std::string budget = "Marlwick - It doesn't have pointer recalculation";
    LevelState both = r.state;
    both.objectBytesUsed = both.objectBytesAvailable + 1;
    both.spriteBytesUsed = both.spriteBytesAvailable + 1;
    expectNothingWritten(both, budget, "You're using more bytes of data than there's room for!  Delete some objects!");
    LevelState sprites = r.state;
    sprites.spriteBytesUsed = sprites.spriteBytesAvailable + 1;
    expectNothingWritten(sprites, budget, "You're using more bytes of data for sprites than there's room for!");

    LevelState zeroWidth = r.state;
    zeroWidth.objectList[0].width = 0;
    expectNothingWritten(zeroWidth, "Marlwick", "Entry 0 (1 - Block) cannot be saved");
    LevelState endSprite = r.state;
    endSprite.objectList[2] = Spr(0x1FF, 3, 127);
    expectNothingWritten(endSprite, "Marlwick", "Entry 2 (S1FF - Last) cannot be saved");
    LevelState lowExit = r.state;
    lowExit.exitList[0].screenY = 8;
    expectNothingWritten(lowExit, "Marlwick", "Screen exit 0 cannot be saved");
}

TEST(RomFile, OpenFailuresAndChangesOutsideTheFence) {
    RomFile f;
    std::string err;
    EXPECT_FALSE(f.open("/nonexistent/dir/x.smc", err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(f.isOpen());

    const std::string path = OneLevel().writeTemp();
    ASSERT_TRUE(f.open(path, err));
    const std::vector<uint8_t> before = f.bytes();
    std::vector<uint8_t> image = before;
    image[0x100] = 7;
    image[0x101] = 8;
    CommitResult r = f.commit(image, {});  // nothing allowed
    EXPECT_EQ(r.status, CommitResult::Status::Refused);
    EXPECT_NE(r.reason.find("outside"), std::string::npos) << r.reason;
    EXPECT_EQ(f.commit(image, {{{0x101, 1}}}).status, CommitResult::Status::Refused);  // 0x100 is not in it
    EXPECT_EQ(test::ReadFileBytes(path), before);
    EXPECT_EQ(f.commit(image, {{{0x100, 2}}}).status, CommitResult::Status::Done);
    EXPECT_EQ(f.byteAt(0x101), 8);
    EXPECT_EQ(test::ReadFileBytes(path)[0x100], 7);
    EXPECT_EQ(f.byteAt(f.size()), std::nullopt);
}

// Random valid levels survive write -> decode unchanged, and decoding the
// written bytes and writing again gives the same bytes.
TEST(RoundTrip, RandomLevels) {
    const auto d = test::SmallDefinitions();
    std::mt19937 rng(12345);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto fullByteExtent = [&] { return pick(0, 1) ? pick(1, 128) : pick(-129, -2); };
    for (int round = 0; round < 200; ++round) {
        LevelState s;
        for (auto& b : s.headerBytes) b = static_cast<uint8_t>(pick(0, 255));
        const int objects = pick(0, 30), sprites = pick(0, 20), exits = pick(0, 4);
        for (int k = 0; k < objects; ++k) {
            static const uint8_t ids[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
            LevelObject o = Obj(ids[pick(0, 7)], pick(0, 255), pick(0, 255), 1, 1);
            switch (d.objectDefs[o.id].kind) {
                case kKindExtended:
                    o.extId = pick(0, 1) ? 0x10 : static_cast<uint8_t>(pick(0, 255));
                    o.width = d.extendedDefs[o.extId].width;
                    o.height = d.extendedDefs[o.extId].height;
                    break;
                case kKindFiveByte:
                    o.width = static_cast<int16_t>(fullByteExtent());
                    o.height = static_cast<int16_t>(fullByteExtent());
                    break;
                default:
                    if (d.objectDefs[o.id].sizeMode == 1) o.width = static_cast<int16_t>(fullByteExtent());
                    else if (d.objectDefs[o.id].sizeMode == 2) o.height = static_cast<int16_t>(fullByteExtent());
                    else {
                        o.width = static_cast<int16_t>(pick(1, 16));
                        o.height = static_cast<int16_t>(pick(1, 16));
                    }
            }
            s.objectList.push_back(o);
            s.objectBytesUsed += RecordLength(d.objectDefs[o.id].kind);
        }
        for (int k = 0; k < exits; ++k) {
            s.exitList.push_back(ScreenExit{static_cast<uint8_t>(pick(0, 15)), static_cast<uint8_t>(pick(0, 7)),
                                            static_cast<uint8_t>(pick(0, 255)), static_cast<uint8_t>(pick(0, 255)),
                                            static_cast<uint8_t>(pick(0, 255)), static_cast<uint8_t>(pick(0, 255))});
            s.objectBytesUsed += 5;
        }
        for (int k = 0; k < sprites; ++k) {
            LevelObject sp = Spr(pick(0, 0x1FF), pick(0, 255), pick(0, 127));
            if (sp.spriteId() == 0x1FF && sp.y == 127) sp.y = 0;
            s.objectList.push_back(sp);
            s.spriteBytesUsed += 3;
        }
        s.objectBytesAvailable = s.objectBytesUsed + pick(0, 20);
        s.spriteBytesAvailable = s.spriteBytesUsed + pick(0, 20);
        s.headerOffset = 0x90000;
        s.spriteOffset = 0xA0000;
        s.tableIndex = 0;  // it is loaded through entry 0
        for (const auto& o : s.objectList) ASSERT_FALSE(CheckEntryWritable(d, o));

        test::RomImage rom;
        const auto objBytes = BuildObjectRegion(d, s);
        const auto sprBytes = BuildSpriteRegion(s);
        rom.put(s.headerOffset, objBytes);
        rom.put(s.spriteOffset, sprBytes);
        rom.setLevel(0, s.headerOffset, s.spriteOffset);
        RomFile f;
        std::string err;
        ASSERT_TRUE(f.open(rom.writeTemp(), err));
        RecordingPrompter p;
        LevelState back;
        ASSERT_EQ(test::TakeLoad(LoadLevelIndex(f, d, 0), p, back), LoadResult::Loaded);
        EXPECT_EQ(back, s) << "round " << round;
        EXPECT_EQ(BuildObjectRegion(d, back), objBytes);
        EXPECT_EQ(BuildSpriteRegion(back), sprBytes);
        EXPECT_EQ(CompareWithFile(f, d, back), "");
    }
}

TEST(HeaderFields, UnpackAndPack) {
    LevelHeader ff;
    ff.fill(0xFF);
    const HeaderValues max = {31, 15, 31, 31, 63, 63, 63, 127, 15, 31, 3, 3, 127, 3, 3, 31, 127};
    EXPECT_EQ(UnpackHeader(ff), max);
    EXPECT_EQ(PackHeader(max), ff);
    EXPECT_EQ(UnpackHeader(LevelHeader{}), HeaderValues{});

    auto single = [](int field, int value) {
        HeaderValues v{};
        v[field] = value;
        return PackHeader(v);
    };
    EXPECT_EQ(single(1, 1), (LevelHeader{0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0}));    // tileset
    EXPECT_EQ(single(15, 1), (LevelHeader{0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}));   // music
    EXPECT_EQ(single(15, 2), (LevelHeader{0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0}));
    EXPECT_EQ(single(13, 1), (LevelHeader{0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0}));   // layer 1 position
    EXPECT_EQ(single(14, 1), (LevelHeader{0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0}));   // layer 2 position

    std::mt19937 rng(7);
    for (int k = 0; k < 100; ++k) {
        LevelHeader h;
        for (auto& b : h) b = static_cast<uint8_t>(rng());
        EXPECT_EQ(PackHeader(UnpackHeader(h)), h);
    }
    // The dialog shows Music under Special Effects, then layer 2 over layer 1.
    EXPECT_STREQ(kHeaderFields[kHeaderDialogOrder[13]].caption, "Music: (0-31)");
    EXPECT_STREQ(kHeaderFields[kHeaderDialogOrder[14]].caption, "Initial Layer 2 Position: (0-3)");
}

}  // namespace
}  // namespace mw
