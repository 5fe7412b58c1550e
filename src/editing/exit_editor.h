#pragma once
// Pieces of the screen exit editor that need no window: reading a box into
// an exit's byte field, moving an exit by one screen, finding a list item.
#include <optional>
#include <string_view>
#include <vector>

#include "definitions/definition_tables.h"
#include "level/level_state.h"

namespace mw {

// Exits lie on the level area the view shows: 16 screen columns, 8 rows
// (the game reads a screen byte with bit 7 set as the end of the exits).
constexpr int kExitScreenColumns = 16;
constexpr int kExitScreenRows = 8;

enum class ExitField { Destination, EntranceType, EntranceX, EntranceY };

uint8_t& ExitFieldRef(ScreenExit& exit, ExitField field);

// A box's text as the byte it stores: hexadecimal digits only (leading
// zeros allowed) of a value up to FF; nullopt for any other text, empty
// text included.
std::optional<uint8_t> ReadExitBox(std::string_view text);

// cmdMoveScreen index: 0 right, 1 up, 2 left, 3 down. False (and the exit
// unchanged) when the move would leave the level area.
bool MoveExitScreen(ScreenExit& exit, int index);

// Index of the first item whose item data is `value`, or -1.
int FindListValue(const std::vector<ListEntry>& items, int value);

}  // namespace mw
