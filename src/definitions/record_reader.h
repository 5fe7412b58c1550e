#pragma once
// Reading of the comma-separated text records that the definition and list
// files are made of, and of the typed fields inside them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/definition_tables.h"

namespace mw {

// Splits one line into its fields. A field may be enclosed in double quotes
// and then holds commas and surrounding spaces as they are; text after the
// closing quote up to the next comma is dropped. Unquoted fields lose their
// surrounding spaces and tabs. `fields` is cleared first.
void SplitRecord(std::string_view line, std::vector<std::string>& fields);

// Reads a whole text file record by record. Lines may end in LF, CR LF or a
// lone CR; blank lines are skipped but still counted.
class RecordReader {
public:
    // Reads the file at once; ok() is false when it cannot be opened or
    // read (a directory, an I/O error), and error() then holds the system's
    // reason.
    explicit RecordReader(const std::string& path);

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    // The next non-blank record; false at the end of the file.
    bool next(std::vector<std::string>& fields);
    // 1-based line number of the record that next() returned last.
    int lineNumber() const { return line_; }

private:
    std::string text_;
    std::string error_;
    size_t pos_ = 0;
    int line_ = 0;
    bool ok_ = false;
};

// An identifier: one or more hexadecimal digits (either case, nothing else)
// whose value is at most `maxValue`. False when malformed or out of range.
bool ParseIdField(std::string_view text, uint32_t maxValue, uint32_t& value);

// A colour: exactly six hexadecimal digits, red, green, blue.
bool ParseColourField(std::string_view text, Rgb& colour);

// A decimal integer with an optional sign that fits in an int.
bool ParseIntField(std::string_view text, int& value);

// The flags field: only the characters at positions 1, 2, 3, 5 and 7
// (counting from 1) are read.
struct FlagsField {
    bool isSlope = false;          // position 1
    bool slopeDirectionA = false;  // position 2
    bool slopeDirectionB = false;  // position 3
    uint8_t slopeRun = 0;          // position 5
    uint8_t slopeRise = 0;         // position 7
    bool operator==(const FlagsField&) const = default;
};
// Boolean positions are true exactly when the character is '1'; digit
// positions are the digit's value, 0 when not a digit or past the end.
FlagsField ParseFlagsField(std::string_view text);

}  // namespace mw
