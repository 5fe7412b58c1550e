#pragma once
// frmHex without the widgets: read or write one byte of the ROM file at an
// offset typed in hexadecimal: an offset in the file as it is on the disk.
// Works on the file only, never on the level.
#include <cstdint>
#include <optional>
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
    // "Put Value": writes txtValue at txtOffset and says so. Refused with a
    // message naming the box, and nothing written, unless the offset is 1 to
    // 8 hexadecimal digits inside the file and the value 1 or 2 digits. A
    // failed write is reported. True when the byte was written.
    bool cmdPut_Click(RomFile& rom, Prompter& prompter);
    // "E&xit".
    void cmdExit_Click() { visible = false; }

    // What "Put Value" would write: the boxes read strictly, or nullopt
    // after the message naming the box that is wrong.
    struct Poke {
        int64_t offset = 0;
        uint8_t value = 0;
    };
    std::optional<Poke> ReadPutBoxes(const RomFile& rom, Prompter& prompter) const;

private:
    static bool OffsetInFile(const RomFile& rom, Prompter& prompter, int64_t offset);
};

}  // namespace mw
