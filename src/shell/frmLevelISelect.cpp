#include "shell/frmLevelISelect.h"

#include <QLabel>

#include "shell/frmLevel.h"

namespace mw {

frmLevelISelect::frmLevelISelect(frmLevel& main) : QDialog(&main), main_(main) {
    setWindowTitle(QString::fromLatin1(kLevelChooserCaption));
    setModal(true);
    setFont(ControlFont());
    setFixedSize(297, 337);

    lstLevels = new QListWidget(this);
    Place(lstLevels, 8, 8, 281, 256);
    auto* label = new QLabel(QStringLiteral("&Index"), this);
    Place(label, 8, 275, 41, 17);
    txtIndex = new QLineEdit(this);
    Place(txtIndex, 56, 272, 89, 19);
    label->setBuddy(txtIndex);
    cmdCancel = MakeButton(this, QStringLiteral("&Cancel"), 120, 304, 81, 25);
    cmdOK = new QPushButton(QStringLiteral("&Alright"), this);
    Place(cmdOK, 208, 304, 81, 25);
    cmdOK->setDefault(true);

    ConnectListClick(lstLevels, this, [this](int row) { lstLevels_Click(row); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmLevelISelect::prepare() {
    model.Show(main_.editor().session.programDir, main_.editor().prompter);
    if (!filled_) {
        filled_ = true;
        FillList(lstLevels, model.lstLevels);
    }
}

void frmLevelISelect::showModal() {
    prepare();
    exec();
}

void frmLevelISelect::lstLevels_Click(int row) {
    model.lstLevels_Click(row);
    txtIndex->setText(QString::fromStdString(model.txtIndex));
}

void frmLevelISelect::cmdOK_Click() {
    model.txtIndex = txtIndex->text().toStdString();
    model.cmdOK_Click(main_.editor());
    done(QDialog::Accepted);
    main_.SyncFromEditor();
}

void frmLevelISelect::cmdCancel_Click() {
    model.cmdCancel_Click();
    done(QDialog::Rejected);
}

void frmLevelISelect::reject() { cmdCancel_Click(); }

}  // namespace mw
