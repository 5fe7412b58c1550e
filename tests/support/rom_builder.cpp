#include "support/rom_builder.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "definitions/level_lists.h"
#include "level/demo_rom.h"
#include "level/level_codec.h"
#include "level/rom_identity.h"
#include "level/room.h"
#include "platform/files.h"

namespace mw::test {

namespace fs = std::filesystem;

RomImage::RomImage(size_t size, uint8_t fill) : bytes(size, fill) {
    std::fill(bytes.begin(), bytes.begin() + std::min<size_t>(0x200, size), 0x00);
    if (size >= 0x200 + kInternalHeaderInImage + UsInternalHeader().size()) PutUsInternalHeader(bytes);
}

void RomImage::put(int64_t at, const std::vector<uint8_t>& data) {
    if (at + static_cast<int64_t>(data.size()) > static_cast<int64_t>(bytes.size()))
        bytes.resize(at + data.size(), 0x00);
    std::copy(data.begin(), data.end(), bytes.begin() + at);
}

void RomImage::setLevel(int index, int32_t headerOffset, int32_t spriteOffset) {
    setRawPointers(index, LoRomPointer(headerOffset), LoRomPointer(spriteOffset));
}

void RomImage::setRawPointers(int index, std::array<uint8_t, 3> header, std::array<uint8_t, 3> sprites) {
    put(kLevelPointerTable + 6 * index,
        {header[0], header[1], header[2], sprites[0], sprites[1], sprites[2]});
}

std::string RomImage::writeTemp(const std::string& name) const {
    static std::atomic<int> counter{0};
    const fs::path dir = fs::temp_directory_path() / ("marlwick-test-" + std::to_string(platform::CurrentProcessId()));
    fs::create_directories(dir);
    const fs::path p = dir / (std::to_string(counter++) + "-" + name);
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
}

std::vector<uint8_t> Obj5(uint8_t id, int x, int y, uint8_t widthCode, uint8_t heightCode) {
    return {id, static_cast<uint8_t>((y & 0xF0) | (x >> 4)), static_cast<uint8_t>(((y & 0x0F) << 4) | (x & 0x0F)),
            widthCode, heightCode};
}

std::vector<uint8_t> Obj4(uint8_t id, int x, int y, uint8_t sizeByte) {
    return {id, static_cast<uint8_t>((y & 0xF0) | (x >> 4)), static_cast<uint8_t>(((y & 0x0F) << 4) | (x & 0x0F)),
            sizeByte};
}

std::vector<uint8_t> ObjExt(int x, int y, uint8_t extId) { return Obj4(0x00, x, y, extId); }

std::vector<uint8_t> ExitRec(int screenX, int screenY, uint8_t dest, uint8_t ex, uint8_t ey, uint8_t type) {
    return {static_cast<uint8_t>((screenY << 4) | screenX), dest, ex, ey, type};
}

std::vector<uint8_t> SpriteRec(int spriteId, int x, int y) {
    return {static_cast<uint8_t>(spriteId & 0xFF), static_cast<uint8_t>(((y & 0x7F) << 1) | (spriteId >> 8)),
            static_cast<uint8_t>(x)};
}

std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void SetReadOnly(const std::string& path, bool readOnly) {
    using fs::perms;
    if (readOnly)
        fs::permissions(path, perms::owner_write | perms::group_write | perms::others_write, fs::perm_options::remove);
    else
        fs::permissions(path, perms::owner_write, fs::perm_options::add);
}

TempDir::TempDir() {
    std::mt19937 random(std::random_device{}());
    for (int tries = 0; tries < 100 && path_.empty(); ++tries) {
        const fs::path p = fs::temp_directory_path() / ("marlwick-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(p, ec)) path_ = p.generic_string();
    }
    if (path_.empty()) throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& contents) const {
    std::ofstream out(file(name), std::ios::binary);
    out << contents;
}

void TempDir::writeSmallDefinitionFiles() const {
    write("O5Data.dat", "01,Block,000 0 0,0,C89664\n");
    write("O4Data.dat", "02,Nib,0,000 0 0,0,64C864\n");
    write("O4SData.dat", "10,Ext ten,3,2,0,00C8C8\n");
    write("SpriteData.dat", "01E,Guy,C800C8\n");
    write("LevelList.dat", "00,Start\n");
    write("EntranceTypes.dat", "00,Walk\n");
    write("Headerless.dat", "");
}

DefinitionTables SmallDefinitions() {
    DefinitionTables d;
    auto obj = [&](int id, const char* name, uint8_t kind, uint8_t mode, Rgb c) {
        d.objectDefs[id].name = name;
        d.objectDefs[id].kind = kind;
        d.objectDefs[id].sizeMode = mode;
        d.objectDefs[id].colour = c;
    };
    obj(0x00, "Extended", kKindExtended, 0, {0, 0, 0});
    obj(0x01, "Block", kKindFiveByte, 0, {200, 150, 100});
    obj(0x02, "Nib", kKindFourByte, 0, {100, 200, 100});
    obj(0x03, "Row", kKindFourByte, 1, {100, 100, 200});
    obj(0x04, "Column", kKindFourByte, 2, {200, 100, 200});
    obj(0x05, "Slope down", kKindFiveByte, 0, {150, 120, 60});
    d.objectDefs[0x05].isSlope = true;
    d.objectDefs[0x05].slopeRun = 2;
    d.objectDefs[0x05].slopeRise = 1;
    obj(0x06, "Slope up", kKindFiveByte, 0, {150, 120, 70});
    d.objectDefs[0x06].isSlope = true;
    d.objectDefs[0x06].slopeRun = 1;
    d.objectDefs[0x06].slopeRise = 1;
    d.objectDefs[0x06].slopeDirectionA = true;
    d.objectDefs[0x06].slopeDirectionB = true;
    obj(0x07, "Backdrop", kKindFiveByte, 0, {90, 90, 90});
    d.objectDefs[0x07].crossSectionFlag = true;
    obj(0xFF, "End", kKindEndMarker, 0, {0, 0, 0});
    d.extendedDefs[0x10] = {"Ext ten", 3, 2, false, {0, 200, 200}};
    d.spriteDefs[0x000] = {"Zero", {10, 10, 10}};
    d.spriteDefs[0x01E] = {"Guy", {200, 0, 200}};
    d.spriteDefs[0x1F0] = {"High", {20, 30, 40}};
    d.spriteDefs[0x1FF] = {"Last", {50, 60, 70}};
    return d;
}

const DefinitionTables& ShippedDefinitions() {
    static const DefinitionTables tables = [] {
        DefinitionTables t;
        if (auto err = LoadDefinitions(MW_DATA_DIR, t)) throw std::runtime_error(err->describe());
        return t;
    }();
    return tables;
}

namespace {
std::vector<FreeBlock> ShippedBlocks(std::optional<DefinitionError> (*read)(const std::string&, std::vector<FreeBlock>&)) {
    std::vector<FreeBlock> b;
    if (auto err = read(MW_DATA_DIR, b)) throw std::runtime_error(err->describe());
    return b;
}
}  // namespace

const std::vector<FreeBlock>& ShippedFreeBlocks() {
    static const std::vector<FreeBlock> blocks = ShippedBlocks(ReadFreeSpace);
    return blocks;
}

const std::vector<FreeBlock>& ShippedRoomForLevels() {
    static const std::vector<FreeBlock> blocks = ShippedBlocks(ReadRoomForLevels);
    return blocks;
}

std::vector<uint8_t> ShippedDemoRom() { return BuildDemoRom(ShippedDefinitions(), ShippedFreeBlocks()); }

}  // namespace mw::test
