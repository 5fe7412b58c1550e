#include "shell/frmLevelSelect.h"

#include <QLabel>

#include "shell/frmLevel.h"

namespace mw {

frmLevelSelect::frmLevelSelect(frmLevel& main) : QDialog(&main), main_(main) {
    setWindowTitle(QString::fromLatin1(kLevelChooserCaption));
    setModal(true);
    setFont(ControlFont());
    setFixedSize(297, 385);

    lstLevels = new QListWidget(this);
    Place(lstLevels, 8, 8, 281, 240);
    auto* offsetLabel = new QLabel(QStringLiteral("&Offset"), this);
    Place(offsetLabel, 8, 259, 81, 17);
    txtOffset = new QLineEdit(this);
    Place(txtOffset, 96, 256, 97, 19);
    offsetLabel->setBuddy(txtOffset);
    auto* spriteLabel = new QLabel(QStringLiteral("&Sprite Offset"), this);
    Place(spriteLabel, 8, 283, 81, 17);
    txtSpriteOffset = new QLineEdit(this);
    Place(txtSpriteOffset, 96, 280, 97, 19);
    spriteLabel->setBuddy(txtSpriteOffset);
    auto* warning = new QLabel(QString::fromLatin1(kLevelOffsetWarning), this);
    Place(warning, 8, 306, 281, 34);
    warning->setWordWrap(true);
    warning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdCancel = MakeButton(this, QStringLiteral("&Cancel"), 120, 352, 81, 25);
    cmdOK = new QPushButton(QStringLiteral("&Alright"), this);
    Place(cmdOK, 208, 352, 81, 25);
    cmdOK->setDefault(true);

    ConnectListClick(lstLevels, this, [this](int row) { lstLevels_Click(row); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmLevelSelect::prepare() {
    model.Show(main_.editor().session.programDir, main_.editor().prompter);
    if (!filled_) {
        filled_ = true;
        QSignalBlocker block(lstLevels);
        for (const std::string& name : model.lstLevels) lstLevels->addItem(QString::fromStdString(name));
    }
}

void frmLevelSelect::showModal() {
    prepare();
    exec();
}

void frmLevelSelect::lstLevels_Click(int row) {
    model.lstLevels_Click(row, main_.editor().rom);
    txtOffset->setText(QString::fromStdString(model.txtOffset));
}

void frmLevelSelect::cmdOK_Click() {
    model.txtOffset = txtOffset->text().toStdString();
    model.txtSpriteOffset = txtSpriteOffset->text().toStdString();
    model.cmdOK_Click(main_.editor());
    done(QDialog::Accepted);
    main_.SyncFromEditor();
}

void frmLevelSelect::cmdCancel_Click() {
    model.cmdCancel_Click();
    done(QDialog::Rejected);
}

void frmLevelSelect::reject() { cmdCancel_Click(); }

}  // namespace mw
