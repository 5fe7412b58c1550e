#include "editing/level_choosers.h"

#include <limits>

#include "util/hex_text.h"

namespace mw {

const char* const kLevelChooserCaption = "Select Level";
const char* const kLevelOffsetWarning = "WARNING: List does not contain sprite offsets, enter manually!";

int32_t ReadHexBox(const std::string& text) {
    uint32_t value = ParseHex(text);
    constexpr uint32_t kMax = static_cast<uint32_t>(std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(value > kMax ? kMax : value);
}

void LevelIndexChooser::Show(const std::string& dir, Prompter& prompter) {
    if (!loaded_) {
        loaded_ = true;
        if (auto error = ReadLevelList(dir, lstLevels)) prompter.message("Marlwick", error->describe());
    }
    visible = true;
}

void LevelIndexChooser::lstLevels_Click(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= static_cast<int>(lstLevels.size())) return;
    listIndex = itemIndex;
    txtIndex = ToHex(static_cast<uint32_t>(lstLevels[itemIndex].value));
}

void LevelIndexChooser::cmdOK_Click(LevelEditor& editor) {
    editor.session.LoadLevelIndex(ReadHexBox(txtIndex));
    visible = false;
}

void LevelOffsetChooser::Show(const std::string& dir, Prompter& prompter) {
    if (!loaded_) {
        loaded_ = true;
        auto error = ReadLevelOffsets(dir, rows);
        lstLevels.clear();
        lstLevels.reserve(rows.size());
        for (const auto& row : rows) lstLevels.push_back(row.name);
        if (error) prompter.message("Marlwick", error->describe());
    }
    visible = true;
}

void LevelOffsetChooser::lstLevels_Click(int itemIndex, const RomFile& rom) {
    if (itemIndex < 0 || itemIndex >= static_cast<int>(rows.size())) return;
    listIndex = itemIndex;
    txtOffset = ToHex(static_cast<uint32_t>(rom.DiskOffset(rows[itemIndex].offset)));
}

void LevelOffsetChooser::cmdOK_Click(LevelEditor& editor) {
    editor.session.LoadLevelOffset(ReadHexBox(txtOffset), ReadHexBox(txtSpriteOffset));
    visible = false;
}

}  // namespace mw
