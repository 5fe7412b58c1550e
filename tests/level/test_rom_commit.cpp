// Committing a changed image to the ROM file: interrupted steps, a file
// changed or removed by another program, backups, the checksum.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>
#include <set>

#include "editing/rom_writes.h"
#include "level/rom_checksum.h"
#include "level/rom_file.h"
#include "platform/files.h"
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
    std::string renamedFrom;
    FailingOps(Step s, int n) : step(s), failOn(n) {}
    bool failsNow(Step s) { return s == step && ++seen == failOn; }
    bool write(platform::NativeFile file, const uint8_t* data, size_t size, std::string& error) override {
        if (!failsNow(Write)) return FileOps::write(file, data, size, error);
        FileOps::write(file, data, size / 2, error);
        error = "no space left";
        return false;
    }
    bool flush(platform::NativeFile file, std::string& error) override {
        if (!failsNow(Flush)) return FileOps::flush(file, error);
        error = "input/output error";
        return false;
    }
    bool rename(const std::string& from, const std::string& to, std::string& error) override {
        renamedFrom = from;
        if (!failsNow(Rename)) return FileOps::rename(from, to, error);
        error = "cross-device link";
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
    test::WriteFileBytes(path, theirs);
    CommitResult r = rom.commit(changed(0x22), fence);
    ASSERT_EQ(r.status, Status::Done) << r.reason;
    EXPECT_TRUE(r.appliedToChangedFile);
    std::vector<uint8_t> now = test::ReadFileBytes(path);
    EXPECT_EQ(now[0x300], theirs[0x300]);
    EXPECT_EQ(now[0x9000], 0x22);
    EXPECT_EQ(rom.bytes(), now);
    // The backup holds the file as it was found, with the other program's change.
    auto backups = Names(rom.backupFolder());
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(test::ReadFileBytes(rom.backupFolder() + "/" + *backups.begin()), theirs);

    // Inside them, or the file cut short or grown anywhere: refused, the file
    // stays theirs.
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> change;
        const char* reason;
    };
    const Case cases[] = {
        {"changed inside", [](auto& b) { b[0x9002] = 0x99; }, "no longer the same"},
        {"cut short after the change", [](auto& b) { b.resize(0xA000); }, "size"},
        {"cut short before it", [](auto& b) { b.resize(0x9002); }, "size"},
        {"grown", [](auto& b) { b.push_back(0x77); }, "size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        theirs = rom.bytes();
        c.change(theirs);
        test::WriteFileBytes(path, theirs);
        RecordingPrompter prompter;
        EXPECT_FALSE(CommitAndReport(rom, changed(0x33), fence, prompter));
        EXPECT_EQ(test::ReadFileBytes(path), theirs);
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_NE(prompter.messages[0].text.find("another program"), std::string::npos);
        EXPECT_NE(prompter.messages[0].text.find(c.reason), std::string::npos) << prompter.messages[0].text;
    }
}

TEST_F(RomCommit, WhatIsNoLongerARegularFileIsRefusedWithoutWaitingForIt) {
    std::vector<std::string> kinds = {"folder"};
#ifndef _WIN32
    kinds.push_back("fifo");  // opened for reading, it would wait for a writer for ever
#endif
    for (const std::string& kind : kinds) {
        SCOPED_TRACE(kind);
        make(true);
        fs::remove(path);
        if (kind == "folder") {
            fs::create_directory(path);
        } else {
#ifndef _WIN32
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
#endif
        }
        RecordingPrompter prompter;
        EXPECT_FALSE(CommitAndReport(rom, changed(0x34), fence, prompter));
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_NE(prompter.messages[0].text.find("regular file"), std::string::npos) << prompter.messages[0].text;
        EXPECT_TRUE(prompter.questions.empty());
        EXPECT_EQ(platform::Inspect(path).kind, platform::Kind::Other);
        fs::remove(path);
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
    std::string error;
#ifndef _WIN32  // POSIX permission bits and symbolic links
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path, mode);
    ASSERT_EQ(rom.commit(changed(0x77), fence).status, Status::Done);
    EXPECT_EQ(fs::status(path).permissions(), mode);

    const std::string link = dir.file("link.smc");
    fs::create_symlink(path, link);
    ASSERT_TRUE(rom.open(link, error));
    ASSERT_EQ(rom.commit(changed(0x78), fence).status, Status::Done);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::ReadFileBytes(path)[0x9000], 0x78);
#endif

    // Made read-only after it was opened: refused all the same.
    ASSERT_TRUE(rom.open(path, error));
    const std::vector<uint8_t> before = test::ReadFileBytes(path);
    test::SetReadOnly(path, true);
    EXPECT_EQ(rom.commit(changed(0x79), fence).status, Status::Refused);
    EXPECT_EQ(test::ReadFileBytes(path), before);
    test::SetReadOnly(path, false);
}

TEST_F(RomCommit, ALinkWhoseTargetWentStaysALinkAndItsTargetIsWrittenWhenTheUserSaysSo) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need rights on Windows that a test cannot count on";
#else
    fs::create_directory(dir.file("real"));
    const std::string target = dir.file("real/game.smc"), link = dir.file("link.smc");
    fs::rename(path, target);
    fs::create_symlink("real/game.smc", link);  // relative, as links often are
    std::string error;
    ASSERT_TRUE(rom.open(link, error)) << error;
    fs::remove(target);

    RecordingPrompter no;
    no.answer = false;
    EXPECT_FALSE(CommitAndReport(rom, changed(0x45), fence, no));
    ASSERT_EQ(no.questions.size(), 1u);
    EXPECT_NE(no.questions[0].text.find("is gone"), std::string::npos);
    EXPECT_FALSE(fs::exists(target));

    RecordingPrompter yes;
    EXPECT_TRUE(CommitAndReport(rom, changed(0x45), fence, yes));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::ReadFileBytes(target)[0x9000], 0x45);
    EXPECT_EQ(test::ReadFileBytes(target), rom.bytes());
#endif
}

TEST_F(RomCommit, TemporaryFilesOfEndedProcessesGoAtTheNextOpenOrSave) {
    // A save names its temporary file after the ROM and this process.
    FailingOps ops(FailingOps::Rename, 0);
    rom.setFileOps(&ops);
    ASSERT_EQ(rom.commit(changed(0x12), fence).status, Status::Done);
    rom.setFileOps(nullptr);
    const std::string own = ".game.smc.marlwick-" + std::to_string(platform::CurrentProcessId()) + "-";
    EXPECT_EQ(fs::path(ops.renamedFrom).filename().string().rfind(own, 0), 0u) << ops.renamedFrom;

    // No process has an id this large, on either system.
    const std::string ended = ".marlwick-99999996-k3x9q1ab.tmp";
    const std::string backups = rom.backupFolder();
    const std::set<std::string> kept = {own + "live0001.tmp", ".other.smc" + ended, ".game.smc" + ended + ".txt"};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "open" : "save");
        for (const std::string& name : kept) test::WriteFileBytes(dir.file(name), {1});
        test::WriteFileBytes(dir.file(".game.smc" + ended), {2});
        test::WriteFileBytes(backups + "/.game-20200101-120000.smc" + ended, {3});
        if (round == 0) {
            std::string error;
            ASSERT_TRUE(rom.open(path, error));
        } else {
            ASSERT_EQ(rom.commit(changed(0x13), fence).status, Status::Done);
        }
        std::set<std::string> expected = kept;
        expected.insert({"game.smc", "game.backups"});
        EXPECT_EQ(Names(dir.path()), expected);
        for (const std::string& name : Names(backups)) EXPECT_EQ(name.find(".marlwick-"), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace mw
