#pragma once
// The About box: icon, title, byline and the credits; "&Alright" hides it,
// "&Cancel" (and Esc) only complains.
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "editing/about.h"

namespace mw {

class frmLevel;

// A 32 by 32 picture of a few WireBlocks: the About box's icon and the windows' icon.
QPixmap MarlwickIcon();

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(frmLevel& main);
    // mnuHelpAbout_Click: shows the box modally.
    void showModal();
    // What showModal shows, without entering the modal loop.
    void prepare();

    AboutDialog model;
    QLabel* imgIconGoesHere = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblByline = nullptr;
    QLabel* lblAbout = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void reject() override;  // Esc is "&Cancel"
    void closeEvent(QCloseEvent* event) override;

private:
    frmLevel& main_;
};

}  // namespace mw
