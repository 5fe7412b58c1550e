#pragma once
// A small JSON reader and the string quoting of the writers. Numbers are
// integers only: the level's files and the clipboard hold nothing else.
#include <cstddef>
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
    std::string text;     // String: its text; Integer: the number as written
    std::vector<JsonValue> items;                              // Array
    std::vector<std::pair<std::string, JsonValue>> members;    // Object, in file order

    // The member named `key` of an object, or null when there is none.
    const JsonValue* find(std::string_view key) const;
};

// Parses one JSON value filling the whole text (white space around it is
// allowed). On failure returns the reason with its line and column and
// leaves `out` unchanged. Fractions and exponents are refused, as are
// duplicate keys and nesting deeper than 64 levels. A text of more than
// `maxValues` values is refused as soon as the reader gets there.
std::optional<std::string> ParseJson(std::string_view text, JsonValue& out, size_t maxValues = SIZE_MAX);

// A key (or any text from the input) for a message: quoted, and cut to its
// first 24 characters followed by "..." when it is longer.
std::string QuotedForMessage(const std::string& key);

// `s` as a JSON string literal, quotes included.
std::string JsonString(const std::string& s);

}  // namespace mw
