// The definition files shipped in data/ against the facts they were written
// from: object record sizes must match the game exactly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"

namespace mw {
namespace {

const std::string kDataDir = MW_DATA_DIR;
const std::string kReferenceDir = kDataDir + "/../../shared/reference";

// Rows of a tab-separated table with a header line, by column name.
std::vector<std::map<std::string, std::string>> ReadTsv(const std::string& path) {
    std::vector<std::map<std::string, std::string>> rows;
    std::ifstream in(path);
    std::string line;
    std::vector<std::string> header;
    auto split = [](const std::string& s) {
        std::vector<std::string> out;
        std::stringstream ss(s);
        std::string cell;
        while (std::getline(ss, cell, '\t')) out.push_back(cell);
        if (!s.empty() && s.back() == '\t') out.emplace_back();
        return out;
    };
    if (!std::getline(in, line)) return rows;
    header = split(line);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<std::string> cells = split(line);
        std::map<std::string, std::string> row;
        for (size_t i = 0; i < header.size(); ++i) row[header[i]] = i < cells.size() ? cells[i] : "";
        rows.push_back(std::move(row));
    }
    return rows;
}

int Hex(const std::string& s) { return static_cast<int>(std::stoul(s, nullptr, 16)); }

class ShippedData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tables = new DefinitionTables;
        error = LoadDefinitions(kDataDir, *tables);
    }
    static void TearDownTestSuite() { delete tables; }

    void SetUp() override { ASSERT_FALSE(error) << error->describe(); }

    static std::string reference(const std::string& name) {
        std::string path = kReferenceDir + "/" + name;
        return std::filesystem::exists(path) ? path : "";
    }

    static inline DefinitionTables* tables = nullptr;
    static inline std::optional<DefinitionError> error;
};

TEST_F(ShippedData, ObjectKindsAndSizeModesMatchTheGame) {
    std::string path = reference("objects.tsv");
    if (path.empty()) GTEST_SKIP() << "no reference tables beside the repository";
    auto rows = ReadTsv(path);
    ASSERT_EQ(rows.size(), 256u);
    for (const auto& row : rows) {
        int id = Hex(row.at("id"));
        const ObjectDefinition& def = tables->objectDefs[id];
        SCOPED_TRACE("object " + row.at("id"));
        if (id == 0x00) {
            EXPECT_EQ(def.kind, kKindExtended);
        } else if (id == 0xFF) {
            EXPECT_EQ(def.kind, kKindEndMarker);
        } else if (id >= 0xF7) {
            EXPECT_EQ(def.kind, kKindNone);  // no routine in the game
            continue;
        } else if (row.at("bytes") == "5") {
            EXPECT_EQ(def.kind, kKindFiveByte);
            EXPECT_EQ(def.sizeMode, 0);
        } else {
            ASSERT_EQ(row.at("bytes"), "4");
            EXPECT_EQ(def.kind, kKindFourByte);
            EXPECT_EQ(def.sizeMode, row.at("size_byte") == "width" ? 1 : 2);
        }
        EXPECT_FALSE(def.name.empty());

        // Slopes: run and rise from the table; a slope rising to the right
        // (or falling to the left) is marked from the top-right corner.
        const std::string& slope = row.at("slope");
        EXPECT_EQ(def.isSlope, !slope.empty());
        if (!slope.empty()) {
            EXPECT_EQ(def.slopeRun, slope[0] - '0');
            EXPECT_EQ(def.slopeRise, slope[2] - '0');
            bool fromTopRight = slope.find("up-right") != std::string::npos ||
                                slope.find("down-left") != std::string::npos;
            EXPECT_EQ(def.slopeDirectionA, fromTopRight);
            EXPECT_EQ(def.slopeDirectionB, fromTopRight);
        }
    }
}

TEST_F(ShippedData, ExtendedObjectsHaveTheirFootprints) {
    std::string path = reference("extended.tsv");
    if (path.empty()) GTEST_SKIP() << "no reference tables beside the repository";
    int named = 0;
    for (const auto& row : ReadTsv(path)) {
        const ExtendedObjectDefinition& def = tables->extendedDefs[Hex(row.at("ext_id"))];
        SCOPED_TRACE("extended " + row.at("ext_id"));
        EXPECT_FALSE(def.name.empty());
        const std::string& w = row.at("width_tiles");
        const std::string& h = row.at("height_tiles");
        EXPECT_EQ(def.width, w.empty() ? 1 : std::stoi(w));
        EXPECT_EQ(def.height, h.empty() ? 1 : std::stoi(h));
        ++named;
    }
    EXPECT_EQ(named, 230);
}

TEST_F(ShippedData, EverySpriteIdIsNamed) {
    for (int id = 0; id <= 0x1FF; ++id) EXPECT_FALSE(tables->spriteDefs[id].name.empty()) << id;
}

TEST_F(ShippedData, ColoursAreLightEnoughForLabels) {
    auto light = [](Rgb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b >= 170.0; };
    for (int id = 0; id < 256; ++id) {
        if (tables->objectDefs[id].kind != kKindNone) {
            EXPECT_TRUE(light(tables->objectDefs[id].colour)) << id;
        }
        if (!tables->extendedDefs[id].name.empty()) {
            EXPECT_TRUE(light(tables->extendedDefs[id].colour)) << id;
        }
    }
    for (int id = 0; id <= 0x1FF; ++id) EXPECT_TRUE(light(tables->spriteDefs[id].colour)) << id;
}

TEST_F(ShippedData, LevelListsCoverEveryLevelOfThePointerTable) {
    std::vector<ListEntry> levels;
    std::vector<LevelOffsetEntry> offsets;
    ASSERT_FALSE(ReadLevelList(kDataDir, levels));
    ASSERT_FALSE(ReadLevelOffsets(kDataDir, offsets));
    EXPECT_EQ(levels, tables->destinationLevels);
    ASSERT_EQ(levels.size(), 0xDEu);
    ASSERT_EQ(offsets.size(), 0xDEu);
    for (int k = 0; k < 0xDE; ++k) EXPECT_EQ(levels[k].value, k);
    EXPECT_EQ(tables->entranceTypes.size(), 11u);

    std::string path = reference("levels.tsv");
    if (path.empty()) return;
    auto rows = ReadTsv(path);
    ASSERT_EQ(rows.size(), offsets.size());
    for (size_t k = 0; k < rows.size(); ++k) EXPECT_EQ(offsets[k].offset, Hex(rows[k].at("header_file_offset"))) << k;
}

// Every usable padding byte of the game's ROM is in exactly one block, and
// nothing else is; the linear blocks are those of banks the game addresses
// linearly.
TEST_F(ShippedData, FreeBlocksAreTheUsablePadding) {
    std::string path = reference("free_space.tsv");
    if (path.empty()) GTEST_SKIP() << "no reference tables beside the repository";
    std::vector<FreeBlock> blocks;
    ASSERT_FALSE(ReadFreeSpace(kDataDir, blocks));
    std::map<int, bool> usable;  // file offset -> linear
    for (const auto& row : ReadTsv(path))
        if (row.at("use") == "yes")
            for (int k = Hex(row.at("file_start")); k <= Hex(row.at("file_end")); ++k) {
                const int bank = Hex(row.at("snes_start")) >> 16;
                usable[k] = bank == 0x19 || (bank >= 0x21 && bank <= 0x23);
            }
    size_t covered = 0;
    for (const FreeBlock& b : blocks) {
        for (int k = b.start; k < b.end; ++k) {
            ASSERT_TRUE(usable.count(k)) << std::hex << k;
            EXPECT_EQ(usable[k], b.linear) << std::hex << k;
        }
        covered += static_cast<size_t>(b.end - b.start);
    }
    EXPECT_EQ(covered, usable.size());
}

}  // namespace
}  // namespace mw
