// Captions of level entries, drawn on every label of every paint: built
// straight into the output string, with no temporaries.
#include "level/object_caption.h"
#include "util/hex_text.h"

namespace mw {

void ObjectCaptionInto(std::string& out, const DefinitionTables& defs, const LevelObject& entry, bool prefix) {
    const std::string* name;
    unsigned id;
    char prefixChar = 0;
    if (entry.isSprite) {
        id = static_cast<unsigned>(entry.spriteId());
        name = &defs.spriteDefs[id].name;  // spriteId() is at most 0x1FF
        prefixChar = 'S';
    } else if (defs.objectDefs[entry.id].kind == kKindExtended) {
        id = entry.extId;
        name = &defs.extendedDefs[id].name;
        prefixChar = 'X';
    } else {
        id = entry.id;
        name = &defs.objectDefs[id].name;
    }
    out.clear();
    out.reserve(1 + 3 + 3 + name->size());
    if (prefix && prefixChar != 0) out.push_back(prefixChar);
    AppendHex(out, id);
    out.append(" - ");
    out.append(*name);
}

std::string ObjectCaption(const DefinitionTables& defs, const LevelObject& entry, bool prefix) {
    std::string out;
    ObjectCaptionInto(out, defs, entry, prefix);
    return out;
}

}  // namespace mw
