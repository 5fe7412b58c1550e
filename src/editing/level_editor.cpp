#include "editing/level_editor.h"

#include <algorithm>
#include <filesystem>

#include "editing/exit_editor.h"
#include "level/rom_identity.h"
#include "util/atomic_file.h"
#include "util/hex_text.h"
#include "level/level_opening.h"
#include "level/level_save.h"
#include "level/room.h"
#include "editing/document_paint.h"
#include "view/view_controls.h"
#include "view/view_geometry.h"

namespace mw {

namespace {

constexpr const char* kUnsavedQuestion = "The level has unsaved changes. Save them first?";

// Design sizes of the main window's fixed controls, in pixels.
constexpr int kMinInnerWidth = 672;
constexpr int kMinInnerHeight = 272;
constexpr int kSnapOuterWidth = 672;
constexpr int kSnapOuterHeight = 288;
constexpr int kListOptionsHeight = 65;  // fraListOptions
constexpr int kObjectListWidth = 193;   // lstObjects
constexpr int kScrollBarSize = 16;

// The last piece of a path, whichever separator it uses.
std::string FileNameOf(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

EditorPart::EditorPart(LevelEditor& e)
    : editor(e), prompter(e.prompter), defs(e.defs), document(e.document), rom(e.rom), level(e.level), view(e.view) {}

int EditorPart::selectedObject() const { return editor.selectedObject(); }
int EditorPart::selectedExit() const { return editor.selectedExit(); }
void EditorPart::SelectObject(int index) { editor.SelectObject(index); }
void EditorPart::SelectExit(int index) { editor.SelectExit(index); }
void EditorPart::Changed(ChangeSet what) { editor.OnDocumentChanged(what); }

LevelEditor::LevelEditor(Prompter& p) : prompter(p) {
    document.SetChangeHandler([this](ChangeSet what) { OnDocumentChanged(what); });
}

void LevelEditor::OnDocumentChanged(ChangeSet what) {
    unshown |= what;
    if (what & kDocumentChanges) {
        if (what & (kChangedLevel | kChangedHistory)) {
            // A drag that was under way does not go on from another state, and
            // the pick list's items name list positions of the old one.
            if ((what & kChangedHistory) && !tool.InScreenExitMode()) tool.dragMode = DragMode::NON;
            if (what & kChangedLevel) {
                panels.lstPopup.items.clear();
                tool.HideToolTip();
            }
            panels.lstPopup.top = kHiddenPickListTop;
            document.EndMerge();
        }
        session.UpdateCaption();
        panels.ShowObjectInfo();
        panels.ShowExitEditor();
        map.Follow(what);
    }
    if (what & (kChangedEntries | kChangedView | kChangedViewSize)) mw::RebuildVisibleList(level, view);
    // The shell repaints a resized view itself. (The view outlines the exit
    // that the exit editor shows, so a panel's change is repainted too.)
    if (what & ~kChangedViewSize) repaintRequested = true;
}

// ---- session ----

void RomSession::UpdateCaption() {
    if (romFileName_.empty()) {
        caption = kInitialCaption;
        return;
    }
    caption = romFileName_ + " - Marlwick";
    if (changed()) caption += " *";
}

bool RomSession::ConfirmDiscardChanges() {
    if (!changed()) return true;
    switch (prompter.askSaveDiscardCancel("Marlwick", kUnsavedQuestion)) {
        case SaveChoice::Save:
            // A save that fails or is refused keeps the changes, and the
            // action that asked does not go on.
            mnuFileSave_Click();
            return !changed();
        case SaveChoice::Discard: return true;
        case SaveChoice::Cancel: break;
    }
    return false;
}

bool RomSession::CheckLevelLoaded() {
    if (levelLoaded) return true;
    prompter.message("Marlwick", "No level is loaded.");
    return false;
}

bool RomSession::ChooseRom(bool atStartUp, const std::optional<std::string>& givenPath,
                            std::string& chosen) {
    if (givenPath) {
        chosen = *givenPath;
        return true;
    }
    std::optional<std::string> path = prompter.chooseOpenFile("ROMs (*.smc *.sfc)", "*.smc *.sfc");
    if (!path || path->empty()) {
        if (atStartUp) prompter.message("Marlwick - User Error", "A valid ROM must be selected to run Marlwick.");
        return false;
    }
    chosen = *path;
    return true;
}

void RomSession::ReportOpenFailure(const std::string& path, const std::string& reason) {
    prompter.message("Marlwick", "The ROM " + path + " could not be opened:\n" + reason);
}

bool RomSession::OpenRom(RomFile& into, std::string& path) {
    std::string reason;
    if (!into.open(path, reason)) {
        ReportOpenFailure(path, reason);
        return false;
    }
    // The notice about the one supported version comes only for a ROM that
    // is not that version, before what differs.
    if (std::optional<std::string> warning = RomIdentityWarning(into.bytes())) {
        prompter.message("Marlwick - RTFM",
                         "Marlwick only supports version 1.0 (U) of Yoshi's Island!\n"
                         "Please select a ROM of this version; others will not work.");
        prompter.message("Marlwick", *warning);
    }
    if (into.isReadOnly())
        prompter.message("Marlwick", "The ROM file " + into.path() +
                                         " is read-only. Its levels can be viewed, but saving and poking bytes "
                                         "are refused.");
    return true;
}

LevelLoad RomSession::Told(LevelLoad load) {
    ShowMessages(prompter, load.messages);
    return load;
}

void RomSession::ReloadLevel() {
    LevelLoad load = Told(level.tableIndex >= 0 ? mw::LoadLevelIndex(rom, defs, level.tableIndex)
                                                : mw::LoadLevelOffset(rom, defs, level.headerOffset, level.spriteOffset));
    if (load.loaded()) {
        document.Load(std::move(load.level));
        return;
    }
    // What the file holds now cannot be loaded: nothing stays that a save
    // could write over it.
    levelLoaded = false;
    document.Load(LevelState{});
}

bool RomSession::AcceptLoad(LevelLoad load, const std::string& name) {
    if (!load.loaded()) return false;
    editor.panels.lblLevelName = name;
    levelLoaded = true;
    document.Load(std::move(load.level));
    // A level read from the ROM opens on its content, not at the old scroll.
    editor.ScrollToOpening();
    return true;
}

void RomSession::Form_Load(const std::string& programDirectory, const std::optional<std::string>& romPath) {
    programDir = programDirectory;
    ApplyZoom(view, 16);
    if (std::optional<DefinitionError> error = LoadDefinitions(programDir, defs)) {
        prompter.message("Marlwick", "The definition files could not be read.\n" + error->describe());
        editor.exitStatus = 1;
        editor.quitRequested = true;
        quitConfirmed_ = true;
        return;
    }
    // Without its list of free blocks the editor still saves in place.
    if (ReadRoomForLevels(programDir, freeBlocks)) freeBlocks.clear();
    editor.panels.RemakeObjectList();
    std::string path;
    if (!ChooseRom(true, romPath, path)) {
        editor.quitRequested = true;
        quitConfirmed_ = true;
        return;
    }
    if (!OpenRom(rom, path)) {
        editor.exitStatus = 1;
        editor.quitRequested = true;
        quitConfirmed_ = true;
        return;
    }
    romFileName_ = FileNameOf(path);
    UpdateCaption();
    AcceptLoad(Told(mw::LoadLevelIndex(rom, defs, 0)), LevelIndexName(defs.destinationLevels, 0));
}

void RomSession::mnuFileOpen_Click() {
    if (!ConfirmDiscardChanges()) return;
    std::string path;
    if (!ChooseRom(false, std::nullopt, path)) return;
    // Level 0 of the new ROM is read from a second handle first, so that a
    // file that cannot be opened or whose level 0 is refused leaves the old
    // ROM open with its level (whose offsets belong to the old file).
    std::string reason;
    LevelLoad load;
    {
        RomFile candidate;
        if (!OpenRom(candidate, path)) return;
        load = Told(mw::LoadLevelIndex(candidate, defs, 0));
    }
    if (!load.loaded()) return;
    const std::string oldPath = rom.path();
    rom.close();
    if (!rom.open(path, reason)) {
        ReportOpenFailure(path, reason);
        std::string ignored;
        if (oldPath.empty() || !rom.open(oldPath, ignored)) {
            levelLoaded = false;
            editor.quitRequested = true;
            quitConfirmed_ = true;
        }
        return;
    }
    romFileName_ = FileNameOf(path);
    AcceptLoad(std::move(load), LevelIndexName(defs.destinationLevels, 0));
}

void RomSession::mnuMainQuit_Click() { Form_Unload(); }

bool RomSession::Form_Unload() {
    if (!quitConfirmed_ && !ConfirmDiscardChanges()) return false;
    quitConfirmed_ = true;
    rom.close();
    editor.quitRequested = true;
    return true;
}

bool RomSession::LoadLevelIndex(int32_t index) {
    // An index outside the table is refused before anything is asked.
    if (!rom.isOpen()) return false;
    if (std::optional<Message> refusal = LevelIndexRefusal(index)) {
        prompter.message(refusal->title, refusal->text);
        return false;
    }
    if (!ConfirmDiscardChanges()) return false;
    return AcceptLoad(Told(mw::LoadLevelIndex(rom, defs, index)), LevelIndexName(defs.destinationLevels, index));
}

bool RomSession::LoadLevelOffset(int32_t headerOffset, int32_t spriteOffset) {
    if (!rom.isOpen() || !ConfirmDiscardChanges()) return false;
    const auto smc = [&](int32_t diskOffset) {
        return static_cast<int32_t>(std::min<int64_t>(rom.SmcOffset(diskOffset), INT32_MAX));
    };
    return AcceptLoad(Told(mw::LoadLevelOffset(rom, defs, smc(headerOffset), smc(spriteOffset))),
                      "Offsets " + ToHex(static_cast<uint32_t>(headerOffset)) + ", " +
                          ToHex(static_cast<uint32_t>(spriteOffset)));
}

void RomSession::mnuFileSave_Click() {
    // Without a level from this ROM there is nothing whose room is known.
    if (!CheckLevelLoaded() || !rom.isOpen()) return;
    document.Save(prompter, freeBlocks);
}

int64_t RomSession::FreeSpaceLeft() {
    if (freeSpaceGeneration_ != rom.generation()) {
        freeSpaceGeneration_ = rom.generation();
        freeSpaceLeft_ = TotalFree(FindFreeRuns(rom.bytes(), freeBlocks, LiveMap(rom.bytes(), defs)));
    }
    return freeSpaceLeft_;
}

// ---- layout ----

MainLayout LevelEditor::Form_Resize(int innerWidth, int innerHeight) {
    innerWidth_ = innerWidth;
    innerHeight_ = innerHeight;
    return Form_Resize();
}

MainLayout LevelEditor::Form_Resize() {
    const int sw = innerWidth_;
    const int sh = innerHeight_;
    MainLayout l;
    if (sw <= 0) {
        l.minimized = true;
        return l;
    }
    if (sw < kMinInnerWidth) l.setOuterWidth = kSnapOuterWidth;
    if (sh < kMinInnerHeight) l.setOuterHeight = kSnapOuterHeight;
    // Below the minimum the shell is about to enlarge the window; sizes
    // that would come out negative until then are kept at 0.
    auto size = [](int n) { return std::max(n, 0); };
    l.lstObjects = {8, kListOptionsHeight + 16, kObjectListWidth, size(sh - 80 - kListOptionsHeight)};
    l.fraSubPanel = {8, sh - 56, 177, 48};
    l.Level = {kObjectListWidth + 16, 0, size(sw - 432), size(sh - kScrollBarSize)};
    l.hscLevelPos = {l.Level.left, sh - kScrollBarSize, l.Level.width, kScrollBarSize};
    l.vscLevelPos = {l.Level.left + l.Level.width, 0, kScrollBarSize, size(sh - kScrollBarSize)};
    const int column = l.vscLevelPos.left + l.vscLevelPos.width + 8;
    l.fraObjectInfo = {column, 8, 192, 153};
    l.fraLevelInfo = {column, 168, 192, 149};
    l.fraScreenExits = {column, 8, 193, 409};
    layout = l;

    view.viewWidth = static_cast<float>(l.Level.width);
    view.viewHeight = static_cast<float>(l.Level.height);
    const ScrollValueChanges dropped = UpdateScrollRanges(view);
    if (openingPending_ && session.levelLoaded) ScrollToOpening();
    // A value that had to drop ran its bar's change handler: a repaint.
    OnDocumentChanged(dropped.any() ? kChangedView : kChangedViewSize);
    return l;
}

// ---- view ----

void LevelEditor::ScrollToOpening() {
    openingPending_ = view.viewWidth <= 0 || view.viewHeight <= 0;
    mw::ScrollToOpening(view, WhereLevelOpens(rom, defs, level));
    OnDocumentChanged(kChangedView);
}

void LevelEditor::mnuViewZoom_Click(int n) {
    if (n < 1) return;
    ApplyZoom(view, n);
    Form_Resize();
    OnDocumentChanged(kChangedView);
}

void LevelEditor::SetScroll(ScrollBarState& bar, int value) {
    value = std::clamp(value, 0, std::max(bar.maximum, 0));
    if (value == bar.value) return;
    bar.value = value;
    OnDocumentChanged(kChangedView);
}

void LevelEditor::hscLevelPos_Change(int value) {
    view.hsc.value = std::clamp(value, 0, std::max(view.hsc.maximum, 0));
    OnDocumentChanged(kChangedView);
}

void LevelEditor::vscLevelPos_Change(int value) {
    view.vsc.value = std::clamp(value, 0, std::max(view.vsc.maximum, 0));
    OnDocumentChanged(kChangedView);
}

RememberedView LevelEditor::Remembered() const {
    return {view.zoom, view.options, mnuViewStationary, map.mnuViewTiles};
}

void LevelEditor::Restore(const RememberedView& r) {
    view.options.crossSection = r.options.crossSection;
    view.options.smallGrid = r.options.smallGrid;
    view.options.transparent = r.options.transparent;
    SetOutOfBounds(view, r.options.outOfBounds);
    mnuViewStationary = r.stationary;
    map.mnuViewTiles = r.tiles;
    if (std::find(std::begin(kZoomLevels), std::end(kZoomLevels), r.zoom) != std::end(kZoomLevels))
        ApplyZoom(view, r.zoom);
    Form_Resize();
    if (session.levelLoaded) ScrollToOpening();
    OnDocumentChanged(kChangedView | kChangedDrawing);
}

void LevelEditor::mnuViewCross_Click() {
    view.options.crossSection = !view.options.crossSection;
    OnDocumentChanged(kChangedDrawing);
}

void LevelEditor::mnuViewSmallgrid_Click() {
    view.options.smallGrid = !view.options.smallGrid;
    OnDocumentChanged(kChangedDrawing);
}

void LevelEditor::mnuViewTransparent_Click() {
    // The next paint fills its first box the new way (PaintView).
    view.options.transparent = !view.options.transparent;
    OnDocumentChanged(kChangedDrawing);
}

void LevelEditor::mnuViewOutofbounds_Click() {
    SetOutOfBounds(view, !view.options.outOfBounds);
    Form_Resize();
}

void LevelEditor::mnuViewStationary_Click() {
    mnuViewStationary = !mnuViewStationary;
    OnDocumentChanged(kChangedDrawing);
}

void LevelEditor::Form_Paint(Surface& surface) {
    map.UpdateMap();
    map.UpdateTiles();
    const TileLayer layer = map.Layer();
    PaintDocument(document, defs, view, surface, tool.band, map.TilesShown() ? &layer : nullptr,
                  panels.fraScreenExitsVisible);
}

}  // namespace mw
