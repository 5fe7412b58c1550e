#pragma once
// "Select Level" by index: the levels of LevelList.dat and the index box.
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "editing/level_choosers.h"

namespace mw {

class frmLevel;

class frmLevelISelect : public QDialog {
    Q_OBJECT
public:
    explicit frmLevelISelect(frmLevel& main);
    void showModal();  // mnuFileLevelIndex_Click
    void prepare();    // what showModal shows, without the modal loop

    LevelIndexChooser model;
    QListWidget* lstLevels = nullptr;
    QLineEdit* txtIndex = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void lstLevels_Click(int row);
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void reject() override;

private:
    frmLevel& main_;
    bool filled_ = false;
};

}  // namespace mw
