#pragma once
// A small JSON reader and the string quoting of the writers. Numbers are
// integers only: the level's files and the clipboard hold nothing else.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mw {

struct JsonValue {
    enum class Kind { Null, Bool, Integer, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    int64_t integer = 0;  // saturated at +-2^53 for longer digit runs
    std::string text;
    std::vector<JsonValue> items;                              // Array
    std::vector<std::pair<std::string, JsonValue>> members;    // Object, in file order

    // The member named `key` of an object, or null when there is none.
    const JsonValue* find(std::string_view key) const;
};

// Parses one JSON value filling the whole text (white space around it is
// allowed). On failure returns the reason with its line and column and
// leaves `out` unchanged. Fractions and exponents are refused, as are
// duplicate keys and nesting deeper than 64 levels.
std::optional<std::string> ParseJson(std::string_view text, JsonValue& out);

// `s` as a JSON string literal, quotes included.
std::string JsonString(const std::string& s);

}  // namespace mw
