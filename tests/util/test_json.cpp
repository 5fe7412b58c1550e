#include <gtest/gtest.h>

#include "util/json.h"

namespace mw {
namespace {

// Escapes decode to UTF-8, surrogate pairs included; whatever JsonString
// writes reads back as the same bytes.
TEST(Json, StringsDecodeAndRoundTrip) {
    const struct {
        const char* json;
        std::string text;
    } rows[] = {
        {R"("a\"b\\c\/d")", "a\"b\\c/d"},
        {R"("\b\f\n\r\t")", "\b\f\n\r\t"},
        {R"("\u00e9\u20AC")", "\xC3\xA9\xE2\x82\xAC"},
        {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},
    };
    for (const auto& row : rows) {
        JsonValue v;
        ASSERT_EQ(ParseJson(row.json, v), std::nullopt) << row.json;
        EXPECT_EQ(v.text, row.text);
        JsonValue back;
        ASSERT_EQ(ParseJson(JsonString(v.text), back), std::nullopt);
        EXPECT_EQ(back.text, row.text);
    }
    JsonValue v;
    EXPECT_TRUE(ParseJson(R"("\ud83dx\u0041")", v) == std::nullopt);  // a lone high surrogate is kept as is
    EXPECT_TRUE(ParseJson(R"("\ud83d\u0041")", v).has_value());
    EXPECT_TRUE(ParseJson("\"tab\there\"", v).has_value());
    EXPECT_TRUE(ParseJson(R"("\x")", v).has_value());
}

TEST(Json, IntegersAndNesting) {
    JsonValue v;
    ASSERT_EQ(ParseJson(" [0, -7, 9007199254740993, true, null, {\"k\": []}] ", v), std::nullopt);
    ASSERT_EQ(v.items.size(), 6u);
    EXPECT_EQ(v.items[1].integer, -7);
    EXPECT_EQ(v.items[2].integer, int64_t{1} << 53);  // saturated, still out of any range callers take
    EXPECT_TRUE(v.items[3].boolean);
    EXPECT_EQ(v.items[4].kind, JsonValue::Kind::Null);
    EXPECT_EQ(v.items[5].find("k")->kind, JsonValue::Kind::Array);
    EXPECT_EQ(v.items[5].find("missing"), nullptr);
    for (const char* bad : {"-", "1e3", "[1 2]", "{\"a\" 1}", "{\"a\": 1,}", "tru", "1 2"})
        EXPECT_TRUE(ParseJson(bad, v).has_value()) << bad;
    EXPECT_EQ(ParseJson(std::string(64, '[') + std::string(64, ']'), v), std::nullopt);
}

}  // namespace
}  // namespace mw
