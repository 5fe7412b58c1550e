#include "shell/frmLevel.h"

#include <cstdlib>
#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QLayout>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QHeaderView>
#include <QVBoxLayout>
#include <QDialog>
#include <QDockWidget>
#include <QItemSelection>
#include "editing/entry_list.h"
#include "util/hex_text.h"
#include <QStyle>
#include <QToolTip>

#include "editing/exit_editor.h"
#include "editing/shortcut_list.h"
#include "view/view_controls.h"
#include "editing/share_dialogs.h"
#include "shell/frmAbout.h"
#include "shell/frmFind.h"
#include "shell/frmHeader.h"
#include "shell/frmHex.h"
#include "shell/frmLevelISelect.h"
#include "shell/frmLevelSelect.h"
#include "shell/frmObjectList.h"
#include "shell/frmPatch.h"
#include "shell/qt_emulator_host.h"

namespace mw {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Sets a label's text, leaving it alone when it shows that text already.
void SetLabelText(QLabel* label, const std::string& text) {
    const QString t = Q(text);
    if (label->text() != t) label->setText(t);
}

// Sets a label's text and shows it in red or in the normal text colour.
void SetLabel(QLabel* label, const LabelState& state) {
    SetLabelText(label, state.text);
    QPalette p = label->palette();
    const QColor want = state.red ? QColor(255, 0, 0) : QColor(0, 0, 0);
    if (p.color(QPalette::WindowText) == want) return;
    p.setColor(QPalette::WindowText, want);
    label->setPalette(p);
}

// Shows a text box's text in red while it holds no valid value.
void SetBoxInvalid(QLineEdit* box, bool invalid) {
    QPalette p = box->palette();
    const QColor want = invalid ? QColor(255, 0, 0) : QApplication::palette(box).color(QPalette::Text);
    if (p.color(QPalette::Text) == want) return;
    p.setColor(QPalette::Text, want);
    box->setPalette(p);
}

// The first selected row, -1 when none is.
int SelectedRow(QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

}  // namespace

// ---------------------------------------------------------------------------
// Small helpers shared by the windows.

void Place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(left, top, width, height);
}

QPushButton* MakeButton(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    auto* b = new QPushButton(text, parent);
    Place(b, left, top, width, height);
    b->setAutoDefault(false);
    return b;
}

void ConnectListClick(QListWidget* list, QObject* context, std::function<void(int)> handler) {
    QObject::connect(list, &QListWidget::itemSelectionChanged, context, [list, handler] {
        const int row = SelectedRow(list);
        if (row >= 0) handler(row);
    });
    // A click on the row that is already selected changes no selection but
    // is still a click: it puts the row's value back into its box. (A click
    // that also changes the selection runs the handler twice, which the
    // list handlers take as one.)
    QObject::connect(list, &QListWidget::itemPressed, context,
                     [list, handler](QListWidgetItem* item) { handler(list->row(item)); });
}

QFont ControlFont() {
    // Narrowed a little, so that captions fit the classic control sizes.
    QFont f(QString::fromLatin1(kLabelFontFamily));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    f.setStretch(88);
    return f;
}

// Frames with their caption on the top border, as the design positions
// their contents below it.
const char* const kFrameStyle =
    "QGroupBox { border: 1px solid palette(mid); border-radius: 0px; margin-top: 6px; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0px 2px; }"
    // The exit editor lies over the information frames and hides them.
    "QGroupBox#fraScreenExits { background-color: palette(window); background-clip: margin; }";

QFont FixedFont() {
    QFont f(QString::fromLatin1(kFixedFontFamily));
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPixelSize(11);
    return f;
}

void SetBoxText(QLineEdit* box, const std::string& text) {
    const QString t = Q(text);
    if (box->text() == t) return;
    QSignalBlocker block(box);
    box->setText(t);
}

void SetListRow(QListWidget* list, int row) {
    if (SelectedRow(list) == row) return;
    QSignalBlocker block(list);
    if (row < 0 || row >= list->count()) {
        list->setCurrentRow(-1);
        list->clearSelection();
    } else {
        list->setCurrentRow(row);
    }
}

void FillList(QListWidget* list, const std::vector<ListEntry>& items) {
    QSignalBlocker block(list);
    list->clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const ListEntry& e : items) texts << Q(e.text);
    list->addItems(texts);
    list->setCurrentRow(-1);
}

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height) {
    auto* l = new QLabel(text, parent);
    Place(l, left, top, width, height);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QLineEdit* MakeTextBox(QWidget* parent, int left, int top, int width, int height) {
    auto* t = new QLineEdit(parent);
    Place(t, left, top, width, height);
    return t;
}

Qt::CursorShape CursorOf(PointerShape shape) {
    switch (shape) {
        case PointerShape::Cross: return Qt::CrossCursor;
        case PointerShape::SizeAll: return Qt::SizeAllCursor;
        case PointerShape::SizeNS: return Qt::SizeVerCursor;
        case PointerShape::SizeNWSE: return Qt::SizeFDiagCursor;
        case PointerShape::SizeWE: return Qt::SizeHorCursor;
        case PointerShape::Default: break;
    }
    return Qt::ArrowCursor;
}

int ButtonBit(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

int ButtonMask(Qt::MouseButtons bs) {
    return (bs & Qt::LeftButton ? 1 : 0) | (bs & Qt::RightButton ? 2 : 0) | (bs & Qt::MiddleButton ? 4 : 0);
}

// The keys held with a mouse event: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftMask(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

// The tooltip: a one-line label 1028 pixels wide, of which only the part
// behind its text is painted, so that it hides as little of the view as it can.
class ToolTipLabel : public QLabel {
public:
    explicit ToolTipLabel(QWidget* parent) : QLabel(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (text().isEmpty()) return;
        QPainter p(this);
        const int w = fontMetrics().horizontalAdvance(text()) + 8;
        p.fillRect(0, 0, w, height(), QColor(255, 255, 225));
        p.setPen(QColor(0, 0, 0));
        p.drawRect(0, 0, w - 1, height() - 1);
        p.drawText(QRect(4, 0, w - 4, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// The view.

LevelView::LevelView(frmLevel& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    setMouseTracking(true);
    // The view takes the focus at start and on a click, so that the menus'
    // Ctrl shortcuts reach the window rather than a text box's own bindings.
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void LevelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    surface.begin(&painter, width(), height());
    owner_.editor().Form_Paint(surface);
    surface.end();
    owner_.editor().repaintRequested = false;
    // A paint refreshes the side panels too (the exit boxes show their
    // stored values in canonical form from here on).
    owner_.SyncPanels();
}

void LevelView::mousePressEvent(QMouseEvent* e) {
    owner_.Level_MouseDown(ButtonBit(e->button()), static_cast<float>(e->position().x()),
                           static_cast<float>(e->position().y()), ShiftMask(e->modifiers()));
}

void LevelView::mouseMoveEvent(QMouseEvent* e) {
    owner_.Level_MouseMove(ButtonMask(e->buttons()), static_cast<float>(e->position().x()),
                           static_cast<float>(e->position().y()), ShiftMask(e->modifiers()));
}

void LevelView::mouseReleaseEvent(QMouseEvent* e) {
    owner_.Level_MouseUp(ButtonBit(e->button()), static_cast<float>(e->position().x()),
                         static_cast<float>(e->position().y()), ShiftMask(e->modifiers()));
}

// The wheel scrolls the view through its scroll bars, so the bars' own
// steps and change handlers apply: up and down, or left and right with Shift
// held or a sideways wheel.
void LevelView::wheelEvent(QWheelEvent* e) {
    const QPoint delta = e->angleDelta();
    if (e->modifiers() & Qt::ControlModifier) {
        if (delta.y() != 0)
            owner_.Level_ZoomWheel(delta.y() > 0 ? 1 : -1, static_cast<float>(e->position().x()),
                                   static_cast<float>(e->position().y()));
        e->accept();
        return;
    }
    const bool sideways = (e->modifiers() & Qt::ShiftModifier) || std::abs(delta.x()) > std::abs(delta.y());
    QScrollBar* bar = sideways ? owner_.hscLevelPos : owner_.vscLevelPos;
    const int amount = sideways ? (delta.x() != 0 ? delta.x() : delta.y()) : delta.y();
    QWheelEvent forwarded(e->position(), e->globalPosition(), QPoint(), QPoint(0, amount), e->buttons(),
                          Qt::NoModifier, e->phase(), e->inverted());
    QApplication::sendEvent(bar, &forwarded);
    e->accept();
}

void LevelView::dragEnterEvent(QDragEnterEvent* e) {
    if (owner_.IsPaletteList(e->source())) e->acceptProposedAction();
}

void LevelView::dragMoveEvent(QDragMoveEvent* e) {
    if (owner_.IsPaletteList(e->source())) e->acceptProposedAction();
}

void LevelView::dropEvent(QDropEvent* e) {
    if (!owner_.IsPaletteList(e->source())) return;
    e->acceptProposedAction();
    owner_.Level_Drop(static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
}

// ---------------------------------------------------------------------------
// The main window.

frmLevel::frmLevel(Prompter& prompter, QWidget* parent)
    : QMainWindow(parent),
      relay_(prompter, [this](const Message& m) { ShowTold(m); }),
      editor_(relay_),
      emulatorHost_(std::make_unique<QtEmulatorHost>(this)) {
    setWindowTitle(Q(editor_.session.caption));
    form = new QWidget(this);
    setCentralWidget(form);
    setStyleSheet(QString::fromLatin1(kFrameStyle));
    BuildControls();
    BuildMenus();
    BuildStatusBar();
    BuildEntriesDock();
    // Level maps are made on a thread of their own; a finished one comes
    // back to this thread through the event queue.
    editor_.map.SetMapReadyNotifier([this] {
        QMetaObject::invokeMethod(this, [this] { Run([&] { editor_.map.TakeMap(); }); }, Qt::QueuedConnection);
    });
    form->installEventFilter(this);
    for (QLineEdit* box : {txtFilter, txtEntranceX, txtEntranceY, txtExitDestination, txtEntranceType})
        box->installEventFilter(this);
    resize(SizeForScreen());
}

frmLevel::~frmLevel() = default;

namespace {
constexpr const char* kGeometryKey = "window/geometry";
constexpr const char* kZoomKey = "view/zoom";
constexpr std::pair<const char*, bool RememberedView::*> kRememberedChecks[] = {
    {"view/stationaryTooltip", &RememberedView::stationary}, {"view/tiles", &RememberedView::tiles}};
constexpr std::pair<const char*, bool ViewOptions::*> kRememberedOptions[] = {
    {"view/crossSection", &ViewOptions::crossSection},
    {"view/smallGrid", &ViewOptions::smallGrid},
    {"view/outOfBounds", &ViewOptions::outOfBounds},
    {"view/transparent", &ViewOptions::transparent}};
}  // namespace

QSize frmLevel::SizeForScreen() const {
    // The design's client area is the least; a larger screen gets most of
    // its room (the view shows more of the level).
    const QSize least(845 + dockEntries->sizeHint().width() + 16,  // and the dock's splitter
                      504 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return least;
    const QSize room = screen->availableGeometry().size();
    return least.expandedTo(room * 0.85).boundedTo(room.expandedTo(least));
}

void frmLevel::RestoreSettings() {
    QSettings settings;
    if (settings.contains(QLatin1String(kGeometryKey)))
        restoreGeometry(settings.value(QLatin1String(kGeometryKey)).toByteArray());
    RememberedView r = editor_.Remembered();
    r.zoom = settings.value(QLatin1String(kZoomKey), r.zoom).toInt();
    for (const auto& [key, field] : kRememberedOptions)
        r.options.*field = settings.value(QLatin1String(key), r.options.*field).toBool();
    for (const auto& [key, field] : kRememberedChecks) r.*field = settings.value(QLatin1String(key), r.*field).toBool();
    editor_.Restore(r);
}

void frmLevel::SaveSettings() {
    QSettings settings;
    settings.setValue(QLatin1String(kGeometryKey), saveGeometry());
    const RememberedView r = editor_.Remembered();
    settings.setValue(QLatin1String(kZoomKey), r.zoom);
    for (const auto& [key, field] : kRememberedOptions) settings.setValue(QLatin1String(key), r.options.*field);
    for (const auto& [key, field] : kRememberedChecks) settings.setValue(QLatin1String(key), r.*field);
}

std::vector<ShortcutRow> frmLevel::Shortcuts() const {
    std::vector<ShortcutItem> items;
    std::function<void(const QList<QAction*>&, std::vector<std::string>)> walk =
        [&](const QList<QAction*>& actions, std::vector<std::string> path) {
            for (const QAction* a : actions) {
                if (a->isSeparator()) continue;
                if (QMenu* sub = a->menu()) {
                    std::vector<std::string> inner = path;
                    inner.push_back(a->text().toStdString());
                    walk(sub->actions(), inner);
                    continue;
                }
                ShortcutItem item{path, a->text().toStdString(), {}};
                for (const QKeySequence& k : a->shortcuts())
                    item.keys.push_back(k.toString(QKeySequence::NativeText).toStdString());
                items.push_back(std::move(item));
            }
        };
    walk(menuBar()->actions(), {});
    return ShortcutRows(items);
}

namespace {
// A read-only table of whole rows, one line of text high each.
void MakeListTable(QTableWidget* table) {
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
}
}  // namespace

void frmLevel::ShowShortcuts() {
    const std::vector<ShortcutRow> rows = Shortcuts();
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Keyboard shortcuts"));
    auto* table = new QTableWidget(static_cast<int>(rows.size()), 2, &dialog);
    table->setObjectName(QStringLiteral("shortcutTable"));
    table->setHorizontalHeaderLabels({QStringLiteral("Command"), QStringLiteral("Keys")});
    MakeListTable(table);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        table->setItem(i, 0, new QTableWidgetItem(Q(rows[i].command)));
        table->setItem(i, 1, new QTableWidgetItem(Q(rows[i].keys)));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* close = new QPushButton(QStringLiteral("Close"), &dialog);
    connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(table);
    layout->addWidget(close, 0, Qt::AlignRight);
    dialog.resize(table->horizontalHeader()->length() + 60, 480);
    dialog.exec();
}

namespace {
// Sorts by the number kept in the item's data, not by its text.
class NumberItem : public QTableWidgetItem {
public:
    NumberItem(const QString& text, int number) : QTableWidgetItem(text) { setData(Qt::UserRole, number); }
    bool operator<(const QTableWidgetItem& other) const override {
        return data(Qt::UserRole).toInt() < other.data(Qt::UserRole).toInt();
    }
};
enum EntryColumn { kColNumber, kColKind, kColName, kColX, kColY, kColSize, kEntryColumns };
}  // namespace

void frmLevel::BuildEntriesDock() {
    dockEntries = new QDockWidget(QStringLiteral("Entries"), this);
    dockEntries->setObjectName(QStringLiteral("dockEntries"));
    tblEntries = new QTableWidget(0, kEntryColumns, dockEntries);
    tblEntries->setHorizontalHeaderLabels({QStringLiteral("#"), QStringLiteral("Kind"), QStringLiteral("Name"),
                                           QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Size")});
    MakeListTable(tblEntries);
    tblEntries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblEntries->setSortingEnabled(true);
    tblEntries->sortByColumn(kColNumber, Qt::AscendingOrder);
    const int digit = tblEntries->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (const auto& [column, digits] : {std::pair{kColNumber, 5}, {kColKind, 9}, {kColName, 24}, {kColX, 4}, {kColY, 4}})
        tblEntries->horizontalHeader()->resizeSection(column, digit * digits);
    tblEntries->horizontalHeader()->setStretchLastSection(true);
    dockEntries->setWidget(tblEntries);
    addDockWidget(Qt::RightDockWidgetArea, dockEntries);
    mnuView->addSeparator();
    mnuView->addAction(dockEntries->toggleViewAction());

    auto rowOf = [this](int tableRow) { return tblEntries->item(tableRow, kColNumber)->data(Qt::UserRole + 1).toInt(); };
    connect(tblEntries, &QTableWidget::itemSelectionChanged, this, [this, rowOf] {
        std::vector<int> picked;
        for (const QModelIndex& i : tblEntries->selectionModel()->selectedRows()) picked.push_back(rowOf(i.row()));
        const int current = tblEntries->currentRow() >= 0 ? rowOf(tblEntries->currentRow()) : -1;
        Run([&] { SelectEntryRows(editor_, shownEntries_, picked, current); });
    });
    connect(tblEntries, &QTableWidget::cellDoubleClicked, this, [this, rowOf](int tableRow, int) {
        const int row = rowOf(tableRow);
        if (row >= 0 && row < static_cast<int>(shownEntries_.size()))
            Run([&] { GoToEntryRow(editor_, shownEntries_[static_cast<size_t>(row)]); });
    });
}

void frmLevel::SyncEntries() {
    std::vector<EntryRow> rows = EntryRows(editor_);
    QSignalBlocker block(tblEntries);
    if (rows != shownEntries_) {
        tblEntries->setSortingEnabled(false);
        tblEntries->setRowCount(static_cast<int>(rows.size()));
        for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
            const EntryRow& r = rows[static_cast<size_t>(i)];
            if (i < static_cast<int>(shownEntries_.size()) && shownEntries_[static_cast<size_t>(i)] == r &&
                tblEntries->item(i, kColNumber) &&
                tblEntries->item(i, kColNumber)->data(Qt::UserRole + 1).toInt() == i)
                continue;
            auto* number = new NumberItem(Q(ToHex(static_cast<uint32_t>(r.index))), (r.isExit ? 0x10000 : 0) + r.index);
            number->setData(Qt::UserRole + 1, i);
            tblEntries->setItem(i, kColNumber, number);
            tblEntries->setItem(i, kColKind, new QTableWidgetItem(Q(r.kind)));
            tblEntries->setItem(i, kColName, new QTableWidgetItem(Q(r.name)));
            tblEntries->setItem(i, kColX, new NumberItem(Q(ToHex(static_cast<uint32_t>(r.x))), r.x));
            tblEntries->setItem(i, kColY, new NumberItem(Q(ToHex(static_cast<uint32_t>(r.y))), r.y));
            tblEntries->setItem(i, kColSize, new QTableWidgetItem(Q(r.size)));
        }
        shownEntries_ = std::move(rows);
        tblEntries->setSortingEnabled(true);
    }
    // The document's selection, shown.
    const std::vector<int> selected = SelectedEntryRows(editor_, shownEntries_);
    QItemSelection want;
    for (int t = 0; t < tblEntries->rowCount(); ++t) {
        const int row = tblEntries->item(t, kColNumber)->data(Qt::UserRole + 1).toInt();
        if (std::binary_search(selected.begin(), selected.end(), row))
            want.select(tblEntries->model()->index(t, 0), tblEntries->model()->index(t, kEntryColumns - 1));
    }
    if (want != tblEntries->selectionModel()->selection()) {
        tblEntries->selectionModel()->select(want, QItemSelectionModel::ClearAndSelect);
        if (!want.isEmpty()) tblEntries->scrollTo(want.indexes().first());
    }
}

void frmLevel::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    auto part = [bar](const char* name) {
        auto* l = new QLabel(bar);
        l->setObjectName(QString::fromLatin1(name));
        bar->addPermanentWidget(l);
        return l;
    };
    lblStatusTile = part("lblStatusTile");
    lblStatusZoom = part("lblStatusZoom");
    lblStatusLevel = part("lblStatusLevel");
    lblStatusBytes = part("lblStatusBytes");
    lblStatusMap = part("lblStatusMap");
}

void frmLevel::ShowTold(const Message& m) {
    // Kept until the next result; the parts on the right keep the state.
    statusBar()->showMessage(Q(m.text));
}

void frmLevel::SyncStatusBar() {
    const StatusLine s = DescribeStatus(editor_);
    if (s == shownStatus_) return;
    shownStatus_ = s;
    SetLabelText(lblStatusTile, s.tile);
    SetLabelText(lblStatusZoom, s.zoom);
    SetLabel(lblStatusLevel, {s.level, false});
    // The level's name can be long: the whole of it is in the tooltip.
    lblStatusLevel->setToolTip(Q(s.level));
    SetLabel(lblStatusBytes, {s.bytes, s.overBudget});
    SetLabelText(lblStatusMap, s.map);
    lblStatusMap->setToolTip(Q(s.map));
}

void frmLevel::BuildControls() {
    QWidget* f = form;

    // Palette column.
    fraListOptions = new QGroupBox(QStringLiteral("Object list options"), f);
    Place(fraListOptions, 8, 8, 193, 65);
    lblFilter = MakeLabel(fraListOptions, QStringLiteral("&Filter"), 8, 16, 49, 17);
    txtFilter = MakeTextBox(fraListOptions, 64, 16, 113, 19);
    lblFilter->setBuddy(txtFilter);
    const char* checkCaptions[3] = {"Norm", "X", "Sprite"};
    for (int i = 0; i < 3; ++i) {
        chkListable[i] = new QCheckBox(QString::fromLatin1(checkCaptions[i]), fraListOptions);
        Place(chkListable[i], 8 + 56 * i, 40, 49, 17);
        chkListable[i]->setChecked(true);
        connect(chkListable[i], &QCheckBox::clicked, this,
                [this, i](bool checked) { RunSyncAll([&] { editor_.panels.chkListable_Click(i, checked); }); });
    }
    connect(txtFilter, &QLineEdit::textEdited, this,
            [this](const QString& t) { RunSyncAll([&] { editor_.panels.txtFilter_KeyUp(t.toStdString()); }); });

    lstObjects = new QListWidget(f);
    Place(lstObjects, 8, 81, 193, 367);
    lstObjects->setFont(FixedFont());
    lstObjects->setUniformItemSizes(true);
    lstObjects->setDragDropMode(QAbstractItemView::DragOnly);
    ConnectListClick(lstObjects, this, [this](int row) { RunSyncAll([&] { editor_.panels.lstObjects_Click(row); }); });

    fraSubPanel = new QGroupBox(QStringLiteral("Object"), f);
    Place(fraSubPanel, 8, 448, 177, 48);
    cmdAddObject = MakeButton(fraSubPanel, QStringLiteral("&Create"), 8, 16, 81, 25);
    cmdRemoveObject = MakeButton(fraSubPanel, QStringLiteral("&Remove"), 96, 16, 73, 25);
    connect(cmdAddObject, &QPushButton::clicked, this, [this] { Run([&] { editor_.commands.cmdAddObject_Click(); }); });
    connect(cmdRemoveObject, &QPushButton::clicked, this,
            [this] { Run([&] { editor_.commands.cmdRemoveObject_Click(); }); });

    // The view with its pick list and tooltip inside, and its scroll bars.
    Level = new LevelView(*this, f);
    Place(Level, 209, 0, 413, 488);
    lstPopup = new QListWidget(Level);
    Place(lstPopup, 24, -128, 217, 43);
    lstPopup->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // 43 pixels hold two rows, no bar
    lstPopup->setAttribute(Qt::WA_NoMousePropagation);
    lstPopup->viewport()->setAttribute(Qt::WA_NoMousePropagation);
    connect(lstPopup, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = lstPopup->row(item);
        RunSyncAll([&] { editor_.panels.lstPopup_Click(row); });
    });
    lblToolTip = new ToolTipLabel(Level);
    Place(lblToolTip, 376, -46, 1028, 17);

    hscLevelPos = new QScrollBar(Qt::Horizontal, f);
    Place(hscLevelPos, 209, 488, 413, 16);
    vscLevelPos = new QScrollBar(Qt::Vertical, f);
    Place(vscLevelPos, 622, 0, 16, 488);
    for (QScrollBar* bar : {hscLevelPos, vscLevelPos}) {
        bar->setRange(0, 0);
        bar->setSingleStep(kScrollSmallChange);
        bar->setPageStep(kScrollLargeChange);
        bar->setEnabled(false);
    }
    connect(hscLevelPos, &QScrollBar::valueChanged, this,
            [this](int v) { Run([&] { editor_.hscLevelPos_Change(v); }); });
    connect(vscLevelPos, &QScrollBar::valueChanged, this,
            [this](int v) { Run([&] { editor_.vscLevelPos_Change(v); }); });

    // Information column.
    fraObjectInfo = new QGroupBox(QStringLiteral("Current Object Info"), f);
    Place(fraObjectInfo, 646, 8, 192, 153);
    lblObjectInfo = MakeLabel(fraObjectInfo, QString(), 8, 16, 177, 97);
    cmdObjectPrev = MakeButton(fraObjectInfo, QStringLiteral("&<"), 8, 120, 33, 25);
    cmdObjectNext = MakeButton(fraObjectInfo, QStringLiteral("&>"), 48, 120, 33, 25);
    cmdGotoObject = MakeButton(fraObjectInfo, QStringLiteral("&Goto"), 120, 120, 57, 25);
    connect(cmdObjectPrev, &QPushButton::clicked, this, [this] { RunSyncAll([&] { editor_.panels.cmdObjectPrev_Click(); }); });
    connect(cmdObjectNext, &QPushButton::clicked, this, [this] { RunSyncAll([&] { editor_.panels.cmdObjectNext_Click(); }); });
    connect(cmdGotoObject, &QPushButton::clicked, this, [this] { RunSyncAll([&] { editor_.panels.cmdGotoObject_Click(); }); });

    fraLevelInfo = new QGroupBox(QStringLiteral("Level Info"), f);
    Place(fraLevelInfo, 646, 168, 192, 149);
    lblLevelName = MakeLabel(fraLevelInfo, QString(), 8, 12, 177, 15);
    MakeLabel(fraLevelInfo, QStringLiteral("Bytes/Available"), 8, 27, 81, 15);
    lblByteUsage = MakeLabel(fraLevelInfo, QString(), 88, 27, 97, 15);
    MakeLabel(fraLevelInfo, QStringLiteral("Sprite"), 8, 42, 81, 15);
    lblSByteUsage = MakeLabel(fraLevelInfo, QString(), 88, 42, 97, 15);
    MakeLabel(fraLevelInfo, QStringLiteral("Free in ROM"), 8, 57, 81, 15);
    lblFreeSpace = MakeLabel(fraLevelInfo, QString(), 88, 57, 97, 15);
    MakeLabel(fraLevelInfo, QStringLiteral("Mouse position:"), 8, 72, 81, 15);
    lblMousePos = MakeLabel(fraLevelInfo, QString(), 88, 72, 97, 15);
    lblMapInfo = MakeLabel(fraLevelInfo, QString(), 8, 87, 177, 28);
    lblMapInfo->setWordWrap(true);
    lblTilesInfo = MakeLabel(fraLevelInfo, QString(), 8, 115, 177, 28);
    lblTilesInfo->setWordWrap(true);

    BuildScreenExitFrame();
}

void frmLevel::BuildScreenExitFrame() {
    fraScreenExits = new QGroupBox(QStringLiteral("Screen Exit Editor"), form);
    Place(fraScreenExits, 646, 8, 193, 409);
    fraScreenExits->setObjectName(QStringLiteral("fraScreenExits"));
    QWidget* p = fraScreenExits;

    MakeLabel(p, QStringLiteral("Move Exit:"), 8, 16, 73, 17);
    // The four move buttons form a cross; they carry arrows instead of captions.
    const int left[4] = {56, 32, 8, 32};
    const int top[4] = {56, 32, 56, 80};
    const QStyle::StandardPixmap arrows[4] = {QStyle::SP_ArrowRight, QStyle::SP_ArrowUp, QStyle::SP_ArrowLeft,
                                              QStyle::SP_ArrowDown};
    for (int i = 0; i < 4; ++i) {
        cmdMoveScreen[i] = MakeButton(p, QString(), left[i], top[i], 25, 25);
        cmdMoveScreen[i]->setIcon(style()->standardIcon(arrows[i]));
        connect(cmdMoveScreen[i], &QPushButton::clicked, this,
                [this, i] { RunSyncAll([&] { editor_.panels.cmdMoveScreen_Click(i); }); });
    }
    MakeLabel(p, QStringLiteral("Entrance X:"), 88, 16, 97, 17);
    txtEntranceX = MakeTextBox(p, 88, 32, 97, 19);
    MakeLabel(p, QStringLiteral("Entrance Y:"), 88, 56, 97, 17);
    txtEntranceY = MakeTextBox(p, 88, 72, 97, 19);
    MakeLabel(p, QStringLiteral("Destination:"), 8, 112, 80, 17);
    txtExitDestination = MakeTextBox(p, 88, 112, 97, 19);
    // The lists are short: their long names are cut at the list's edge
    // rather than given a horizontal bar that would hide a row.
    lstDestinationLevels = new QListWidget(p);
    Place(lstDestinationLevels, 8, 136, 177, 82);
    lstDestinationLevels->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MakeLabel(p, QStringLiteral("Entrance Type:"), 8, 224, 80, 17);
    txtEntranceType = MakeTextBox(p, 88, 224, 97, 19);
    lstEntranceTypes = new QListWidget(p);
    Place(lstEntranceTypes, 8, 248, 177, 95);
    lstEntranceTypes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MakeLabel(p, QStringLiteral("Bytes/Allowed"), 8, 352, 80, 17);
    lblByteUsage2 = MakeLabel(p, QString(), 88, 352, 97, 17);
    cmdScreenPrev = MakeButton(p, QStringLiteral("<"), 8, 376, 33, 25);
    cmdScreenNext = MakeButton(p, QStringLiteral(">"), 48, 376, 33, 25);
    cmdScreenGoto = MakeButton(p, QStringLiteral("Goto"), 120, 376, 65, 25);

    auto onEdit = [this](QLineEdit* box, void (SidePanels::*handler)(const std::string&)) {
        connect(box, &QLineEdit::textEdited, this,
                [this, handler](const QString& t) { RunSyncAll([&] { (editor_.panels.*handler)(t.toStdString()); }); });
    };
    onEdit(txtExitDestination, &SidePanels::txtExitDestination_Change);
    onEdit(txtEntranceType, &SidePanels::txtEntranceType_Change);
    onEdit(txtEntranceX, &SidePanels::txtEntranceX_Change);
    onEdit(txtEntranceY, &SidePanels::txtEntranceY_Change);
    ConnectListClick(lstDestinationLevels, this,
                     [this](int row) { RunSyncAll([&] { editor_.panels.lstDestinationLevels_Click(row); }); });
    ConnectListClick(lstEntranceTypes, this, [this](int row) { RunSyncAll([&] { editor_.panels.lstEntranceTypes_Click(row); }); });
    connect(cmdScreenPrev, &QPushButton::clicked, this, [this] { RunSyncAll([&] { editor_.panels.cmdScreenPrev_Click(); }); });
    connect(cmdScreenNext, &QPushButton::clicked, this, [this] { RunSyncAll([&] { editor_.panels.cmdScreenNext_Click(); }); });
    connect(cmdScreenGoto, &QPushButton::clicked, this, [this] { RunSyncAll([&] { editor_.panels.cmdScreenGoto_Click(); }); });

    fraScreenExits->hide();
    fraScreenExits->raise();
}

void frmLevel::BuildMenus() {
    QMenuBar* bar = menuBar();
    auto item = [this](QMenu* menu, const char* caption, int key, auto handler) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        if (key) a->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(key)));
        connect(a, &QAction::triggered, this, [this, handler] { RunSyncAll([&] { handler(); }); });
        return a;
    };
    auto check = [](QAction* a) {
        a->setCheckable(true);
        return a;
    };

    // "Marlwick": a title without items.
    mnuMain = bar->addAction(QStringLiteral("Marlwick"));

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFileOpen = item(mnuFile, "&Open ROM...", Qt::Key_O, [this] { editor_.session.mnuFileOpen_Click(); });
    mnuFile->addSeparator();
    mnuFileCreatePatch = mnuFile->addAction(QStringLiteral("Create &patch..."));
    connect(mnuFileCreatePatch, &QAction::triggered, this, [this] { patchDialog()->showModal(); });
    mnuFileApplyPatch = mnuFile->addAction(QStringLiteral("&Apply patch..."));
    connect(mnuFileApplyPatch, &QAction::triggered, this, [this] { ApplyPatchCopy(); });
    mnuFile->addSeparator();
    mnuMainQuit = item(mnuFile, "&Exit", Qt::Key_Q, [this] { editor_.session.mnuMainQuit_Click(); });

    mnuLevel = bar->addMenu(QStringLiteral("&Level"));
    mnuFileLevelIndex = mnuLevel->addAction(QStringLiteral("&Load Level by Index..."));
    mnuFileLevelIndex->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(mnuFileLevelIndex, &QAction::triggered, this, [this] { levelIndexDialog()->showModal(); });
    mnuFileLevel = mnuLevel->addAction(QStringLiteral("(Vastly inferior) Load Level by Of&fset..."));
    connect(mnuFileLevel, &QAction::triggered, this, [this] { levelOffsetDialog()->showModal(); });
    mnuLevel->addSeparator();
    mnuFileSave = item(mnuLevel, "&Save Level", Qt::Key_S, [this] { editor_.session.mnuFileSave_Click(); });
    mnuLevel->addSeparator();
    mnuLevelHeader = mnuLevel->addAction(QStringLiteral("Edit header..."));
    mnuLevelHeader->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(mnuLevelHeader, &QAction::triggered, this, [this] { headerDialog()->showModal(); });
    mnuLevel->addSeparator();
    mnuLevelFind = mnuLevel->addAction(QStringLiteral("&Find in all levels..."));
    mnuLevelFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(mnuLevelFind, &QAction::triggered, this, [this] { findDialog()->showFind(); });
    mnuLevelTest = mnuLevel->addAction(QStringLiteral("&Test in emulator"));
    mnuLevelTest->setShortcut(QKeySequence(Qt::Key_F5));
    connect(mnuLevelTest, &QAction::triggered, this, [this] { TestInEmulator(); });
    mnuLevel->addSeparator();
    mnuRandomLevelClearcheck = mnuLevel->addMenu(QStringLiteral("Clear"));
    cmdLevelClearsuretwo =
        mnuRandomLevelClearcheck->addMenu(QStringLiteral("Are you sure you want to remove all objects and sprites?"));
    mnuRandomLevelClear =
        item(cmdLevelClearsuretwo, "Yes, I'm sure", 0, [this] { editor_.commands.mnuRandomLevelClear_Click(); });

    mnuEdit = bar->addMenu(QStringLiteral("&Edit"));
    mnuEditUndo = item(mnuEdit, "&Undo", Qt::Key_Z, [this] { editor_.commands.mnuEditUndo_Click(); });
    mnuEditRedo = item(mnuEdit, "&Redo", Qt::Key_Y, [this] { editor_.commands.mnuEditRedo_Click(); });
    mnuEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    mnuEdit->addSeparator();
    // The view's own keys: they act while the view has the focus, so that
    // the lists and boxes keep their arrows and Delete.
    auto viewKey = [this](QAction* a, QKeySequence key) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
        Level->addAction(a);
        return a;
    };
    mnuEditDelete = viewKey(item(mnuEdit, "&Delete", 0, [this] { editor_.commands.mnuEditDelete_Click(); }),
                            QKeySequence(Qt::Key_Delete));
    mnuEditMove = mnuEdit->addMenu(QStringLiteral("&Move selected entries"));
    struct Nudge {
        const char* caption;
        int key, dx, dy;
    };
    const Nudge nudges[] = {{"&Left", Qt::Key_Left, -1, 0},  {"&Right", Qt::Key_Right, 1, 0},
                            {"&Up", Qt::Key_Up, 0, -1},      {"&Down", Qt::Key_Down, 0, 1}};
    for (int by : {1, 16}) {
        for (const Nudge& n : nudges) {
            const int dx = n.dx * by, dy = n.dy * by;
            const std::string caption = std::string(n.caption) + (by == 1 ? "" : " 16");
            QAction* a = item(mnuEditMove, caption.c_str(), 0, [this, dx, dy] { editor_.commands.mnuEditNudge_Click(dx, dy); });
            viewKey(a, QKeySequence(by == 1 ? QKeyCombination(static_cast<Qt::Key>(n.key))
                                            : QKeyCombination(Qt::SHIFT, static_cast<Qt::Key>(n.key))));
        }
    }
    mnuEdit->addSeparator();
    mnuEditZoomIn = item(mnuEdit, "Zoom &in", Qt::Key_Equal, [this] { editor_.commands.mnuEditZoom_Click(1); });
    mnuEditZoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    mnuEditZoomOut = item(mnuEdit, "Zoom &out", Qt::Key_Minus, [this] { editor_.commands.mnuEditZoom_Click(-1); });
    mnuEdit->addSeparator();
    BuildSelectionItems(mnuEdit);

    mnuView = bar->addMenu(QStringLiteral("&View"));
    mnuViewCross = check(item(mnuView, "Cross-section mode", Qt::Key_C, [this] { editor_.mnuViewCross_Click(); }));
    mnuViewScreenExit = item(mnuView, "Screen Exit mode", Qt::Key_E, [this] { editor_.panels.mnuViewScreenExit_Click(); });
    mnuView->addSeparator();
    mnuViewOutofbounds =
        check(item(mnuView, "Show area outside of level", 0, [this] { editor_.mnuViewOutofbounds_Click(); }));
    mnuViewSeperateobjects =
        check(item(mnuView, "Object list window", 0, [this] { editor_.panels.mnuViewSeperateobjects_Click(); }));
    mnuViewSmallgrid = check(item(mnuView, "Small grid", Qt::Key_G, [this] { editor_.mnuViewSmallgrid_Click(); }));
    mnuViewTransparent =
        check(item(mnuView, "Transparent WireBlocks", Qt::Key_W, [this] { editor_.mnuViewTransparent_Click(); }));
    mnuViewStationary =
        check(item(mnuView, "Stationary tooltip", Qt::Key_T, [this] { editor_.mnuViewStationary_Click(); }));
    mnuViewTiles = check(item(mnuView, "Show &tiles", 0, [this] { editor_.map.mnuViewTiles_Click(); }));
    mnuViewZoomlist = mnuView->addMenu(QStringLiteral("Zoom"));
    const std::pair<int, const char*> zooms[] = {{4, "4x"},   {8, "8x"},   {12, "12x"}, {16, "16x (Default)"},
                                                 {24, "24x"}, {32, "32x"}, {64, "64x"}};
    for (const auto& [n, caption] : zooms) {
        const int zoom = n;
        mnuViewZoom[zoom] = check(item(mnuViewZoomlist, caption, 0, [this, zoom] { editor_.mnuViewZoom_Click(zoom); }));
    }

    mnuRandom = bar->addMenu(QStringLiteral("&Random"));
    mnuRandomHex = mnuRandom->addAction(QStringLiteral("&Hex editor..."));
    connect(mnuRandomHex, &QAction::triggered, this, [this] { hexDialog()->showModal(); });
    mnuRandom->addSeparator();
    mnuRandomBadger = item(mnuRandom, "Fetch Me A &Badger", 0, [this] { editor_.commands.mnuRandomBadger_Click(); });

    mnuSettings = bar->addMenu(QStringLiteral("&Settings"));
    mnuSettingsEmulator = mnuSettings->addAction(QStringLiteral("&Emulator command..."));
    connect(mnuSettingsEmulator, &QAction::triggered, this,
            [this] { RunSyncAll([&] { emulatorTest_.ChangeCommand(*emulatorHost_); }); });

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelpAbout = mnuHelp->addAction(QStringLiteral("&About..."));
    connect(mnuHelpAbout, &QAction::triggered, this, [this] { aboutDialog()->showModal(); });
    mnuHelpShortcuts = mnuHelp->addAction(QStringLiteral("Keyboard shortcuts"));
    connect(mnuHelpShortcuts, &QAction::triggered, this, [this] { ShowShortcuts(); });

    SyncMenus();
}

void frmLevel::BuildSelectionItems(QMenu* edit) {
    // Text boxes keep these keys for their own text (IsMenuShortcut).
    auto item = [this, edit](const char* caption, std::initializer_list<QKeySequence> keys, auto handler) {
        QAction* a = edit->addAction(QString::fromUtf8(caption));
        a->setShortcuts(QList<QKeySequence>(keys));
        a->setProperty("boxKeepsKeys", true);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto toClipboard = [](const std::string& text) {
        if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    };
    mnuEditCut = item("Cut", {QKeySequence(Qt::CTRL | Qt::Key_X)},
                      [this, toClipboard] { Run([&] { toClipboard(editor_.commands.mnuEditCut_Click()); }); });
    mnuEditCopy = item("Copy", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)},
                       [this, toClipboard] { Run([&] { toClipboard(editor_.commands.mnuEditCopy_Click()); }); });
    mnuEditPaste = item("Paste", {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
                        [this] { PasteFromClipboard(); });
    mnuEditDuplicate = item("Duplicate", {QKeySequence(Qt::CTRL | Qt::Key_D)},
                            [this] { Run([&] { editor_.commands.mnuEditDuplicate_Click(); }); });
    edit->addSeparator();
    mnuEditSelectAll = item("Select &all", {QKeySequence(Qt::CTRL | Qt::Key_A)},
                            [this] { Run([&] { editor_.commands.mnuEditSelectAll_Click(); }); });
    mnuEditSelectCurrent = item("Select current &only", {QKeySequence(Qt::Key_Escape)},
                                [this] { Run([&] { editor_.commands.mnuEditSelectCurrent_Click(); }); });
}

void frmLevel::PasteFromClipboard() {
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    std::optional<EditCommands::ViewPoint> at;
    // A click on the menu item leaves the pointer over the menu, not the view.
    if (Level->underMouse()) {
        const QPoint p = Level->mapFromGlobal(QCursor::pos());
        at = EditCommands::ViewPoint{static_cast<float>(p.x()), static_cast<float>(p.y())};
    }
    Run([&] { editor_.commands.mnuEditPaste_Click(text, at); });
}

bool frmLevel::Form_Load(const std::string& programDirectory, const std::optional<std::string>& romPath) {
    editor_.session.Form_Load(programDirectory, romPath);
    if (editor_.quitRequested) return false;
    FillList(lstDestinationLevels, editor_.defs.destinationLevels);
    FillList(lstEntranceTypes, editor_.defs.entranceTypes);
    RestoreSettings();
    if (QLayout* l = layout()) l->activate();  // sizes the client area for the window's size
    Form_Resize();
    SyncFromEditor();
    Level->setFocus();
    return !editor_.quitRequested;
}

bool frmLevel::LoadLevelIndex(int32_t index) {
    const bool ok = editor_.session.LoadLevelIndex(index);
    SyncFromEditor();
    return ok;
}

bool frmLevel::LoadLevelOffset(int32_t headerOffset, int32_t spriteOffset) {
    const bool ok = editor_.session.LoadLevelOffset(headerOffset, spriteOffset);
    SyncFromEditor();
    return ok;
}

void frmLevel::ResetHeader(const LevelHeader& bytes) {
    Run([&] { editor_.commands.ResetHeader(bytes); });
}

void frmLevel::RemakeObjectList() {
    RunSyncAll([&] { editor_.panels.RemakeObjectList(); });
}

bool frmLevel::IsMenuShortcut(const QKeyEvent* key) const {
    const QKeySequence pressed(key->keyCombination());
    // The view's own keys (arrows, Delete) stay with the boxes.
    for (const QAction* a : menuBar()->findChildren<QAction*>())
        if (a->shortcutContext() == Qt::WindowShortcut && a->shortcuts().contains(pressed) &&
            !a->property("boxKeepsKeys").toBool())
            return true;
    return false;
}

bool frmLevel::eventFilter(QObject* watched, QEvent* event) {
    // Before the first show the client area has no size of its own yet.
    if (watched == form && event->type() == QEvent::Resize && isVisible()) Form_Resize();
    if (event->type() == QEvent::FocusOut &&
        (watched == txtExitDestination || watched == txtEntranceType || watched == txtEntranceX ||
         watched == txtEntranceY))
        RunSyncAll([&] { editor_.panels.ExitBoxDone(); });
    // The menus' Ctrl shortcuts come before the text boxes' own bindings of
    // the same keys: Ctrl+C is "Cross-section mode" and Ctrl+E "Screen Exit
    // mode" there too, not copy or end of line. A box that lets the override
    // pass leaves the key to the shortcut.
    if (event->type() == QEvent::ShortcutOverride && watched != form &&
        IsMenuShortcut(static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmLevel::Form_Resize() {
    const MainLayout layout = editor_.Form_Resize(form->width(), form->height());
    if (layout.minimized) return;
    if (layout.setOuterWidth || layout.setOuterHeight) {
        // The inner size follows from the new outer size; another resize comes.
        const int menu = height() - form->height();
        // Beside the client area there may be docks.
        const int w = layout.setOuterWidth ? *layout.setOuterWidth + width() - form->width() : width();
        const int h = layout.setOuterHeight ? std::max(*layout.setOuterHeight, menu + 1) : height();
        resize(w, h);
    }
    SyncChanges();
}

void frmLevel::ApplyLayout(const MainLayout& L) {
    if (layoutApplied_ && L.lstObjects == appliedLayout_.lstObjects && L.fraSubPanel == appliedLayout_.fraSubPanel &&
        L.Level == appliedLayout_.Level && L.hscLevelPos == appliedLayout_.hscLevelPos &&
        L.vscLevelPos == appliedLayout_.vscLevelPos && L.fraObjectInfo == appliedLayout_.fraObjectInfo &&
        L.fraLevelInfo == appliedLayout_.fraLevelInfo && L.fraScreenExits == appliedLayout_.fraScreenExits)
        return;
    auto place = [](QWidget* w, const ControlRect& r) {
        if (r.width > 0 || r.height > 0) w->setGeometry(r.left, r.top, r.width, r.height);
    };
    place(lstObjects, L.lstObjects);
    place(fraSubPanel, L.fraSubPanel);
    place(Level, L.Level);
    place(hscLevelPos, L.hscLevelPos);
    place(vscLevelPos, L.vscLevelPos);
    place(fraObjectInfo, L.fraObjectInfo);
    place(fraLevelInfo, L.fraLevelInfo);
    place(fraScreenExits, L.fraScreenExits);
    appliedLayout_ = L;
    layoutApplied_ = true;
}

void frmLevel::SyncScrollBar(QScrollBar* bar, const ScrollBarState& s) {
    QSignalBlocker block(bar);
    const int maximum = std::max(0, s.maximum);
    if (bar->maximum() != maximum || bar->minimum() != 0) bar->setRange(0, maximum);
    if (bar->value() != s.value) bar->setValue(s.value);
    if (bar->isEnabled() != s.enabled) bar->setEnabled(s.enabled);
}

void frmLevel::SyncMenus() {
    auto set = [](QAction* a, bool on) {
        if (a->isChecked() == on) return;
        QSignalBlocker block(a);
        a->setChecked(on);
    };
    const ViewOptions& o = editor_.view.options;
    set(mnuViewCross, o.crossSection);
    set(mnuViewOutofbounds, o.outOfBounds);
    set(mnuViewSmallgrid, o.smallGrid);
    set(mnuViewTransparent, o.transparent);
    set(mnuViewStationary, editor_.mnuViewStationary);
    set(mnuViewTiles, editor_.map.mnuViewTiles);
    set(mnuViewSeperateobjects, editor_.panels.palette.windowVisible);
    for (auto& [zoom, action] : mnuViewZoom) set(action, editor_.view.zoom == zoom);

    // Without a level the editing commands are greyed; "&Save Level" stays
    // reachable by its key and says why it does nothing.
    const bool editable = editor_.session.levelLoaded;
    for (QAction* a : {mnuLevelHeader, mnuLevelTest, mnuRandomLevelClearcheck->menuAction(), mnuEditDelete, mnuEditMove->menuAction(),
                       mnuEditCut, mnuEditCopy, mnuEditPaste, mnuEditDuplicate, mnuEditSelectAll, mnuEditSelectCurrent})
        if (a->isEnabled() != editable) a->setEnabled(editable);
    for (QPushButton* b : {cmdAddObject, cmdRemoveObject})
        if (b->isEnabled() != editable) b->setEnabled(editable);
    auto caption = [](QAction* a, const std::string& text, bool enabled) {
        if (a->text() != Q(text)) a->setText(Q(text));
        if (a->isEnabled() != enabled) a->setEnabled(enabled);
    };
    caption(mnuEditUndo, editor_.commands.mnuEditUndoCaption(), editor_.commands.mnuEditUndoEnabled());
    caption(mnuEditRedo, editor_.commands.mnuEditRedoCaption(), editor_.commands.mnuEditRedoEnabled());
}

void frmLevel::SyncPickList() {
    const PickListState& p = editor_.panels.lstPopup;
    if (p.items != shownPopupItems_) {
        FillList(lstPopup, p.items);
        shownPopupItems_ = p.items;
    }
    const QPoint at(static_cast<int>(p.left), static_cast<int>(p.top));
    if (lstPopup->pos() != at) lstPopup->move(at);
}

void frmLevel::SyncExitEditor() {
    const SidePanels::ExitEditorPanel& x = editor_.panels.exitEditor;
    SetBoxText(txtExitDestination, x.txtExitDestination);
    SetBoxText(txtEntranceType, x.txtEntranceType);
    SetBoxText(txtEntranceX, x.txtEntranceX);
    SetBoxText(txtEntranceY, x.txtEntranceY);
    SetBoxInvalid(txtExitDestination, x.invalidBox[static_cast<size_t>(ExitField::Destination)]);
    SetBoxInvalid(txtEntranceType, x.invalidBox[static_cast<size_t>(ExitField::EntranceType)]);
    SetBoxInvalid(txtEntranceX, x.invalidBox[static_cast<size_t>(ExitField::EntranceX)]);
    SetBoxInvalid(txtEntranceY, x.invalidBox[static_cast<size_t>(ExitField::EntranceY)]);
    SetListRow(lstDestinationLevels, x.lstDestinationLevelsIndex);
    SetListRow(lstEntranceTypes, x.lstEntranceTypesIndex);
    SetLabel(lblByteUsage2, x.lblByteUsage2);
    if (fraScreenExits->isEnabled() != x.enabled) fraScreenExits->setEnabled(x.enabled);
    if (fraScreenExits->isVisible() != editor_.panels.fraScreenExitsVisible) {
        fraScreenExits->setVisible(editor_.panels.fraScreenExitsVisible);
        fraScreenExits->raise();
    }
}

void frmLevel::SyncInfo() {
    SetLabel(lblObjectInfo, editor_.panels.lblObjectInfo);
    SetLabel(lblByteUsage, editor_.panels.lblByteUsage);
    SetLabel(lblSByteUsage, editor_.panels.lblSByteUsage);
    SetLabelText(lblFreeSpace, editor_.panels.lblFreeSpace);
    SetLabelText(lblMapInfo, editor_.panels.lblMapInfo);
    SetLabelText(lblTilesInfo, editor_.panels.lblTilesInfo);
    if (lblLevelName->toolTip() != Q(editor_.panels.lblLevelName)) {
        QToolTip::hideText();  // a tooltip on screen speaks of the level before
        lblLevelName->setToolTip(Q(editor_.panels.lblLevelName));
        lblLevelName->setText(lblLevelName->fontMetrics().elidedText(Q(editor_.panels.lblLevelName), Qt::ElideRight,
                                                                     lblLevelName->width()));
    }
    SyncExitEditor();
}

void frmLevel::SyncPointer() {
    SetLabelText(lblMousePos, editor_.tool.lblMousePos);
    const ToolTipState& tip = editor_.tool.lblToolTip;
    SetLabelText(lblToolTip, tip.text);
    const QPoint tipAt(static_cast<int>(tip.left), static_cast<int>(tip.top));
    if (lblToolTip->pos() != tipAt) lblToolTip->move(tipAt);
    const Qt::CursorShape cursor = CursorOf(editor_.tool.MousePointer);
    if (Level->cursor().shape() != cursor) Level->setCursor(cursor);
    SyncPickList();
    // The status line follows the pointer's tile too; it is compared whole
    // and copied only when it differs.
    SyncStatusBar();
}

void frmLevel::SyncPanels() {
    SyncInfo();
    SyncPointer();
}

void frmLevel::SyncPalette() {
    // The palette, in both lists.
    const SidePanels::ObjectPalette& pal = editor_.panels.palette;
    for (int i = 0; i < 3; ++i) {
        if (chkListable[i]->isChecked() != pal.chkListable[i]) {
            QSignalBlocker block(chkListable[i]);
            chkListable[i]->setChecked(pal.chkListable[i]);
        }
    }
    SetBoxText(txtFilter, pal.txtFilter);
    const bool listChanged = pal.items != shownPaletteItems_;
    if (listChanged) {
        FillList(lstObjects, pal.items);
        shownPaletteItems_ = pal.items;
    }
    SetListRow(lstObjects, pal.listIndex);
    if (pal.windowVisible || objectList_) objectListWindow()->SyncFromEditor(listChanged);
}

void frmLevel::SyncFromEditor() { SyncChanges(~0u); }

void frmLevel::SyncChanges(ChangeSet what) {
    what |= std::exchange(editor_.unshown, 0u);
    const ChangeSet viewMoved = kChangedView | kChangedViewSize;
    if (what & kDocumentChanges && windowTitle() != Q(editor_.session.caption))
        setWindowTitle(Q(editor_.session.caption));
    if (what & viewMoved) {
        ApplyLayout(editor_.layout);
        SyncScrollBar(hscLevelPos, editor_.view.hsc);
        SyncScrollBar(vscLevelPos, editor_.view.vsc);
    }
    // The undo captions, the greyed items and the check marks.
    if (what & (kDocumentChanges | viewMoved | kChangedDrawing)) SyncMenus();
    if (what & (kDocumentChanges | kChangedMap | kChangedPanels)) SyncInfo();
    // The entries dock lists the level's entries and the selection.
    if (what & (kDocumentChanges | kChangedPanels)) SyncEntries();
    SyncPointer();
    // The palette changes only by the panels' own handlers and the session.
    if (what == ~0u) SyncPalette();

    if (editor_.repaintRequested) {
        editor_.repaintRequested = false;
        Level->update();
    }
    if (editor_.quitRequested && !quitting_) {
        quitting_ = true;
        if (objectList_) objectList_->hide();
        close();
        QCoreApplication::quit();
    }
}

void frmLevel::Level_MouseDown(int button, float px, float py, int shift) {
    Run([&] { editor_.tool.Level_MouseDown(button, shift, px, py); });
    // A right click where no entry lies opens the view's menu (over
    // entries it brings up the pick list instead).
    if (button == 2 && editor_.session.levelLoaded && editor_.panels.lstPopup.items.empty()) ShowViewMenu(px, py);
}

void frmLevel::ShowViewMenu(float px, float py) {
    const std::optional<StartTile> tile = emulatorTest_.TileAt(px, py);
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* here = menu->addAction(QStringLiteral("Test from &here"));
    here->setEnabled(tile.has_value());
    connect(here, &QAction::triggered, this, [this, tile] { TestInEmulator(tile); });
    menu->addAction(mnuLevelTest);
    menu->popup(Level->mapToGlobal(QPoint(static_cast<int>(px), static_cast<int>(py))));
}

void frmLevel::TestInEmulator(std::optional<StartTile> at) {
    RunSyncAll([&] { emulatorTest_.Run(*emulatorHost_, at); });
}

void frmLevel::ApplyPatchCopy() {
    const QString offered = QString::fromStdString(OfferedOriginal(editor_.rom));
    const QString original = QFileDialog::getOpenFileName(this, QStringLiteral("Apply patch: the original ROM"), offered,
                                                          QStringLiteral("ROMs (*.smc *.sfc);;All files (*)"));
    if (original.isEmpty()) return;
    const QFileInfo from(original);
    // Patches and copies are looked for and written beside the open ROM.
    const QString where = editor_.rom.isOpen() ? QFileInfo(QString::fromStdString(editor_.rom.path())).absolutePath()
                                               : from.absolutePath();
    const QString patch = QFileDialog::getOpenFileName(this, QStringLiteral("Apply patch: the patch"), where,
                                                       QStringLiteral("Patches (*.bps *.ips);;All files (*)"));
    if (patch.isEmpty()) return;
    // Offered: the patch's name in the ROM's layout, never the open ROM's own name.
    QString suggested = where + QLatin1Char('/') + QFileInfo(patch).completeBaseName();
    const QString suffix = QLatin1Char('.') + from.suffix();
    if (QFileInfo(suggested + suffix) == QFileInfo(QString::fromStdString(editor_.rom.path())) ||
        QFileInfo(suggested + suffix) == from)
        suggested += QStringLiteral("-patched");
    const QString out = QFileDialog::getSaveFileName(this, QStringLiteral("Apply patch: write the patched copy to"),
                                                     suggested + suffix,
                                                     QStringLiteral("ROMs (*.smc *.sfc);;All files (*)"));
    if (out.isEmpty()) return;
    ApplyPatchFile(editor_.rom, original.toStdString(), patch.toStdString(), out.toStdString(), editor_.prompter);
}

void frmLevel::Level_MouseMove(int buttons, float px, float py, int shift) {
    Run([&] { editor_.tool.Level_MouseMove(buttons, shift, px, py); });
}

void frmLevel::Level_MouseUp(int button, float px, float py, int shift) {
    Run([&] { editor_.tool.Level_MouseUp(button, shift, px, py); });
}

void frmLevel::Level_ZoomWheel(int steps, float px, float py) {
    Run([&] { editor_.commands.ZoomStep(steps, px, py); });
}

bool frmLevel::IsPaletteList(const QObject* source) const {
    return source != nullptr && (source == lstObjects || (objectList_ && source == objectList_->lstObjects));
}

void frmLevel::Level_Drop(float px, float py) {
    Level->setFocus();
    Run([&] { editor_.commands.DropPaletteItem(editor_.panels.palette.selectedCode(), px, py); });
}

void frmLevel::closeEvent(QCloseEvent* event) {
    if (!quitting_ && !editor_.session.Form_Unload()) {
        event->ignore();
        return;
    }
    quitting_ = true;
    SaveSettings();
    if (objectList_) objectList_->close();
    if (find_) find_->close();
    emulatorTest_.RemoveCopies();
    event->accept();
}

// ---------------------------------------------------------------------------
// Dialogs, created on first use.

namespace {
template <typename Dialog>
Dialog* CreatedOnce(Dialog*& slot, frmLevel& owner) {
    if (!slot) slot = new Dialog(owner);
    return slot;
}
}  // namespace

frmAbout* frmLevel::aboutDialog() { return CreatedOnce(about_, *this); }
frmHeader* frmLevel::headerDialog() { return CreatedOnce(header_, *this); }
frmHex* frmLevel::hexDialog() { return CreatedOnce(hex_, *this); }
frmLevelISelect* frmLevel::levelIndexDialog() { return CreatedOnce(levelIndex_, *this); }
frmLevelSelect* frmLevel::levelOffsetDialog() { return CreatedOnce(levelOffset_, *this); }
frmFind* frmLevel::findDialog() { return CreatedOnce(find_, *this); }
frmPatch* frmLevel::patchDialog() { return CreatedOnce(patch_, *this); }
frmObjectList* frmLevel::objectListWindow() { return CreatedOnce(objectList_, *this); }

}  // namespace mw
