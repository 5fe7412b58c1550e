#include <gtest/gtest.h>

#include "level/object_caption.h"

namespace mw {
namespace {

class Captions : public ::testing::Test {
protected:
    void SetUp() override {
        auto object = [&](int id, const char* name, uint8_t kind) {
            defs.objectDefs[id].name = name;
            defs.objectDefs[id].kind = kind;
        };
        object(0x00, "Introducer", kKindExtended);
        object(0x05, "Land slope", kKindFiveByte);
        object(0xC4, "Coins, row", kKindFourByte);
        defs.extendedDefs[0x83].name = "Cloud";
        defs.spriteDefs[0x1F0].name = "Generator";
        defs.spriteDefs[0x0F0].name = "Petal";
        defs.spriteDefs[0x000].name = "Log";
    }
    static LevelObject object(uint8_t id, uint8_t extId = 0) { return {.id = id, .extId = extId}; }
    static LevelObject sprite(int spriteId) {
        return {.id = static_cast<uint8_t>(spriteId & 0xFF), .extId = static_cast<uint8_t>(spriteId >> 8),
                .isSprite = true};
    }
    DefinitionTables defs;
};

TEST_F(Captions, SpriteUsesItsNineBitIdAndPrefixS) {
    EXPECT_EQ(ObjectCaption(defs, sprite(0x1F0), true), "S1F0 - Generator");
    EXPECT_EQ(ObjectCaption(defs, sprite(0x1F0), false), "1F0 - Generator");
    EXPECT_EQ(ObjectCaption(defs, sprite(0x0F0), false), "F0 - Petal");  // same low byte, other row
    EXPECT_EQ(ObjectCaption(defs, sprite(0), true), "S0 - Log");
}

TEST_F(Captions, ExtendedObjectUsesExtendedIdAndPrefixX) {
    EXPECT_EQ(ObjectCaption(defs, object(0x00, 0x83), true), "X83 - Cloud");
    EXPECT_EQ(ObjectCaption(defs, object(0x00, 0x83), false), "83 - Cloud");
    EXPECT_EQ(ObjectCaption(defs, object(0x00, 0x07), false), "7 - ");  // no definition: empty name
}

TEST_F(Captions, OtherObjectsNeverGetAPrefix) {
    EXPECT_EQ(ObjectCaption(defs, object(0x05), true), "5 - Land slope");
    EXPECT_EQ(ObjectCaption(defs, object(0x05), false), "5 - Land slope");
    EXPECT_EQ(ObjectCaption(defs, object(0xC4, 0x83), true), "C4 - Coins, row");  // extId ignored
    EXPECT_EQ(ObjectCaption(defs, object(0x77), true), "77 - ");
}

TEST_F(Captions, IntoReplacesTheBufferContents) {
    std::string buffer = "left over from the previous label";
    ObjectCaptionInto(buffer, defs, object(0x05), false);
    EXPECT_EQ(buffer, "5 - Land slope");
    ObjectCaptionInto(buffer, defs, sprite(0x1F0), true);
    EXPECT_EQ(buffer, "S1F0 - Generator");
}

}  // namespace
}  // namespace mw
