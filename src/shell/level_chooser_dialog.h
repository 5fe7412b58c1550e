#pragma once
// What the two "Select Level" dialogs share: the list, the value box that
// leads it, "&Cancel" and "&Alright" over one LevelChooser. The dialogs
// (frmLevelISelect, frmLevelSelect) add their labels and boxes.
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "editing/level_choosers.h"

namespace mw {

class frmLevel;

class LevelChooserDialog : public QDialog {
    Q_OBJECT
public:
    void showModal();
    void prepare();  // what showModal shows, without the modal loop

    LevelChooser& model;
    QListWidget* lstLevels = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    void lstLevels_Click(int row);
    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    // A dialog of `width` by `height` pixels, its list `listHeight` high.
    LevelChooserDialog(frmLevel& main, LevelChooser& chooser, int width, int height, int listHeight);
    // The index or offset box that leads the list (and the sprite offset box).
    void ConnectValueBox(QLineEdit* valueBox, QLineEdit* spriteBox = nullptr);
    void reject() override;

private:
    frmLevel& main_;
    QLineEdit* valueBox_ = nullptr;
    QLineEdit* spriteBox_ = nullptr;
    std::vector<int> listedRows_;  // the rows lstLevels shows
    bool filled_ = false;
    void SyncList();
};

}  // namespace mw
