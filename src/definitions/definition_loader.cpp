// Reading of the definition files into DefinitionTables, and of the level
// list files.
#include <filesystem>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "definitions/record_reader.h"
#include "platform/files.h"
#include "util/hex_text.h"

namespace mw {

std::string DefinitionError::describe() const {
    if (line > 0) return file + ", line " + std::to_string(line) + ": " + reason;
    return file + ": " + reason;
}

std::string DefinitionPath(const std::string& dir, const std::string& fileName) {
    if (dir.empty()) return fileName;
    return (std::filesystem::path(dir) / fileName).string();
}

std::string FindDefinitionsFolder(const std::string& programFolder) {
    namespace fs = std::filesystem;
    const fs::path program = platform::PathOf(programFolder);
    std::vector<fs::path> places{program, program / ".." / "share" / "marlwick"};
#ifdef MW_INSTALLED_DATA_DIR
    places.emplace_back(MW_INSTALLED_DATA_DIR);
#endif
    for (const fs::path& place : places) {
        std::error_code ec;
        if (fs::is_regular_file(place / "O5Data.dat", ec)) return platform::Utf8Of(place.lexically_normal());
    }
    return programFolder;
}

namespace {

// One definition file being read: opens it, hands out its records and
// builds the errors that name it and the current line.
class DefinitionFile {
public:
    DefinitionFile(const std::string& dir, std::string fileName)
        : name_(std::move(fileName)), reader_(DefinitionPath(dir, name_)), dir_(dir) {}

    std::optional<DefinitionError> openError() const {
        if (reader_.ok()) return std::nullopt;
        return DefinitionError{name_, 0,
                               "cannot be read (looked in \"" + (dir_.empty() ? "." : dir_) + "\"): " + reader_.error()};
    }

    // A table that must hold at least one record.
    std::optional<DefinitionError> emptyError() const {
        if (records_ > 0) return std::nullopt;
        return DefinitionError{name_, 0, "holds no records"};
    }

    bool next() {
        if (!reader_.next(fields_)) return false;
        ++records_;
        return true;
    }
    int line() const { return reader_.lineNumber(); }
    const std::string& field(size_t i) const { return fields_[i]; }

    DefinitionError error(std::string reason) const { return DefinitionError{name_, line(), std::move(reason)}; }

    std::optional<DefinitionError> expectFields(size_t count) const {
        if (fields_.size() == count) return std::nullopt;
        return error("expected " + std::to_string(count) + " fields, found " + std::to_string(fields_.size()));
    }

    std::optional<DefinitionError> id(size_t i, uint32_t maxValue, uint32_t& value) const {
        if (ParseIdField(fields_[i], maxValue, value)) return std::nullopt;
        return error("ID \"" + fields_[i] + "\" is not hexadecimal from 0 to " + ToHex(maxValue));
    }

    std::optional<DefinitionError> colour(size_t i, Rgb& value) const {
        if (ParseColourField(fields_[i], value)) return std::nullopt;
        return error("colour \"" + fields_[i] + "\" is not six hexadecimal digits (RRGGBB)");
    }

    std::optional<DefinitionError> integer(size_t i, const char* what, int& value) const {
        if (ParseIntField(fields_[i], value)) return std::nullopt;
        return error(std::string(what) + " \"" + fields_[i] + "\" is not a decimal integer");
    }

    std::optional<DefinitionError> byte(size_t i, const char* what, uint8_t& value) const {
        int v = 0;
        if (auto e = integer(i, what, v)) return e;
        if (v < 0 || v > 255) return error(std::string(what) + " " + std::to_string(v) + " is outside 0 to 255");
        value = static_cast<uint8_t>(v);
        return std::nullopt;
    }

private:
    std::string name_;
    RecordReader reader_;
    std::string dir_;
    std::vector<std::string> fields_;
    int records_ = 0;
};

void ApplyFlags(ObjectDefinition& row, const std::string& text) {
    FlagsField f = ParseFlagsField(text);
    row.isSlope = f.isSlope;
    row.slopeDirectionA = f.slopeDirectionA;
    row.slopeDirectionB = f.slopeDirectionB;
    row.slopeRun = f.slopeRun;
    row.slopeRise = f.slopeRise;
}

// O5Data.dat: ID, name, flags, cross-section, colour.
// O4Data.dat: ID, name, size mode, flags, cross-section, colour.
// The four-byte file has the size mode as its third field; the fields after
// it move one place along.
std::optional<DefinitionError> ReadObjects(const std::string& dir, const char* fileName, uint8_t kind,
                                           DefinitionTables& out) {
    const int extra = kind == kKindFourByte ? 1 : 0;
    DefinitionFile file(dir, fileName);
    if (auto e = file.openError()) return e;
    while (file.next()) {
        uint32_t id = 0;
        uint8_t sizeMode = 0;
        int crossSection = 0;
        Rgb colour;
        if (auto e = file.expectFields(5 + extra)) return e;
        if (auto e = file.id(0, 0xFF, id)) return e;
        if (extra) {
            if (auto e = file.byte(2, "size mode", sizeMode)) return e;
        }
        if (auto e = file.integer(3 + extra, "cross-section", crossSection)) return e;
        if (auto e = file.colour(4 + extra, colour)) return e;
        ObjectDefinition& row = out.objectDefs[id];
        row.name = file.field(1);
        row.kind = kind;
        row.sizeMode = sizeMode;
        ApplyFlags(row, file.field(2 + extra));
        row.crossSectionFlag = crossSection == 1;
        row.colour = colour;
    }
    return file.emptyError();
}

// O4SData.dat: ID, name, width, height, cross-section, colour.
std::optional<DefinitionError> ReadExtendedObjects(const std::string& dir, DefinitionTables& out) {
    DefinitionFile file(dir, "O4SData.dat");
    if (auto e = file.openError()) return e;
    while (file.next()) {
        uint32_t id = 0;
        uint8_t width = 0, height = 0;
        int crossSection = 0;
        Rgb colour;
        if (auto e = file.expectFields(6)) return e;
        if (auto e = file.id(0, 0xFF, id)) return e;
        if (auto e = file.byte(2, "width", width)) return e;
        if (auto e = file.byte(3, "height", height)) return e;
        if (auto e = file.integer(4, "cross-section", crossSection)) return e;
        if (auto e = file.colour(5, colour)) return e;
        ExtendedObjectDefinition& row = out.extendedDefs[id];
        row.name = file.field(1);
        row.width = width;
        row.height = height;
        row.crossSectionFlag = crossSection == 1;
        row.colour = colour;
    }
    return file.emptyError();
}

// SpriteData.dat: ID (0 to 200), name, colour.
std::optional<DefinitionError> ReadSprites(const std::string& dir, DefinitionTables& out) {
    DefinitionFile file(dir, "SpriteData.dat");
    if (auto e = file.openError()) return e;
    const uint32_t maxId = static_cast<uint32_t>(out.spriteDefs.size() - 1);
    while (file.next()) {
        uint32_t id = 0;
        Rgb colour;
        if (auto e = file.expectFields(3)) return e;
        if (auto e = file.id(0, maxId, id)) return e;
        if (auto e = file.colour(2, colour)) return e;
        out.spriteDefs[id].name = file.field(1);
        out.spriteDefs[id].colour = colour;
    }
    return file.emptyError();
}

}  // namespace

std::optional<DefinitionError> ReadIdNameList(const std::string& dir, const std::string& fileName,
                                              std::vector<ListEntry>& entries) {
    entries.clear();
    DefinitionFile file(dir, fileName);
    if (auto e = file.openError()) return e;
    while (file.next()) {
        uint32_t id = 0;
        if (auto e = file.expectFields(2)) return e;
        if (auto e = file.id(0, 0xFF, id)) return e;
        entries.push_back({file.field(0) + " " + file.field(1), static_cast<int>(id)});
    }
    return std::nullopt;
}

std::optional<DefinitionError> ReadLevelList(const std::string& dir, std::vector<ListEntry>& entries) {
    return ReadIdNameList(dir, "LevelList.dat", entries);
}

std::string LevelIndexName(const std::vector<ListEntry>& levelList, int32_t index) {
    std::string name = "Level " + ToHex(static_cast<uint32_t>(index));
    // LevelList.dat's text is the index as written, a space and the name.
    for (const ListEntry& e : levelList) {
        const size_t space = e.text.find(' ');
        if (e.value == index && space != std::string::npos) return name + ": " + e.text.substr(space + 1);
    }
    return name;
}

std::optional<DefinitionError> ReadLevelOffsets(const std::string& dir,
                                                std::vector<LevelOffsetEntry>& entries) {
    entries.clear();
    DefinitionFile file(dir, "LevelOffsets.dat");
    if (auto e = file.openError()) return e;
    while (file.next()) {
        if (static_cast<int>(entries.size()) == kMaxLevelOffsets)
            return file.error("more than " + std::to_string(kMaxLevelOffsets) + " levels; the rest are left out");
        uint32_t offset = 0;
        if (auto e = file.expectFields(2)) return e;
        if (auto e = file.id(0, 0x7FFFFFFF, offset)) return e;
        entries.push_back({static_cast<int32_t>(offset), file.field(1)});
    }
    return std::nullopt;
}

namespace {

// "first offset, last offset, lorom|linear, note" records, appended to `blocks`.
std::optional<DefinitionError> ReadBlocks(const std::string& dir, const char* fileName, std::vector<FreeBlock>& blocks) {
    DefinitionFile file(dir, fileName);
    if (auto e = file.openError()) return e;
    while (file.next()) {
        uint32_t first = 0, last = 0;
        if (auto e = file.expectFields(4)) return e;
        if (auto e = file.id(0, 0x7FFFFFFE, first)) return e;
        if (auto e = file.id(1, 0x7FFFFFFE, last)) return e;
        if (last < first) return file.error("the block ends before it starts");
        const std::string& form = file.field(2);
        if (form != "lorom" && form != "linear")
            return file.error("pointer form \"" + form + "\" is neither lorom nor linear");
        blocks.push_back({static_cast<int32_t>(first), static_cast<int32_t>(last) + 1, form == "linear"});
    }
    return std::nullopt;
}

}  // namespace

std::optional<DefinitionError> ReadFreeSpace(const std::string& dir, std::vector<FreeBlock>& blocks) {
    blocks.clear();
    return ReadBlocks(dir, "FreeSpace.dat", blocks);
}

std::optional<DefinitionError> ReadRoomForLevels(const std::string& dir, std::vector<FreeBlock>& blocks) {
    if (auto e = ReadFreeSpace(dir, blocks)) return e;
    return ReadBlocks(dir, "LevelAreas.dat", blocks);
}

std::optional<DefinitionError> LoadDefinitions(const std::string& dir, DefinitionTables& out) {
    out = DefinitionTables{};
    if (auto e = ReadObjects(dir, "O5Data.dat", kKindFiveByte, out)) return e;
    if (auto e = ReadObjects(dir, "O4Data.dat", kKindFourByte, out)) return e;
    // Whatever the files say, 00 introduces an extended object and FF ends
    // the object stream.
    out.objectDefs[0x00].kind = kKindExtended;
    out.objectDefs[0x00].sizeMode = 0;
    out.objectDefs[0xFF].kind = kKindEndMarker;
    if (auto e = ReadExtendedObjects(dir, out)) return e;
    if (auto e = ReadSprites(dir, out)) return e;
    if (auto e = ReadIdNameList(dir, "LevelList.dat", out.destinationLevels)) return e;
    if (auto e = ReadIdNameList(dir, "EntranceTypes.dat", out.entranceTypes)) return e;
    std::vector<ListEntry> headerless;
    if (auto e = ReadIdNameList(dir, "Headerless.dat", headerless)) return e;
    for (const ListEntry& level : headerless) out.headerlessLevels[static_cast<size_t>(level.value)] = true;
    return std::nullopt;
}

}  // namespace mw
