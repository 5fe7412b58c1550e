#include "level/header_fields.h"

namespace mw {

const std::array<HeaderField, 17> kHeaderFields = {{
    {"&Background Color: (0 - 31)", "s", 5, 31},
    {"&Tileset: (0-15)", "t", 4, 15},
    {"Layer One Object Palette: (0-31)", "f", 5, 31},
    {"Layer Two Image: (0-31)", "i", 5, 31},
    {"Layer Two Object Palette: (0-63)", "b", 6, 63},
    {"Layer Three Type: (0-63)", "l", 6, 63},
    {"Layer Three Object Palette: (0-63)", "c", 6, 63},
    {"Sprite Set: (0-127)", "p", 7, 127},
    {"Sprite Pallete: (0-15)", "r", 4, 15},
    {"Layer/Ordering Property: (0-31)", "o", 5, 31},
    {"Unknown: (0-3)", "u", 2, 3},
    {"Layer 3 Tileset: (0-3)", "a", 2, 3},
    {"Special Effects: (0-127)", "e", 7, 127},
    {"Initial Layer 1 Position: (0-3)", "g", 2, 3},
    {"Initial Layer 2 Position: (0-3)", "y", 2, 3},
    {"Music: (0-31)", "m", 5, 31},
    {"Unknown 2: (0-127)", "u2", 7, 127},
}};

// Music sits under Special Effects, and the second layer's position above
// the first's.
const std::array<int, 17> kHeaderDialogOrder = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 14, 13, 16};

// The fields follow each other without gaps through the 80 bits, most
// significant bit of byte 0 first.
HeaderValues UnpackHeader(const LevelHeader& bytes) {
    HeaderValues values{};
    int bit = 0;
    for (size_t f = 0; f < kHeaderFields.size(); ++f) {
        int v = 0;
        for (int k = 0; k < kHeaderFields[f].bits; ++k, ++bit) v = (v << 1) | ((bytes[bit / 8] >> (7 - bit % 8)) & 1);
        values[f] = v;
    }
    return values;
}

LevelHeader PackHeader(const HeaderValues& values) {
    LevelHeader bytes{};
    int bit = 0;
    for (size_t f = 0; f < kHeaderFields.size(); ++f) {
        const int width = kHeaderFields[f].bits;
        for (int k = width - 1; k >= 0; --k, ++bit)
            if ((values[f] >> k) & 1) bytes[bit / 8] = static_cast<uint8_t>(bytes[bit / 8] | (0x80 >> (bit % 8)));
    }
    return bytes;
}

}  // namespace mw
