#pragma once
// The two "Select Level" dialogs without their widgets, one implementation:
// by index (frmLevelISelect, from LevelList.dat) and by file offsets
// (frmLevelSelect, from LevelOffsets.dat). Each reads its list file when
// first shown and keeps its boxes' text while hidden.
//
// The value box (the index, or the header offset) leads: typing a value
// selects the row that has exactly that value; typing other text lists only
// the rows whose text holds it. "&Alright" loads the typed value, or the
// selected row while the box holds a name.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "editing/level_editor.h"
#include "util/prompter.h"

namespace mw {

extern const char* const kLevelChooserCaption;          // "Select Level"
extern const char* const kLevelOffsetWarning;           // the by-offset dialog's note

class LevelChooser {
public:
    enum class Kind { ByIndex, ByOffset };
    explicit LevelChooser(Kind kind) : kind_(kind) {}

    // Every row: its text (by index "ID name", by offset the name only) and
    // its value (the level index, or the header offset in the open file).
    std::vector<ListEntry> lstLevels;
    std::vector<int> shown;   // the rows listed under the name filter, positions in lstLevels
    int listIndex = -1;       // the selected position in `shown`
    std::string txtValue;     // the index box, or the offset box
    std::string txtSpriteOffset;  // by offset only
    bool visible = false;

    // Shows the dialog; the first time, reads the list file from `dir`. A
    // missing or faulty file is reported; the list keeps what was read.
    // By offset, the rows of levels in the pointer table ("NN name") take
    // the offsets the table holds now.
    void Show(const std::string& dir, Prompter& prompter, const RomFile& rom);
    // The value box was typed into.
    void txtValue_Change(const std::string& text);
    // A row of the list (a position in `shown`) was clicked: its value goes
    // into the box (by offset, as an offset in `rom`'s file, with the
    // table's sprite offset for a level of the pointer table).
    void lstLevels_Click(int shownRow, const RomFile& rom);
    // "&Alright": loads what the box names (or the selected row) and hides;
    // false, and the dialog stays, when neither names a level.
    bool cmdOK_Click(LevelEditor& editor);
    void cmdCancel_Click() { visible = false; }

private:
    Kind kind_;
    bool loaded_ = false;
    std::vector<int32_t> listedOffsets_;  // by offset: each row's ".smc" offset as LevelOffsets.dat gives it
    std::string filter_;                   // the name text the list is filtered by
    // The value the box holds when it holds one (and no name).
    std::optional<uint32_t> typedValue() const;
    void Refilter(const std::string& filter);
};

struct LevelIndexChooser : LevelChooser {
    LevelIndexChooser() : LevelChooser(Kind::ByIndex) {}
};
struct LevelOffsetChooser : LevelChooser {
    LevelOffsetChooser() : LevelChooser(Kind::ByOffset) {}
};

// A hexadecimal box's value as a file offset or level index (0 to 7FFFFFFF).
int32_t ReadHexBox(const std::string& text);

}  // namespace mw
