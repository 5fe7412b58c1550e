#include "definitions/record_reader.h"

#include <limits>

#include "util/atomic_file.h"
#include "util/hex_text.h"

namespace mw {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool AllHex(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (HexDigit(c) < 0) return false;
    return true;
}

}  // namespace

void SplitRecord(std::string_view line, std::vector<std::string>& fields) {
    fields.clear();
    size_t i = 0;
    const size_t n = line.size();
    while (true) {
        while (i < n && IsBlank(line[i])) ++i;
        if (i < n && line[i] == '"') {
            size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) close = n;  // unterminated: the rest of the line
            fields.emplace_back(line.substr(i + 1, close - i - 1));
            size_t comma = line.find(',', close);
            if (comma == std::string_view::npos) return;
            i = comma + 1;
        } else {
            size_t comma = line.find(',', i);
            size_t end = comma == std::string_view::npos ? n : comma;
            fields.emplace_back(Trim(line.substr(i, end - i)));
            if (comma == std::string_view::npos) return;
            i = comma + 1;
        }
    }
}

RecordReader::RecordReader(const std::string& path) {
    // Failures (a directory, an I/O error) come back as the system's reason,
    // not as an exception.
    bool missing = false;
    const std::optional<std::vector<uint8_t>> data = ReadWholeFile(path, missing, error_);
    if (!data) return;
    text_.assign(data->begin(), data->end());
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;  // UTF-8 byte order mark
    ok_ = true;
}

bool RecordReader::next(std::vector<std::string>& fields) {
    while (pos_ < text_.size()) {
        size_t end = text_.find_first_of("\r\n", pos_);
        std::string_view line;
        if (end == std::string::npos) {
            line = std::string_view(text_).substr(pos_);
            pos_ = text_.size();
        } else {
            line = std::string_view(text_).substr(pos_, end - pos_);
            bool crlf = text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n';
            pos_ = end + (crlf ? 2 : 1);
        }
        ++line_;
        if (Trim(line).empty()) continue;
        SplitRecord(line, fields);
        return true;
    }
    return false;
}

bool ParseIdField(std::string_view text, uint32_t maxValue, uint32_t& value) {
    if (!AllHex(text)) return false;
    uint32_t v = ParseHex(text);  // saturates, so oversized text fails the range check
    if (v > maxValue) return false;
    value = v;
    return true;
}

bool ParseColourField(std::string_view text, Rgb& colour) {
    if (text.size() != 6 || !AllHex(text)) return false;
    colour.r = static_cast<uint8_t>(ParseHex(text.substr(0, 2)));
    colour.g = static_cast<uint8_t>(ParseHex(text.substr(2, 2)));
    colour.b = static_cast<uint8_t>(ParseHex(text.substr(4, 2)));
    return true;
}

bool ParseIntField(std::string_view text, int& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > static_cast<int64_t>(std::numeric_limits<int>::max()) + 1) return false;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
    value = static_cast<int>(v);
    return true;
}

FlagsField ParseFlagsField(std::string_view text) {
    auto at = [&](size_t position) -> char { return position <= text.size() ? text[position - 1] : '\0'; };
    auto digit = [&](size_t position) -> uint8_t {
        char c = at(position);
        return (c >= '0' && c <= '9') ? static_cast<uint8_t>(c - '0') : 0;
    };
    FlagsField f;
    f.isSlope = at(1) == '1';
    f.slopeDirectionA = at(2) == '1';
    f.slopeDirectionB = at(3) == '1';
    f.slopeRun = digit(5);
    f.slopeRise = digit(7);
    return f;
}

}  // namespace mw
