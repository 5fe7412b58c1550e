#pragma once
// The find and patch dialogs without their widgets: finding an entry in all
// levels and going to it, and making or applying a patch of the open ROM.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "level/level_search.h"
#include "level/rom_file.h"
#include "patch/patch.h"
#include "util/prompter.h"

namespace mw {

class LevelEditor;

// Level -> "&Find in all levels...".
class FindDialog {
public:
    FindQuery::Kind kind = FindQuery::Kind::Object;
    std::string txtFind;  // a hexadecimal ID, or a piece of a name
    std::vector<FindHit> hits;

    // "&Find": searches the open ROM as saved. A box that holds no ID of
    // the kind chosen is refused with a message (the hits stay). True when
    // the search ran.
    bool cmdFind_Click(const LevelEditor& editor, Prompter& prompter);
    // A hit's row: level, entry index, position (X,Y) and name.
    static std::array<std::string, 4> RowTexts(const FindHit& hit);
    // A double-click on row `row`: loads the hit's level (asking about
    // unsaved changes as loading does; the loaded level is kept when it has
    // none), selects the entry and scrolls to it. True when it is selected.
    bool GoTo(LevelEditor& editor, int row) const;
};

// File -> "Create &patch..." and "&Apply patch...".
extern const char* const kPatchLayoutNote;

// The original offered first for a patch of `rom`: its oldest backup, else "".
std::string OfferedOriginal(const RomFile& rom);
// A sentence for the patch dialog when the level has unsaved changes (they
// are not in the patch), else "".
std::string UnsavedNote(const LevelEditor& editor);

// A patch of `rom` as it is on the disk against the file at `originalPath`,
// written to `outPath` once it has been checked by applying it in memory.
// Says what was done or why nothing was; true when written.
bool CreatePatchFile(const RomFile& rom, PatchFormat format, const std::string& originalPath,
                     const std::string& outPath, Prompter& prompter);
// The file at `originalPath` with the patch at `patchPath` applied, written
// in the original's layout to `outPath` (which may not be the original, nor
// the open ROM). Says what was done or why nothing was; true when written.
bool ApplyPatchFile(const RomFile& rom, const std::string& originalPath, const std::string& patchPath,
                    const std::string& outPath, Prompter& prompter);

}  // namespace mw
