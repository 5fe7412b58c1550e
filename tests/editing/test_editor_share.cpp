// Playing a level in an emulator, finding entries in all levels and patch
// files, as the window's commands drive them.
#include <filesystem>
#include <fstream>

#include "editing/emulator_test.h"
#include "editing/share_dialogs.h"
#include "level/level_opening.h"
#include "view/view_geometry.h"
#include "test_editor_fixture.h"

namespace mw::test {
namespace {

// Stands in for the window: a stored command, answers to the text
// questions in turn, and a record of what was started.
class FakeHost : public EmulatorHost {
public:
    std::string command;
    std::vector<std::optional<std::string>> answers;
    std::vector<std::string> asked;  // the questions' titles
    bool starts = true;
    std::vector<CommandLine> started;
    std::vector<std::vector<uint8_t>> playedFiles;  // the file's bytes when started

    std::string storedCommand() override { return command; }
    void storeCommand(const std::string& c) override { command = c; }
    std::optional<std::string> askText(const std::string& title, const std::string&, const std::string&) override {
        asked.push_back(title);
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    bool startDetached(const std::string& program, const std::vector<std::string>& args, std::string& error) override {
        if (!starts) {
            error = "No such file or directory";
            return false;
        }
        started.push_back({program, args});
        playedFiles.push_back(ReadFileBytes(args.back()));
        return true;
    }
};

class ShareTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingPrompter prompter;
    LevelEditor ed{prompter};
    FakeHost host;
    std::string rom;

    void SetUp() override {
        dir.writeSmallDefinitionFiles();
        // Level 0: a block at (10, 4), an exit into level 1 arriving at
        // (0x21, 0x13), and a sprite. Level 1: a block and two sprites.
        RomImage img;
        img.setLevel(0, 0x10000, 0x10100);
        img.put(0x10000, Cat({{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, Obj5(0x01, 10, 4, 1, 2), {0xFF},
                              ExitRec(2, 1, 0x01, 0x21, 0x13, 0), {0xFF, 0, 0, 0, 0}}));
        img.put(0x10100, Cat({SpriteRec(0x1E, 5, 6), {0xFF, 0xFF, 0, 0, 0}}));
        img.setLevel(1, 0x10200, 0x10300);
        img.put(0x10200, Cat({{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, Obj5(0x01, 3, 3, 0, 0), {0xFF, 0xFF}}));
        img.put(0x10300, Cat({SpriteRec(0x1E, 40, 9), SpriteRec(0x1E, 41, 9), {0xFF, 0xFF}}));
        rom = dir.file("yi.smc");
        WriteFileBytes(rom, img.bytes);
    }

    void Start(const std::string& path) {
        ed.session.Form_Load(dir.path(), path);
        ASSERT_FALSE(ed.quitRequested);
        ed.Form_Resize(845, 504);
        prompter.messages.clear();
        prompter.questions.clear();
    }
    void MoveBlockRight() {
        LevelState level = ed.level;
        level.objectList.at(0).x += 1;
        ed.document.Apply("Move", {}, [&](LevelDocument::Edit& edit) { edit.replaceObject(0, level.objectList[0]); });
    }
    // The first course's record in a played copy (in the ".smc" layout).
    static CourseStart FirstCourse(std::vector<uint8_t> file, bool headerless = false) {
        if (headerless) file.insert(file.begin(), 0x200, 0);
        return {file.at(kCourseStartTable), file.at(kCourseStartTable + 1), file.at(kCourseStartTable + 2)};
    }
};

TEST(EmulatorCommand, ExpandsTheFileIntoOneArgumentWhateverItHolds) {
    const std::string file = "/tmp/my tests/yi \"copy\".sfc";
    struct Case {
        std::string command;
        std::string program;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"emu %f", "emu", {file}},
        {"\"/opt/my emu/run\" --full \"%f\"", "/opt/my emu/run", {"--full", file}},
        {"emu --rom=%f -x", "emu", {"--rom=" + file, "-x"}},
        {"emu", "emu", {file}},  // no %f: the file goes last
        {"  emu\t-v  ", "emu", {"-v", file}},
        {"emu 100%% %f %x", "emu", {"100%", file, "%x"}},
        {"C:\\Emulators\\emu.exe \"\" %f", "C:\\Emulators\\emu.exe", {"", file}},
    };
    for (const Case& c : cases) {
        std::string error;
        const std::optional<CommandLine> line = ExpandEmulatorCommand(c.command, file, error);
        ASSERT_TRUE(line) << c.command << ": " << error;
        EXPECT_EQ(line->program, c.program) << c.command;
        EXPECT_EQ(line->arguments, c.arguments) << c.command;
    }
    for (const std::string bad : {"", "   ", "emu \"%f", "\"\" %f"}) {
        std::string error;
        EXPECT_FALSE(ExpandEmulatorCommand(bad, file, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(EmulatorCommand, StartTilesAreDecimalAndInsideALevel) {
    const std::pair<std::string, std::optional<StartTile>> cases[] = {
        {"10,20", StartTile{10, 20}}, {" 255 , 127 ", StartTile{255, 127}}, {"0,0", StartTile{0, 0}},
        {"256,0", std::nullopt},      {"0,128", std::nullopt},              {"A,1", std::nullopt},
        {"-1,2", std::nullopt},       {"12", std::nullopt},                 {",", std::nullopt},
        {"1,2,3", std::nullopt},      {"0010,1", StartTile{10, 1}},
    };
    for (const auto& [text, tile] : cases) EXPECT_EQ(ParseStartTile(text), tile) << text;
}

TEST_F(ShareTest, TestPlaysTheLevelAsEditedAndLeavesTheRomAlone) {
    Start(rom);
    const std::vector<uint8_t> before = ReadFileBytes(rom);
    MoveBlockRight();
    std::optional<std::string> copy;
    {
        EmulatorTest test(ed);
        test.folder = dir.path();
        // Level 0 has no course start and no exit leads into it: the tile is
        // asked for, then the command (none is stored yet).
        host.answers = {"12,5", "fake-emu --fast %f"};
        ASSERT_TRUE(test.Run(host));
        EXPECT_EQ(host.asked.size(), 2u);
        EXPECT_EQ(host.command, "fake-emu --fast %f");
        ASSERT_EQ(host.started.size(), 1u);
        EXPECT_EQ(host.started[0].program, "fake-emu");
        ASSERT_EQ(test.copies().size(), 1u);
        copy = test.copies()[0];
        EXPECT_EQ(host.started[0].arguments, (std::vector<std::string>{"--fast", *copy}));
        EXPECT_EQ(std::filesystem::path(*copy).extension(), ".smc");

        const std::vector<uint8_t>& played = host.playedFiles[0];
        EXPECT_EQ(FirstCourse(played), (CourseStart{0, 12, 5}));
        RomFile reread;
        std::string error;
        ASSERT_TRUE(reread.open(*copy, error)) << error;
        const LevelLoad load = LoadLevelIndex(reread, ed.defs, 0);
        ASSERT_TRUE(load.loaded());
        EXPECT_EQ(load.level.objectList.at(0).x, 11);  // the unsaved edit is in the copy
        EXPECT_EQ(ReadFileBytes(rom), before);
        EXPECT_TRUE(ed.session.changed());

        // The stored command is not asked again; a tile given is used as it is.
        host.asked.clear();
        ASSERT_TRUE(test.Run(host, StartTile{200, 100}));
        EXPECT_TRUE(host.asked.empty());
        EXPECT_EQ(FirstCourse(host.playedFiles[1]), (CourseStart{0, 200, 100}));
        EXPECT_EQ(test.copies().size(), 2u);
        EXPECT_NE(test.copies()[1], *copy);
    }
    // The editor going takes its copies with it.
    EXPECT_FALSE(std::filesystem::exists(*copy));
    EXPECT_EQ(ReadFileBytes(rom), before);
}

TEST_F(ShareTest, TheStartTileComesFromTheGameBeforeTheUserIsAsked) {
    const std::string dump = dir.file("yi.sfc");
    std::vector<uint8_t> image = ReadFileBytes(rom);
    image.resize(0x200 + 0x200000, 0xEA);
    WriteFileBytes(dump, std::vector<uint8_t>(image.begin() + 0x200, image.end()));
    Start(dump);
    host.command = "emu";
    EmulatorTest test(ed);
    test.folder = dir.path();

    // Level 1: the exit of level 0 arrives at (0x21, 0x13).
    ASSERT_TRUE(ed.session.LoadLevelIndex(1));
    ASSERT_TRUE(test.Run(host));
    EXPECT_TRUE(host.asked.empty());
    EXPECT_EQ(host.playedFiles[0].size(), 0x200000u);  // headerless, like the ROM
    EXPECT_EQ(std::filesystem::path(test.copies()[0]).extension(), ".sfc");
    EXPECT_EQ(FirstCourse(host.playedFiles[0], true), (CourseStart{1, 0x21, 0x13}));

    // "From here": the tile under the pointer, scrolled or not.
    ed.SetScroll(ed.view.hsc, 7);
    ed.SetScroll(ed.view.vsc, 3);
    const std::optional<StartTile> here = test.TileAt(16 * 2 + 5, 16 * 4 + 15);
    EXPECT_EQ(here, (StartTile{9, 7}));
    ASSERT_TRUE(test.Run(host, here));
    EXPECT_EQ(FirstCourse(host.playedFiles[1], true), (CourseStart{1, 9, 7}));
    ed.SetScroll(ed.view.hsc, 0);
    EXPECT_EQ(test.TileAt(-20, 0), std::nullopt);

    // A cancelled tile question starts nothing and writes nothing.
    ASSERT_TRUE(ed.session.LoadLevelIndex(0));
    host.answers = {std::nullopt};
    EXPECT_FALSE(test.Run(host));
    host.answers = {"300,1"};
    EXPECT_FALSE(test.Run(host));
    EXPECT_NE(prompter.messages.back().text.find("is no start tile"), std::string::npos);
    EXPECT_EQ(test.copies().size(), 2u);
    EXPECT_EQ(host.started.size(), 2u);
}

TEST_F(ShareTest, AnEmulatorThatDoesNotStartIsNamedAndItsCopyRemoved) {
    Start(rom);
    EmulatorTest test(ed);
    test.folder = dir.path();
    host.command = "\"/no such/emulator\" %f";
    host.starts = false;
    EXPECT_FALSE(test.Run(host, StartTile{1, 1}));
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_NE(prompter.messages.back().text.find("/no such/emulator"), std::string::npos);
    EXPECT_TRUE(test.copies().empty());
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find("marlwick-play"), std::string::npos) << e.path();

    // A command that cannot be read is not kept.
    host.answers = {"emu \"%f"};
    EXPECT_FALSE(test.ChangeCommand(host));
    EXPECT_EQ(host.command, "\"/no such/emulator\" %f");
    host.answers = {"other %f"};
    EXPECT_TRUE(test.ChangeCommand(host));
    EXPECT_EQ(host.command, "other %f");
}

TEST_F(ShareTest, FindListsUsesAndTakesTheUserThere) {
    Start(rom);
    FindDialog find;
    find.kind = FindQuery::Kind::Sprite;
    find.txtFind = "1e";
    ASSERT_TRUE(find.cmdFind_Click(ed, prompter));
    ASSERT_EQ(find.hits.size(), 3u);
    EXPECT_EQ(FindDialog::RowTexts(find.hits[2]), (std::array<std::string, 4>{"1", "2", "29,9", find.hits[2].caption}));

    // A name typed where an ID is asked for searches by name.
    find.kind = FindQuery::Kind::Object;
    find.txtFind = "guy";
    ASSERT_TRUE(find.cmdFind_Click(ed, prompter));
    EXPECT_EQ(find.kind, FindQuery::Kind::Name);
    EXPECT_EQ(find.hits.size(), 3u);

    for (const auto& [kind, text] : {std::pair{FindQuery::Kind::Object, "100"}, {FindQuery::Kind::Sprite, "200"},
                                     {FindQuery::Kind::Extended, "1FF"}, {FindQuery::Kind::Name, " "}}) {
        find.kind = kind;
        find.txtFind = text;
        EXPECT_FALSE(find.cmdFind_Click(ed, prompter)) << text;
        EXPECT_EQ(find.hits.size(), 3u);  // the last list stays
    }

    // Going to a hit in another level asks about the unsaved changes first.
    MoveBlockRight();
    prompter.saveChoice = SaveChoice::Cancel;
    EXPECT_FALSE(find.GoTo(ed, 2));
    EXPECT_EQ(ed.level.tableIndex, 0);
    EXPECT_EQ(prompter.questions.size(), 1u);
    prompter.saveChoice = SaveChoice::Discard;
    ASSERT_TRUE(find.GoTo(ed, 2));
    EXPECT_EQ(ed.level.tableIndex, 1);
    EXPECT_EQ(ed.selectedObject(), 2);
    EXPECT_LE(ed.view.scrollX(), 41);
    EXPECT_GT(ed.view.scrollX() + VisibleColumns(ed.view), 41);

    // Within the loaded level nothing is reloaded; an entry that is gone is said so.
    prompter.questions.clear();
    ASSERT_TRUE(find.GoTo(ed, 1));
    EXPECT_EQ(ed.selectedObject(), 1);
    EXPECT_TRUE(prompter.questions.empty());
    find.hits[1].entry = 9;
    EXPECT_FALSE(find.GoTo(ed, 1));
    EXPECT_NE(prompter.messages.back().text.find("no longer"), std::string::npos);
}

TEST_F(ShareTest, PatchesOfTheSavedRomApplyToTheOriginalOnly) {
    Start(rom);
    MoveBlockRight();
    ed.session.mnuFileSave_Click();
    ASSERT_FALSE(ed.session.changed());
    const std::string original = OfferedOriginal(ed.rom);
    ASSERT_FALSE(original.empty());  // the backup of the ROM as it was
    MoveBlockRight();                // unsaved: not in the patch
    EXPECT_NE(UnsavedNote(ed).find("unsaved"), std::string::npos);

    for (const char* ext : {".bps", ".ips"}) {
        const std::string patch = dir.file(std::string("p") + ext);
        const std::string out = dir.file(std::string("out") + ext + ".smc");
        ASSERT_TRUE(CreatePatchFile(ed.rom, *PatchFormatOf(patch), original, patch, prompter));
        ASSERT_TRUE(ApplyPatchFile(ed.rom, original, patch, out, prompter));
        EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(rom)) << ext;
    }
    // A BPS patch refuses another original; nothing replaces a ROM.
    const std::string wrongOut = dir.file("wrong.smc");
    EXPECT_FALSE(ApplyPatchFile(ed.rom, rom, dir.file("p.bps"), wrongOut, prompter));
    EXPECT_NE(prompter.messages.back().text.find("cannot be applied"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(wrongOut));
    const std::vector<uint8_t> saved = ReadFileBytes(rom);
    EXPECT_FALSE(ApplyPatchFile(ed.rom, original, dir.file("p.bps"), rom, prompter));
    EXPECT_FALSE(CreatePatchFile(ed.rom, PatchFormat::Bps, original, original, prompter));
    EXPECT_EQ(ReadFileBytes(rom), saved);
}

}  // namespace
}  // namespace mw::test
