#include <gtest/gtest.h>

#include "util/hex_text.h"

namespace mw {
namespace {

TEST(HexText, ReadsTheLeadingHexDigitsLikeEveryBoxDoes) {
    EXPECT_EQ(ParseHex("1f"), 0x1Fu);
    EXPECT_EQ(ParseHex("bf9c3"), 0xBF9C3u);
    EXPECT_EQ(ParseHex("1Azz9"), 0x1Au);  // reading stops at the first non-digit
    EXPECT_EQ(ParseHex(""), 0u);
    EXPECT_EQ(ParseHex("zz"), 0u);
    EXPECT_EQ(ParseHex(" 12"), 0u);
    EXPECT_EQ(ParseHex("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseHex("123456789"), 0xFFFFFFFFu);  // too large saturates for the caller's range check
    EXPECT_TRUE(StartsWithHex("a"));
    EXPECT_FALSE(StartsWithHex("g1"));
}

TEST(HexText, WritesUpperCaseWithoutLeadingZeros) {
    EXPECT_EQ(ToHex(0), "0");
    EXPECT_EQ(ToHex(0x0A), "A");
    EXPECT_EQ(ToHex(0x1F0), "1F0");
    EXPECT_EQ(ToHex(0xFFFFFFFFu), "FFFFFFFF");
    for (uint32_t v : {1u, 0x80u, 0xBF9C3u, 0x7FFFFFFFu}) EXPECT_EQ(ParseHex(ToHex(v)), v);
}

}  // namespace
}  // namespace mw
