#include "shell/frmHeader.h"

#include <QLabel>

#include "shell/frmLevel.h"

namespace mw {

frmHeader::frmHeader(frmLevel& main) : QDialog(&main), main_(main) {
    setWindowTitle(QString::fromLatin1(kHeaderCaption));
    setModal(true);
    setFont(ControlFont());
    constexpr int kRowPitch = 24;
    constexpr int kFrameHeight = 24 + kRowPitch * 17;
    setFixedSize(352, kFrameHeight + 88);

    fraHeader = new QGroupBox(QString::fromLatin1(kHeaderFrameCaption), this);
    Place(fraHeader, 8, 8, 336, kFrameHeight);
    for (int row = 0; row < 17; ++row) {
        const HeaderField& field = model.rowField(row);
        auto* label = new QLabel(QString::fromLatin1(field.caption), fraHeader);
        Place(label, 8, 22 + kRowPitch * row, 232, 17);
        rows[row] = new QLineEdit(fraHeader);
        rows[row]->setObjectName(QString::fromLatin1(field.boxName));
        Place(rows[row], 248, 20 + kRowPitch * row, 72, 19);
        label->setBuddy(rows[row]);
    }

    const int below = 8 + kFrameHeight + 8;
    cmdImport = MakeButton(this, QStringLiteral("Import from existing level"), 8, below, 169, 25);
    txtImportNum = new QLineEdit(QString::fromStdString(model.txtImportNum), this);
    Place(txtImportNum, 184, below + 3, 65, 19);

    cmdCancel = MakeButton(this, QStringLiteral("&Cancel"), 176, below + 40, 81, 25);
    cmdOK = new QPushButton(QStringLiteral("&Alright"), this);
    Place(cmdOK, 264, below + 40, 81, 25);
    cmdOK->setDefault(true);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdImport, &QPushButton::clicked, this, [this] { cmdImport_Click(); });
}

QLineEdit* frmHeader::box(int field) const {
    for (int row = 0; row < 17; ++row)
        if (kHeaderDialogOrder[row] == field) return rows[row];
    return nullptr;
}

void frmHeader::gather() {
    for (int row = 0; row < 17; ++row) model.boxText(row) = rows[row]->text().toStdString();
    model.txtImportNum = txtImportNum->text().toStdString();
}

void frmHeader::scatter() {
    for (int row = 0; row < 17; ++row) rows[row]->setText(QString::fromStdString(model.boxText(row)));
    txtImportNum->setText(QString::fromStdString(model.txtImportNum));
}

void frmHeader::AcceptData(const LevelHeader& bytes) {
    gather();
    model.AcceptData(bytes);
    scatter();
}

bool frmHeader::prepare() {
    gather();
    const bool opened = model.Open(main_.editor().level, main_.editor().prompter);
    scatter();
    return opened;
}

void frmHeader::showModal() {
    if (prepare()) exec();
}

void frmHeader::cmdOK_Click() {
    gather();
    if (auto bytes = model.cmdOK_Click(main_.editor().prompter)) {
        main_.ResetHeader(*bytes);
        done(QDialog::Accepted);
    }
}

void frmHeader::cmdCancel_Click() {
    model.cmdCancel_Click();
    done(QDialog::Rejected);
}

void frmHeader::reject() { cmdCancel_Click(); }

void frmHeader::cmdImport_Click() {
    gather();
    model.cmdImport_Click(main_.editor().rom, main_.editor().defs, main_.editor().prompter);
    scatter();
}

}  // namespace mw
