#pragma once
// "Select Level" by file offsets: the levels of LevelOffsets.dat, the header
// offset and the sprite offset boxes.
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "editing/level_choosers.h"

namespace mw {

class frmLevel;

class frmLevelSelect : public QDialog {
    Q_OBJECT
public:
    explicit frmLevelSelect(frmLevel& main);
    void showModal();  // mnuFileLevel_Click
    void prepare();

    LevelOffsetChooser model;
    QListWidget* lstLevels = nullptr;
    QLineEdit* txtOffset = nullptr;
    QLineEdit* txtSpriteOffset = nullptr;
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
