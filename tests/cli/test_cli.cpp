#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>

#include "level/level_codec.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

CliRun Cli(const std::string& args) {
    CliRun r;
    std::string cmd = std::string(MW_CLI_PATH) + " " + args + " --defs " MW_DATA_DIR " 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Cli, DemoRomChecksAndDescribesItsLevels) {
    test::TempDir dir;
    const std::string rom = dir.file("demo.smc");
    ASSERT_EQ(Cli("make-demo " + rom).status, 0);
    const auto before = ReadAll(rom);

    CliRun check = Cli("check " + rom);
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find("222 levels checked: 222 ok, 0 failed"), std::string::npos);
    EXPECT_EQ(ReadAll(rom), before);  // checking writes nothing

    CliRun info = Cli("info " + rom + " --level 0");
    EXPECT_EQ(info.status, 0);
    for (const char* key : {"\"headerOffset\": ", "\"objectBytesAvailable\": ", "\"isSprite\": true",
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
    std::ofstream(dir.file("bad.smc"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                static_cast<std::streamsize>(bytes.size()));
    CliRun bad = Cli("info " + dir.file("bad.smc") + " --level 5");
    EXPECT_NE(bad.out.find("Bank number: 65"), std::string::npos) << bad.out;
    CliRun badCheck = Cli("check " + dir.file("bad.smc") + " --first 4 --last 6");
    EXPECT_EQ(badCheck.status, 1);
    EXPECT_NE(badCheck.out.find("level 5: FAILED"), std::string::npos) << badCheck.out;
    EXPECT_NE(badCheck.out.find("3 levels checked: 2 ok, 1 failed"), std::string::npos) << badCheck.out;

    // The last index of all still ends the loop; its table entry lies far
    // past the end, at an offset that needs more than 32 bits.
    CliRun far = Cli("check " + rom + " --first 7FFFFFFF --last 7FFFFFFF");
    EXPECT_EQ(far.status, 1);
    EXPECT_NE(far.out.find("(at offset 3000BF9BD)"), std::string::npos) << far.out;
    EXPECT_NE(far.out.find("1 levels checked: 0 ok, 1 failed"), std::string::npos) << far.out;
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

}  // namespace
}  // namespace mw
