#include "editing/level_choosers.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "level/level_codec.h"
#include "util/hex_text.h"

namespace mw {

const char* const kLevelChooserCaption = "Select Level";
const char* const kLevelOffsetWarning = "WARNING: List does not contain sprite offsets, enter manually!";

namespace {

// The level index a LevelOffsets.dat name starts with ("0A 2-1 ..."), -1 when none.
int32_t LeadingIndex(const std::string& name) {
    if (name.size() < 3 || name[2] != ' ') return -1;
    const std::optional<uint32_t> index = ParseHexDigits(std::string_view(name).substr(0, 2), 2);
    return index && *index < static_cast<uint32_t>(kLevelCount) ? static_cast<int32_t>(*index) : -1;
}

bool ContainsNoCase(const std::string& text, const std::string& part) {
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace

int32_t ReadHexBox(const std::string& text) {
    uint32_t value = ParseHex(text);
    constexpr uint32_t kMax = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(value > kMax ? kMax : value);
}

void LevelChooser::Show(const std::string& dir, Prompter& prompter, const RomFile& rom) {
    if (!loaded_) {
        loaded_ = true;
        std::optional<DefinitionError> error;
        if (kind_ == Kind::ByIndex) {
            error = ReadLevelList(dir, lstLevels);
        } else {
            std::vector<LevelOffsetEntry> rows;
            error = ReadLevelOffsets(dir, rows);
            lstLevels.clear();
            for (const auto& row : rows) {
                lstLevels.push_back({row.name, row.offset});
                listedOffsets_.push_back(row.offset);
            }
        }
        if (error) prompter.message("Marlwick", error->describe());
        Refilter(filter_);
    }
    if (kind_ == Kind::ByOffset) {
        // A level that moved is found where the table points now, not at
        // the place the list file was written for.
        for (size_t i = 0; i < lstLevels.size(); ++i) {
            const auto now = LevelTableOffsets(rom, LeadingIndex(lstLevels[i].text));
            lstLevels[i].value = static_cast<int32_t>(rom.DiskOffset(now ? now->header : listedOffsets_[i]));
        }
    }
    visible = true;
}

std::optional<uint32_t> LevelChooser::typedValue() const {
    return ParseHexDigits(txtValue, kind_ == Kind::ByIndex ? 2 : 8);
}

void LevelChooser::Refilter(const std::string& filter) {
    filter_ = filter;
    shown.clear();
    for (int i = 0; i < static_cast<int>(lstLevels.size()); ++i)
        if (filter.empty() || ContainsNoCase(lstLevels[i].text, filter)) shown.push_back(i);
}

void LevelChooser::txtValue_Change(const std::string& text) {
    txtValue = text;
    const std::optional<uint32_t> value = typedValue();
    Refilter(value ? std::string() : text);
    listIndex = -1;
    for (int i = 0; i < static_cast<int>(shown.size()); ++i) {
        const bool match = value ? static_cast<uint32_t>(lstLevels[shown[i]].value) == *value : !text.empty();
        if (match) {
            listIndex = i;
            break;
        }
    }
}

void LevelChooser::lstLevels_Click(int shownRow, const RomFile& rom) {
    if (shownRow < 0 || shownRow >= static_cast<int>(shown.size())) return;
    listIndex = shownRow;
    const ListEntry& row = lstLevels[shown[shownRow]];
    if (kind_ == Kind::ByIndex) {
        txtValue = ToHex(static_cast<uint32_t>(row.value));
        return;
    }
    txtValue = ToHex(static_cast<uint32_t>(row.value));
    if (const auto now = LevelTableOffsets(rom, LeadingIndex(row.text)))
        txtSpriteOffset = ToHex(static_cast<uint32_t>(rom.DiskOffset(now->sprites)));
}

bool LevelChooser::cmdOK_Click(LevelEditor& editor) {
    // A name in the box stands for the row it selected.
    if (!typedValue()) {
        if (listIndex < 0 || listIndex >= static_cast<int>(shown.size())) return false;
        txtValue = ToHex(static_cast<uint32_t>(lstLevels[shown[listIndex]].value));
    }
    if (kind_ == Kind::ByIndex)
        editor.session.LoadLevelIndex(ReadHexBox(txtValue));
    else
        editor.session.LoadLevelOffset(ReadHexBox(txtValue), ReadHexBox(txtSpriteOffset));
    visible = false;
    return true;
}

}  // namespace mw
