#include "editing/exit_editor.h"

#include "util/hex_text.h"

namespace mw {

uint8_t& ExitFieldRef(ScreenExit& exit, ExitField field) {
    switch (field) {
        case ExitField::Destination: return exit.destination;
        case ExitField::EntranceType: return exit.entranceType;
        case ExitField::EntranceX: return exit.entranceX;
        case ExitField::EntranceY: break;
    }
    return exit.entranceY;
}

std::optional<uint8_t> ReadExitBox(std::string_view text) {
    const std::optional<uint32_t> value = ParseHexDigits(text, 8);
    if (!value || *value > 0xFF) return std::nullopt;
    return static_cast<uint8_t>(*value);
}

bool MoveExitScreen(ScreenExit& exit, int index) {
    // Each button moves only while the exit stays inside the level area; an
    // exit read from outside it (a row of 8 or more) can still be moved back.
    switch (index) {
        case 0:
            if (exit.screenX + 1 >= kExitScreenColumns) return false;
            ++exit.screenX;
            return true;
        case 1:
            if (exit.screenY == 0) return false;
            --exit.screenY;
            return true;
        case 2:
            if (exit.screenX == 0) return false;
            --exit.screenX;
            return true;
        case 3:
            if (exit.screenY + 1 >= kExitScreenRows) return false;
            ++exit.screenY;
            return true;
        default:
            return false;
    }
}

int FindListValue(const std::vector<ListEntry>& items, int value) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].value == value) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace mw
