#include "editing/palette.h"

#include <cctype>

#include "util/hex_text.h"

namespace mw {

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

void PaletteCaptionInto(std::string& out, const DefinitionTables& defs, int code) {
    out.clear();
    const std::string* name = nullptr;
    const char* letter = "";
    int id = code;
    if (code >= kSpriteCodeBase) {
        id = code - kSpriteCodeBase;
        letter = "S";
        name = &defs.spriteDefs[id].name;
    } else if (code >= kExtendedCodeBase) {
        id = code - kExtendedCodeBase;
        letter = "X";
        name = &defs.extendedDefs[id].name;
    } else {
        name = &defs.objectDefs[id].name;
    }
    // One "0" before the whole caption for IDs below 0x10, group letter included.
    if (id < 0x10) out += '0';
    out += letter;
    AppendHex(out, id);
    out += ": ";
    out += *name;
}

std::string PaletteCaption(const DefinitionTables& defs, int code) {
    std::string caption;
    PaletteCaptionInto(caption, defs, code);
    return caption;
}

bool FilterMatches(std::string_view caption, std::string_view filter) {
    if (filter.size() > caption.size()) return false;
    for (size_t start = 0; start + filter.size() <= caption.size(); ++start) {
        size_t i = 0;
        while (i < filter.size() && Upper(caption[start + i]) == Upper(filter[i])) ++i;
        if (i == filter.size()) return true;
    }
    return false;
}

void BuildObjectList(const DefinitionTables& defs, const std::array<bool, 3>& groups, std::string_view filter,
                     std::vector<ListEntry>& items) {
    static const int kGroupStart[3] = {0, kExtendedCodeBase, kSpriteCodeBase};
    static const int kGroupEnd[3] = {kExtendedCodeBase, kSpriteCodeBase, kPaletteCodeEnd};
    std::string caption;
    size_t count = 0;
    for (int group = 0; group < 3; ++group) {
        if (!groups[group]) continue;
        for (int code = kGroupStart[group]; code < kGroupEnd[group]; ++code) {
            PaletteCaptionInto(caption, defs, code);
            if (!FilterMatches(caption, filter)) continue;
            if (count < items.size()) {
                items[count].text = caption;
                items[count].value = code;
            } else {
                items.push_back({caption, code});
            }
            ++count;
        }
    }
    items.resize(count);
}

}  // namespace mw
