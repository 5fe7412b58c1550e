#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <memory>

#include "shell/frmAbout.h"
#include "shell/frmFind.h"
#include "shell/frmHeader.h"
#include "shell/frmHex.h"
#include "shell/frmLevel.h"
#include "shell/frmObjectList.h"
#include "shell_test_app.h"
#include "support/rom_builder.h"
#include "util/hex_text.h"

namespace mw {
namespace {

using test::Cat;
using test::ExitRec;
using test::Obj5;
using test::Px;
using test::Rgb32;
using test::SpriteRec;

constexpr int32_t kHeaderAt = 0x90000;
constexpr int32_t kSpritesAt = 0x98000;
const std::vector<uint8_t> kHeader = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// Level 0: a "Land, rectangle" of 4 by 4 tiles at (2, 3), a second one far
// to the right, an exit on screen (1, 0) and one sprite; some free room.
test::RomImage TestRom() {
    test::RomImage rom;
    rom.put(kHeaderAt, Cat({kHeader, Obj5(0x01, 2, 3, 3, 3), Obj5(0x01, 40, 20, 1, 1), {0xFF},
                            ExitRec(1, 0, 0x05, 0x10, 0x20, 0x01), {0xFF}, std::vector<uint8_t>(8, 0)}));
    rom.put(kSpritesAt, Cat({SpriteRec(0x1E, 12, 10), {0xFF, 0xFF}, std::vector<uint8_t>(6, 0)}));
    rom.setLevel(0, kHeaderAt, kSpritesAt);
    return rom;
}

// Key events delivered to a widget as the platform would.
// Left-button presses, drags and releases go through QTest, which keeps track
// of the held buttons the way the platform does.
void Press(QWidget* t, QPoint at) { QTest::mousePress(t, Qt::LeftButton, Qt::NoModifier, at); }
void DragTo(QWidget* t, QPoint at) { QTest::mouseMove(t, at); }
void Release(QWidget* t, QPoint at) { QTest::mouseRelease(t, Qt::LeftButton, Qt::NoModifier, at); }
void Key(QWidget* t, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(t, &e);
}
// Replaces a text box's contents the way typing does (so its edit handler runs).
void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    Key(box, Qt::Key_Backspace);
    for (QChar c : text) Key(box, 0, Qt::NoModifier, QString(c));
}
// Runs the event loop until `done` holds or a second has passed.
template <typename F>
bool WaitFor(F done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 1000) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class MainWindow : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    std::unique_ptr<frmLevel> w;
    std::string romPath;

    void SetUp() override {
        test::EnsureApp();
        QSettings().clear();  // each test starts as a first run
    }

    void Open(const test::RomImage& rom) {
        romPath = rom.writeTemp();
        w = std::make_unique<frmLevel>(prompter);
        ASSERT_TRUE(w->Form_Load(MW_DATA_DIR, romPath));
        w->show();
        ASSERT_TRUE(WaitFor([&] { return w->windowHandle() && w->windowHandle()->isExposed(); }));
        // The pixels and places of these tests are for the design's client area.
        w->resize(w->size() - w->form->size() + QSize(845, 504));
        ASSERT_TRUE(WaitFor([&] { return w->form->size() == QSize(845, 504); }));
        // The view opened on the level's entries; the pixels of these tests
        // are for the level's top-left.
        EXPECT_EQ(w->hscLevelPos->value(), w->editor().view.scrollX());
        w->hscLevelPos->setValue(0);
        w->vscLevelPos->setValue(0);
    }
    QImage View() const { return w->Level->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST_F(MainWindow, PaintsTheLevelIntoTheView) {
    Open(TestRom());
    EXPECT_EQ(w->windowTitle().toStdString(), std::filesystem::path(romPath).filename().string() + " - Marlwick");
    ASSERT_EQ(w->editor().level.objectList.size(), 3u);
    const QImage img = View();
    const Rgb land = w->editor().defs.objectDefs[0x01].colour;
    // Zoom 16, scroll (0, 0): the box runs from (32, 48) to (96, 112).
    EXPECT_EQ(Px(img, 64, 90), Rgb32(land));
    // The current object (entry 0) is outlined in red.
    EXPECT_EQ(Px(img, 32, 90), 0xFF0000u);
    EXPECT_EQ(Px(img, 64, 48), 0xFF0000u);
    // The exit's solid orange tab at the top-left of screen (1, 0).
    EXPECT_EQ(Px(img, 270, 4), 0xFF8000u);
    // Untouched view is the button face.
    EXPECT_EQ(Px(img, 150, 300), Rgb32(kButtonFace));
    // The sprite at (12, 10) is filled with its own colour.
    EXPECT_EQ(Px(img, 12 * 16 + 13, 10 * 16 + 13), Rgb32(w->editor().defs.spriteDefs[0x1E].colour));

    // Switching the boxes to cross-hatch lets the background through.
    w->mnuViewTransparent->trigger();
    EXPECT_TRUE(w->mnuViewTransparent->isChecked());
    const QImage hatched = View();
    int face = 0;
    for (int y = 70; y < 108; ++y)
        for (int x = 40; x < 90; ++x) face += Px(hatched, x, y) == Rgb32(kButtonFace);
    EXPECT_GT(face, 500);
}

TEST_F(MainWindow, WheelScrollsTheViewThroughItsBars) {
    Open(TestRom());
    auto wheel = [&](QPoint delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(100, 100), w->Level->mapToGlobal(QPointF(100, 100)), QPoint(), delta, Qt::NoButton,
                      mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->Level, &e);
    };
    wheel({0, -120}, Qt::NoModifier);
    const int down = w->editor().view.scrollY();
    EXPECT_GT(down, 0);
    EXPECT_EQ(w->vscLevelPos->value(), down);
    EXPECT_EQ(w->editor().view.scrollX(), 0);
    wheel({0, -120}, Qt::ShiftModifier);
    EXPECT_GT(w->editor().view.scrollX(), 0);
    EXPECT_EQ(w->editor().view.scrollY(), down);
    wheel({0, 120}, Qt::NoModifier);
    EXPECT_EQ(w->editor().view.scrollY(), 0);
}

TEST_F(MainWindow, ControlsSitWhereTheLayoutPutsThem) {
    Open(TestRom());
    ASSERT_EQ(w->form->size(), QSize(845, 504));
    EXPECT_EQ(w->Level->geometry(), QRect(209, 0, 413, 488));
    EXPECT_EQ(w->hscLevelPos->geometry(), QRect(209, 488, 413, 16));
    EXPECT_EQ(w->vscLevelPos->geometry(), QRect(622, 0, 16, 488));
    EXPECT_EQ(w->fraObjectInfo->geometry(), QRect(646, 8, 192, 153));
    EXPECT_EQ(w->fraLevelInfo->geometry(), QRect(646, 168, 192, 149));
    EXPECT_EQ(w->lstObjects->geometry(), QRect(8, 81, 193, 359));
    EXPECT_EQ(w->fraSubPanel->geometry(), QRect(8, 448, 177, 48));
    EXPECT_FALSE(w->fraScreenExits->isVisible());
    EXPECT_EQ(w->lstObjects->count(), 1024);
    // The bars page by one screen; the vertical one scrolls 128 - 30 rows.
    EXPECT_EQ(w->vscLevelPos->pageStep(), 16);
    EXPECT_EQ(w->vscLevelPos->maximum(), 98);
    EXPECT_TRUE(w->vscLevelPos->isEnabled());

    // Too narrow a client area snaps back to 672 pixels.
    w->resize(w->width() - w->form->width() + 500, w->height());
    ASSERT_TRUE(WaitFor([&] { return w->form->width() == 672 && w->Level->width() == 672 - 432; }));
    EXPECT_EQ(w->Level->width(), 672 - 432);
    EXPECT_EQ(w->fraObjectInfo->x(), 209 + 672 - 432 + 16 + 8);
}

TEST_F(MainWindow, MenusCarryTheirCaptionsShortcutsAndChecks) {
    Open(TestRom());
    QStringList top;
    for (QAction* a : w->menuBar()->actions()) top << a->text();
    EXPECT_EQ(top, (QStringList{"Marlwick", "&File", "&Level", "&Edit", "&View", "&Random", "&Settings", "&Help"}));

    struct Item {
        QAction* action;
        const char* caption;
        const char* shortcut;
    };
    const Item items[] = {
        {w->mnuFileOpen, "&Open ROM...", "Ctrl+O"},
        {w->mnuMainQuit, "&Exit", "Ctrl+Q"},
        {w->mnuFileLevelIndex, "&Load Level by Index...", "Ctrl+L"},
        {w->mnuFileLevel, "(Vastly inferior) Load Level by Of&fset...", ""},
        {w->mnuFileSave, "&Save Level", "Ctrl+S"},
        {w->mnuLevelHeader, "Edit header...", "Ctrl+H"},
        {w->mnuLevelFind, "&Find in all levels...", "Ctrl+F"},
        {w->mnuLevelTest, "&Test in emulator", "F5"},
        {w->mnuFileCreatePatch, "Create &patch...", ""},
        {w->mnuFileApplyPatch, "&Apply patch...", ""},
        {w->mnuSettingsEmulator, "&Emulator command...", ""},
        {w->mnuRandomLevelClear, "Yes, I'm sure", ""},
        {w->mnuEditUndo, "&Undo", "Ctrl+Z"},
        {w->mnuEditRedo, "&Redo", "Ctrl+Y"},
        {w->mnuEditDelete, "&Delete", "Del"},
        {w->mnuEditZoomIn, "Zoom &in", "Ctrl+="},
        {w->mnuEditZoomOut, "Zoom &out", "Ctrl+-"},
        {w->mnuViewCross, "Cross-section mode", "Ctrl+C"},
        {w->mnuViewScreenExit, "Screen Exit mode", "Ctrl+E"},
        {w->mnuViewOutofbounds, "Show area outside of level", ""},
        {w->mnuViewSeperateobjects, "Object list window", ""},
        {w->mnuViewSmallgrid, "Small grid", "Ctrl+G"},
        {w->mnuViewTransparent, "Transparent WireBlocks", "Ctrl+W"},
        {w->mnuViewStationary, "Stationary tooltip", "Ctrl+T"},
        {w->mnuRandomHex, "&Hex editor...", ""},
        {w->mnuRandomBadger, "Fetch Me A &Badger", ""},
        {w->mnuHelpAbout, "&About...", ""},
    };
    for (const Item& i : items) {
        EXPECT_EQ(i.action->text().toStdString(), i.caption);
        EXPECT_EQ(i.action->shortcut().toString().toStdString(), i.shortcut) << i.caption;
        EXPECT_FALSE(i.action->isChecked()) << i.caption;
    }
    EXPECT_FALSE(w->mnuEditUndo->isEnabled());  // nothing to undo or redo yet
    EXPECT_FALSE(w->mnuEditRedo->isEnabled());
    EXPECT_EQ(w->mnuEditRedo->shortcuts().value(1).toString(), "Ctrl+Shift+Z");
    EXPECT_EQ(w->mnuRandomLevelClearcheck->title().toStdString(), "Clear");
    EXPECT_EQ(w->cmdLevelClearsuretwo->title().toStdString(),
              "Are you sure you want to remove all objects and sprites?");
    QStringList zooms;
    for (QAction* a : w->mnuViewZoomlist->actions()) zooms << a->text() + (a->isChecked() ? "*" : "");
    EXPECT_EQ(zooms, (QStringList{"4x", "8x", "12x", "16x (Default)*", "24x", "32x", "64x"}));

    // A zoom item moves the check mark and the editor follows.
    w->mnuViewZoom.at(4)->trigger();
    EXPECT_EQ(w->editor().view.zoom, 4);
    EXPECT_TRUE(w->mnuViewZoom.at(4)->isChecked());
    EXPECT_FALSE(w->mnuViewZoom.at(16)->isChecked());
    EXPECT_EQ(w->vscLevelPos->maximum(), 128 - 488 / 4);
}

// The menus' Ctrl shortcuts work while a text box has the focus, although a
// text box binds some of those keys itself (copy, end of line).
TEST_F(MainWindow, CtrlShortcutsReachTheMenusFromATextBox) {
    Open(TestRom());
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->txtFilter->setFocus();
    ASSERT_TRUE(w->txtFilter->hasFocus());

    QTest::keyClick(w->txtFilter, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(w->editor().view.options.crossSection);
    EXPECT_TRUE(w->mnuViewCross->isChecked());
    QTest::keyClick(w->txtFilter, Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(w->editor().view.options.smallGrid);

    // "Screen Exit mode" from the filter box, then Ctrl+C from an exit box.
    QTest::keyClick(w->txtFilter, Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(w->fraScreenExits->isVisible());
    w->txtEntranceX->setFocus();
    QTest::keyClick(w->txtEntranceX, Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(w->editor().view.options.crossSection);

    // Keys that no menu item uses still belong to the box.
    w->txtFilter->setFocus();
    w->txtFilter->setText("abc");
    w->txtFilter->setCursorPosition(3);
    QTest::keyClick(w->txtFilter, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w->txtFilter->selectedText(), "abc");
}

// Press, drag and release an object, save, reload: the object is at its new
// place and every other byte of the file is as it was.
TEST_F(MainWindow, DraggedObjectIsSavedAndNothingElseChanges) {
    const test::RomImage rom = TestRom();
    Open(rom);
    const std::vector<uint8_t> before = test::ReadFileBytes(romPath);

    // Grab the body at (64, 80): 32 pixels right of and below the origin tile's corner.
    Press(w->Level, {64, 80});
    EXPECT_EQ(w->editor().tool.dragMode, DragMode::MOV);
    DragTo(w->Level, {100, 96});
    DragTo(w->Level, {144, 112});
    Release(w->Level, {144, 112});
    EXPECT_EQ(w->editor().tool.dragMode, DragMode::NON);
    const LevelObject& moved = w->editor().level.objectList[0];
    EXPECT_EQ(moved.x, 7);
    EXPECT_EQ(moved.y, 5);
    EXPECT_TRUE(w->windowTitle().endsWith(" *"));
    EXPECT_EQ(w->lblObjectInfo->text().split('\n').value(2), "(7, 5)");
    // The picture follows: the box's fill is now at its new place.
    EXPECT_EQ(Px(View(), 7 * 16 + 32, 5 * 16 + 40), Rgb32(w->editor().defs.objectDefs[1].colour));

    // The result is in the status bar, not in a box.
    const size_t boxes = prompter.messages.size();
    w->mnuFileSave->trigger();
    EXPECT_EQ(prompter.messages.size(), boxes);
    EXPECT_EQ(w->statusBar()->currentMessage(), "Level saved succesfully.");
    EXPECT_FALSE(w->windowTitle().endsWith(" *"));

    std::vector<uint8_t> expected = before;
    const std::vector<uint8_t> record = Obj5(0x01, 7, 5, 3, 3);
    std::copy(record.begin(), record.end(), expected.begin() + kHeaderAt + 10);
    EXPECT_EQ(test::ReadFileBytes(romPath), expected);

    ASSERT_TRUE(w->LoadLevelIndex(0));
    EXPECT_EQ(w->editor().level.objectList[0].x, 7);
    EXPECT_EQ(w->editor().level.objectList[0].y, 5);
    EXPECT_EQ(w->editor().level.objectList.size(), 3u);
}

// Ctrl+Z after a drag takes it back, and saved again the file is what it
// was; the view's keys and Ctrl+wheel are undoable steps too (or none).
TEST_F(MainWindow, UndoAfterADragRestoresTheFile) {
    Open(TestRom());
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    const std::vector<uint8_t> before = test::ReadFileBytes(romPath);
    EXPECT_FALSE(w->mnuEditUndo->isEnabled());
    Press(w->Level, {64, 80});
    DragTo(w->Level, {100, 96});
    DragTo(w->Level, {144, 112});
    Release(w->Level, {144, 112});
    EXPECT_EQ(w->mnuEditUndo->text(), "&Undo Move");
    w->mnuFileSave->trigger();
    ASSERT_NE(test::ReadFileBytes(romPath), before);

    QTest::keyClick(w->Level, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w->editor().level.objectList[0].x, 2);
    EXPECT_TRUE(w->windowTitle().endsWith(" *"));  // away from the saved state
    EXPECT_EQ(w->mnuEditRedo->text(), "&Redo Move");
    w->mnuFileSave->trigger();
    EXPECT_EQ(test::ReadFileBytes(romPath), before);
    EXPECT_FALSE(w->windowTitle().endsWith(" *"));

    w->Level->setFocus();
    QTest::keyClick(w->Level, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(w->editor().level.objectList[0].x, 18);
    QTest::keyClick(w->Level, Qt::Key_Delete);
    EXPECT_EQ(w->editor().level.objectList.size(), 2u);
    QTest::keyClick(w->txtFilter, Qt::Key_Z, Qt::ControlModifier);  // from a text box too
    QTest::keyClick(w->Level, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w->editor().level.objectList.size(), 2u);
    QTest::keyClick(w->Level, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w->Level, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w->editor().level.objectList[0].x, 2);
    EXPECT_FALSE(w->windowTitle().endsWith(" *"));

    const int zoom = w->editor().view.zoom;
    QWheelEvent wheel(QPointF(50, 50), w->Level->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->Level, &wheel);
    EXPECT_GT(w->editor().view.zoom, zoom);
    EXPECT_TRUE(w->mnuViewZoom[w->editor().view.zoom]->isChecked());
}

TEST_F(MainWindow, ClosingWithUnsavedChangesAsksFirst) {
    Open(TestRom());
    Press(w->Level, {64, 80});
    DragTo(w->Level, {100, 80});
    Release(w->Level, {100, 80});
    ASSERT_TRUE(w->editor().session.changed());

    prompter.saveChoice = SaveChoice::Cancel;
    EXPECT_FALSE(w->close());
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_EQ(prompter.questions[0].text, "The level has unsaved changes. Save them first?");
    EXPECT_TRUE(w->isVisible());

    // "&Exit" asks once and the window then closes without asking again.
    prompter.saveChoice = SaveChoice::Discard;
    w->mnuMainQuit->trigger();
    EXPECT_EQ(prompter.questions.size(), 2u);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindow, DialogsKeepTheirStateAndReportBack) {
    Open(TestRom());
    // About: Esc complains and stays open; "&Alright" hides; the credits are built once.
    frmAbout* about = w->aboutDialog();
    about->prepare();
    about->show();
    Key(about, Qt::Key_Escape);
    ASSERT_EQ(prompter.messages.back().title, "Marlwick - User Error");
    EXPECT_TRUE(about->isVisible());
    const QString credits = about->lblAbout->text();
    about->cmdOK->click();
    EXPECT_FALSE(about->isVisible());
    about->prepare();
    EXPECT_EQ(about->lblAbout->text(), credits);

    // Header: the boxes show the level's header; "&Alright" hands the packed
    // bytes back; the import number survives hiding.
    frmHeader* header = w->headerDialog();
    header->prepare();
    header->show();
    EXPECT_EQ(header->box(0)->text(), "0");  // byte 0 = 1: background colour 0
    EXPECT_EQ(header->box(1)->text(), "2");  // tileset: (1 AND 7) * 2 + (2 >> 7)
    header->txtImportNum->setText("1F");
    header->box(15)->setText("1");  // Music
    header->box(16)->setText("0");  // Unknown 2
    header->box(14)->setText("0");  // Initial Layer 2 Position
    header->box(13)->setText("0");  // Initial Layer 1 Position
    header->cmdOK->click();
    EXPECT_FALSE(header->isVisible());
    EXPECT_EQ(w->editor().level.headerBytes[8], 0x00);
    EXPECT_EQ(w->editor().level.headerBytes[9], 0x80);
    EXPECT_TRUE(w->windowTitle().endsWith(" *"));
    header->prepare();
    EXPECT_EQ(header->txtImportNum->text(), "1F");

    // A poke into the level's first object reloads the level (the header's
    // unsaved change is discarded): the window shows it at once.
    frmHex* hex = w->hexDialog();
    hex->show();
    prompter.saveChoice = SaveChoice::Discard;
    hex->txtOffset->setText(QString::fromStdString(ToHex(kHeaderAt + 10 + 2)));  // low nibbles of its Y and X
    hex->txtValue->setText(QStringLiteral("39"));  // X 2 -> 9
    hex->cmdPut->click();
    EXPECT_FALSE(w->windowTitle().endsWith(" *"));
    EXPECT_EQ(w->tblEntries->findItems(QStringLiteral("9"), Qt::MatchExactly).size(), 1);
    hex->cmdExit->click();

    // The badger counts.
    w->mnuRandomBadger->trigger();
    w->mnuRandomBadger->trigger();
    EXPECT_EQ(prompter.messages.back().text, "Badger fetched.  You now have 2 badgers.");
}

TEST_F(MainWindow, ExitEditorAndPaletteWindowDriveTheEditor) {
    Open(TestRom());
    w->mnuViewScreenExit->trigger();
    ASSERT_TRUE(w->fraScreenExits->isVisible());
    EXPECT_EQ(w->txtExitDestination->text(), "5");
    EXPECT_EQ(w->txtEntranceX->text(), "10");
    Type(w->txtEntranceX, "1f");
    EXPECT_EQ(w->editor().level.exitList[0].entranceX, 0x1F);
    // Text that is no value turns red and is not stored; leaving the box
    // shows the stored value again in the normal colour.
    const QColor normal = w->txtExitDestination->palette().color(QPalette::Text);
    Type(w->txtExitDestination, "999");
    EXPECT_EQ(w->txtExitDestination->text(), "999");
    EXPECT_EQ(w->txtExitDestination->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(w->editor().level.exitList[0].destination, 0x99);
    w->txtEntranceY->setFocus();
    EXPECT_EQ(w->txtExitDestination->text(), "99");
    EXPECT_EQ(w->txtExitDestination->palette().color(QPalette::Text), normal);
    w->lstDestinationLevels->item(2)->setSelected(true);
    EXPECT_EQ(w->editor().level.exitList[0].destination, w->editor().defs.destinationLevels[2].value);
    EXPECT_EQ(w->txtExitDestination->text().toStdString(), ToHex(w->editor().defs.destinationLevels[2].value));
    w->cmdMoveScreen[0]->click();  // right
    EXPECT_EQ(w->editor().level.exitList[0].screenX, 2);
    // A left press on the view closes the editor.
    Press(w->Level, {300, 300});
    Release(w->Level, {300, 300});
    EXPECT_FALSE(w->fraScreenExits->isVisible());

    // The separate palette window mirrors the main list and drives it.
    w->mnuViewSeperateobjects->trigger();
    frmObjectList* pal = w->objectListWindow();
    ASSERT_TRUE(pal->isVisible());
    EXPECT_TRUE(w->mnuViewSeperateobjects->isChecked());
    Type(pal->txtFilter, "x1");
    EXPECT_EQ(w->txtFilter->text(), "x1");
    ASSERT_GT(w->lstObjects->count(), 2);
    ASSERT_EQ(pal->lstObjects->count(), w->lstObjects->count());
    for (int i = 0; i < w->lstObjects->count(); ++i)
        EXPECT_EQ(pal->lstObjects->item(i)->text(), w->lstObjects->item(i)->text());
    pal->lstObjects->item(2)->setSelected(true);
    EXPECT_EQ(w->lstObjects->selectedItems().value(0), w->lstObjects->item(2));
    EXPECT_EQ(w->editor().panels.palette.selectedCode(), w->editor().panels.palette.items[2].value);
    pal->close();
    EXPECT_FALSE(w->mnuViewSeperateobjects->isChecked());
}

TEST_F(MainWindow, AFileThatIsNoRomOpensWithNothingToEdit) {
    const test::RomImage notRom(0x400, 'x');
    romPath = notRom.writeTemp("notes.txt");
    w = std::make_unique<frmLevel>(prompter);
    ASSERT_TRUE(w->Form_Load(MW_DATA_DIR, romPath));
    EXPECT_FALSE(w->editor().session.levelLoaded);
    EXPECT_FALSE(w->cmdAddObject->isEnabled());
    EXPECT_FALSE(w->cmdRemoveObject->isEnabled());
    EXPECT_FALSE(w->mnuLevelHeader->isEnabled());
    EXPECT_FALSE(w->mnuRandomLevelClearcheck->menuAction()->isEnabled());
    for (const QAction* a : {w->mnuEditCut, w->mnuEditCopy, w->mnuEditPaste, w->mnuEditDuplicate, w->mnuEditSelectAll})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    prompter.messages.clear();
    w->mnuFileSave->trigger();
    EXPECT_EQ(prompter.messages, (std::vector<PromptMessage>{{"Marlwick", "No level is loaded."}}));
    EXPECT_EQ(test::ReadFileBytes(romPath), notRom.bytes);
}

// Ctrl+click adds to the selection, which is outlined; copy and paste go
// through the system clipboard as text, and a menu paste lands at the
// view's top-left.
TEST_F(MainWindow, TheViewMenuAndFindReachTheEditor) {
    Open(TestRom());
    auto shownMenu = [&]() -> QMenu* {
        for (QMenu* m : w->findChildren<QMenu*>())
            if (m->isVisible() && m->parent() == w.get()) return m;
        return nullptr;
    };
    // Over an entry a right click brings up the pick list; elsewhere the menu.
    w->Level_MouseDown(2, 40, 56);
    w->Level_MouseUp(2, 40, 56);
    EXPECT_EQ(shownMenu(), nullptr);
    w->Level_MouseDown(2, 300, 300);
    QMenu* menu = shownMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Test from &here"));
    EXPECT_TRUE(menu->actions()[0]->isEnabled());
    menu->close();

    // Find: the sprite's one use; a double-click selects it.
    frmFind* find = w->findDialog();
    find->showFind();
    find->cboKind->setCurrentIndex(static_cast<int>(FindQuery::Kind::Sprite));
    find->txtFind->setText(QStringLiteral("1E"));
    find->cmdFind->click();
    ASSERT_EQ(find->lstHits->topLevelItemCount(), 1);
    EXPECT_EQ(find->lstHits->topLevelItem(0)->text(2), QStringLiteral("C,A"));
    find->lstHits_DoubleClick(0);
    EXPECT_EQ(w->editor().selectedObject(), 2);
    find->close();
}

TEST_F(MainWindow, SelectionAndClipboard) {
    Open(TestRom());
    QTest::mouseClick(w->Level, Qt::LeftButton, Qt::ControlModifier, QPoint(12 * 16 + 8, 10 * 16 + 8));
    EXPECT_EQ(w->editor().commands.SelectedIndices(), (std::vector<int>{0, 2}));
    EXPECT_TRUE(w->lblObjectInfo->text().contains(QStringLiteral("2 selected")));
    const QImage img = View();
    EXPECT_EQ(Px(img, 32, 90), Rgb32(kSelectedObjectColour));  // entry 0, no longer the current one
    EXPECT_EQ(Px(img, 12 * 16, 10 * 16 + 8), 0xFF0000u);       // the sprite, now current

    w->mnuEditCopy->trigger();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QStringLiteral("\"isSprite\": true")));
    w->mnuEditPaste->trigger();
    ASSERT_EQ(w->editor().level.objectList.size(), 5u);
    EXPECT_EQ(w->editor().level.objectList[3], MakeObject(0x01, 0, 0, 4, 4));
    EXPECT_EQ(w->editor().level.objectList[4], MakeSprite(0x1E, 10, 7));
    EXPECT_EQ(w->editor().commands.SelectedIndices(), (std::vector<int>{3, 4}));
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral(" *")));
}

}  // namespace
}  // namespace mw

namespace mw {
namespace {

TEST_F(MainWindow, TheShortcutListIsReadFromTheMenus) {
    Open(TestRom());
    auto keysOf = [&](const std::string& command) -> std::optional<std::string> {
        for (const ShortcutRow& r : w->Shortcuts())
            if (r.command == command) return r.keys;
        return std::nullopt;
    };
    EXPECT_EQ(keysOf("Edit > Undo"), "Ctrl+Z");
    ASSERT_TRUE(keysOf("Edit > Redo"));
    EXPECT_NE(keysOf("Edit > Redo")->find("Ctrl+Shift+Z"), std::string::npos);
    EXPECT_EQ(keysOf("Help > About"), std::nullopt);  // no keys, not listed
    // An item added to a menu later is listed with nothing else to keep up.
    QAction* extra = w->mnuView->addAction(QStringLiteral("Extra && &more..."));
    extra->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_K));
    EXPECT_EQ(keysOf("View > Extra & more"), "Ctrl+Alt+K");
}

TEST_F(MainWindow, TheEntriesDockAndTheViewShareTheSelection) {
    Open(TestRom());
    QTableWidget* t = w->tblEntries;
    ASSERT_EQ(t->rowCount(), 4);  // two objects, the sprite, the exit
    // Sorted by X descending, the far object comes first; picking it selects it.
    t->sortByColumn(3, Qt::DescendingOrder);
    EXPECT_EQ(t->item(0, 3)->text(), "28");
    t->selectionModel()->select(t->model()->index(0, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(w->editor().document.selectedIndices(), std::vector<int>{1});
    // And the other way: the editor's selection is shown.
    w->editor().SelectObject(0);
    w->SyncFromEditor();
    const QList<QModelIndex> rows = t->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);  // the entry (the current exit only while the exit editor is open)
    EXPECT_EQ(t->item(rows[0].row(), 3)->text(), "2");
}

TEST_F(MainWindow, RemembersItsSizeZoomAndOptions) {
    // A first run fills at least the design's client area.
    romPath = TestRom().writeTemp();
    w = std::make_unique<frmLevel>(prompter);
    ASSERT_TRUE(w->Form_Load(MW_DATA_DIR, romPath));
    EXPECT_GE(w->form->width(), 845);
    EXPECT_GE(w->form->height(), 504);

    w->mnuViewZoom.at(8)->trigger();
    w->mnuViewSmallgrid->trigger();
    w->mnuViewTiles->trigger();
    w->resize(1000, 700);
    w->close();
    const QSize size = w->size();
    w = std::make_unique<frmLevel>(prompter);
    ASSERT_TRUE(w->Form_Load(MW_DATA_DIR, romPath));
    EXPECT_EQ(w->size(), size);
    EXPECT_EQ(w->editor().view.zoom, 8);
    EXPECT_TRUE(w->mnuViewZoom.at(8)->isChecked());
    EXPECT_TRUE(w->editor().view.options.smallGrid);
    EXPECT_FALSE(w->editor().map.mnuViewTiles);
    EXPECT_FALSE(w->editor().view.options.crossSection);

    // A zoom the menu does not offer (a hand-edited file) is not taken.
    w->close();
    QSettings().setValue(QStringLiteral("view/zoom"), 5);
    w = std::make_unique<frmLevel>(prompter);
    ASSERT_TRUE(w->Form_Load(MW_DATA_DIR, romPath));
    EXPECT_EQ(w->editor().view.zoom, 16);
}

}  // namespace
}  // namespace mw
