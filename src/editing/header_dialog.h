#pragma once
// frmHeader without the widgets: the 17 header fields as decimal text boxes,
// import from another level's header, and the validated "&Alright".
#include <array>
#include <optional>
#include <string>

#include "editing/level_editor.h"
#include "level/header_fields.h"
#include "level/level_state.h"
#include "level/rom_file.h"
#include "util/prompter.h"

namespace mw {

extern const char* const kHeaderCaption;
extern const char* const kHeaderFrameCaption;

class HeaderDialog {
public:
    // The 17 boxes, indexed like kHeaderFields (bit order). The dialog shows
    // them in kHeaderDialogOrder; `boxText(row)` gives them by row.
    std::array<std::string, 17> boxes{};
    std::string txtImportNum = "0";  // kept between openings
    bool visible = false;

    std::string& boxText(int row) { return boxes[kHeaderDialogOrder[row]]; }
    const HeaderField& rowField(int row) const { return kHeaderFields[kHeaderDialogOrder[row]]; }

    // Writes the 17 field values of `bytes` into the boxes as plain decimal.
    void AcceptData(const LevelHeader& bytes);
    // Fills the boxes from a header and shows the dialog.
    void Show(const LevelHeader& headerBytes);
    // mnuLevelHeader_Click: Show with the level's header. A level without a
    // header is reported instead and the dialog stays hidden (false).
    bool Open(const LevelState& level, Prompter& prompter);

    // "&Alright": the header packed from the boxes, and the dialog hidden.
    // A box that is empty, not a whole decimal number or outside its field's
    // range is reported (first one from the top) and nullopt returned; the
    // dialog stays open. The caller hands the bytes to ResetHeader.
    std::optional<LevelHeader> cmdOK_Click(Prompter& prompter);
    // The same, handing the bytes to the main window's ResetHeader. True when
    // accepted; without a loaded level it says so and accepts nothing.
    bool cmdOK_Click(LevelEditor& editor);
    // "&Cancel".
    void cmdCancel_Click() { visible = false; }
    // "Import from existing level": fills the boxes from the header of the
    // level numbered txtImportNum (hexadecimal). A level without a header is
    // reported and changes nothing. True when the boxes changed.
    bool cmdImport_Click(const RomFile& rom, const DefinitionTables& defs, Prompter& prompter);
};

// The field's name as the user reads it: its caption without the access
// key marker and the range ("&Tileset: (0-15)" gives "Tileset").
std::string HeaderFieldName(const HeaderField& field);

// Reads a box: a whole decimal number within 0..maximum (surrounding blanks
// allowed), or nullopt.
std::optional<int> ParseHeaderBox(const std::string& text, int maximum);

}  // namespace mw
