#include "editing/header_dialog.h"

#include "level/level_codec.h"
#include "util/hex_text.h"

namespace mw {

const char* const kHeaderCaption = "Header Properties";
const char* const kHeaderFrameCaption = "Edit header properties (These numbers are decimal, not hex!)";

std::string HeaderFieldName(const HeaderField& field) {
    std::string name;
    for (const char* c = field.caption; *c != '\0' && *c != ':'; ++c) {
        if (*c != '&') name += *c;
    }
    return name;
}

std::optional<int> ParseHeaderBox(const std::string& text, int maximum) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::nullopt;
    size_t end = text.find_last_not_of(" \t") + 1;
    int value = 0;
    for (size_t i = begin; i < end; ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > maximum) return std::nullopt;
    }
    return value;
}

void HeaderDialog::AcceptData(const LevelHeader& bytes) {
    HeaderValues values = UnpackHeader(bytes);
    for (size_t i = 0; i < boxes.size(); ++i) boxes[i] = std::to_string(values[i]);
}

void HeaderDialog::Show(const LevelHeader& headerBytes) {
    AcceptData(headerBytes);
    visible = true;
}

bool HeaderDialog::Open(const LevelState& level, Prompter& prompter) {
    if (!level.hasHeader) {
        prompter.message("Marlwick", "This level has no header, so there is nothing to edit here.");
        return false;
    }
    Show(level.headerBytes);
    return true;
}

std::optional<LevelHeader> HeaderDialog::cmdOK_Click(Prompter& prompter) {
    HeaderValues values{};
    for (int row = 0; row < static_cast<int>(kHeaderDialogOrder.size()); ++row) {
        int field = kHeaderDialogOrder[row];
        const HeaderField& f = kHeaderFields[field];
        std::optional<int> value = ParseHeaderBox(boxes[field], f.maximum);
        if (!value) {
            prompter.message("Marlwick - User error", HeaderFieldName(f) + " must be a whole decimal number from 0 to " +
                                                          std::to_string(f.maximum) + ".");
            return std::nullopt;
        }
        values[field] = *value;
    }
    visible = false;
    return PackHeader(values);
}

bool HeaderDialog::cmdOK_Click(LevelEditor& editor) {
    if (!editor.session.CheckLevelLoaded()) return false;
    std::optional<LevelHeader> bytes = cmdOK_Click(editor.prompter);
    if (!bytes) return false;
    editor.commands.ResetHeader(*bytes);
    return true;
}

bool HeaderDialog::cmdImport_Click(const RomFile& rom, const DefinitionTables& defs, Prompter& prompter) {
    uint32_t level = ParseHex(txtImportNum);
    // Past DD the table's bytes belong to other data: reading them as pointers imports garbage.
    if (std::optional<Message> refusal = LevelIndexRefusal(static_cast<int32_t>(level))) {
        prompter.message(refusal->title, refusal->text);
        return false;
    }
    if (defs.isHeaderless(static_cast<int32_t>(level))) {
        prompter.message("Marlwick", "Level " + ToHex(level) + " has no header; nothing was imported.");
        return false;
    }
    int64_t entry = kLevelPointerTable + 6 * static_cast<int64_t>(level);
    if (!rom.contains(entry, 3)) {
        prompter.message("Marlwick - User error", "Level " + ToHex(level) +
                                                      " has no entry in the level pointer table of this ROM file.");
        return false;
    }
    uint8_t low = *rom.byteAt(entry), high = *rom.byteAt(entry + 1), bank = *rom.byteAt(entry + 2);
    // Unlike loading a level, the import does not fold banks of 0x80 and above.
    std::optional<int32_t> offset;
    if (bank < 0x60) offset = PointerToOffsetQuiet(low, high, bank);
    if (!offset) {
        prompter.message("Marlwick - Programmer Error",
                         "Eep, I didn't think that bank would get used.  Tell me. (Object data area)");
        return false;
    }
    if (!rom.contains(*offset, 10)) {
        prompter.message("Marlwick - This is bad",
                         "The header of level " + ToHex(level) + " lies past the end of the ROM file.");
        return false;
    }
    LevelHeader bytes{};
    for (int i = 0; i < 10; ++i) bytes[i] = *rom.byteAt(*offset + i);
    AcceptData(bytes);
    return true;
}

}  // namespace mw
