#pragma once
// Writing to the open ROM as the user sees it: the questions a write needs
// and what is said about its outcome. The level layer plans and commits;
// this is where its results are worded and the user is asked.
#include <string>
#include <vector>

#include "definitions/definition_tables.h"
#include "definitions/level_lists.h"
#include "level/level_state.h"
#include "level/level_save.h"
#include "level/rom_file.h"
#include "util/prompter.h"

namespace mw {

// What a save or a poke says when the open ROM is read-only.
std::string ReadOnlyRefusal(const RomFile& rom);

// Commits `image` and tells the user what went wrong: asks whether to write
// the whole image when the file is gone (or says it is gone, when the ROM
// may not be written anew), and says so when the change went
// onto contents another program had changed. Done only when the file now
// holds the change; nothing is claimed before that.
CommitResult CommitAndReport(RomFile& rom, std::vector<uint8_t> image, const WriteFence& fence, Prompter& prompter);

// The save command: plans, asks once when the level has to move, writes,
// and reports the outcome through `prompter` ("Level saved succesfully." on
// success). When done, `state` takes the level's new place and room.
// The question a moving save asks: the level, the bytes each moving stream
// needs and where it would go (SNES address and offset in the file as it is
// on disk), and what becomes of the old place: padding, or kept for the
// other levels that read it (which then no longer share it with this one).
std::string MoveQuestion(const DefinitionTables& defs, const LevelState& state, const SavePlan& plan,
                         const RomFile& rom);

CommitResult SaveLevel(RomFile& rom, const DefinitionTables& defs, LevelState& state, Prompter& prompter,
                       const std::vector<FreeBlock>& blocks = {});

}  // namespace mw
