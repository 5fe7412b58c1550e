#pragma once
// The main window. It holds the widgets only: every event is forwarded to
// the LevelEditor, whose state is then copied into the widgets (with their
// signals blocked), and the view is repainted when the editor asks for it.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "editing/emulator_test.h"
#include "editing/level_editor.h"
#include "editing/status_line.h"
#include "editing/shortcut_list.h"
#include "editing/entry_list.h"
#include "paint/qpainter_surface.h"

class QAction;
class QDockWidget;
class QTableWidget;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QMenu;

namespace mw {

class frmAbout;
class frmFind;
class frmHeader;
class frmPatch;
class QtEmulatorHost;
class frmHex;
class frmLevelISelect;
class frmLevelSelect;
class frmObjectList;
class frmLevel;

// Places a child at its design position (pixels, relative to its container).
void Place(QWidget* w, int left, int top, int width, int height);
// A push button at its design position that Enter does not press unless
// it has been made the dialog's default.
QPushButton* MakeButton(QWidget* parent, const QString& text, int left, int top, int width, int height);
// Calls `handler` with the row the user selects in `list` by mouse or keys
// (not when the list merely gets the focus, nor when the program sets it).
void ConnectListClick(QListWidget* list, QObject* context, std::function<void(int)> handler);
// Sets a box's text without running its handlers, keeping the caret when
// the text does not change.
void SetBoxText(QLineEdit* box, const std::string& text);
// Selects `row` (none when out of range) without running the list's handlers.
void SetListRow(QListWidget* list, int row);
// Replaces a list's rows with the entries' texts, selecting none, without
// running its handlers.
void FillList(QListWidget* list, const std::vector<ListEntry>& items);
// The application-wide control font (a small sans-serif, like the classic
// dialog font) and the palette's fixed-pitch font.
QFont ControlFont();
QFont FixedFont();
// The style sheet of the windows' frames.
extern const char* const kFrameStyle;

// The picture box `Level`: the level view.
class LevelView : public QWidget {
    Q_OBJECT
public:
    LevelView(frmLevel& owner, QWidget* parent);
    QPainterSurface surface;  // keeps its drawing state between paints

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    // Palette items dragged from either object list.
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dropEvent(QDropEvent*) override;

private:
    frmLevel& owner_;
};

class frmLevel : public QMainWindow {
    Q_OBJECT
public:
    explicit frmLevel(Prompter& prompter, QWidget* parent = nullptr);
    ~frmLevel() override;

    // Start-up; false when the program is to end (the window is not shown).
    bool Form_Load(const std::string& programDirectory,
                   const std::optional<std::string>& romPath = std::nullopt);

    LevelEditor& editor() { return editor_; }

    // The public methods the dialogs use.
    bool LoadLevelIndex(int32_t index);
    bool LoadLevelOffset(int32_t headerOffset, int32_t spriteOffset);
    void ResetHeader(const LevelHeader& bytes);
    void RemakeObjectList();

    // Copies all of the editor's state into the widgets; repaints and quits as asked.
    void SyncFromEditor();
    // Copies the side panels' texts, colours and places into the widgets.
    void SyncPanels();
    // Copies what the editor's change notices named since the last copy
    // (and `what`), and the tool's pointer state; repaints and quits as asked.
    void SyncChanges(ChangeSet what = 0);
    // Applies the editor's last layout to the controls.
    void ApplyLayout(const MainLayout& layout);

    // ---- controls, by their names ----
    QWidget* form = nullptr;  // the client area that holds every control

    QGroupBox* fraListOptions = nullptr;
    QLabel* lblFilter = nullptr;
    QLineEdit* txtFilter = nullptr;
    std::array<QCheckBox*, 3> chkListable{};
    QListWidget* lstObjects = nullptr;
    QGroupBox* fraSubPanel = nullptr;
    QPushButton* cmdAddObject = nullptr;
    QPushButton* cmdRemoveObject = nullptr;

    LevelView* Level = nullptr;
    QListWidget* lstPopup = nullptr;
    QLabel* lblToolTip = nullptr;
    QScrollBar* hscLevelPos = nullptr;
    QScrollBar* vscLevelPos = nullptr;

    QGroupBox* fraObjectInfo = nullptr;
    QLabel* lblObjectInfo = nullptr;
    QPushButton* cmdObjectPrev = nullptr;
    QPushButton* cmdObjectNext = nullptr;
    QPushButton* cmdGotoObject = nullptr;

    QGroupBox* fraLevelInfo = nullptr;
    QLabel* lblByteUsage = nullptr;
    QLabel* lblSByteUsage = nullptr;
    QLabel* lblFreeSpace = nullptr;
    QLabel* lblMapInfo = nullptr;
    QLabel* lblTilesInfo = nullptr;
    QLabel* lblMousePos = nullptr;
    QLabel* lblLevelName = nullptr;

    QGroupBox* fraScreenExits = nullptr;
    std::array<QPushButton*, 4> cmdMoveScreen{};
    QLineEdit* txtEntranceX = nullptr;
    QLineEdit* txtEntranceY = nullptr;
    QLineEdit* txtExitDestination = nullptr;
    QListWidget* lstDestinationLevels = nullptr;
    QLineEdit* txtEntranceType = nullptr;
    QListWidget* lstEntranceTypes = nullptr;
    QLabel* lblByteUsage2 = nullptr;
    QPushButton* cmdScreenPrev = nullptr;
    QPushButton* cmdScreenNext = nullptr;
    QPushButton* cmdScreenGoto = nullptr;

    // The status bar's parts (what is told shows on its left).
    QLabel* lblStatusTile = nullptr;
    QLabel* lblStatusZoom = nullptr;
    QLabel* lblStatusLevel = nullptr;
    QLabel* lblStatusBytes = nullptr;
    QLabel* lblStatusMap = nullptr;

    // The entries dock: the level's objects, sprites and exits.
    QDockWidget* dockEntries = nullptr;
    QTableWidget* tblEntries = nullptr;

    // ---- menu items ----
    QAction* mnuMain = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileCreatePatch = nullptr;
    QAction* mnuFileApplyPatch = nullptr;
    QAction* mnuMainQuit = nullptr;
    QMenu* mnuLevel = nullptr;
    QAction* mnuFileLevelIndex = nullptr;
    QAction* mnuFileLevel = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuLevelHeader = nullptr;
    QAction* mnuLevelFind = nullptr;
    QAction* mnuLevelTest = nullptr;
    QMenu* mnuRandomLevelClearcheck = nullptr;
    QMenu* cmdLevelClearsuretwo = nullptr;
    QAction* mnuRandomLevelClear = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditRedo = nullptr;
    QAction* mnuEditDelete = nullptr;
    QMenu* mnuEditMove = nullptr;
    QAction* mnuEditZoomIn = nullptr;
    QAction* mnuEditZoomOut = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditCut = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditDuplicate = nullptr;
    QAction* mnuEditSelectAll = nullptr;
    QAction* mnuEditSelectCurrent = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewCross = nullptr;
    QAction* mnuViewScreenExit = nullptr;
    QAction* mnuViewOutofbounds = nullptr;
    QAction* mnuViewSeperateobjects = nullptr;
    QAction* mnuViewSmallgrid = nullptr;
    QAction* mnuViewTransparent = nullptr;
    QAction* mnuViewStationary = nullptr;
    QAction* mnuViewTiles = nullptr;
    QMenu* mnuViewZoomlist = nullptr;
    std::map<int, QAction*> mnuViewZoom;  // by zoom
    QMenu* mnuRandom = nullptr;
    QAction* mnuRandomHex = nullptr;
    QAction* mnuRandomBadger = nullptr;
    QMenu* mnuSettings = nullptr;
    QAction* mnuSettingsEmulator = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QAction* mnuHelpShortcuts = nullptr;  // "Keyboard shortcuts"
    // Every menu item of the window that has keys, read from the items.
    std::vector<ShortcutRow> Shortcuts() const;

    // The dialogs, created on first use and hidden (not destroyed) on close.
    frmAbout* aboutDialog();
    frmHeader* headerDialog();
    frmHex* hexDialog();
    frmLevelISelect* levelIndexDialog();
    frmLevelSelect* levelOffsetDialog();
    frmObjectList* objectListWindow();
    frmFind* findDialog();
    frmPatch* patchDialog();

    // Playing the level in an emulator; its copies go when the window goes.
    EmulatorTest& emulatorTest() { return emulatorTest_; }
    // Level -> "&Test in emulator" and the view's "Test from &here".
    void TestInEmulator(std::optional<StartTile> at = std::nullopt);
    // File -> "&Apply patch...": the original, the patch, the copy to write.
    void ApplyPatchCopy();

    // The view's mouse events (button mask 1 left, 2 right, 4 middle; shift
    // mask 1 Shift, 2 Ctrl, 4 Alt).
    void Level_MouseDown(int button, float px, float py, int shift = 0);
    void Level_MouseMove(int buttons, float px, float py, int shift = 0);
    void Level_MouseUp(int button, float px, float py, int shift = 0);
    // Ctrl+wheel: one zoom step per notch, around the pointer.
    void Level_ZoomWheel(int steps, float px, float py);
    // True when `source` is one of the palette's lists.
    bool IsPaletteList(const QObject* source) const;
    // The palette's selected item dropped on the view at (px, py).
    void Level_Drop(float px, float py);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildScreenExitFrame();
    void BuildStatusBar();
    // The window's first size: most of the screen, at least the design's.
    QSize SizeForScreen() const;
    // The window's place and size, the zoom and the View options, kept with
    // QSettings from one run to the next.
    void RestoreSettings();
    void SaveSettings();
    void ShowShortcuts();
    void BuildEntriesDock();
    void SyncEntries();
    void SyncStatusBar();
    // A result the editor tells: shown in the status bar, not in a box.
    void ShowTold(const Message& m);
    // True when the key press is the shortcut of one of the window's menu items.
    bool IsMenuShortcut(const QKeyEvent* key) const;
    void BuildMenus();
    // The selection and clipboard items of the "&Edit" menu.
    void BuildSelectionItems(QMenu* edit);
    // "Paste": the system clipboard's text at the tile under the pointer
    // when the pointer is over the view, else at the view's top-left.
    void PasteFromClipboard();
    void Form_Resize();
    void SyncMenus();
    void SyncScrollBar(QScrollBar* bar, const ScrollBarState& state);
    void SyncPickList();
    void SyncExitEditor();
    void SyncInfo();     // the information labels and the exit editor
    void SyncPointer();  // the tool's mouse position, tooltip, pointer shape and pick list
    void SyncPalette();
    // Runs an editor command and copies into the widgets what it changed.
    template <typename F>
    void Run(F&& f) {
        f();
        SyncChanges();
    }
    // Runs a command of the menus or the panels, whose boxes and lists
    // change without a notice, and copies everything.
    template <typename F>
    void RunSyncAll(F&& f) {
        f();
        SyncFromEditor();
    }

    TellingPrompter relay_;  // the editor's prompter: tells go to the status bar
    LevelEditor editor_;
    StatusLine shownStatus_;
    std::vector<EntryRow> shownEntries_;  // what tblEntries holds (by its rows' data)
    bool quitting_ = false;
    std::vector<ListEntry> shownPopupItems_;    // what lstPopup holds
    std::vector<ListEntry> shownPaletteItems_;  // what lstObjects holds
    MainLayout appliedLayout_;
    bool layoutApplied_ = false;

    frmAbout* about_ = nullptr;
    frmHeader* header_ = nullptr;
    frmHex* hex_ = nullptr;
    frmLevelISelect* levelIndex_ = nullptr;
    frmLevelSelect* levelOffset_ = nullptr;
    frmObjectList* objectList_ = nullptr;
    frmFind* find_ = nullptr;
    frmPatch* patch_ = nullptr;
    EmulatorTest emulatorTest_{editor_};
    std::unique_ptr<QtEmulatorHost> emulatorHost_;
    // The view's context menu at (px, py): "Test from &here".
    void ShowViewMenu(float px, float py);
};

}  // namespace mw
