// The file layer under every save: what it refuses to read or replace, where
// a write through a link goes, and which temporary files it clears away.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <set>

#include "support/rom_builder.h"
#include "util/atomic_file.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

TEST(FileLayer, OnlyRegularFilesAreReadOrReplacedAndNothingWaits) {
    test::TempDir dir;
    std::vector<std::string> others = {dir.file("folder")};
    fs::create_directory(others[0]);
#ifndef _WIN32
    others.push_back(dir.file("fifo"));  // a read would wait for a writer for ever
    ASSERT_EQ(::mkfifo(others.back().c_str(), 0644), 0);
#endif
    for (const std::string& path : others) {
        SCOPED_TRACE(path);
        bool missing = true;
        std::string error;
        EXPECT_FALSE(ReadWholeFile(path, missing, error));
        EXPECT_FALSE(missing);
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
        error.clear();
        EXPECT_FALSE(ReplaceFile(path, {1, 2}, FileOwner{}, SystemFileOps(), error));
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    bool missing = false;
    std::string error;
    EXPECT_FALSE(ReadWholeFile(dir.file("none"), missing, error));
    EXPECT_TRUE(missing);

    // A file is replaced whole, and read back within a limit.
    const std::string file = dir.file("f.bin");
    test::WriteFileBytes(file, {9, 9, 9, 9, 9});
    ASSERT_TRUE(ReplaceFile(file, {1, 2, 3}, FileOwner{}, SystemFileOps(), error)) << error;
    EXPECT_EQ(ReadWholeFile(file, missing, error), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(ReadWholeFile(file, missing, error, 3));  // a file of just the limit is read
    EXPECT_FALSE(ReadWholeFile(file, missing, error, 2));
    EXPECT_EQ(fs::directory_iterator(dir.path())->path().filename().string().find(".marlwick-"), std::string::npos);
}

TEST(FileLayer, WritesThroughLinksReachTheLastTargetEvenWhenItIsGone) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need rights on Windows that a test cannot count on";
#else
    test::TempDir dir;
    fs::create_directory(dir.file("a"));
    fs::create_symlink("a/second", dir.file("first"));
    fs::create_symlink(dir.file("target.smc"), dir.file("a/second"));
    EXPECT_EQ(WriteTarget(dir.file("first")), dir.file("target.smc"));
    std::string error;
    ASSERT_TRUE(ReplaceFile(WriteTarget(dir.file("first")), {7}, FileOwner{}, SystemFileOps(), error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.file("first")));
    EXPECT_EQ(test::ReadFileBytes(dir.file("first")), std::vector<uint8_t>{7});
    EXPECT_EQ(WriteTarget(dir.file("target.smc")), dir.file("target.smc"));
#endif
}

TEST(FileLayer, StaleTemporaryFilesAreTheirFileOfAnEndedProcessOnly) {
    test::TempDir dir;
    const std::string self = std::to_string(platform::CurrentProcessId());
    struct Case {
        std::string name;
        bool forRomGoes;  // cleared for "rom.smc"
        bool forAnyGoes;  // cleared when any file's are
    };
    const Case cases[] = {
        {".rom.smc.marlwick-99999996-abcdefgh.tmp", true, true},
        {".rom.smc.marlwick-" + self + "-abcdefgh.tmp", false, false},  // this process is running
        {".other.smc.marlwick-99999996-abcdefgh.tmp", false, true},
        {".rom.smc.marlwick-99999996-abcdefgh.tmp.bak", false, false},
        {".rom.smc.marlwick-9x-abcdefgh.tmp", false, false},
        {"rom.smc.marlwick-99999996-abcdefgh.tmp", false, false},
        {"rom.smc", false, false},
    };
    for (bool any : {false, true}) {
        for (const Case& c : cases) test::WriteFileBytes(dir.file(c.name), {1});
        const int removed = RemoveStaleTemporaryFiles(dir.path(), any ? "" : "rom.smc");
        int expected = 0;
        for (const Case& c : cases) {
            const bool goes = any ? c.forAnyGoes : c.forRomGoes;
            expected += goes;
            EXPECT_EQ(fs::exists(dir.file(c.name)), !goes) << c.name << (any ? " (any)" : "");
        }
        EXPECT_EQ(removed, expected);
    }
}

}  // namespace
}  // namespace mw
