#include "util/json.h"

#include <cstdio>
#include <unordered_set>

#include "util/hex_text.h"

namespace mw {

namespace {

constexpr int kMaxDepth = 64;
constexpr int64_t kIntegerLimit = int64_t{1} << 53;

class Reader {
public:
    Reader(std::string_view text, size_t maxValues) : text_(text), maxValues_(maxValues), valuesLeft_(maxValues) {}

    std::optional<std::string> document(JsonValue& out) {
        skipSpace();
        if (!value(out, 0)) return error_;
        skipSpace();
        if (pos_ != text_.size()) return fail("unexpected text after the end of the JSON value"), error_;
        return std::nullopt;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
    size_t maxValues_;
    size_t valuesLeft_;
    std::string error_;

    bool fail(const std::string& what) {
        size_t line = 1, column = 1;
        for (size_t i = 0; i < pos_ && i < text_.size(); ++i) {
            if (text_[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        error_ = "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
        return false;
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) ++pos_;
    }

    bool literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return fail("unexpected character");
        pos_ += word.size();
        return true;
    }

    bool value(JsonValue& out, int depth) {
        if (depth > kMaxDepth) return fail("nested too deeply");
        if (valuesLeft_ == 0) return fail("the text holds more than " + std::to_string(maxValues_) + " values");
        --valuesLeft_;
        out = JsonValue{};
        switch (peek()) {
            case '{': return object(out, depth);
            case '[': return array(out, depth);
            case '"': out.kind = JsonValue::Kind::String; return string(out.text);
            case 't': out.kind = JsonValue::Kind::Bool; out.boolean = true; return literal("true");
            case 'f': out.kind = JsonValue::Kind::Bool; return literal("false");
            case 'n': return literal("null");
            default:
                if (peek() == '-' || (peek() >= '0' && peek() <= '9')) return number(out);
                return fail(atEnd() ? "the text ends where a value was expected" : "unexpected character");
        }
    }

    bool number(JsonValue& out) {
        const size_t start = pos_;
        const bool negative = peek() == '-';
        if (negative) ++pos_;
        if (!(peek() >= '0' && peek() <= '9')) return fail("a number needs digits");
        if (peek() == '0' && pos_ + 1 < text_.size() && text_[pos_ + 1] >= '0' && text_[pos_ + 1] <= '9')
            return fail("numbers must not have leading zeros");
        int64_t v = 0;
        while (peek() >= '0' && peek() <= '9') {
            v = v * 10 + (peek() - '0');
            if (v > kIntegerLimit) v = kIntegerLimit;
            ++pos_;
        }
        if (peek() == '.' || peek() == 'e' || peek() == 'E') return fail("only whole numbers are allowed");
        out.kind = JsonValue::Kind::Integer;
        out.integer = negative ? -v : v;
        out.text.assign(text_.substr(start, pos_ - start));
        return true;
    }

    static void appendUtf8(std::string& s, uint32_t cp) {
        if (cp < 0x80) {
            s += static_cast<char>(cp);
        } else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | (cp >> 6));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            s += static_cast<char>(0xE0 | (cp >> 12));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | (cp >> 18));
            s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool hex4(uint32_t& cp) {
        cp = 0;
        for (int k = 0; k < 4; ++k, ++pos_) {
            const int d = HexDigit(peek());
            if (d < 0) return fail("\\u needs four hexadecimal digits");
            cp = cp * 16 + static_cast<uint32_t>(d);
        }
        return true;
    }

    bool string(std::string& out) {
        ++pos_;  // the opening quote
        out.clear();
        while (true) {
            if (atEnd()) return fail("the text ends inside a string");
            const char c = text_[pos_];
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) return fail("a control character inside a string");
            if (c != '\\') {
                out += c;
                ++pos_;
                continue;
            }
            ++pos_;
            const char e = peek();
            ++pos_;
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    uint32_t cp = 0;
                    if (!hex4(cp)) return false;
                    if (cp >= 0xD800 && cp < 0xDC00 && text_.substr(pos_, 2) == "\\u") {
                        pos_ += 2;
                        uint32_t low = 0;
                        if (!hex4(low)) return false;
                        if (low < 0xDC00 || low > 0xDFFF) return fail("a broken surrogate pair");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default: --pos_; return fail("an unknown escape in a string");
            }
        }
    }

    bool array(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Array;
        ++pos_;
        skipSpace();
        if (peek() == ']') return ++pos_, true;
        while (true) {
            out.items.emplace_back();
            if (!value(out.items.back(), depth + 1)) return false;
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                skipSpace();
                continue;
            }
            if (peek() == ']') return ++pos_, true;
            return fail("expected , or ] in an array");
        }
    }

    bool object(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Object;
        ++pos_;
        skipSpace();
        if (peek() == '}') return ++pos_, true;
        std::unordered_set<std::string> keys;
        while (true) {
            if (peek() != '"') return fail("expected a quoted key");
            std::string key;
            if (!string(key)) return false;
            if (!keys.insert(key).second) return fail("the key " + QuotedForMessage(key) + " appears twice");
            skipSpace();
            if (peek() != ':') return fail("expected : after a key");
            ++pos_;
            skipSpace();
            out.members.emplace_back(std::move(key), JsonValue{});
            if (!value(out.members.back().second, depth + 1)) return false;
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                skipSpace();
                continue;
            }
            if (peek() == '}') return ++pos_, true;
            return fail("expected , or } in an object");
        }
    }
};

}  // namespace

const JsonValue* JsonValue::find(std::string_view key) const {
    for (const auto& [k, v] : members)
        if (k == key) return &v;
    return nullptr;
}

std::optional<std::string> ParseJson(std::string_view text, JsonValue& out, size_t maxValues) {
    JsonValue parsed;
    Reader reader(text, maxValues);
    if (auto err = reader.document(parsed)) return err;
    out = std::move(parsed);
    return std::nullopt;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string QuotedForMessage(const std::string& key) {
    constexpr size_t kShown = 24;
    if (key.size() <= kShown) return JsonString(key);
    // Not inside a UTF-8 sequence.
    size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(key[cut]) & 0xC0) == 0x80) --cut;
    return JsonString(key.substr(0, cut) + "...");
}

}  // namespace mw
