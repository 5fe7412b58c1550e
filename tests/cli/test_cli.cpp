#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>

#include <filesystem>

#include "cli/cli_files.h"
#include "editing/rom_writes.h"
#include "level/level_codec.h"
#include "level/level_save.h"
#include "level/level_json.h"
#include "level/rom_checksum.h"
#include "level/rom_identity.h"
#include "util/hex_text.h"
#include "util/json.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
};

// `shell` runs first in the same shell (e.g. to set a limit).
CliRun Cli(const std::string& args, const std::string& shell = "") {
    CliRun r;
    std::string cmd = shell + std::string(MW_CLI_PATH) + " " + args + " --defs " MW_DATA_DIR " 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

TEST(Cli, DemoRomChecksAndDescribesItsLevels) {
    test::TempDir dir;
    const std::string rom = dir.file("demo.smc");
    ASSERT_EQ(Cli("make-demo " + rom).status, 0);
    const auto before = test::ReadFileBytes(rom);

    CliRun check = Cli("check " + rom);
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find("222 levels checked: 222 ok, 0 failed"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(rom), before);  // checking writes nothing

    CliRun info = Cli("info " + rom + " --level 0");
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(check.out.find("level 0: ok (objects 86/110 bytes, sprites 27/39 bytes"), std::string::npos) << check.out;
    for (const char* key : {"\"headerOffset\": ", "\"headerOffsetHex\": \"880D6\"", "\"objectBytesAvailable\": ", "\"isSprite\": true",
                            "\"destination\": ", "\"messages\": []"})
        EXPECT_NE(info.out.find(key), std::string::npos) << key;
    EXPECT_NE(info.out.find("\"header\": ["), std::string::npos);
    // The title screen's data has no header.
    CliRun title = Cli("info " + rom + " --level 38");
    EXPECT_EQ(title.status, 0) << title.out;
    EXPECT_NE(title.out.find("\"header\": null"), std::string::npos) << title.out;

    // A level index whose pointer names an invalid bank: loaded from offset 0
    // with its message, reported in the JSON.
    auto bytes = before;
    bytes[kLevelPointerTable + 6 * 5 + 2] = 0x65;
    test::WriteFileBytes(dir.file("bad.smc"), bytes);
    CliRun bad = Cli("info " + dir.file("bad.smc") + " --level 5");
    EXPECT_NE(bad.out.find("Bank number: 65"), std::string::npos) << bad.out;
    CliRun badCheck = Cli("check " + dir.file("bad.smc") + " --first 4 --last 6");
    EXPECT_EQ(badCheck.status, 1);
    EXPECT_NE(badCheck.out.find("level 5: FAILED"), std::string::npos) << badCheck.out;
    EXPECT_NE(badCheck.out.find("3 levels checked: 2 ok, 1 failed"), std::string::npos) << badCheck.out;

    // Numbers that are not hexadecimal, are negative or lie outside their
    // range are usage errors that name the option; nothing is loaded.
    const struct {
        const char* args;
        const char* option;
    } usageErrors[] = {
        {"check ROM --first 80000000", "--first"},  {"check ROM --last DE", "--last"},
        {"info ROM --level zz", "--level"},         {"info ROM --level -5", "--level"},
        {"info ROM --offsets 0x200 0", "--offsets"}, {"info ROM --offsets 200 1000000", "--offsets"},
        {"render ROM --level x --out o.png", "--level"}, {"import ROM --level 1FF f.json", "--level"},
    };
    for (const auto& c : usageErrors) {
        std::string args = c.args;
        args.replace(args.find("ROM"), 3, rom);
        CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << args << "\n" << run.out;
        EXPECT_NE(run.out.find(std::string(c.option) + " takes a hexadecimal number"), std::string::npos) << run.out;
    }
}

TEST(Cli, RefusedLoadsStillPrintTheirJson) {
    test::TempDir dir;
    test::RomImage tiny(0x400);
    const std::string path = dir.file("tiny.smc");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(tiny.bytes.data()), 0x400);
    CliRun r = Cli("info " + path + " --level 0");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"objects\": []"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("runs past the end of the ROM file"), std::string::npos) << r.out;

    CliRun missing = Cli("info " + dir.file("nope.smc") + " --level 0");
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.out.find("nope.smc"), std::string::npos);
}

TEST(Cli, FailedOutputsAreReportedAndLeaveWhatWasThere) {
    test::TempDir dir;
    const std::string rom = dir.file("demo.smc");
    ASSERT_EQ(Cli("make-demo " + rom).status, 0);
    const std::string folder = dir.file("out");
    fs::create_directory(folder);
    fs::create_directory(folder + "/dir");
    ASSERT_EQ(::mkfifo((folder + "/fifo").c_str(), 0644), 0);
    // A limit on the file size makes the write of the temporary file fail
    // part way (SIGXFSZ ignored, so that the write returns EFBIG).
    const std::string sizeLimit = "ulimit -f 1; trap '' XFSZ; ";
    const struct {
        std::string target, shell, said;
    } cases[] = {
        {folder + "/dir", "", "not a regular file"},
        {folder + "/fifo", "", "not a regular file"},
        {"/dev/full", "", "not a regular file"},
        {folder + "/old", sizeLimit, "File too large"},
    };
    for (const auto& c : cases) {
        if (c.target == "/dev/full" && !fs::is_character_file(c.target)) continue;  // never create one
        for (const std::string& command :
             {std::string("make-demo "), "render " + rom + " --level 0 --out ", "tilemap " + rom + " --level 0 --out "}) {
            SCOPED_TRACE(command + c.target);
            test::WriteFileBytes(folder + "/old", {'o', 'l', 'd'});
            const auto type = fs::status(c.target).type();
            CliRun r = Cli(command + c.target, c.shell);
            EXPECT_EQ(r.status, 1) << r.out;
            EXPECT_NE(r.out.find("cannot write " + c.target + ": "), std::string::npos) << r.out;
            EXPECT_NE(r.out.find(c.said), std::string::npos) << r.out;
            EXPECT_EQ(fs::status(c.target).type(), type);
            EXPECT_EQ(test::ReadFileBytes(folder + "/old"), (std::vector<uint8_t>{'o', 'l', 'd'}));
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);  // no temporary file
        }
    }
    // A link stays a link, and its target gets the output.
    fs::create_symlink("old", folder + "/link");
    ASSERT_EQ(Cli("make-demo " + folder + "/link").status, 0);
    EXPECT_TRUE(fs::is_symlink(folder + "/link"));
    EXPECT_EQ(test::ReadFileBytes(folder + "/old"), test::ReadFileBytes(rom));
    // Standard output that cannot be written fails the command too.
    const std::string info = std::string(MW_CLI_PATH) + " info " + rom + " --level 0 --defs " MW_DATA_DIR;
    EXPECT_EQ(WEXITSTATUS(std::system((info + " >/dev/full 2>/dev/null").c_str())), 1);
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(Cli, CommandsTakeHeaderlessDumpsAndWarnAboutOtherVersions) {
    test::TempDir dir;
    std::vector<uint8_t> smc = test::ShippedDemoRom();
    smc[0x200 + kInternalHeaderInImage + 25] = 0x02;  // region: Europe
    test::WriteFileBytes(dir.file("pal.smc"), smc);
    test::WriteFileBytes(dir.file("pal.sfc"), std::vector<uint8_t>(smc.begin() + 0x200, smc.end()));
    const std::string warning = JsonString(RomIdentityWarning(smc).value_or(""));

    // The same level from either file; the offsets are each file's own.
    std::string headerOffset[2];
    for (int k = 0; k < 2; ++k) {
        const std::string file = dir.file(k == 0 ? "pal.smc" : "pal.sfc");
        CliRun info = Cli("info " + file + " --level 0");
        EXPECT_EQ(info.status, 0) << info.out;  // a warning, and the level loads
        EXPECT_NE(info.out.find("\"text\": " + warning), std::string::npos) << info.out;
        const size_t at = info.out.find("\"headerOffset\": ");
        ASSERT_NE(at, std::string::npos);
        headerOffset[k] = info.out.substr(at + 16, info.out.find(',', at) - at - 16);
        EXPECT_EQ(Cli("check " + file).status, 0) << file;
    }
    EXPECT_EQ(std::stoi(headerOffset[0]) - 0x200, std::stoi(headerOffset[1]));
    const CliRun byOffsets = Cli("info " + dir.file("pal.sfc") + " --offsets " + ToHex(std::stoul(headerOffset[1])) + " 0");
    EXPECT_NE(byOffsets.out.find("\"headerOffset\": " + headerOffset[1]), std::string::npos) << byOffsets.out;

    // An import writes the dump in its own layout.
    const CliRun info = Cli("info " + dir.file("pal.sfc") + " --level 1");
    WriteText(dir.file("level.json"), info.out);
    ASSERT_EQ(Cli("import " + dir.file("pal.sfc") + " --level 0 " + dir.file("level.json")).status, 0);
    EXPECT_EQ(test::ReadFileBytes(dir.file("pal.sfc")).size(), 0x200000u);
    const CliRun imported = Cli("info " + dir.file("pal.sfc") + " --level 0");
    EXPECT_NE(imported.out.find(info.out.substr(info.out.find("\"objects\""), 200)), std::string::npos);
}

TEST(Cli, PatchesAreMadeBetweenImagesAndApplyToEitherLayout) {
    test::TempDir dir;
    ASSERT_EQ(Cli("make-demo " + dir.file("orig.smc")).status, 0);
    ASSERT_EQ(Cli("make-demo --headerless " + dir.file("orig.bin")).status, 0);
    std::vector<uint8_t> modified = test::ReadFileBytes(dir.file("orig.bin"));
    ASSERT_EQ(modified.size(), 0x200000u);
    for (size_t k = 0x90000; k < 0x90400; ++k) modified[k] = static_cast<uint8_t>(k * 7);
    modified[0x1FFFFF] ^= 1;
    test::WriteFileBytes(dir.file("mod.sfc"), modified);
    std::vector<uint8_t> modifiedSmc = test::ReadFileBytes(dir.file("orig.smc"));
    std::copy(modified.begin(), modified.end(), modifiedSmc.begin() + 0x200);

    for (const char* ext : {".bps", ".ips"}) {
        const std::string patch = dir.file(std::string("p") + ext);
        const CliRun made = Cli("patch " + dir.file("orig.smc") + " " + dir.file("mod.sfc") + " --out " + patch);
        ASSERT_EQ(made.status, 0) << made.out;
        EXPECT_LT(test::ReadFileBytes(patch).size(), 2000u);
        // Each original gives the modified image in its own layout.
        ASSERT_EQ(Cli("apply " + dir.file("orig.bin") + " " + patch + " --out " + dir.file("out.sfc")).status, 0);
        EXPECT_EQ(test::ReadFileBytes(dir.file("out.sfc")), modified) << ext;
        ASSERT_EQ(Cli("apply " + dir.file("orig.smc") + " " + patch + " --out " + dir.file("out.smc")).status, 0);
        EXPECT_EQ(test::ReadFileBytes(dir.file("out.smc")), modifiedSmc) << ext;
    }
    // A BPS patch refuses another original, and nothing is written.
    const CliRun wrong = Cli("apply " + dir.file("mod.sfc") + " " + dir.file("p.bps") + " --out " + dir.file("x.sfc"));
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.out.find("wrong original"), std::string::npos) << wrong.out;
    EXPECT_FALSE(fs::exists(dir.file("x.sfc")));
    EXPECT_EQ(Cli("patch " + dir.file("orig.smc") + " " + dir.file("mod.sfc") + " --out " + dir.file("p.txt")).status, 2);
}

TEST(Cli, FindListsEveryUseInAllLevels) {
    test::TempDir dir;
    ASSERT_EQ(Cli("make-demo " + dir.file("demo.sfc")).status, 0);
    const CliRun sprite = Cli("find " + dir.file("demo.sfc") + " --sprite 1E");
    ASSERT_EQ(sprite.status, 0) << sprite.out;
    EXPECT_NE(sprite.out.find("level 0, entry "), std::string::npos) << sprite.out;
    const std::string name = test::ShippedDefinitions().spriteDefs[0x1E].name;
    std::string lines = sprite.out;
    size_t count = 0;
    for (size_t at = 0; (at = lines.find('\n', at)) != std::string::npos; ++at) ++count;
    EXPECT_GT(count, 10u);  // the demo's levels repeat through the table
    EXPECT_EQ(lines.find(": S1E - " + name), lines.find(": S"));  // every hit names the sprite
    // A piece of the name in other case finds at least those.
    std::string piece = name.substr(0, 3);
    for (char& c : piece) c = static_cast<char>(std::islower(static_cast<unsigned char>(c)) ? std::toupper(c) : std::tolower(c));
    const CliRun byName = Cli("find " + dir.file("demo.sfc") + " --name \"" + piece + "\"");
    EXPECT_NE(byName.out.find(sprite.out.substr(0, sprite.out.find('\n'))), std::string::npos) << byName.out;
    EXPECT_EQ(Cli("find " + dir.file("demo.sfc") + " --sprite 200").status, 2);
    EXPECT_EQ(Cli("find " + dir.file("demo.sfc") + " --sprite 1E --object 1").status, 2);
}

TEST(Cli, TestCopyStartsTheFirstCourseInTheLevelAndLeavesTheRom) {
    test::TempDir dir;
    for (const std::string name : {"demo.smc", "demo.sfc"}) {
        const std::string rom = dir.file(name);
        ASSERT_EQ(Cli("make-demo " + rom).status, 0);
        const std::vector<uint8_t> before = test::ReadFileBytes(rom);
        const size_t table = 0x0BF671 - (name == "demo.sfc" ? 0x200 : 0);
        struct Case {
            std::string args;
            int status;
            std::array<uint8_t, 3> record;  // level, x, y
        };
        // 2: reached by a screen exit of level 0; 6: by nothing.
        const std::vector<Case> cases = {{"--level 2 --at 10,20", 0, {2, 10, 20}},
                                         {"--level 6 --at 255,127", 0, {6, 255, 127}},
                                         {"--level 2", 0, {2, 0x08, 0x70}},
                                         {"--level 6", 1, {}},
                                         {"--level 2 --at 10,128", 2, {}}};
        for (const Case& c : cases) {
            std::filesystem::remove(dir.file("copy"));
            const CliRun r = Cli("test-copy " + rom + " " + c.args + " --out " + dir.file("copy"));
            EXPECT_EQ(r.status, c.status) << c.args << r.out;
            EXPECT_EQ(test::ReadFileBytes(rom), before) << c.args;
            if (c.status != 0) {
                EXPECT_FALSE(fs::exists(dir.file("copy")));
                continue;
            }
            std::vector<uint8_t> copy = test::ReadFileBytes(dir.file("copy"));
            ASSERT_EQ(copy.size(), before.size()) << c.args;
            EXPECT_TRUE(std::equal(c.record.begin(), c.record.end(), copy.begin() + table)) << c.args;
            EXPECT_EQ(copy[table + 3], before[table + 3]);  // the map icon stays
            if (name == "demo.smc") {
                EXPECT_TRUE(ChecksumIsRight(copy)) << c.args;
            }
        }
    }
}

// What the core loads for level `index` of the file at `path`.
LevelState Load(const std::string& path, int index) {
    RomFile rom;
    std::string error;
    LevelState state;
    RecordingPrompter prompter;
    EXPECT_TRUE(rom.open(path, error)) << error;
    EXPECT_EQ(test::TakeLoad(LoadLevelIndex(rom, test::ShippedDefinitions(), index), prompter, state), LoadResult::Loaded);
    return state;
}

TEST(Cli, TilemapWritesTheGridOrSaysWhyNot) {
    test::TempDir dir;
    const std::string rom = dir.file("demo.smc");
    ASSERT_EQ(Cli("make-demo " + rom).status, 0);
    for (int n = 0; n < 9; ++n) {
        const std::string out = dir.file("map" + std::to_string(n));
        CliRun r = Cli("tilemap " + rom + " --level " + std::to_string(n) + " --out " + out);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_NE(r.out.find("made by the game's code"), std::string::npos) << r.out;
        EXPECT_EQ(test::ReadFileBytes(out).size(), 65536u) << n;
    }
    // Level 0's ground starts at row 16, column 0: grass ($0101), little-endian.
    const auto grid = test::ReadFileBytes(dir.file("map0"));
    EXPECT_EQ(grid[(16 * 256) * 2], 0x01);
    EXPECT_EQ(grid[(16 * 256) * 2 + 1], 0x01);
    const LevelState first = Load(rom, 0);
    char offsets[64];
    std::snprintf(offsets, sizeof offsets, " --offsets %X %X", first.headerOffset, first.spriteOffset);
    EXPECT_EQ(Cli("tilemap " + rom + offsets + " --out " + dir.file("byOffsets")).status, 0);
    EXPECT_EQ(test::ReadFileBytes(dir.file("byOffsets")), grid);

    // The title screen has no header: exit 1, the reason, nothing written.
    CliRun title = Cli("tilemap " + rom + " --level 38 --out " + dir.file("title"));
    EXPECT_EQ(title.status, 1);
    EXPECT_NE(title.out.find("no header"), std::string::npos) << title.out;
    EXPECT_FALSE(fs::exists(dir.file("title")));
    EXPECT_EQ(Cli("tilemap " + rom + " --level 0").status, 2);  // no --out
}

TEST(Cli, ImportRoundTripsInfoAndTakesEdits) {
    test::TempDir dir;
    const std::string rom = dir.file("demo.smc");
    ASSERT_EQ(Cli("make-demo " + rom).status, 0);
    const auto before = test::ReadFileBytes(rom);

    // info -> import unchanged writes the same bytes.
    CliRun info = Cli("info " + rom + " --level 0");
    ASSERT_EQ(info.status, 0);
    WriteText(dir.file("level.json"), info.out);
    CliRun same = Cli("import " + rom + " --level 0 " + dir.file("level.json"));
    EXPECT_EQ(same.status, 0) << same.out;
    EXPECT_NE(same.out.find("Level saved succesfully."), std::string::npos) << same.out;
    EXPECT_EQ(test::ReadFileBytes(rom), before);

    // An edit: one object fewer, one moved, a sprite more, another header.
    LevelState level = Load(rom, 0);
    level.objectList.erase(level.objectList.begin() + 1);
    level.objectList[0].x = static_cast<uint8_t>(level.objectList[0].x + 3);
    level.objectList.push_back(MakeSprite(0x1E, 9, 10));
    level.headerBytes[0] ^= 1;
    WriteText(dir.file("edited.json"), LevelToJson(level, {}));
    CliRun edited = Cli("import " + rom + " --level 0 " + dir.file("edited.json"));
    ASSERT_EQ(edited.status, 0) << edited.out;
    LevelState after = Load(rom, 0);
    EXPECT_EQ(after.objectList, level.objectList);
    EXPECT_EQ(after.headerBytes, level.headerBytes);
    EXPECT_EQ(after.exitList, level.exitList);
    EXPECT_EQ(CliRun(Cli("check " + rom)).status, 0);
}

TEST(Cli, ImportRefusesBadFilesNamingTheEntryAndWritesNothing) {
    test::TempDir dir;
    const std::string rom = dir.file("demo.smc");
    ASSERT_EQ(Cli("make-demo " + rom).status, 0);
    const auto before = test::ReadFileBytes(rom);
    const std::string good = Cli("info " + rom + " --level 0").out;
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::string firstObject = good.substr(good.find("{\"id\": "), good.find("}", good.find("{\"id\": ")) -
                                                                         good.find("{\"id\": ") + 1);
    const struct {
        std::string json;
        std::string said;
    } cases[] = {
        {"{\"header\": [1, 2", "not valid JSON"},
        {replaced("\"header\": [", "\"header\": [300, "), "header"},
        {replaced("\"header\": [", "\"header\": null, \"x\": ["), "header"},
        {replaced(firstObject, "{\"id\": 250, \"extId\": 0, \"x\": 1, \"y\": 1, \"width\": 1, \"height\": 1, "
                               "\"isSprite\": false}"),
         "objects[0]"},
        {replaced(firstObject, "{\"id\": 1, \"extId\": 0, \"x\": 256, \"y\": 1, \"width\": 1, \"height\": 1, "
                               "\"isSprite\": false}"),
         "objects[0]"},
        {replaced("\"screenX\": ", "\"screenX\": 16, \"old\": "), "exits[0]"},
    };
    for (const auto& c : cases) {
        WriteText(dir.file("bad.json"), c.json);
        CliRun r = Cli("import " + rom + " --level 0 " + dir.file("bad.json"));
        EXPECT_EQ(r.status, 1) << c.json;
        EXPECT_NE(r.out.find(c.said), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("Nothing was written"), std::string::npos) << r.out;
    }
    CliRun gone = Cli("import " + rom + " --level 0 " + dir.file("nope.json"));
    EXPECT_EQ(gone.status, 1);
    EXPECT_NE(gone.out.find("nope.json"), std::string::npos);
    // Only a regular file is read: a folder, a FIFO with no writer and an
    // endless device are refused at once.
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    for (const std::string& odd : {dir.path(), dir.file("pipe"), std::string("/dev/zero")}) {
        CliRun r = Cli("import " + rom + " --level 0 " + odd);
        EXPECT_EQ(r.status, 1) << odd;
        EXPECT_TRUE(r.out.find("not a regular file") != std::string::npos || r.out.find("Is a directory") != std::string::npos)
            << r.out;
    }
    // Too big for the level's place.
    LevelState level = Load(rom, 0);
    while (level.objectBytesUsed <= level.objectBytesAvailable + 5) {
        level.objectList.push_back(MakeObject(0x01, 3, 3, 2, 2));
        level.objectBytesUsed += 5;
    }
    WriteText(dir.file("big.json"), LevelToJson(level, {}));
    CliRun big = Cli("import " + rom + " --level 0 " + dir.file("big.json") + " --in-place");
    EXPECT_EQ(big.status, 1) << big.out;
    EXPECT_EQ(test::ReadFileBytes(rom), before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("demo.backups")));
}

// Between reading the ROM and saving to it, another program deletes it: the
// command says so and writes nothing, with or without --in-place (which
// answers the questions no).
TEST(Cli, ARomDeletedBeforeTheSaveIsNotWrittenAnew) {
    test::TempDir dir;
    const std::string path = dir.file("demo.smc");
    ASSERT_EQ(Cli("make-demo " + path).status, 0);
    for (bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "--in-place" : "may move");
        if (!fs::exists(path)) {
            ASSERT_EQ(Cli("make-demo " + path).status, 0);
        }
        RomFile rom;
        ASSERT_TRUE(OpenCommandRom(path, rom));
        LevelState level = Load(path, 0);
        fs::remove(path);
        RecordingPrompter saying;
        saying.answer = !inPlace;
        EXPECT_EQ(SaveLevel(rom, test::ShippedDefinitions(), level, saying).status, CommitResult::Status::Missing);
        EXPECT_TRUE(saying.questions.empty());
        ASSERT_EQ(saying.messages.size(), 1u);
        EXPECT_NE(saying.messages[0].text.find("is gone"), std::string::npos) << saying.messages[0].text;
        EXPECT_FALSE(fs::exists(path));
    }
}

}  // namespace
}  // namespace mw
