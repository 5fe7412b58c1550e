#include "shell/frmHex.h"

#include <QLabel>

#include "shell/frmLevel.h"

namespace mw {

frmHex::frmHex(frmLevel& main) : QDialog(&main), main_(main) {
    setWindowTitle(QString::fromLatin1(kHexPokeCaption));
    setModal(true);
    setFont(ControlFont());
    setFixedSize(329, 177);

    auto* note = new QLabel(QString::fromLatin1(kHexPokeNote), this);
    Place(note, 8, 8, 313, 56);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* offsetLabel = new QLabel(QStringLiteral("Offset"), this);
    Place(offsetLabel, 8, 75, 49, 17);
    txtOffset = new QLineEdit(QString::fromStdString(model.txtOffset), this);
    Place(txtOffset, 64, 72, 121, 19);
    cmdGet = MakeButton(this, QStringLiteral("Get Value"), 200, 69, 113, 25);

    auto* valueLabel = new QLabel(QStringLiteral("Value"), this);
    Place(valueLabel, 8, 107, 49, 17);
    txtValue = new QLineEdit(QString::fromStdString(model.txtValue), this);
    Place(txtValue, 64, 104, 121, 19);
    cmdPut = MakeButton(this, QStringLiteral("Put Value"), 200, 101, 113, 25);

    auto* reload = new QLabel(QStringLiteral("(Might want to reload your level after this)"), this);
    Place(reload, 8, 148, 225, 17);
    cmdExit = new QPushButton(QStringLiteral("E&xit"), this);
    Place(cmdExit, 240, 144, 73, 25);
    cmdExit->setDefault(true);

    connect(cmdGet, &QPushButton::clicked, this, [this] { cmdGet_Click(); });
    connect(cmdPut, &QPushButton::clicked, this, [this] { cmdPut_Click(); });
    connect(cmdExit, &QPushButton::clicked, this, [this] { cmdExit_Click(); });
}

void frmHex::showModal() {
    model.Show();
    exec();
}

void frmHex::cmdGet_Click() {
    model.txtOffset = txtOffset->text().toStdString();
    if (model.cmdGet_Click(main_.editor().rom, main_.editor().prompter))
        txtValue->setText(QString::fromStdString(model.txtValue));
}

void frmHex::cmdPut_Click() {
    model.txtOffset = txtOffset->text().toStdString();
    model.txtValue = txtValue->text().toStdString();
    main_.editor().session.PokeByte(model);
    // A poke inside the level reloads it: the window shows the level as read
    // again while this dialog stays open.
    main_.SyncFromEditor();
}

void frmHex::cmdExit_Click() {
    model.txtOffset = txtOffset->text().toStdString();
    model.txtValue = txtValue->text().toStdString();
    model.cmdExit_Click();
    done(QDialog::Accepted);
}

void frmHex::reject() { cmdExit_Click(); }

}  // namespace mw
