// Many entries at once: selecting with Ctrl+click, the rubber band and the
// keys, moving, nudging and deleting the selection as one step, and the
// clipboard (copy, cut, paste, duplicate) as text.
#include <algorithm>

#include "editing/create_remove.h"
#include "editing/hit_test.h"
#include "editing/level_editor.h"
#include "editing/multi_select.h"
#include "level/level_codec.h"
#include "level/level_save.h"
#include "view/view_geometry.h"

namespace mw {

std::vector<int> EditCommands::SelectedIndices() const { return document.selectedIndices(); }

std::vector<LevelObject> EditCommands::SelectedEntries() const {
    std::vector<LevelObject> out;
    for (const int i : SelectedIndices()) out.push_back(level.objectList[static_cast<size_t>(i)]);
    return out;
}

void EditCommands::SelectEntries(const std::vector<int>& indices) { document.Select(document.WithEntries(indices)); }

void SelectTool::ToggleSelected(int index) {
    std::vector<int> group = editor.commands.SelectedIndices();
    const auto at = std::find(group.begin(), group.end(), index);
    if (at == group.end()) {
        group.push_back(index);
        // The entry clicked last is the current one.
        document.Select(document.WithEntries(group, index));
    } else if (group.size() > 1) {
        group.erase(at);
        document.Select(document.WithEntries(group, index == selectedObject() ? group.back() : selectedObject()));
    }
}

void EditCommands::mnuEditSelectAll_Click() {
    if (!editor.session.levelLoaded) return;
    SelectEntries(SelectableEntries(level, defs, view));
}

void EditCommands::mnuEditSelectCurrent_Click() {
    SelectEntries(HasSelectedObject() ? std::vector<int>{selectedObject()} : std::vector<int>{});
}

void SelectTool::SelectionPress(float px, float py, bool ctrl) {
    if (ctrl) {
        const int body = FindAllAt(level, defs, view, px, py).body;
        if (body >= 0) {
            ToggleSelected(body);
            return;
        }
    } else {
        Pick(px, py);
        if (dragMode != DragMode::NON) return;
    }
    band = BandCorners{px, py, px, py};
    bandBase_ = ctrl ? editor.commands.SelectedIndices() : std::vector<int>{};
    Changed(kChangedDrawing);  // the band is the tool's own mark on the view
}

void SelectTool::DragBand(float px, float py) {
    band->x1 = px;
    band->y1 = py;
    std::vector<int> group = bandBase_;
    for (const int i : EntriesInBand(level, defs, view, band->x0, band->y0, px, py))
        if (std::find(group.begin(), group.end(), i) == group.end()) group.push_back(i);
    editor.commands.SelectEntries(group);
}

void SelectTool::MoveGroup(int dx, int dy) {
    const std::vector<int> group = editor.commands.SelectedIndices();
    std::vector<LevelObject> entries = editor.commands.SelectedEntries();
    const TileOffset to = ClampGroupOffset(entries, dx, dy);
    if (to == TileOffset{}) return;
    ShiftEntries(entries, to.dx, to.dy);
    document.Apply("Move", {kEditMove, document.selection().current}, [&](LevelDocument::Edit& edit) {
        for (size_t k = 0; k < group.size(); ++k) edit.replaceObject(group[k], entries[k]);
    });
}

bool EditCommands::RemoveGroup(const std::string& text) {
    const std::vector<int> group = SelectedIndices();
    if (group.empty()) return false;
    if (group.size() >= level.objectList.size()) {
        ReportCannotRemoveAll(prompter);
        return false;
    }
    document.Apply(text, {}, [&](LevelDocument::Edit& edit) {
        for (auto i = group.rbegin(); i != group.rend(); ++i) edit.eraseObject(*i);
        edit.select(document.WithCurrent(std::min(group.front(), level.objectLast())));
    });
    return true;
}

void EditCommands::mnuEditDelete_Click() {
    if (!editor.tool.InScreenExitMode() && SelectedIndices().size() > 1) {
        RemoveGroup("Delete");
    } else {
        cmdRemoveObject_Click();
    }
}

std::string EditCommands::mnuEditCopy_Click() {
    if (!editor.session.levelLoaded || editor.tool.InScreenExitMode()) return {};
    std::vector<LevelObject> entries = SelectedEntries();
    return entries.empty() ? std::string() : ClipboardText(std::move(entries));
}

std::string EditCommands::mnuEditCut_Click() {
    std::string text = mnuEditCopy_Click();
    if (text.empty() || !RemoveGroup("Cut")) return {};
    return text;
}

void EditCommands::mnuEditPaste_Click(const std::string& text, std::optional<ViewPoint> pointer) {
    if (!editor.session.levelLoaded) return;
    const int x = pointer ? PixelToTileX(view, pointer->px) : view.scrollX();
    const int y = pointer ? PixelToTileY(view, pointer->py) : view.scrollY();
    PasteEntries(text, std::clamp(x, 0, kLevelColumns - 1), std::clamp(y, 0, kLevelRows - 1), "Paste");
}

void EditCommands::mnuEditDuplicate_Click() {
    const std::string text = mnuEditCopy_Click();
    if (text.empty()) return;
    const TileOffset topLeft = TopLeftOf(SelectedEntries());
    // One tile right and down, so that the copies can be seen.
    PasteEntries(text, topLeft.dx + 1, topLeft.dy + 1, "Duplicate");
}

void EditCommands::PasteEntries(const std::string& text, int x, int y, const std::string& name) {
    std::vector<LevelObject> entries;
    if (auto why = EntriesFromClipboard(text, defs, x, y, entries)) {
        prompter.message("Marlwick", "Nothing was pasted: " + *why);
        return;
    }
    if (entries.empty()) return;
    // A level that could never be loaded back is not made.
    LevelState after = level;
    after.objectList.insert(after.objectList.end(), entries.begin(), entries.end());
    CountBytesUsed(defs, after);
    if (auto why = OverLoaderLimit(defs, after, rom.DiskOffset(0))) {
        prompter.message("Marlwick", "Nothing was pasted: " + *why);
        return;
    }
    document.Apply(name, {}, [&](LevelDocument::Edit& edit) {
        Selection s = document.selection();
        s.objects.clear();
        for (const LevelObject& e : entries)
            s.objects.push_back(edit.insertObject(static_cast<int>(level.objectList.size()), e));
        s.current = s.objects.back();
        edit.select(std::move(s));
    });
    if (level.objectBytesUsed > level.objectBytesAvailable || level.spriteBytesUsed > level.spriteBytesAvailable)
        prompter.tell("Marlwick", "The pasted entries put the level over its byte budget (objects " +
                                         std::to_string(level.objectBytesUsed) + "/" +
                                         std::to_string(level.objectBytesAvailable) + ", sprites " +
                                         std::to_string(level.spriteBytesUsed) + "/" +
                                         std::to_string(level.spriteBytesAvailable) + " bytes).");
}

}  // namespace mw
