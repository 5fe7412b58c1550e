// The "Current Object Info" panel, the byte counters of "Level Info", and
// stepping through the object list.
#include <algorithm>

#include "editing/level_editor.h"
#include "editing/mouse.h"
#include "util/hex_text.h"

namespace mw {

void SidePanels::ShowObjectInfo() {
    lblObjectInfo.text.clear();
    if (HasSelectedObject()) {
        const LevelObject& e = level.objectList[static_cast<size_t>(selectedObject())];
        const std::string place = "(" + ToHex(e.x) + ", " + ToHex(e.y) + ")";
        const std::string size = SignedHex(e.width) + " * " + SignedHex(e.height);
        const std::string number = "#" + ToHex(static_cast<uint32_t>(selectedObject()));
        std::string& t = lblObjectInfo.text;
        if (e.isSprite) {
            const int id = e.spriteId();
            t = "Sprite number S" + ToHex(static_cast<uint32_t>(id)) + " - \n" +
                defs.spriteDefs[static_cast<size_t>(id)].name + "\n" + place + "\n" + size + "\n" + number;
        } else if (e.id == 0) {
            // An extended object's size is fixed by its definition: no size line.
            t = "Special 4 byte object number X" + ToHex(e.extId) + " - \n" + defs.extendedDefs[e.extId].name +
                "\n" + place + "\n" + number;
        } else {
            t = "Object number " + ToHex(e.id) + " - \n" + defs.objectDefs[e.id].name + "\n" + place + "\n" +
                size + "\n" + number;
        }
        if (const size_t n = editor.commands.SelectedIndices().size(); n > 1) t += "\n" + std::to_string(n) + " selected";
    }
    lblByteUsage = ByteUsageLabel(level.objectBytesUsed, level.objectBytesAvailable);
    lblSByteUsage = ByteUsageLabel(level.spriteBytesUsed, level.spriteBytesAvailable);
    lblFreeSpace = rom.isOpen() && !editor.session.freeBlocks.empty() ? std::to_string(editor.session.FreeSpaceLeft()) + " bytes" : "unknown";
}

// One step through the object list (+1 or -1), then the view goes to it.
void SidePanels::StepObject(int step) {
    if (level.objectLast() < 0) return;
    int i = selectedObject();
    if (step > 0 && i < level.objectLast()) ++i;
    if (step < 0 && i > 0) --i;
    SelectObject(i);
    cmdGotoObject_Click();
}

void SidePanels::cmdObjectNext_Click() { StepObject(1); }

void SidePanels::cmdObjectPrev_Click() { StepObject(-1); }

void SidePanels::cmdGotoObject_Click() {
    if (!HasSelectedObject()) return;
    const LevelObject& e = level.objectList[static_cast<size_t>(selectedObject())];
    // Centre the origin tile in the view as far as the scroll ranges allow.
    editor.SetScroll(view.hsc, RoundHalfEven(e.x - view.viewWidth / (2.0 * view.zoom)));
    editor.SetScroll(view.vsc, RoundHalfEven(e.y - view.viewHeight / (2.0 * view.zoom)));
}

}  // namespace mw
