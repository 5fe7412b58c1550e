#include "editing/hex_poke.h"

#include "editing/level_editor.h"
#include "editing/rom_writes.h"
#include "level/level_save.h"

#include "util/hex_text.h"

namespace mw {

const char* const kHexPokeCaption = "Marlwick - It can edit everything!";
const char* const kHexPokeNote =
    "Since people always ask other editor authors to make more features, I decided I'd nip that "
    "problem in the bud and make mine able to edit everything from the start.  Have fun - Tolliver";

namespace {
constexpr const char* kRefusalTitle = "Marlwick - User error";
}

bool HexPokeDialog::OffsetInFile(const RomFile& rom, Prompter& prompter, int64_t offset) {
    if (offset < rom.diskSize()) return true;
    if (rom.diskSize() == 0) {
        prompter.message(kRefusalTitle, "The ROM file holds no bytes.");
    } else {
        prompter.message(kRefusalTitle, "Offset " + ToHex(static_cast<uint32_t>(offset)) +
                                            " lies past the end of the ROM file (its last byte is at " +
                                            ToHex(static_cast<uint32_t>(rom.diskSize() - 1)) + ").");
    }
    return false;
}

bool HexPokeDialog::cmdGet_Click(const RomFile& rom, Prompter& prompter) {
    // Reading is harmless: the box is read leniently.
    const int64_t offset = ParseHex(txtOffset);
    if (!OffsetInFile(rom, prompter, offset)) return false;
    auto byte = rom.byteAt(rom.SmcOffset(offset));
    if (!byte) return false;  // cannot happen: the offset lies inside the file
    txtValue = ToHex(*byte);
    return true;
}

std::optional<HexPokeDialog::Poke> HexPokeDialog::ReadPutBoxes(const RomFile& rom, Prompter& prompter) const {
    // A write goes exactly where the user asked or nowhere: "0x200" or
    // "zz" are not read as 0.
    const std::optional<uint32_t> offset = ParseHexDigits(txtOffset, 8);
    if (!offset) {
        prompter.message(kRefusalTitle, "Nothing was written: the Offset box must hold 1 to 8 hexadecimal digits "
                                        "without a prefix or blanks, not \"" + txtOffset + "\".");
        return std::nullopt;
    }
    const std::optional<uint32_t> value = ParseHexDigits(txtValue, 2);
    if (!value) {
        prompter.message(kRefusalTitle, "Nothing was written: the Value box must hold 1 or 2 hexadecimal digits "
                                        "(0 to FF), not \"" + txtValue + "\".");
        return std::nullopt;
    }
    if (!OffsetInFile(rom, prompter, *offset)) return std::nullopt;
    return Poke{*offset, static_cast<uint8_t>(*value)};
}

bool HexPokeDialog::cmdPut_Click(RomFile& rom, Prompter& prompter) {
    if (rom.isReadOnly()) {
        prompter.message("Marlwick", ReadOnlyRefusal(rom));
        return false;
    }
    const std::optional<Poke> poke = ReadPutBoxes(rom, prompter);
    if (!poke) return false;
    std::vector<uint8_t> image = rom.bytes();
    const int64_t at = rom.SmcOffset(poke->offset);
    image[static_cast<size_t>(at)] = poke->value;
    if (!CommitAndReport(rom, std::move(image), {{{at, 1}}}, prompter)) return false;
    prompter.tell("Marlwick", "Wrote " + ToHex(poke->value) + " at offset " +
                                     ToHex(static_cast<uint32_t>(poke->offset)) + " of the ROM file.");
    return true;
}

bool RomSession::PokeByte(HexPokeDialog& dialog) {
    if (rom.isReadOnly() || !levelLoaded) return dialog.cmdPut_Click(rom, prompter);
    const std::optional<HexPokeDialog::Poke> poke = dialog.ReadPutBoxes(rom, prompter);
    if (!poke) return false;
    const int64_t at = rom.SmcOffset(poke->offset);
    if (!LevelPlaceHolds(level, at)) return dialog.cmdPut_Click(rom, prompter);
    if (changed()) {
        const std::string question = "The byte at offset " + ToHex(static_cast<uint32_t>(poke->offset)) +
                                     " belongs to the loaded level, which is read again from the file after the "
                                     "byte is written. The level has unsaved changes. Save them first?";
        switch (prompter.askSaveDiscardCancel("Marlwick", question)) {
            case SaveChoice::Save:
                mnuFileSave_Click();
                if (changed()) return false;  // the save failed or was refused: no poke
                break;
            case SaveChoice::Discard: break;
            case SaveChoice::Cancel: return false;
        }
    }
    if (!dialog.cmdPut_Click(rom, prompter)) return false;
    ReloadLevel();
    return true;
}

}  // namespace mw
