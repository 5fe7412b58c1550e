#pragma once
// The two "Select Level" dialogs without their widgets: by index
// (frmLevelISelect, from LevelList.dat) and by file offsets
// (frmLevelSelect, from LevelOffsets.dat). Both read their list file when
// first shown and keep their boxes' text while hidden.
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "editing/level_editor.h"
#include "util/prompter.h"

namespace mw {

extern const char* const kLevelChooserCaption;          // "Select Level"
extern const char* const kLevelOffsetWarning;           // the by-offset dialog's note

class LevelIndexChooser {
public:
    std::vector<ListEntry> lstLevels;  // "ID name", item data the level index
    int listIndex = -1;
    std::string txtIndex;
    bool visible = false;

    // Shows the dialog; the first time, reads LevelList.dat from `dir`. A
    // missing or faulty file is reported; the list keeps what was read.
    void Show(const std::string& dir, Prompter& prompter);
    void lstLevels_Click(int itemIndex);
    // "&Alright": loads the level txtIndex names and hides.
    void cmdOK_Click(LevelEditor& editor);
    void cmdCancel_Click() { visible = false; }

private:
    bool loaded_ = false;
};

class LevelOffsetChooser {
public:
    std::vector<LevelOffsetEntry> rows;  // header offset and name, file order
    std::vector<std::string> lstLevels;  // the names
    int listIndex = -1;
    std::string txtOffset;
    std::string txtSpriteOffset;
    bool visible = false;

    // As LevelIndexChooser::Show, for LevelOffsets.dat (at most 256 rows).
    void Show(const std::string& dir, Prompter& prompter);
    // Puts the row's header offset into txtOffset, as an offset in `rom`'s
    // file (the list gives ".smc" offsets); txtSpriteOffset stays.
    void lstLevels_Click(int itemIndex, const RomFile& rom);
    // "&Alright": loads from the two offsets and hides.
    void cmdOK_Click(LevelEditor& editor);
    void cmdCancel_Click() { visible = false; }

private:
    bool loaded_ = false;
};

// A hexadecimal box's value as a file offset or level index (0 to 7FFFFFFF).
int32_t ReadHexBox(const std::string& text);

}  // namespace mw
