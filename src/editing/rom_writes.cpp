#include "editing/rom_writes.h"

#include "level/level_save.h"

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

CommitResult SaveLevel(RomFile& rom, const DefinitionTables& defs, LevelState& state, Prompter& prompter,
                       const std::vector<FreeBlock>& blocks) {
    CommitResult refused{CommitResult::Status::Refused, false, {}};
    if (rom.isReadOnly()) {
        refused.reason = ReadOnlyRefusal(rom);
        prompter.message("Marlwick", refused.reason);
        return refused;
    }
    SavePlan plan = PlanSave(rom.bytes(), defs, state, blocks);
    if (plan.refused()) {
        refused.reason = plan.refusal;
        prompter.message(plan.refusalTitle, plan.refusal);
        return refused;
    }
    if (!plan.moves.empty() && !prompter.askYesNo("Marlwick - Move the level?", MoveQuestion(defs, state, plan)))
        return {CommitResult::Status::Declined, false, {}};
    CommitResult r = CommitAndReport(rom, std::move(plan.image), plan.fence, prompter);
    if (!r) return r;
    state = std::move(plan.saved);
    prompter.tell("Marlwick", "Level saved succesfully.");
    return r;
}

}  // namespace mw
