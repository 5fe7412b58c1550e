// The pick list: every entry under the pointer, topmost first; a pick puts
// the chosen entry on top of the others that were under the pointer.
#include "editing/hit_test.h"
#include "editing/level_editor.h"
#include "level/object_caption.h"
#include "view/view_geometry.h"

namespace mw {

void SidePanels::FillPickList(float px, float py) {
    lstPopup.items.clear();
    for (int j = view.visibleLast(); j >= 0; --j) {
        const int i = view.visibleList[static_cast<size_t>(j)];
        if (i < 0 || i > level.objectLast()) continue;
        if (CrossSectionFlagOf(level, defs, view.options, i)) continue;
        const LevelObject& e = level.objectList[static_cast<size_t>(i)];
        if (BoxHolds(view, e, px, py)) lstPopup.items.push_back({ObjectCaption(defs, e, true), i});
    }
    if (lstPopup.items.empty()) {
        lstPopup.top = kHiddenPickListTop;
    } else {
        lstPopup.left = px - 16;
        lstPopup.top = py - 16;
    }
}

void SidePanels::lstPopup_Click(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= static_cast<int>(lstPopup.items.size())) return;
    const int picked = lstPopup.items[static_cast<size_t>(itemIndex)].value;
    const int top = lstPopup.items.front().value;
    // The items are listed latest first, so top >= picked; the entries in
    // between slide one place down and the picked one takes the top place.
    // The selection goes with the picked entry, so that the info panel and
    // "&Remove" act on what the user chose rather than on whatever entry
    // slid into its old place.
    if (picked >= 0 && picked <= top && top <= level.objectLast()) {
        document.Apply("Reorder", {}, [&](LevelDocument::Edit& edit) {
            if (picked < top) edit.moveObject(picked, top);
            edit.select(document.WithCurrent(top));
        });
    }
    lstPopup.top = kHiddenPickListTop;
}

}  // namespace mw
