#pragma once
// frmHex without the widgets: read or write one byte of the ROM file at an
// offset typed in hexadecimal. Works on the file only, never on the level.
#include <string>

#include "level/rom_file.h"
#include "util/prompter.h"

namespace mw {

extern const char* const kHexPokeCaption;
extern const char* const kHexPokeNote;

class HexPokeDialog {
public:
    // The boxes keep their text while the dialog is hidden.
    std::string txtOffset = "0";
    std::string txtValue = "0";
    bool visible = false;

    void Show() { visible = true; }
    // "Get Value": the byte at txtOffset into txtValue. An offset at or past
    // the end of the file is refused with a message; nothing is read.
    // True when a byte was read.
    bool cmdGet_Click(const RomFile& rom, Prompter& prompter);
    // "Put Value": writes txtValue at txtOffset. An offset at or past the end
    // of the file or a value above FF is refused with a message; nothing is
    // written. A failed write is reported. True when the byte was written.
    bool cmdPut_Click(RomFile& rom, Prompter& prompter);
    // "E&xit".
    void cmdExit_Click() { visible = false; }

private:
    bool offsetInFile(const RomFile& rom, Prompter& prompter, int64_t& offset) const;
};

}  // namespace mw
