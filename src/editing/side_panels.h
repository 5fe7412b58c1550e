#pragma once
// The main window's side panels: the object info panel with the byte
// counters, the screen exit editor, the object palette and the pick list.
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
#include "editing/exit_editor.h"

namespace mw {

// The pick list inside the view (217 by 43 pixels); hidden at top -512.
constexpr float kHiddenPickListTop = -512;
struct PickListState {
    std::vector<ListEntry> items;  // caption, objectList index
    float left = 24;
    float top = -128;
    bool visible() const { return top > -43; }
};

// A label's text and whether it is drawn in red.
struct LabelState {
    std::string text;
    bool red = false;
};

// A byte counter: "used/available" in decimal, red when over budget.
inline LabelState ByteUsageLabel(int used, int available) {
    return {std::to_string(used) + "/" + std::to_string(available), used > available};
}

class SidePanels : EditorPart {
public:
    explicit SidePanels(LevelEditor& editor) : EditorPart(editor) {}

    // Object info panel.
    LabelState lblObjectInfo;  // lines separated by "\n"; empty when no entry is selected
    LabelState lblByteUsage;   // "used/available" object bytes
    LabelState lblSByteUsage;  // "used/available" sprite bytes
    std::string lblFreeSpace;  // free bytes left in the ROM for moved levels
    void ShowObjectInfo();
    void cmdObjectPrev_Click();
    void cmdObjectNext_Click();
    void cmdGotoObject_Click();


    bool fraScreenExitsVisible = false;  // the "Screen Exit Editor" frame
    // Screen exit editor. The frame's visibility is fraScreenExitsVisible.
    struct ExitEditorPanel {
        bool enabled = false;
        std::string txtExitDestination;
        std::string txtEntranceType;
        std::string txtEntranceX;
        std::string txtEntranceY;
        int lstDestinationLevelsIndex = -1;  // selected item, -1 for none
        int lstEntranceTypesIndex = -1;
        LabelState lblByteUsage2;  // "used/available" object bytes
        // Boxes whose text is no valid value, by ExitField: shown in red
        // while the field keeps its stored value.
        std::array<bool, 4> invalidBox{};
    };
    ExitEditorPanel exitEditor;
    void ShowExitEditor();
    void mnuViewScreenExit_Click();  // "Screen Exit mode", Ctrl+E
    // The boxes' change handlers get the box's new text.
    void txtExitDestination_Change(const std::string& text);
    void txtEntranceType_Change(const std::string& text);
    void txtEntranceX_Change(const std::string& text);
    void txtEntranceY_Change(const std::string& text);
    void lstDestinationLevels_Click(int itemIndex);
    void lstEntranceTypes_Click(int itemIndex);
    void cmdMoveScreen_Click(int index);  // 0 right, 1 up, 2 left, 3 down
    void cmdScreenPrev_Click();
    void cmdScreenNext_Click();
    void cmdScreenGoto_Click();

    // An exit box has lost the focus: the next typing starts a new command,
    // and the boxes show the stored values again (an invalid text goes).
    void ExitBoxDone();

    // Object palette: lstObjects of the main window and of the separate
    // "Objects list" window (frmObjectList) hold the same items.
    struct ObjectPalette {
        std::array<bool, 3> chkListable{true, true, true};  // "Norm", "X", "Sprite"
        std::string txtFilter;
        std::vector<ListEntry> items;  // caption and code of every item
        int listIndex = -1;            // the main list's selection
        bool windowVisible = false;    // frmObjectList shown; "Object list window" checked
        std::string windowFilter;      // frmObjectList's own filter box
        int windowListIndex = -1;      // frmObjectList's selection
        // Code of the main list's selected item, -1 when none.
        int selectedCode() const {
            return listIndex >= 0 && listIndex < static_cast<int>(items.size()) ? items[listIndex].value : -1;
        }
    };
    ObjectPalette palette;
    void RemakeObjectList();
    void txtFilter_KeyUp(const std::string& text);
    void chkListable_Click(int index, bool checked);
    void lstObjects_Click(int itemIndex);
    void mnuViewSeperateobjects_Click();
    void frmObjectList_txtFilter_Change(const std::string& text);
    void frmObjectList_lstObjects_Click(int itemIndex);
    void frmObjectList_Form_Unload();

    // Pick list.
    PickListState lstPopup;
    void FillPickList(float px, float py);
    void lstPopup_Click(int itemIndex);

    // Level Info's line about the level map: "Map: made by the game's code,
    // N screens" or why it could not be made.
    std::string lblMapInfo;
    // Level Info's line about the tiles: the world assumed, or why none.
    std::string lblTilesInfo;
    // "Level Info": the loaded level's index and name, or its offsets.
    std::string lblLevelName;


private:
    void StepObject(int step);
    // An exit box's change handler: stores a value that fits a byte in the
    // selected exit's field.
    void StoreExitBox(std::string& box, const std::string& text, ExitField field);
    // A click on item `itemIndex` of one of the exit editor's lists: the
    // item's value goes into its box as a command of its own.
    void PickExitListItem(const std::vector<ListEntry>& items, int itemIndex, int& listIndex, std::string& box,
                          ExitField field);
};

}  // namespace mw
