#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mw {

// The value of one hexadecimal digit (either case), -1 for any other character.
int HexDigit(char c);

// Reads typed hexadecimal the way every box of the program does: the longest
// leading run of hex digits counts; empty or non-hex text reads as 0.
// Values too large for 32 bits saturate at UINT32_MAX (callers range-check).
uint32_t ParseHex(std::string_view text);

// The strict reading for boxes whose text is written somewhere: the value
// when `text` is 1 to `maxDigits` hexadecimal digits and nothing else (no
// blanks, no prefix), otherwise nullopt. `maxDigits` is at most 8.
std::optional<uint32_t> ParseHexDigits(std::string_view text, size_t maxDigits);

// Upper-case hexadecimal without prefix or leading zeros ("0" for zero).
std::string ToHex(uint32_t value);
// The same, appended to `out` without a temporary string.
void AppendHex(std::string& out, uint32_t value);

// True when `text` starts with at least one hexadecimal digit.
bool StartsWithHex(std::string_view text);

}  // namespace mw
