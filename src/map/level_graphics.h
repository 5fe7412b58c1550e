#pragma once
// What layer 1 of a level draws from, built from the user's ROM as the game
// builds it when the level loads: the character memory (the tileset files
// decompressed to their places in video memory), the colour rows and the
// background colour.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "level/level_state.h"

namespace mw {

// The header fields the graphics depend on, in the game's reading of the
// ten header bytes (most significant bit first).
struct GraphicsHeader {
    int backgroundColour = 0;  // 5 bits
    int bg1Tileset = 0;        // 4
    int bg1Palette = 0;        // 5
    int bg2Tileset = 0;        // 5
    int bg2Palette = 0;        // 6
    int bg3Tileset = 0;        // 6
    int bg3Palette = 0;        // 6
    int levelMode = 0;         // 5 (after the 7-bit sprite set and the 4-bit sprite palette)
    int animationTileset = 0;  // 6
    bool operator==(const GraphicsHeader&) const = default;
};
GraphicsHeader ReadGraphicsHeader(const LevelHeader& bytes);

// Level modes whose graphics are built into the game's code, not loaded
// from the tileset tables: nullopt for the others, else why they show boxes.
std::optional<std::string> UnsupportedLevelMode(int levelMode);

// The ROM image inside a file's bytes (after any copier header), and where
// it starts in the file (for messages).
struct RomImageView {
    std::span<const uint8_t> image;
    int64_t fileBase = 0;
};
RomImageView ImageOf(const std::vector<uint8_t>& fileBytes);

// Colours as 0xAARRGGBB: alpha 0 for a transparent colour.
using Argb = uint32_t;
// A BGR555 colour to RGB, each 5-bit channel c to (c << 3) | (c >> 2).
Argb Bgr555ToArgb(uint16_t c);

struct LevelGraphics {
    std::vector<uint8_t> vram;      // 64 KiB of video memory, byte 2*w holds word w's low byte
    std::array<uint16_t, 128> cgram{};  // colour rows 0-7 as BGR555 (colour 0 of each row unused)
    Argb background = 0xFF000000;
    bool world6 = false;
    // The first reason something could not be read (a bad pointer, a broken
    // stream); what could be read is in place all the same.
    std::string problem;
    // Empty when the animated tiles are those the game shows as the level
    // starts; else why they are not.
    std::string animationNote;
};

// Builds the level's character memory and palette.
LevelGraphics BuildLevelGraphics(const RomImageView& rom, const GraphicsHeader& header, bool world6);

}  // namespace mw
