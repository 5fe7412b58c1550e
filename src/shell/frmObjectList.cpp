#include "shell/frmObjectList.h"

#include <QCloseEvent>

#include "shell/frmLevel.h"

namespace mw {

frmObjectList::frmObjectList(frmLevel& main) : QWidget(&main, Qt::Tool), main_(main) {
    setWindowTitle(QStringLiteral("Objects list"));
    setFont(ControlFont());
    resize(217, 400);
    lblFilter = new QLabel(QStringLiteral("&Filter"), this);
    Place(lblFilter, 8, 11, 41, 17);
    txtFilter = new QLineEdit(this);
    Place(txtFilter, 56, 8, 153, 19);
    lblFilter->setBuddy(txtFilter);
    lstObjects = new QListWidget(this);
    lstObjects->setFont(FixedFont());
    lstObjects->setUniformItemSizes(true);
    lstObjects->setDragDropMode(QAbstractItemView::DragOnly);
    Place(lstObjects, 8, 35, 201, 357);

    connect(txtFilter, &QLineEdit::textEdited, this, [this](const QString& t) {
        main_.editor().panels.frmObjectList_txtFilter_Change(t.toStdString());
        main_.SyncFromEditor();
    });
    ConnectListClick(lstObjects, this, [this](int row) {
        main_.editor().panels.frmObjectList_lstObjects_Click(row);
        main_.SyncFromEditor();
    });
}

void frmObjectList::SyncFromEditor(bool itemsChanged) {
    const auto& pal = main_.editor().panels.palette;
    if (itemsChanged || !filled_) {
        filled_ = true;
        FillList(lstObjects, pal.items);
    }
    SetBoxText(txtFilter, pal.windowFilter);
    SetListRow(lstObjects, pal.windowListIndex);
    if (isVisible() != pal.windowVisible) setVisible(pal.windowVisible);
}

void frmObjectList::resizeEvent(QResizeEvent* event) {
    // The list keeps its left and top edges and leaves 8 pixels to the
    // window's right and bottom edges.
    const int w = width() - lstObjects->x() - 8;
    const int h = height() - lstObjects->y() - 8;
    lstObjects->resize(std::max(0, w), std::max(0, h));
    QWidget::resizeEvent(event);
}

void frmObjectList::closeEvent(QCloseEvent* event) {
    main_.editor().panels.frmObjectList_Form_Unload();
    event->accept();
    main_.SyncFromEditor();
}

}  // namespace mw
