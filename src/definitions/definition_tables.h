#pragma once
// What the program knows of the game's objects and sprites: read once at
// start-up from the definition files beside the executable.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mw {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

enum ObjectKind : uint8_t {
    kKindNone = 0,
    kKindExtended = 3,
    kKindFourByte = 4,
    kKindFiveByte = 5,
    kKindEndMarker = 255,
};

struct ObjectDefinition {
    std::string name;
    uint8_t kind = 0;
    bool crossSectionFlag = false;
    uint8_t sizeMode = 0;  // four-byte objects: 0 nibbles, 1 byte is width, 2 byte is height
    bool isSlope = false;
    uint8_t slopeRun = 0;
    uint8_t slopeRise = 0;
    bool slopeDirectionB = false;
    bool slopeDirectionA = false;
    Rgb colour;
};

struct ExtendedObjectDefinition {
    std::string name;
    uint8_t width = 0;
    uint8_t height = 0;
    bool crossSectionFlag = false;
    Rgb colour;
};

struct SpriteDefinition {
    std::string name;
    Rgb colour;
};

// An entry of a list box: its text and its item data.
struct ListEntry {
    std::string text;
    int value = 0;
    bool operator==(const ListEntry&) const = default;
};

struct DefinitionTables {
    std::array<ObjectDefinition, 256> objectDefs{};
    std::array<ExtendedObjectDefinition, 256> extendedDefs{};
    std::array<SpriteDefinition, 513> spriteDefs{};
    std::vector<ListEntry> destinationLevels;  // LevelList.dat, for the exit editor
    std::vector<ListEntry> entranceTypes;      // EntranceTypes.dat
    // Headerless.dat: the level indices whose data starts with the objects,
    // without the 10-byte header (the title screen).
    std::array<bool, 256> headerlessLevels{};
    bool isHeaderless(int32_t index) const { return index >= 0 && index < 256 && headerlessLevels[index]; }

    // The record layout of an object entry (its object row's kind, by the
    // entry's `id`); an entry of kind 3 is named, sized and coloured by its
    // extended row. Not for sprites.
    template <class Entry>
    uint8_t kindOf(const Entry& o) const {
        return objectDefs[o.id].kind;
    }
};

// A problem with a definition file; `line` is 0 when the whole file is at fault.
struct DefinitionError {
    std::string file;
    int line = 0;
    std::string reason;
    // "<file>, line <n>: <reason>" (or "<file>: <reason>")
    std::string describe() const;
};

// Reads O5Data.dat, O4Data.dat, O4SData.dat, SpriteData.dat, LevelList.dat,
// EntranceTypes.dat and Headerless.dat from `dir`, in that order, into a
// fresh `out`. After
// O4Data.dat, row 00 becomes the extended-object introducer (kind 3, size
// mode 0) and row FF the end marker (kind 255), keeping their names. The
// first missing file or malformed line stops the reading and is returned;
// `out` then holds what was read before it and must not be used.
std::optional<DefinitionError> LoadDefinitions(const std::string& dir, DefinitionTables& out);

// Where the programs in `programFolder` find the definition files: beside
// themselves first, then in the data folder of an installed tree
// ("<prefix>/bin" -> "<prefix>/share/marlwick"), then in the data folder
// they were built to be installed to. `programFolder` when none holds them,
// so that a complaint names the first place looked at.
std::string FindDefinitionsFolder(const std::string& programFolder);

}  // namespace mw
