#pragma once
// The loaded level: objects and sprites in one list, screen exits, the raw
// header and the byte budgets that saving has to respect.
#include <array>
#include <cstdint>
#include <vector>

namespace mw {

// One entry of the object list. Objects and sprites share this record;
// `isSprite` tells them apart. For a sprite, `extId` holds bit 8 of the
// 9-bit sprite ID and both extents are 1.
struct LevelObject {
    uint8_t id = 0;
    uint8_t extId = 0;
    uint8_t x = 0;
    uint8_t y = 0;
    int16_t width = 1;
    int16_t height = 1;
    bool isSprite = false;

    int spriteId() const { return id + 256 * extId; }
    bool operator==(const LevelObject&) const = default;
};

inline LevelObject MakeObject(uint8_t id, int x, int y, int width = 1, int height = 1) {
    LevelObject o;
    o.id = id;
    o.x = static_cast<uint8_t>(x);
    o.y = static_cast<uint8_t>(y);
    o.width = static_cast<int16_t>(width);
    o.height = static_cast<int16_t>(height);
    return o;
}

inline LevelObject MakeSprite(int spriteId, int x, int y) {
    LevelObject s = MakeObject(static_cast<uint8_t>(spriteId & 0xFF), x, y);
    s.extId = static_cast<uint8_t>((spriteId >> 8) & 1);
    s.isSprite = true;
    return s;
}

struct ScreenExit {
    uint8_t screenX = 0;
    uint8_t screenY = 0;
    uint8_t destination = 0;
    uint8_t entranceX = 0;
    uint8_t entranceY = 0;
    uint8_t entranceType = 0;
    bool operator==(const ScreenExit&) const = default;
};

using LevelHeader = std::array<uint8_t, 10>;

struct LevelState {
    // Objects in stream order, then sprites in stream order (edits may mix them).
    std::vector<LevelObject> objectList;
    std::vector<ScreenExit> exitList;
    int objectBytesUsed = 0;       // object and exit records, end markers not counted
    int objectBytesAvailable = 0;  // used + the zero bytes after the exits' end marker
    int32_t headerOffset = 0;
    int spriteBytesUsed = 0;
    int spriteBytesAvailable = 0;
    int32_t spriteOffset = 0;
    LevelHeader headerBytes{};
    // False for a level read without a header (the title screen): its
    // objects start at headerOffset and headerBytes are not saved.
    bool hasHeader = true;
    // False when the byte after the objects' end marker was 0x80..0xFE: the
    // level has no exits and that byte already belongs to the data behind it,
    // so the level owns no exit end marker (and no free space).
    bool ownsExitEndMarker = true;
    // The level pointer table entry the level was loaded through; -1 when
    // it was loaded by offsets (it then has no pointer a save could move).
    int32_t tableIndex = -1;

    int objectLast() const { return static_cast<int>(objectList.size()) - 1; }
    int exitLast() const { return static_cast<int>(exitList.size()) - 1; }
    bool operator==(const LevelState&) const = default;
};

}  // namespace mw
