// The main window's side panels and commands that change how many records
// the level has: the screen exit editor, the object palette, "&Create",
// "&Remove", "Clear", the header dialog's way back, and the badger.
#include "editing/about.h"
#include "editing/create_remove.h"
#include "editing/exit_editor.h"
#include "editing/level_editor.h"
#include "editing/palette.h"
#include "util/hex_text.h"

namespace mw {

// ---- screen exit editor ----

void SidePanels::ShowExitEditor() {
    ExitEditorPanel& p = exitEditor;
    p.lblByteUsage2 = ByteUsageLabel(level.objectBytesUsed, level.objectBytesAvailable);
    p.invalidBox.fill(false);  // every box gets the text of a stored value
    if (!HasSelectedExit()) {
        // No exit to show (none selected, or a level without exits): empty
        // boxes in a disabled frame, so no edit can reach a record.
        p.txtEntranceType.clear();
        p.txtEntranceX.clear();
        p.txtEntranceY.clear();
        p.txtExitDestination.clear();
        p.lstDestinationLevelsIndex = -1;
        p.lstEntranceTypesIndex = -1;
        p.enabled = false;
        return;
    }
    const ScreenExit& e = level.exitList[static_cast<size_t>(selectedExit())];
    p.txtEntranceType = ToHex(e.entranceType);
    p.txtEntranceX = ToHex(e.entranceX);
    p.txtEntranceY = ToHex(e.entranceY);
    p.txtExitDestination = ToHex(e.destination);
    p.lstDestinationLevelsIndex = FindListValue(defs.destinationLevels, e.destination);
    p.lstEntranceTypesIndex = FindListValue(defs.entranceTypes, e.entranceType);
    p.enabled = true;
}

void SidePanels::mnuViewScreenExit_Click() {
    editor.tool.dragMode = DragMode::SCX;
    fraScreenExitsVisible = true;
    SelectExit(0);
    ShowExitEditor();
    Changed(kChangedPanels);
}

namespace {

const char* ExitFieldEditName(ExitField field) {
    switch (field) {
        case ExitField::Destination: return "Exit destination";
        case ExitField::EntranceType: return "Entrance type";
        case ExitField::EntranceX: return "Entrance X";
        case ExitField::EntranceY: break;
    }
    return "Entrance Y";
}

}  // namespace

// A box's change handler: the text is what the box now shows; a valid
// value is stored in the selected exit's field, any other text marks the
// box invalid and leaves the field as it is.
void SidePanels::StoreExitBox(std::string& box, const std::string& text, ExitField field) {
    box = text;
    std::optional<uint8_t> value = ReadExitBox(text);
    exitEditor.invalidBox[static_cast<size_t>(field)] = !value;
    if (!HasSelectedExit() || !value) return;
    const int index = selectedExit();
    ScreenExit exit = level.exitList[static_cast<size_t>(index)];
    ExitFieldRef(exit, field) = *value;
    // The boxes keep what was typed into them until they lose the focus.
    const ExitEditorPanel typed = exitEditor;
    // Typing into one box is one command until the box loses the focus.
    document.Apply(ExitFieldEditName(field), {kEditExitField + static_cast<int>(field), document.exitId(index)},
              [&](LevelDocument::Edit& edit) { edit.replaceExit(index, exit); });
    exitEditor.txtExitDestination = typed.txtExitDestination;
    exitEditor.txtEntranceType = typed.txtEntranceType;
    exitEditor.txtEntranceX = typed.txtEntranceX;
    exitEditor.txtEntranceY = typed.txtEntranceY;
    exitEditor.invalidBox = typed.invalidBox;
}

void SidePanels::ExitBoxDone() {
    document.EndMerge();
    ShowExitEditor();
}

void SidePanels::txtExitDestination_Change(const std::string& text) {
    StoreExitBox(exitEditor.txtExitDestination, text, ExitField::Destination);
}

void SidePanels::txtEntranceType_Change(const std::string& text) {
    StoreExitBox(exitEditor.txtEntranceType, text, ExitField::EntranceType);
}

void SidePanels::txtEntranceX_Change(const std::string& text) {
    StoreExitBox(exitEditor.txtEntranceX, text, ExitField::EntranceX);
}

void SidePanels::txtEntranceY_Change(const std::string& text) {
    StoreExitBox(exitEditor.txtEntranceY, text, ExitField::EntranceY);
}

void SidePanels::PickExitListItem(const std::vector<ListEntry>& items, int itemIndex, int& listIndex,
                                  std::string& box, ExitField field) {
    if (!HasSelectedExit() || itemIndex < 0 || itemIndex >= static_cast<int>(items.size())) return;
    listIndex = itemIndex;
    // A pick from the list is a command of its own.
    document.EndMerge();
    StoreExitBox(box, ToHex(static_cast<uint32_t>(items[static_cast<size_t>(itemIndex)].value)), field);
    document.EndMerge();
}

void SidePanels::lstDestinationLevels_Click(int itemIndex) {
    PickExitListItem(defs.destinationLevels, itemIndex, exitEditor.lstDestinationLevelsIndex,
                     exitEditor.txtExitDestination, ExitField::Destination);
}

void SidePanels::lstEntranceTypes_Click(int itemIndex) {
    PickExitListItem(defs.entranceTypes, itemIndex, exitEditor.lstEntranceTypesIndex, exitEditor.txtEntranceType,
                     ExitField::EntranceType);
}

void SidePanels::cmdMoveScreen_Click(int index) {
    if (!HasSelectedExit()) return;
    const int at = selectedExit();
    ScreenExit exit = level.exitList[static_cast<size_t>(at)];
    if (MoveExitScreen(exit, index))
        document.Apply("Move screen exit", {}, [&](LevelDocument::Edit& edit) { edit.replaceExit(at, exit); });
}

void SidePanels::cmdScreenPrev_Click() {
    if (selectedExit() > 0) SelectExit(selectedExit() - 1);
    cmdScreenGoto_Click();
}

void SidePanels::cmdScreenNext_Click() {
    if (selectedExit() >= 0 && selectedExit() < level.exitLast()) SelectExit(selectedExit() + 1);
    cmdScreenGoto_Click();
}

void SidePanels::cmdScreenGoto_Click() {
    if (!HasSelectedExit()) return;
    const ScreenExit& e = level.exitList[static_cast<size_t>(selectedExit())];
    editor.SetScroll(view.hsc, 16 * e.screenX);
    editor.SetScroll(view.vsc, 16 * e.screenY);
}

// ---- object palette ----

void SidePanels::RemakeObjectList() {
    BuildObjectList(defs, palette.chkListable, palette.txtFilter, palette.items);
    palette.listIndex = -1;
    palette.windowListIndex = -1;
}

void SidePanels::txtFilter_KeyUp(const std::string& text) {
    palette.txtFilter = text;
    RemakeObjectList();
}

void SidePanels::chkListable_Click(int index, bool checked) {
    if (index < 0 || index >= static_cast<int>(palette.chkListable.size())) return;
    palette.chkListable[index] = checked;
    RemakeObjectList();
}

void SidePanels::lstObjects_Click(int itemIndex) {
    palette.listIndex = itemIndex >= 0 && itemIndex < static_cast<int>(palette.items.size()) ? itemIndex : -1;
}

void SidePanels::mnuViewSeperateobjects_Click() {
    palette.windowVisible = !palette.windowVisible;
    editor.Form_Resize();
}

void SidePanels::frmObjectList_txtFilter_Change(const std::string& text) {
    palette.windowFilter = text;
    palette.txtFilter = text;
    RemakeObjectList();
}

void SidePanels::frmObjectList_lstObjects_Click(int itemIndex) {
    lstObjects_Click(itemIndex);
    palette.windowListIndex = palette.listIndex;
}

void SidePanels::frmObjectList_Form_Unload() { palette.windowVisible = false; }

// ---- adding, removing, clearing ----

void EditCommands::cmdAddObject_Click() {
    if (!editor.session.CheckLevelLoaded()) return;
    const bool exits = editor.tool.InScreenExitMode();
    document.Apply(exits ? "Create screen exit" : "Create", {}, [&](LevelDocument::Edit& edit) {
        int object = selectedObject(), exit = selectedExit();
        const bool added = exits ? AddExit(edit, view.scrollX(), view.scrollY(), exit, prompter)
                                 : AddEntry(edit, defs, editor.panels.palette.selectedCode(), view.scrollX(), view.scrollY(), object,
                                            prompter);
        if (added) edit.select(exits ? document.WithCurrentExit(exit) : document.WithCurrent(object));
    });
}

void EditCommands::cmdRemoveObject_Click() {
    if (!editor.session.CheckLevelLoaded()) return;
    const bool exits = editor.tool.InScreenExitMode();
    document.Apply(exits ? "Remove screen exit" : "Remove", {}, [&](LevelDocument::Edit& edit) {
        int object = selectedObject(), exit = selectedExit();
        if (exits ? RemoveExit(edit, exit, prompter) : RemoveEntry(edit, object, prompter))
            edit.select(exits ? document.WithCurrentExit(exit) : document.WithCurrent(object));
    });
}

void EditCommands::mnuRandomLevelClear_Click() {
    if (!editor.session.CheckLevelLoaded()) return;
    // Every object and sprite goes (or, in screen exit mode, every exit;
    // a level without exits hears the refusal once), as one command.
    const bool exits = editor.tool.InScreenExitMode();
    document.Apply("Clear", {}, [&](LevelDocument::Edit& edit) {
        if (exits) {
            int exit = selectedExit();
            do {
                RemoveExit(edit, exit, prompter);
            } while (level.exitLast() >= 0);
            edit.select(document.WithCurrentExit(exit));
        } else {
            for (int i = level.objectLast(); i >= 0; --i) edit.eraseObject(i);
            edit.select(document.WithCurrent(-1));
        }
    });
}

// ---- dialogs ----

void EditCommands::ResetHeader(const LevelHeader& bytes) {
    if (!editor.session.CheckLevelLoaded()) return;
    if (!level.hasHeader) return;
    document.Apply("Edit header", {}, [&](LevelDocument::Edit& edit) { edit.replaceHeader(bytes); });
}

void EditCommands::mnuRandomBadger_Click() {
    if (badgerCount < INT32_MAX) ++badgerCount;
    prompter.message(kBadgerTitle, BadgerText(badgerCount));
}

}  // namespace mw
