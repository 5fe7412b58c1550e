#include "level/level_import.h"

#include "level/level_codec.h"

namespace mw {

std::optional<std::string> ApplyLevelContent(const DefinitionTables& defs, const LevelContent& content,
                                             LevelState& state) {
    if (state.hasHeader && !content.header)
        return std::string("\"header\" is null, but this level has a header: it must be a list of 10 bytes");
    if (!state.hasHeader && content.header)
        return std::string("this level has no header, so \"header\" must be null");
    if (content.header) state.headerBytes = *content.header;
    state.objectList = content.objectList;
    state.exitList = content.exitList;
    CountBytesUsed(defs, state);
    return std::nullopt;
}

}  // namespace mw
