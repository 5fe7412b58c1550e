#include "shell/level_chooser_dialog.h"

#include "shell/frmLevel.h"

namespace mw {

LevelChooserDialog::LevelChooserDialog(frmLevel& main, LevelChooser& chooser, int width, int height, int listHeight)
    : QDialog(&main), model(chooser), main_(main) {
    setWindowTitle(QString::fromLatin1(kLevelChooserCaption));
    setModal(true);
    setFont(ControlFont());
    setFixedSize(width, height);
    lstLevels = new QListWidget(this);
    Place(lstLevels, 8, 8, width - 16, listHeight);
    cmdCancel = MakeButton(this, QStringLiteral("&Cancel"), width - 177, height - 33, 81, 25);
    cmdOK = new QPushButton(QStringLiteral("&Alright"), this);
    Place(cmdOK, width - 89, height - 33, 81, 25);
    cmdOK->setDefault(true);
    ConnectListClick(lstLevels, this, [this](int row) { lstLevels_Click(row); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void LevelChooserDialog::ConnectValueBox(QLineEdit* valueBox, QLineEdit* spriteBox) {
    valueBox_ = valueBox;
    spriteBox_ = spriteBox;
    connect(valueBox, &QLineEdit::textEdited, this, [this](const QString& text) {
        model.txtValue_Change(text.toStdString());
        SyncList();
    });
}

void LevelChooserDialog::SyncList() {
    if (!filled_ || listedRows_ != model.shown) {
        filled_ = true;
        listedRows_ = model.shown;
        std::vector<ListEntry> rows;
        rows.reserve(model.shown.size());
        for (int i : model.shown) rows.push_back(model.lstLevels[i]);
        FillList(lstLevels, rows);
    }
    SetListRow(lstLevels, model.listIndex);
    if (QListWidgetItem* item = lstLevels->currentItem()) lstLevels->scrollToItem(item);
}

void LevelChooserDialog::prepare() {
    model.Show(main_.editor().session.programDir, main_.editor().prompter, main_.editor().rom);
    SyncList();
    SetBoxText(valueBox_, model.txtValue);
    if (spriteBox_) SetBoxText(spriteBox_, model.txtSpriteOffset);
    // Typing starts in the value box: an index (or offset) or a name.
    valueBox_->setFocus();
    valueBox_->selectAll();
}

void LevelChooserDialog::showModal() {
    prepare();
    exec();
}

void LevelChooserDialog::lstLevels_Click(int row) {
    model.lstLevels_Click(row, main_.editor().rom);
    valueBox_->setText(QString::fromStdString(model.txtValue));
    if (spriteBox_) spriteBox_->setText(QString::fromStdString(model.txtSpriteOffset));
}

void LevelChooserDialog::cmdOK_Click() {
    model.txtValue = valueBox_->text().toStdString();
    if (spriteBox_) model.txtSpriteOffset = spriteBox_->text().toStdString();
    if (!model.cmdOK_Click(main_.editor())) return;
    done(QDialog::Accepted);
    main_.SyncFromEditor();
}

void LevelChooserDialog::cmdCancel_Click() {
    model.cmdCancel_Click();
    done(QDialog::Rejected);
}

void LevelChooserDialog::reject() { cmdCancel_Click(); }

}  // namespace mw
