#pragma once
// Level -> "&Find in all levels...": a search of every level by object ID,
// extended object ID, sprite ID or a piece of a name. Not modal, so that
// the level a double-click loads can be looked at beside the list.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "editing/share_dialogs.h"

namespace mw {

class frmLevel;

class frmFind : public QDialog {
    Q_OBJECT
public:
    explicit frmFind(frmLevel& main);
    void showFind();  // brings the dialog up with the box selected

    FindDialog model;
    QComboBox* cboKind = nullptr;
    QLineEdit* txtFind = nullptr;
    QPushButton* cmdFind = nullptr;
    QTreeWidget* lstHits = nullptr;
    QLabel* lblCount = nullptr;

    void cmdFind_Click();
    void lstHits_DoubleClick(int row);

private:
    frmLevel& main_;
};

}  // namespace mw
