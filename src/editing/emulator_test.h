#pragma once
// Playing the level being edited: the image saving would write, with the
// first course starting in the level, goes to a temporary file that the
// emulator command from the settings is started on. The ROM file is not
// touched; the copies are removed when the editor closes.
#include <optional>
#include <string>
#include <vector>

#include "level/level_search.h"

namespace mw {

class LevelEditor;

// What the window lends a test run: the stored command line, a text
// question and the starting of a program that runs on its own.
class EmulatorHost {
public:
    virtual ~EmulatorHost() = default;
    // The emulator command line kept in the settings ("" when none is).
    virtual std::string storedCommand() = 0;
    virtual void storeCommand(const std::string& command) = 0;
    // A one-line text question; nullopt when cancelled.
    virtual std::optional<std::string> askText(const std::string& title, const std::string& label,
                                               const std::string& initial) = 0;
    // Starts `program` with `arguments`, not waiting for it and not ending
    // it with the editor. False, with the reason, when it could not start.
    virtual bool startDetached(const std::string& program, const std::vector<std::string>& arguments,
                               std::string& error) = 0;
};

// The program and its arguments for a command line and the file to play:
// words are split at blanks, double quotes keep blanks in a word (and are
// dropped), "%f" stands for the file (within a word too) and "%%" for a
// percent sign. The file is added as the last argument when the command
// has no "%f". Nullopt, with the reason, for an empty command or an
// unclosed quote.
struct CommandLine {
    std::string program;
    std::vector<std::string> arguments;
};
std::optional<CommandLine> ExpandEmulatorCommand(const std::string& command, const std::string& file,
                                                 std::string& error);

class EmulatorTest {
public:
    explicit EmulatorTest(LevelEditor& editor);
    ~EmulatorTest();  // removes the copies
    EmulatorTest(const EmulatorTest&) = delete;
    EmulatorTest& operator=(const EmulatorTest&) = delete;

    // Where the copies go; the system's temporary folder unless set.
    std::string folder;

    // Level -> "&Test in emulator" (no tile) and "Test from &here" (the
    // tile under the pointer). The tile, when none is given: the level's own
    // course start, else where the first screen exit into it arrives, else
    // the user is asked. The command is asked for when none is stored.
    // True when the emulator was started.
    bool Run(EmulatorHost& host, std::optional<StartTile> at = std::nullopt);
    // The tile under view pixel (px, py), nullopt outside a level's tiles.
    std::optional<StartTile> TileAt(float px, float py) const;
    // Settings -> "&Emulator command...": asks for the command line, showing
    // the stored one. True when a non-empty one was stored.
    bool ChangeCommand(EmulatorHost& host);

    // The copies written so far and not removed.
    const std::vector<std::string>& copies() const { return copies_; }
    // Removes the copies (those that cannot be removed now are forgotten).
    void RemoveCopies();

private:
    LevelEditor& editor_;
    std::vector<std::string> copies_;
    int written_ = 0;  // copies written by this editor, for their names
    std::optional<std::string> AskCommand(EmulatorHost& host, const std::string& current);
    std::string NextCopyPath();
};

}  // namespace mw
