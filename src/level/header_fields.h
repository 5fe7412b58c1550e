#pragma once
// The 17 bit fields packed into a level's 10 header bytes.
#include <array>
#include <string>

#include "level/level_state.h"

namespace mw {

struct HeaderField {
    const char* caption;  // label of the header dialog
    const char* boxName;  // the text box's name
    int bits;
    int maximum;          // 2^bits - 1
};

// In bit order (the order the fields follow each other in the 80 bits).
extern const std::array<HeaderField, 17> kHeaderFields;
// The dialog's rows from top to bottom, as indices into kHeaderFields.
extern const std::array<int, 17> kHeaderDialogOrder;

using HeaderValues = std::array<int, 17>;  // by kHeaderFields order

HeaderValues UnpackHeader(const LevelHeader& bytes);
// Values must lie within their fields' ranges.
LevelHeader PackHeader(const HeaderValues& values);

}  // namespace mw
