#include "util/hex_text.h"

#include <cctype>
#include <limits>

namespace mw {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

uint32_t ParseHex(std::string_view text) {
    uint64_t value = 0;
    for (char c : text) {
        int d = HexDigit(c);
        if (d < 0) break;
        value = value * 16 + static_cast<uint64_t>(d);
        if (value > std::numeric_limits<uint32_t>::max()) return std::numeric_limits<uint32_t>::max();
    }
    return static_cast<uint32_t>(value);
}

std::optional<uint32_t> ParseHexDigits(std::string_view text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits || text.size() > 8) return std::nullopt;
    uint32_t value = 0;
    for (char c : text) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        value = value * 16 + static_cast<uint32_t>(d);
    }
    return value;
}

void AppendHex(std::string& out, uint32_t value) {
    static const char* digits = "0123456789ABCDEF";
    char buffer[8];
    int n = 0;
    do {
        buffer[n++] = digits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (n > 0) out.push_back(buffer[--n]);
}

std::string ToHex(uint32_t value) {
    std::string out;
    AppendHex(out, value);
    return out;
}

bool StartsWithHex(std::string_view text) { return !text.empty() && HexDigit(text.front()) >= 0; }

}  // namespace mw
