// Committing a changed image to the ROM file: interrupted steps, a file
// changed or removed by another program, backups, the checksum.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>

#include "editing/rom_writes.h"
#include "level/rom_checksum.h"
#include "level/rom_file.h"
#include "support/rom_builder.h"

namespace mw {
namespace {

namespace fs = std::filesystem;
using Status = CommitResult::Status;

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

// Makes the n-th call of one step fail (a write after writing half its bytes).
struct FailingOps : FileOps {
    enum Step { Write, Flush, Rename } step;
    int failOn;
    int seen = 0;
    FailingOps(Step s, int n) : step(s), failOn(n) {}
    bool failsNow(Step s) { return s == step && ++seen == failOn; }
    bool write(int fd, const uint8_t* data, size_t size) override {
        if (!failsNow(Write)) return FileOps::write(fd, data, size);
        FileOps::write(fd, data, size / 2);
        errno = ENOSPC;
        return false;
    }
    bool flush(int fd) override {
        if (!failsNow(Flush)) return FileOps::flush(fd);
        errno = EIO;
        return false;
    }
    bool rename(const std::string& from, const std::string& to) override {
        if (!failsNow(Rename)) return FileOps::rename(from, to);
        errno = EXDEV;
        return false;
    }
};

class RomCommit : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string path = dir.file("game.smc");
    RomFile rom;
    std::vector<uint8_t> original;

    void SetUp() override { make(true); }
    void make(bool rightChecksum) {
        test::RomImage image(0x10200, 0xEA);
        for (size_t k = 0x200; k < image.bytes.size(); k += 7) image.bytes[k] = static_cast<uint8_t>(k >> 3);
        if (rightChecksum) WriteChecksum(image.bytes);
        original = image.bytes;
        test::WriteFileBytes(path, original);
        std::string error;
        ASSERT_TRUE(rom.open(path, error)) << error;
    }
    // The image with `value` at 0x9000..0x9003.
    std::vector<uint8_t> changed(uint8_t value) const {
        std::vector<uint8_t> image = rom.bytes();
        std::fill(image.begin() + 0x9000, image.begin() + 0x9004, value);
        return image;
    }
    const WriteFence fence{{{0x9000, 4}}};
};

TEST_F(RomCommit, AFailingStepLeavesTheFileAsItWasAndNoTemporaryFile) {
    // Call 1 of each step belongs to the backup, call 2 to the ROM itself.
    for (auto step : {FailingOps::Write, FailingOps::Flush, FailingOps::Rename}) {
        for (int n : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "step " << step << ", call " << n);
            make(true);
            fs::remove_all(rom.backupFolder());
            FailingOps ops(step, n);
            rom.setFileOps(&ops);
            RecordingPrompter prompter;
            EXPECT_FALSE(CommitAndReport(rom, changed(0x11), fence, prompter));
            EXPECT_EQ(test::ReadFileBytes(path), original);
            EXPECT_EQ(rom.bytes(), original);
            EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"game.smc", "game.backups"}));
            EXPECT_EQ(Names(rom.backupFolder()).size(), n == 1 ? 0u : 1u);
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_NE(prompter.messages[0].text.find("left as it was"), std::string::npos) << prompter.messages[0].text;
            // The next try, with the disk well again, goes through.
            rom.setFileOps(nullptr);
            EXPECT_EQ(rom.commit(changed(0x11), fence).status, Status::Done);
            EXPECT_EQ(test::ReadFileBytes(path), rom.bytes());
            EXPECT_EQ(test::ReadFileBytes(path)[0x9003], 0x11);
        }
    }
}

TEST_F(RomCommit, FileChangedByAnotherProgram) {
    // Outside the level's bytes: the change goes onto the new contents.
    std::vector<uint8_t> theirs = original;
    theirs[0x300] ^= 0xFF;
    theirs.push_back(0x77);  // and longer
    test::WriteFileBytes(path, theirs);
    CommitResult r = rom.commit(changed(0x22), fence);
    ASSERT_EQ(r.status, Status::Done) << r.reason;
    EXPECT_TRUE(r.appliedToChangedFile);
    std::vector<uint8_t> now = test::ReadFileBytes(path);
    EXPECT_EQ(now.size(), theirs.size());
    EXPECT_EQ(now[0x300], theirs[0x300]);
    EXPECT_EQ(now[0x9000], 0x22);
    EXPECT_EQ(rom.bytes(), now);
    // The backup holds the file as it was found, with the other program's change.
    auto backups = Names(rom.backupFolder());
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(test::ReadFileBytes(rom.backupFolder() + "/" + *backups.begin()), theirs);

    // Inside them (or cut short before them): refused, the file stays theirs.
    for (bool truncate : {false, true}) {
        theirs = rom.bytes();
        if (truncate)
            theirs.resize(0x9002);
        else
            theirs[0x9002] = 0x99;
        test::WriteFileBytes(path, theirs);
        RecordingPrompter prompter;
        EXPECT_FALSE(CommitAndReport(rom, changed(0x33), fence, prompter));
        EXPECT_EQ(test::ReadFileBytes(path), theirs);
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_NE(prompter.messages[0].text.find("another program"), std::string::npos);
    }
}

TEST_F(RomCommit, FileGoneIsWrittenWholeOnlyWhenTheUserSaysSo) {
    fs::remove(path);
    RecordingPrompter no;
    no.answer = false;
    EXPECT_FALSE(CommitAndReport(rom, changed(0x44), fence, no));
    EXPECT_EQ(no.questions.size(), 1u);
    EXPECT_FALSE(fs::exists(path));

    RecordingPrompter yes;
    EXPECT_TRUE(CommitAndReport(rom, changed(0x44), fence, yes));
    std::vector<uint8_t> expected = original;
    std::fill(expected.begin() + 0x9000, expected.begin() + 0x9004, 0x44);
    WriteChecksum(expected);
    EXPECT_EQ(test::ReadFileBytes(path), expected);
    EXPECT_TRUE(yes.messages.empty());
}

TEST_F(RomCommit, BackupOncePerOpeningNewestTenKept) {
    const std::string folder = rom.backupFolder();
    EXPECT_EQ(fs::path(folder).filename(), "game.backups");
    fs::create_directories(folder);
    // Twelve older backups, and files that are not backups of this ROM.
    for (int k = 0; k < 12; ++k)
        test::WriteFileBytes(folder + "/game-2020010" + std::to_string(k / 6 + 1) + "-12000" + std::to_string(k % 6) + ".smc", {1});
    test::WriteFileBytes(folder + "/notes.txt", {2});
    test::WriteFileBytes(folder + "/gamex-20200101-120000.smc", {3});

    ASSERT_EQ(rom.commit(changed(0x55), fence).status, Status::Done);
    ASSERT_EQ(rom.commit(changed(0x56), fence).status, Status::Done);  // no second backup
    auto names = Names(folder);
    EXPECT_EQ(names.size(), 12u);
    EXPECT_TRUE(names.count("notes.txt") && names.count("gamex-20200101-120000.smc"));
    EXPECT_FALSE(names.count("game-20200101-120002.smc"));  // the oldest three go
    EXPECT_TRUE(names.count("game-20200101-120003.smc"));
    std::string newest = *std::prev(names.end(), 3);  // after game-2020…, before gamex/notes
    EXPECT_EQ(test::ReadFileBytes(folder + "/" + newest), original) << newest;

    // A new opening keeps a new backup (numbered when in the same second).
    std::string error;
    ASSERT_TRUE(rom.open(path, error));
    const std::vector<uint8_t> before = rom.bytes();
    ASSERT_EQ(rom.commit(changed(0x57), fence).status, Status::Done);
    names = Names(folder);
    EXPECT_EQ(names.size(), 12u);
    EXPECT_FALSE(names.count("game-20200101-120003.smc"));
    EXPECT_TRUE(names.count("game-20200101-120004.smc"));
    bool found = false;
    for (const auto& n : names) found = found || test::ReadFileBytes(folder + "/" + n) == before;
    EXPECT_TRUE(found);
}

TEST_F(RomCommit, ChecksumKeptRightOrLeftWrong) {
    ASSERT_EQ(rom.commit(changed(0x66), fence).status, Status::Done);
    EXPECT_TRUE(ChecksumIsRight(test::ReadFileBytes(path)));

    // Poking the checksum itself is the user's choice and stays as poked.
    std::vector<uint8_t> poke = rom.bytes();
    poke[kChecksumOffset] ^= 1;
    ASSERT_EQ(rom.commit(poke, {{{kChecksumOffset, 1}}}).status, Status::Done);
    EXPECT_EQ(test::ReadFileBytes(path), poke);

    make(false);
    ASSERT_EQ(rom.commit(changed(0x66), fence).status, Status::Done);
    std::vector<uint8_t> now = test::ReadFileBytes(path);
    EXPECT_FALSE(ChecksumIsRight(now));
    EXPECT_TRUE(std::equal(now.begin() + kChecksumComplementOffset, now.begin() + kChecksumOffset + 2,
                           original.begin() + kChecksumComplementOffset));
}

TEST_F(RomCommit, KeepsPermissionsAndLinksAndRefusesFilesMadeReadOnly) {
    ::chmod(path.c_str(), 0640);
    ASSERT_EQ(rom.commit(changed(0x77), fence).status, Status::Done);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string link = dir.file("link.smc");
    fs::create_symlink(path, link);
    std::string error;
    ASSERT_TRUE(rom.open(link, error));
    ASSERT_EQ(rom.commit(changed(0x78), fence).status, Status::Done);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::ReadFileBytes(path)[0x9000], 0x78);

    // Made read-only after it was opened: refused all the same.
    ASSERT_TRUE(rom.open(path, error));
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(rom.commit(changed(0x79), fence).status, Status::Refused);
    EXPECT_EQ(test::ReadFileBytes(path)[0x9000], 0x78);
}

}  // namespace
}  // namespace mw
