#include "editing/rom_writes.h"

#include "level/level_save.h"
#include "level/room.h"
#include "util/hex_text.h"

namespace mw {

std::string ReadOnlyRefusal(const RomFile& rom) {
    return "The ROM file " + rom.path() + " is read-only, so nothing can be written to it.\nNothing was written.";
}

CommitResult CommitAndReport(RomFile& rom, std::vector<uint8_t> image, const WriteFence& fence, Prompter& prompter) {
    using Status = CommitResult::Status;
    CommitResult r = rom.commit(image, fence);
    if (r.status == Status::Missing && !rom.writingAnewAllowed()) {
        prompter.message("Marlwick", "The ROM file " + rom.path() +
                                         " is gone: another program deleted or moved it since Marlwick read it.\n"
                                         "Nothing was written.");
        return r;
    }
    if (r.status == Status::Missing) {
        if (!prompter.askYesNo("Marlwick", "The ROM file " + rom.path() +
                                               " is gone: another program deleted or moved it since Marlwick read "
                                               "it.\nWrite the whole ROM, with this change, to " +
                                               rom.path() + "?")) {
            r.status = Status::Declined;
            return r;
        }
        r = rom.commit(std::move(image), fence, true);
    }
    switch (r.status) {
    case Status::Done:
        if (r.appliedToChangedFile)
            prompter.message("Marlwick", "Another program had changed the ROM file " + rom.path() +
                                             " since Marlwick read it. The bytes this change writes were the same "
                                             "there, so the change was made to the file's new contents.");
        break;
    case Status::Failed:
        prompter.message("Marlwick",
                         "Could not write to the ROM file " + rom.path() + ": " + r.reason + ".\nThe file was left as it was.");
        break;
    case Status::Refused:
    case Status::Missing:
        prompter.message("Marlwick", "The ROM file " + rom.path() + " was not changed: " + r.reason + ".");
        break;
    case Status::Declined: break;
    }
    return r;
}

std::string MoveQuestion(const DefinitionTables& defs, const LevelState& state, const SavePlan& plan,
                         const RomFile& rom) {
    const std::string level = LevelIndexName(defs.destinationLevels, state.tableIndex);
    std::string text = level + " does not fit in its place in the ROM.";
    auto what = [](const StreamMove& m) { return std::string(m.sprites ? "sprite list" : "object data"); };
    for (const StreamMove& m : plan.moves)
        text += "\nIts " + what(m) + " needs " + std::to_string(m.length) + " bytes and would move to " +
                SnesAddressText(m.to, m.linear) + " (file offset " + ToHex(static_cast<uint32_t>(rom.DiskOffset(m.to))) +
                ").";
    std::vector<const StreamMove*> padded;
    for (const StreamMove& m : plan.moves) {
        if (m.sharers.empty()) {
            padded.push_back(&m);
            continue;
        }
        // Data that other levels read too stays where it is for them.
        std::string who;
        for (size_t k = 0; k < m.sharers.size(); ++k) {
            if (k > 0) who += k + 1 == m.sharers.size() ? " and " : ", ";
            who += m.sharers.size() == 1 ? LevelIndexName(defs.destinationLevels, m.sharers[k])
                                         : ToHex(static_cast<uint32_t>(m.sharers[k]));
        }
        text += m.sharers.size() == 1
                    ? "\n" + who + " keeps reading the old place of its " + what(m) +
                          ", which stays as it is: the two levels will no longer share it."
                    : "\nLevels " + who + " keep reading the old place of its " + what(m) +
                          ", which stays as it is: they will no longer share it with this level.";
    }
    if (padded.size() == plan.moves.size())
        text += "\nThe level pointer is rewritten and the old place is filled with FF.";
    else if (padded.empty())
        text += "\nThe level pointer is rewritten.";
    else
        text += "\nThe level pointer is rewritten and the old place of its " + what(*padded.front()) +
                " is filled with FF.";
    return text + "\nMove the level?";
}

CommitResult SaveLevel(RomFile& rom, const DefinitionTables& defs, LevelState& state, Prompter& prompter,
                       const std::vector<FreeBlock>& blocks) {
    CommitResult refused{CommitResult::Status::Refused, false, {}};
    if (rom.isReadOnly()) {
        refused.reason = ReadOnlyRefusal(rom);
        prompter.message("Marlwick", refused.reason);
        return refused;
    }
    SavePlan plan = PlanSave(rom.bytes(), defs, state, blocks, rom.DiskOffset(0));
    if (plan.refused()) {
        refused.reason = plan.refusal;
        prompter.message(plan.refusalTitle, plan.refusal);
        return refused;
    }
    if (!plan.moves.empty() && !prompter.askYesNo("Marlwick - Move the level?", MoveQuestion(defs, state, plan, rom)))
        return {CommitResult::Status::Declined, false, {}};
    CommitResult r = CommitAndReport(rom, std::move(plan.image), plan.fence, prompter);
    if (!r) return r;
    state = std::move(plan.saved);
    prompter.tell("Marlwick", "Level saved succesfully.");
    return r;
}

}  // namespace mw
