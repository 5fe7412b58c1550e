#pragma once
// "Header Properties": the 17 fields of the level header as decimal boxes,
// import from another level, "&Alright" and "&Cancel". Hidden, not destroyed.
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "editing/header_dialog.h"

namespace mw {

class frmLevel;

class frmHeader : public QDialog {
    Q_OBJECT
public:
    explicit frmHeader(frmLevel& main);

    // Fills the 17 boxes from header bytes (the main window calls this
    // before showing the dialog).
    void AcceptData(const LevelHeader& bytes);
    void showModal();
    bool prepare();  // what showModal shows, without the modal loop; false when it stays hidden

    HeaderDialog model;
    QGroupBox* fraHeader = nullptr;
    std::array<QLineEdit*, 17> rows{};  // from top to bottom, named by their field's box
    QPushButton* cmdImport = nullptr;
    QLineEdit* txtImportNum = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;

    // The box of field `field` (bit order), whatever its row.
    QLineEdit* box(int field) const;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdImport_Click();

protected:
    void reject() override;

private:
    void gather();   // boxes -> model
    void scatter();  // model -> boxes
    frmLevel& main_;
};

}  // namespace mw
