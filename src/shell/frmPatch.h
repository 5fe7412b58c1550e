#pragma once
// File -> "Create &patch...": the original to compare with (the oldest
// backup of the ROM offered first) and the format, then where to write it.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace mw {

class frmLevel;

class frmPatch : public QDialog {
    Q_OBJECT
public:
    explicit frmPatch(frmLevel& main);
    void showModal();  // fills in the offered original and the notes, then runs

    QLabel* lblNote = nullptr;
    QLabel* lblUnsaved = nullptr;
    QLineEdit* txtOriginal = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QRadioButton* optBps = nullptr;
    QRadioButton* optIps = nullptr;
    QPushButton* cmdCreate = nullptr;

    // "&Create...": asks where the patch goes, then makes and writes it.
    void cmdCreate_Click();

private:
    frmLevel& main_;
};

}  // namespace mw
