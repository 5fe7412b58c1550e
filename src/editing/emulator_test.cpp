#include "editing/emulator_test.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "editing/level_editor.h"
#include "platform/files.h"
#include "util/atomic_file.h"
#include "util/hex_text.h"
#include "view/view_geometry.h"

namespace mw {

namespace {

constexpr const char* kTitle = "Marlwick";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::optional<CommandLine> ExpandEmulatorCommand(const std::string& command, const std::string& file,
                                                 std::string& error) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false, sawFile = false;
    for (size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (c == '"') {
            quoted = !quoted;
            inWord = true;  // "" is an empty argument
        } else if (IsBlank(c) && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else if (c == '%' && i + 1 < command.size() && (command[i + 1] == 'f' || command[i + 1] == '%')) {
            const bool isFile = command[++i] == 'f';
            word += isFile ? file : "%";
            sawFile = sawFile || isFile;
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        error = "the emulator command has a quote that is not closed";
        return std::nullopt;
    }
    if (inWord) words.push_back(word);
    if (words.empty() || words.front().empty()) {
        error = "the emulator command names no program";
        return std::nullopt;
    }
    CommandLine line{words.front(), {words.begin() + 1, words.end()}};
    if (!sawFile) line.arguments.push_back(file);
    return line;
}

EmulatorTest::EmulatorTest(LevelEditor& editor) : editor_(editor) {}

EmulatorTest::~EmulatorTest() { RemoveCopies(); }

void EmulatorTest::RemoveCopies() {
    for (const std::string& path : copies_) platform::RemoveFile(path);
    copies_.clear();
}

std::optional<StartTile> EmulatorTest::TileAt(float px, float py) const {
    const int x = PixelToTileX(editor_.view, px), y = PixelToTileY(editor_.view, py);
    if (x < 0 || x > kMaxStartX || y < 0 || y > kMaxStartY) return std::nullopt;
    return StartTile{x, y};
}

std::optional<std::string> EmulatorTest::AskCommand(EmulatorHost& host, const std::string& current) {
    std::optional<std::string> command =
        host.askText("Emulator command",
                     "The command line that starts your emulator. %f stands for the ROM file to play\n"
                     "(put the program in double quotes when its path has blanks), for example:\n"
                     "\"/path/to/my emulator\" --fullscreen \"%f\"",
                     current);
    if (!command) return std::nullopt;
    std::string error;
    if (!ExpandEmulatorCommand(*command, "file", error)) {
        editor_.prompter.message(kTitle, "The emulator command was not kept: " + error + ".");
        return std::nullopt;
    }
    host.storeCommand(*command);
    return command;
}

bool EmulatorTest::ChangeCommand(EmulatorHost& host) { return AskCommand(host, host.storedCommand()).has_value(); }

std::string EmulatorTest::NextCopyPath() {
    std::error_code ec;
    std::filesystem::path dir = folder.empty() ? std::filesystem::temp_directory_path(ec) : platform::PathOf(folder);
    // Without a temporary folder the copy goes beside the ROM.
    if (ec || dir.empty()) dir = platform::PathOf(editor_.rom.path()).parent_path();
    // The ROM's own extension, so that the emulator takes the file for what it is.
    const std::string name = "marlwick-play-" + std::to_string(platform::CurrentProcessId()) + "-" +
                             std::to_string(++written_) + editor_.rom.copyExtension();
    return platform::Utf8Of(dir / platform::PathOf(name));
}

bool EmulatorTest::Run(EmulatorHost& host, std::optional<StartTile> at) {
    if (!editor_.session.CheckLevelLoaded() || !editor_.rom.isOpen()) return false;
    const LevelState& level = editor_.level;
    const std::string levelName = "level " + ToHex(static_cast<uint32_t>(std::max(0, level.tableIndex)));
    if (!at) at = DefaultStartTile(editor_.rom, editor_.defs, level);
    if (!at && level.tableIndex >= 0) {
        const std::optional<std::string> answer =
            host.askText("Test in emulator",
                         "No course starts in " + levelName +
                             " and no screen exit leads into it.\nWhere should the test start? X,Y in tiles "
                             "(decimal), X 0 to 255, Y 0 to 127:",
                         "");
        if (!answer) return false;
        at = ParseStartTile(*answer);
        if (!at) {
            editor_.prompter.message(kTitle, "\"" + *answer +
                                                 "\" is no start tile: give X,Y in tiles (decimal), X 0 to 255 and "
                                                 "Y 0 to 127. Nothing was started.");
            return false;
        }
    }
    const TestImage image = MakeTestImage(editor_.rom, editor_.defs, level, editor_.session.freeBlocks,
                                          at.value_or(StartTile{}));
    if (!image.error.empty()) {
        editor_.prompter.message(kTitle, "The test copy could not be made: " + image.error + ".");
        return false;
    }

    std::string command = host.storedCommand();
    if (command.empty()) {
        const std::optional<std::string> asked = AskCommand(host, "");
        if (!asked) return false;
        command = *asked;
    }
    const std::string path = NextCopyPath();
    std::string error;
    const std::optional<CommandLine> line = ExpandEmulatorCommand(command, path, error);
    if (!line) {
        editor_.prompter.message(kTitle, "The emulator could not be started: " + error +
                                             ".\nChange the command with Settings -> \"Emulator command...\".");
        return false;
    }
    if (!ReplaceFile(path, image.file, FileOwner{}, SystemFileOps(), error)) {
        editor_.prompter.message(kTitle, "The test copy could not be written to " + path + ": " + error + ".");
        return false;
    }
    copies_.push_back(path);
    if (!host.startDetached(line->program, line->arguments, error)) {
        platform::RemoveFile(path);
        copies_.pop_back();
        editor_.prompter.message(kTitle, "The emulator could not be started: " + line->program +
                                             (error.empty() ? "" : " (" + error + ")") + "\nThe command line is: " +
                                             command + "\nChange it with Settings -> \"Emulator command...\".");
        return false;
    }
    return true;
}

}  // namespace mw
