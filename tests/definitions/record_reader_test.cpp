#include "definitions/record_reader.h"

#include <gtest/gtest.h>

#include "support/rom_builder.h"

namespace mw {
namespace {

std::vector<std::string> Split(std::string_view line) {
    std::vector<std::string> fields{"stale"};
    SplitRecord(line, fields);
    return fields;
}

using Fields = std::vector<std::string>;

TEST(SplitRecord, QuotedFieldsKeepCommasAndSpaces) {
    EXPECT_EQ(Split(R"(01,"Land, rectangle",000 0 0,0,B4DC96)"),
              (Fields{"01", "Land, rectangle", "000 0 0", "0", "B4DC96"}));
    EXPECT_EQ(Split(R"(  05 ,  " padded, name " , x)"), (Fields{"05", " padded, name ", "x"}));
    // Text after the closing quote is dropped; an unterminated quote runs to the end.
    EXPECT_EQ(Split(R"("a"junk,b)"), (Fields{"a", "b"}));
    EXPECT_EQ(Split(R"(1,"open, to the end)"), (Fields{"1", "open, to the end"}));
}

TEST(SplitRecord, UnquotedFieldsAreTrimmedAndEmptyFieldsCount) {
    EXPECT_EQ(Split(" \t1f \t,\tname with  inner  spaces ,  "), (Fields{"1f", "name with  inner  spaces", ""}));
    EXPECT_EQ(Split("a,,b,"), (Fields{"a", "", "b", ""}));
    EXPECT_EQ(Split("single"), (Fields{"single"}));
}

TEST(RecordReader, SkipsBlankLinesButCountsThemWithAnyLineEnding) {
    test::TempDir dir;
    dir.write("f.dat", "\xEF\xBB\xBF" "a,1\r\n\r\n   \nb,2\rc,3\n\nd,4");
    RecordReader reader(dir.file("f.dat"));
    ASSERT_TRUE(reader.ok());
    std::vector<std::string> fields;
    std::vector<std::pair<std::string, int>> seen;
    while (reader.next(fields)) {
        ASSERT_EQ(fields.size(), 2u);
        seen.emplace_back(fields[0], reader.lineNumber());
    }
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{{"a", 1}, {"b", 4}, {"c", 5}, {"d", 7}}));
}

TEST(ParseFlagsField, ReadsOnlyPositionsOneTwoThreeFiveSeven) {
    EXPECT_EQ(ParseFlagsField("100 1 2"), (FlagsField{true, false, false, 1, 2}));
    EXPECT_EQ(ParseFlagsField("111 9 3"), (FlagsField{true, true, true, 9, 3}));
    // Positions 4 and 6 and anything after 7 are ignored.
    EXPECT_EQ(ParseFlagsField("0109875xyz"), (FlagsField{false, true, false, 8, 5}));
    // Booleans need exactly '1'; digit positions read 0 when not a digit.
    EXPECT_EQ(ParseFlagsField("2-1 a b"), (FlagsField{false, false, true, 0, 0}));
}

TEST(ParseFlagsField, ShortStringsReadZeroPastTheEnd) {
    EXPECT_EQ(ParseFlagsField("1"), (FlagsField{true, false, false, 0, 0}));
    EXPECT_EQ(ParseFlagsField("100 4"), (FlagsField{true, false, false, 4, 0}));
    EXPECT_EQ(ParseFlagsField(""), FlagsField{});
}

TEST(ParseIdField, AcceptsHexInEitherCaseWithinRange) {
    uint32_t v = 0;
    EXPECT_TRUE(ParseIdField("1f", 0xFF, v));
    EXPECT_EQ(v, 0x1Fu);
    EXPECT_TRUE(ParseIdField("00A", 0xFF, v));
    EXPECT_EQ(v, 0xAu);
    EXPECT_TRUE(ParseIdField("200", 0x200, v));
    EXPECT_EQ(v, 0x200u);
}

TEST(ParseIdField, RejectsMalformedAndOversizedIds) {
    uint32_t v = 77;
    for (const char* bad : {"", "G1", "1G", "0x1", "-1", "1 2", "100", "FFFFFFFFFFFF"})
        EXPECT_FALSE(ParseIdField(bad, 0xFF, v)) << bad;
    EXPECT_FALSE(ParseIdField("201", 0x200, v));
    EXPECT_EQ(v, 77u);  // untouched on failure
}

TEST(ParseColourField, NeedsExactlySixHexDigits) {
    Rgb c;
    ASSERT_TRUE(ParseColourField("12aBfF", c));
    EXPECT_EQ(c, (Rgb{0x12, 0xAB, 0xFF}));
    for (const char* bad : {"", "12345", "1234567", "GG0000", "12 456", "#12345"})
        EXPECT_FALSE(ParseColourField(bad, c)) << bad;
}

TEST(ParseIntField, DecimalWithOptionalSign) {
    int v = 0;
    EXPECT_TRUE(ParseIntField("255", v));
    EXPECT_EQ(v, 255);
    EXPECT_TRUE(ParseIntField("-1", v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(ParseIntField("+007", v));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(ParseIntField("-2147483648", v));
    EXPECT_EQ(v, -2147483647 - 1);
    for (const char* bad : {"", "-", "1a", "0x10", "1.5", "2147483648", "99999999999999999999"})
        EXPECT_FALSE(ParseIntField(bad, v)) << bad;
}

}  // namespace
}  // namespace mw
