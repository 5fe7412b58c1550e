#pragma once
// The open ROM and the level loaded from it: opening, loading, saving, the
// question about unsaved changes, and the window's caption.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "editing/level_document.h"
#include "util/prompter.h"
#include "view/view_state.h"
#include "editing/editor_part.h"
#include "editing/hex_poke.h"
#include "level/level_codec.h"

namespace mw {

class RomSession : EditorPart {
public:
    explicit RomSession(LevelEditor& editor) : EditorPart(editor) {}

    // Session.
    static constexpr const char* kInitialCaption = "Marlwick - Yoshi's Island Editor by Tolliver";
    std::string caption = kInitialCaption;  // the main window's title
    // The level has edits that are not saved (the undo stack is away from
    // the state that was loaded or last saved).
    bool changed() const { return document.changed(); }
    bool levelLoaded = false;   // a level from the open ROM is in `level`
    std::string programDir;     // where the definition files are read from
    // Where free space may lie (FreeSpace.dat, LevelAreas.dat); empty when the files could not
    // be read, and then a level that outgrows its place cannot move.
    std::vector<FreeBlock> freeBlocks;
    // Free bytes left for moved levels in the open ROM (cached per contents).
    int64_t FreeSpaceLeft();

    // Start-up: zoom 16, definitions, the ROM (from `romPath`
    // when given, else the file dialog), level 0, the visible list. Sets
    // quitRequested when the program cannot go on.
    void Form_Load(const std::string& programDirectory,
                   const std::optional<std::string>& romPath = std::nullopt);
    void mnuFileOpen_Click();
    // "&Exit": asks about unsaved changes; sets quitRequested unless refused.
    void mnuMainQuit_Click();
    // Closing the main window: false when the user keeps the window open.
    bool Form_Unload();
    // The loaders (also called by the level choosers). They ask first when
    // the level has unsaved changes. True when a new level is in place.
    bool LoadLevelIndex(int32_t index);
    // The offsets are the file's own (without a copier header in a headerless dump).
    bool LoadLevelOffset(int32_t headerOffset, int32_t spriteOffset);
    void mnuFileSave_Click();
    // "Put Value" of the byte poke. A byte inside the loaded level's bytes
    // (header, objects, exits, sprites) would be lost at the level's next
    // save, so after such a poke the level is read again from the file;
    // unsaved changes are asked about first (save, discard, or cancel the
    // poke: nothing is written). True when the byte was written.
    bool PokeByte(HexPokeDialog& dialog);
    // True when there is nothing unsaved, or the user saved it ("&Save
    // Level" succeeded) or chose to drop it; false when the user cancels or
    // the save fails or is refused.
    bool ConfirmDiscardChanges();
    // The editing commands' guard: true when a level is loaded, else says
    // "No level is loaded." (a file that is no ROM leaves none).
    bool CheckLevelLoaded();

    // Sets the caption from the file's name and the changed state.
    void UpdateCaption();

private:
    bool quitConfirmed_ = false;       // the program is ending: no more questions
    std::string romFileName_;          // the caption's file name
    uint64_t freeSpaceGeneration_ = 0;  // rom.generation() of freeSpaceLeft_
    int64_t freeSpaceLeft_ = 0;
    bool ChooseRom(bool atStartUp, const std::optional<std::string>& givenPath, std::string& chosen);
    void ReportOpenFailure(const std::string& path, const std::string& reason);
    // Opens `path` into `into` (a headerless dump as it is): a ROM that differs from
    // 1.0 (U) is warned about (the version notice, then what differs) and a
    // read-only one announced, each once.
    // False, reported, when nothing was opened.
    bool OpenRom(RomFile& into, std::string& path);
    // Reads the loaded level again from the file, keeping the view where it is.
    void ReloadLevel();
    // Shows the load's messages.
    LevelLoad Told(LevelLoad load);
    bool AcceptLoad(LevelLoad load, const std::string& name);
};

}  // namespace mw
