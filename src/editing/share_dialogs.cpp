#include "editing/share_dialogs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "editing/level_editor.h"
#include "platform/files.h"
#include "util/atomic_file.h"
#include "util/hex_text.h"

namespace mw {

namespace {

constexpr const char* kTitle = "Marlwick";

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// True when both paths name the same existing file.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(platform::PathOf(a), platform::PathOf(b), ec) && !ec;
}

bool OpenPatchRom(const std::string& path, const char* which, RomFile& into, Prompter& prompter) {
    std::string error;
    if (into.open(path, error)) return true;
    prompter.message(kTitle, std::string("The ") + which + " " + path + " cannot be read: " + error +
                                 ".\nNothing was written.");
    return false;
}

bool WriteResult(const std::string& path, const std::vector<uint8_t>& bytes, Prompter& prompter) {
    std::string error;
    if (ReplaceFile(WriteTarget(path), bytes, FileOwner{}, SystemFileOps(), error)) return true;
    prompter.message(kTitle, "Cannot write " + path + ": " + error + ".\nIt was left as it was.");
    return false;
}

}  // namespace

bool FindDialog::cmdFind_Click(const LevelEditor& editor, Prompter& prompter) {
    if (!editor.rom.isOpen()) {
        prompter.message(kTitle, "No ROM is open.");
        return false;
    }
    FindQuery query;
    query.kind = kind;
    const std::string_view box = Trimmed(txtFind);
    if (kind == FindQuery::Kind::Name) {
        if (box.empty()) {
            prompter.message(kTitle, "Type a piece of the name to find.");
            return false;
        }
        query.text = std::string(box);
    } else {
        const bool sprite = kind == FindQuery::Kind::Sprite;
        const std::optional<uint32_t> id = ParseHexDigits(box, sprite ? 3 : 2);
        const bool number = std::all_of(box.begin(), box.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
        if (!box.empty() && !number) {
            // No number at all: the box takes a piece of a name as well.
            kind = query.kind = FindQuery::Kind::Name;
            query.text = std::string(box);
        } else if (!id || *id > (sprite ? 0x1FFu : 0xFFu)) {
            prompter.message(kTitle, std::string("\"") + txtFind + "\" is no " +
                                         (sprite ? "sprite ID: give 0 to 1FF" : "object ID: give 0 to FF") +
                                         " in hexadecimal.");
            return false;
        } else {
            query.id = static_cast<int>(*id);
        }
    }
    hits = FindInAllLevels(editor.rom, editor.defs, query);
    return true;
}

std::array<std::string, 4> FindDialog::RowTexts(const FindHit& hit) {
    return {ToHex(static_cast<uint32_t>(hit.level)), ToHex(static_cast<uint32_t>(hit.entry)),
            ToHex(static_cast<uint32_t>(hit.x)) + "," + ToHex(static_cast<uint32_t>(hit.y)), hit.caption};
}

bool FindDialog::GoTo(LevelEditor& editor, int row) const {
    if (row < 0 || row >= static_cast<int>(hits.size())) return false;
    const FindHit& hit = hits[static_cast<size_t>(row)];
    const bool loaded = editor.session.levelLoaded && editor.level.tableIndex == hit.level && !editor.session.changed();
    if (!loaded && !editor.session.LoadLevelIndex(hit.level)) return false;
    // The list was made from the ROM as saved; an entry that is no longer
    // there (the ROM was changed since) is not guessed at.
    const auto& entries = editor.level.objectList;
    if (hit.entry >= static_cast<int>(entries.size()) || entries[static_cast<size_t>(hit.entry)].x != hit.x ||
        entries[static_cast<size_t>(hit.entry)].y != hit.y) {
        editor.prompter.message(kTitle, "Entry " + ToHex(static_cast<uint32_t>(hit.entry)) + " of level " +
                                            ToHex(static_cast<uint32_t>(hit.level)) +
                                            " is no longer where it was found; search again.");
        return false;
    }
    editor.SelectObject(hit.entry);
    editor.panels.cmdGotoObject_Click();
    return true;
}

const char* const kPatchLayoutNote =
    "Patches are made between the images without the copier header, so one patch applies to a "
    "headerless file and to one with a header alike.";

std::string OfferedOriginal(const RomFile& rom) {
    if (!rom.isOpen()) return {};
    const std::vector<std::string> backups = rom.Backups();
    return backups.empty() ? std::string() : backups.front();
}

std::string UnsavedNote(const LevelEditor& editor) {
    if (!editor.session.changed()) return {};
    return "The level has unsaved changes: the patch is made of the ROM as saved on the disk, without them.";
}

bool CreatePatchFile(const RomFile& rom, PatchFormat format, const std::string& originalPath,
                     const std::string& outPath, Prompter& prompter) {
    if (!rom.isOpen()) {
        prompter.message(kTitle, "No ROM is open.");
        return false;
    }
    if (SameFile(outPath, rom.path()) || SameFile(outPath, originalPath)) {
        prompter.message(kTitle, "The patch would replace a ROM; choose another name for it.\nNothing was written.");
        return false;
    }
    RomFile original;
    if (!OpenPatchRom(originalPath, "original", original, prompter)) return false;
    const PatchOutcome patch = MakePatch(format, original.Image(), rom.Image());
    if (!patch.ok()) {
        prompter.message(kTitle, "No patch was made: " + patch.error + ".\nNothing was written.");
        return false;
    }
    if (!WriteResult(outPath, patch.bytes, prompter)) return false;
    prompter.message(kTitle, std::string("Wrote the ") + PatchFormatName(format) + " patch " + outPath + " (" +
                                 std::to_string(patch.bytes.size()) + " bytes).");
    return true;
}

bool ApplyPatchFile(const RomFile& rom, const std::string& originalPath, const std::string& patchPath,
                    const std::string& outPath, Prompter& prompter) {
    if (SameFile(outPath, originalPath) || (rom.isOpen() && SameFile(outPath, rom.path()))) {
        prompter.message(kTitle,
                         "The patched copy would replace the original or the open ROM; choose another name for "
                         "it.\nNothing was written.");
        return false;
    }
    RomFile original;
    if (!OpenPatchRom(originalPath, "original", original, prompter)) return false;
    bool missing = false;
    std::string error;
    const std::optional<std::vector<uint8_t>> patch = ReadWholeFile(patchPath, missing, error, 2 * kMaxPatchImage);
    if (!patch) {
        prompter.message(kTitle, "The patch " + patchPath + " cannot be read: " + error + ".\nNothing was written.");
        return false;
    }
    const PatchOutcome patched = ApplyPatch(original.Image(), *patch);
    if (!patched.ok()) {
        prompter.message(kTitle, "The patch " + patchPath + " cannot be applied to " + originalPath + ": " +
                                     patched.error + ".\nNothing was written.");
        return false;
    }
    const std::vector<uint8_t> file = original.FileWithImage(patched.bytes);
    if (!WriteResult(outPath, file, prompter)) return false;
    prompter.message(kTitle, "Wrote the patched copy " + outPath + " (" + std::to_string(file.size()) + " bytes).");
    return true;
}

}  // namespace mw
