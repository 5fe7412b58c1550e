#include "editing/hex_poke.h"

#include "util/hex_text.h"

namespace mw {

const char* const kHexPokeCaption = "Marlwick - It can edit everything!";
const char* const kHexPokeNote =
    "Since people always ask other editor authors to make more features, I decided I'd nip that "
    "problem in the bud and make mine able to edit everything from the start.  Have fun - Tolliver";

namespace {
constexpr const char* kRefusalTitle = "Marlwick - User error";
}

bool HexPokeDialog::offsetInFile(const RomFile& rom, Prompter& prompter, int64_t& offset) const {
    offset = ParseHex(txtOffset);
    if (offset >= rom.size()) {
        if (rom.size() == 0) {
            prompter.message(kRefusalTitle, "The ROM file holds no bytes.");
        } else {
            prompter.message(kRefusalTitle, "Offset " + ToHex(static_cast<uint32_t>(offset)) +
                                                " lies past the end of the ROM file (its last byte is at " +
                                                ToHex(static_cast<uint32_t>(rom.size() - 1)) + ").");
        }
        return false;
    }
    return true;
}

bool HexPokeDialog::cmdGet_Click(const RomFile& rom, Prompter& prompter) {
    int64_t offset = 0;
    if (!offsetInFile(rom, prompter, offset)) return false;
    auto byte = rom.byteAt(offset);
    if (!byte) return false;  // cannot happen: the offset lies inside the file
    txtValue = ToHex(*byte);
    return true;
}

bool HexPokeDialog::cmdPut_Click(RomFile& rom, Prompter& prompter) {
    if (rom.isReadOnly()) {
        prompter.message("Marlwick", ReadOnlyRefusal(rom));
        return false;
    }
    int64_t offset = 0;
    if (!offsetInFile(rom, prompter, offset)) return false;
    uint32_t value = ParseHex(txtValue);
    if (value > 0xFF) {
        prompter.message(kRefusalTitle, "The value " + txtValue + " does not fit in one byte (0 to FF).");
        return false;
    }
    std::vector<uint8_t> image = rom.bytes();
    image[static_cast<size_t>(offset)] = static_cast<uint8_t>(value);
    return CommitAndReport(rom, std::move(image), {{{offset, 1}}}, prompter);
}

}  // namespace mw
