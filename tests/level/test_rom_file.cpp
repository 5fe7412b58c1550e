// What RomFile::open accepts as a ROM, and what a read-only ROM allows.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>

#include "editing/rom_writes.h"
#include "editing/hex_poke.h"
#include "level/level_codec.h"
#include "level/level_save.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

TEST(RomFileOpen, RefusesWhatIsNotARegularFileOfAtMost16MiBBeforeReadingIt) {
    test::TempDir dir;
    const std::string fifo = dir.file("pipe.smc"), big = dir.file("big.smc"), edge = dir.file("edge.smc");
    { std::ofstream(big, std::ios::binary); }
    std::filesystem::resize_file(big, RomFile::kMaxRomSize + 1);
    { std::ofstream(edge, std::ios::binary); }
    std::filesystem::resize_file(edge, RomFile::kMaxRomSize);
    struct Case {
        std::string path;
        const char* reason;  // empty: opens
    };
    std::vector<Case> cases = {
#ifndef _WIN32  // no FIFOs or device files there
        {fifo, "not a regular file"},  // would block the open
        {"/dev/zero", "not a regular file"},  // would be read until memory runs out
#endif
        {dir.path(), "not a regular file"},
        {big, "larger than 16 MiB"},
        {dir.file("missing.smc"), "No such file"},
        {edge, ""},
    };
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
#endif
    RomFile open;
    std::string err;
    ASSERT_TRUE(open.open(test::RomImage().writeTemp(), err)) << err;
    const std::string before = open.path();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        RomFile f;
        err.clear();
        if (*c.reason == '\0') {
            EXPECT_TRUE(f.open(c.path, err)) << err;
            EXPECT_EQ(f.size(), RomFile::kMaxRomSize);
            continue;
        }
        EXPECT_FALSE(f.open(c.path, err));
        EXPECT_FALSE(f.isOpen());
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        // A refused file leaves the one that was open as it was.
        EXPECT_FALSE(open.open(c.path, err));
        EXPECT_EQ(open.path(), before);
    }
}

TEST(RomFileOpen, AReadOnlyFileIsReadButNeverWritten) {
    test::RomImage image;
    image.put(0x10000, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFF, 0xFF, 0x00, 0x00});
    image.put(0x10100, {0xFF, 0xFF});
    image.setLevel(0, 0x10000, 0x10100);
    const std::string path = image.writeTemp();
    test::SetReadOnly(path, true);
    RomFile f;
    std::string err;
    ASSERT_TRUE(f.open(path, err)) << err;
    EXPECT_TRUE(f.isReadOnly());
    EXPECT_EQ(f.bytes(), image.bytes);

    RecordingPrompter p;
    LevelState level;
    ASSERT_EQ(test::TakeLoad(LoadLevelIndex(f, test::SmallDefinitions(), 0), p, level), LoadResult::Loaded);
    EXPECT_FALSE(SaveLevel(f, test::SmallDefinitions(), level, p));
    HexPokeDialog poke;
    poke.txtOffset = "10000";
    poke.txtValue = "7";
    EXPECT_FALSE(poke.cmdPut_Click(f, p));
    ASSERT_EQ(p.messages.size(), 2u);
    for (const PromptMessage& m : p.messages) EXPECT_NE(m.text.find(path + " is read-only"), std::string::npos);
    std::vector<uint8_t> changed = f.bytes();
    changed[0x10000] = 7;
    EXPECT_EQ(f.commit(changed, {{{0x10000, 1}}}).status, CommitResult::Status::Refused);

    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}), image.bytes);
    // Once writable again, the next opening may write.
    test::SetReadOnly(path, false);
    ASSERT_TRUE(f.open(path, err));
    EXPECT_FALSE(f.isReadOnly());
}

}  // namespace
}  // namespace mw
