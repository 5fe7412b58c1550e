#pragma once
// ROM images built byte by byte for tests and benchmarks, and the temporary
// files and definition tables they need.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "level/level_codec.h"
#include "level/level_state.h"
#include "util/prompter.h"

namespace mw::test {

// A ROM image: a 0x200-byte copier header of zeros, then `fill` bytes up to
// `size`, with the internal header of 1.0 (U) where the size allows. Large
// enough by default to hold the level pointer table.
struct RomImage {
    explicit RomImage(size_t size = 0xC8000, uint8_t fill = 0xEA);
    std::vector<uint8_t> bytes;

    void put(int64_t at, const std::vector<uint8_t>& data);
    // Points entry `index` of the level pointer table at two file offsets
    // (LoROM addresses).
    void setLevel(int index, int32_t headerOffset, int32_t spriteOffset);
    // Writes the six raw pointer bytes of entry `index`.
    void setRawPointers(int index, std::array<uint8_t, 3> header, std::array<uint8_t, 3> sprites);
    // Writes the image to a fresh temporary file and returns its path.
    std::string writeTemp(const std::string& name = "test.smc") const;
};

// Records, as a level's streams hold them.
std::vector<uint8_t> Obj5(uint8_t id, int x, int y, uint8_t widthCode, uint8_t heightCode);
std::vector<uint8_t> Obj4(uint8_t id, int x, int y, uint8_t sizeByte);
std::vector<uint8_t> ObjExt(int x, int y, uint8_t extId);
std::vector<uint8_t> ExitRec(int screenX, int screenY, uint8_t dest, uint8_t ex, uint8_t ey, uint8_t type);
std::vector<uint8_t> SpriteRec(int spriteId, int x, int y);
std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts);

// The whole contents of a file (empty when it cannot be read), and a file
// written with exactly `bytes`.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// Takes the write permission from everyone (the read-only attribute on
// Windows), or gives it back to the owner.
void SetReadOnly(const std::string& path, bool readOnly);

// A fresh directory under the system's temporary directory, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& contents) const;
    // A few definition files, the smallest set an editor opens with: object
    // 01 "Block", object 02 "Nib", extended 10 "Ext ten", sprite 01E "Guy",
    // level 00 "Start", entrance 00 "Walk".
    void writeSmallDefinitionFiles() const;

private:
    std::string path_;
};

// A fixed pseudo-random sequence, the same on every platform and library,
// for generated levels that must not change between runs.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : seed_(seed) {}
    // The next number in 0 .. range-1.
    int operator()(int range) {
        seed_ = seed_ * 1103515245u + 12345u;
        return static_cast<int>((seed_ >> 16) % static_cast<uint32_t>(range));
    }

private:
    uint32_t seed_;
};

// Small tables independent of the shipped files:
//   00 extended (ext 10: 3x2 "Ext ten", ext 11: 0x0 unnamed)
//   01 five-byte "Block"         02 four-byte nibbles "Nib"
//   03 four-byte width "Row"     04 four-byte height "Column"
//   05 five-byte slope 2:1 down  06 five-byte slope (A, B set) 1:1
//   07 five-byte, cross-section  FF end marker
//   sprites 000 "Zero", 01E "Guy", 1F0 "High", 1FF "Last"
DefinitionTables SmallDefinitions();
// The definition files shipped in data/ (loaded once).
const DefinitionTables& ShippedDefinitions();
// The free blocks shipped in data/FreeSpace.dat (read once).
const std::vector<FreeBlock>& ShippedFreeBlocks();
// The shipped free blocks and level areas: where a moving save may go.
const std::vector<FreeBlock>& ShippedRoomForLevels();
// The demo ROM built from the shipped files.
std::vector<uint8_t> ShippedDemoRom();

// A load as the tests take it: its messages go to `said`; `level` takes the
// loaded level and is left alone when the load was refused.
inline LoadResult TakeLoad(LevelLoad load, RecordingPrompter& said, LevelState& level) {
    for (Message& m : load.messages) said.messages.push_back(std::move(m));
    if (load.loaded()) level = std::move(load.level);
    return load.result;
}

}  // namespace mw::test
