#pragma once
// "Marlwick - It can edit everything!": read or write one byte of the ROM
// file. Hidden, not destroyed, so both boxes keep their text.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "editing/hex_poke.h"

namespace mw {

class frmLevel;

class frmHex : public QDialog {
    Q_OBJECT
public:
    explicit frmHex(frmLevel& main);
    void showModal();  // mnuRandomHex_Click

    HexPokeDialog model;
    QLineEdit* txtOffset = nullptr;
    QLineEdit* txtValue = nullptr;
    QPushButton* cmdGet = nullptr;
    QPushButton* cmdPut = nullptr;
    QPushButton* cmdExit = nullptr;

    void cmdGet_Click();
    void cmdPut_Click();
    void cmdExit_Click();

protected:
    void reject() override;  // Esc is "E&xit" too

private:
    frmLevel& main_;
};

}  // namespace mw
