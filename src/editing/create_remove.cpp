#include "editing/create_remove.h"

#include <algorithm>

#include "editing/palette.h"
#include "level/level_codec.h"

namespace mw {

namespace {
uint8_t TileOf(int scroll) { return static_cast<uint8_t>(std::clamp(scroll, 0, 255)); }
}  // namespace

LevelObject NewEntryFromCode(const DefinitionTables& defs, int code, uint8_t x, uint8_t y) {
    LevelObject entry;
    entry.x = x;
    entry.y = y;
    if (code >= kSpriteCodeBase) {
        int sprite = code - kSpriteCodeBase;
        entry.id = static_cast<uint8_t>(sprite & 0xFF);
        entry.extId = sprite > 255 ? 1 : 0;
        entry.isSprite = true;
    } else if (code >= kExtendedCodeBase) {
        const ExtendedObjectDefinition& d = defs.extendedDefs[code - kExtendedCodeBase];
        entry.id = 0;
        entry.extId = static_cast<uint8_t>(code - kExtendedCodeBase);
        entry.width = d.width == 0 ? 1 : d.width;
        entry.height = d.height == 0 ? 1 : d.height;
    } else {
        entry.id = static_cast<uint8_t>(code);
    }
    return entry;
}

bool AddEntry(LevelDocument::Edit& edit, const DefinitionTables& defs, int code, int tileX, int tileY,
              int& selectedObject, Prompter& prompter) {
    if (code == 0) {
        prompter.message("Marlwick - Subtle nudge towards feature usage",
                         "You should add special objects using the options below with the prefix 'S'");
        return false;
    }
    if (code < 0 || code >= kPaletteCodeEnd) {
        prompter.message("Marlwick - User error", "Please select an object before attempting to add one");
        return false;
    }
    if (code < kExtendedCodeBase) {
        uint8_t kind = defs.objectDefs[code].kind;
        if (kind != kKindFourByte && kind != kKindFiveByte) {
            prompter.message("Marlwick - User error",
                             "\"" + PaletteCaption(defs, code) +
                                 "\" is not defined as a four- or five-byte object, so it cannot be created.");
            return false;
        }
    }
    LevelObject entry = NewEntryFromCode(defs, code, TileOf(tileX), TileOf(tileY));
    edit.insertObject(edit.level().objectLast() + 1, entry);
    if (!entry.isSprite) selectedObject = edit.level().objectLast();
    return true;
}

void ReportCannotRemoveAll(Prompter& prompter) {
    prompter.message("Marlwick - Stopping crashes before they happen",
                     "Cannot delete every object in level.\n(It wouldn't have anything to hold it up, and it'd fall down)");
}

bool RemoveEntry(LevelDocument::Edit& edit, int& selectedObject, Prompter& prompter) {
    const LevelState& level = edit.level();
    if (level.objectLast() <= 0) {
        ReportCannotRemoveAll(prompter);
        return false;
    }
    selectedObject = std::clamp(selectedObject, 0, level.objectLast());
    edit.eraseObject(selectedObject);
    if (selectedObject > level.objectLast()) selectedObject = level.objectLast();
    return true;
}

bool AddExit(LevelDocument::Edit& edit, int scrollX, int scrollY, int& selectedExit, Prompter& prompter) {
    const LevelState& level = edit.level();
    // Without an end marker of its own the level must make room for one.
    if (!level.ownsExitEndMarker && level.objectBytesUsed + kExitRecordBytes + 1 > level.objectBytesAvailable) {
        prompter.message("Marlwick - It doesn't have pointer recalculation",
                         "This level has no room for a screen exit.  An exit needs 5 bytes, plus 1 for the end "
                         "of the exit list.  Delete some objects first!");
        return false;
    }
    ScreenExit exit;
    exit.screenX = static_cast<uint8_t>(TileOf(scrollX) / 16);
    exit.screenY = static_cast<uint8_t>(TileOf(scrollY) / 16);
    edit.insertExit(level.exitLast() + 1, exit);
    selectedExit = level.exitLast();
    return true;
}

bool RemoveExit(LevelDocument::Edit& edit, int& selectedExit, Prompter& prompter) {
    const LevelState& level = edit.level();
    if (level.exitLast() < 0) {
        prompter.message("Marlwick", "All screen exits deleted");
        return false;
    }
    selectedExit = std::clamp(selectedExit, 0, level.exitLast());
    edit.eraseExit(selectedExit);
    if (selectedExit > level.exitLast()) selectedExit = level.exitLast();
    return true;
}

}  // namespace mw
